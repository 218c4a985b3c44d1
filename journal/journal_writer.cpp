#include "journal/journal_writer.h"

namespace wordpour::journal {

namespace {
// How long quitting waits for the records still queued.
constexpr std::chrono::milliseconds kQuitWait{2000};
// How long the first of several records waits for the others.
constexpr std::chrono::milliseconds kGather{5};
}  // namespace

JournalWriter::JournalWriter(Journal journal, std::function<void(const base::FileError&)> failed)
    : state_(std::make_shared<State>()) {
    state_->journal = std::move(journal);
    state_->failed = std::move(failed);
    thread_ = std::thread([state = state_] { run(state); });
}

JournalWriter::~JournalWriter() {
    const bool settled = settle(kQuitWait);
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->failed = nullptr;  // whoever it told is going
    }
    state_->changed.notify_all();
    // A disk that never answers keeps its thread: the program ends anyway.
    if (settled)
        thread_.join();
    else
        thread_.detach();
}

void JournalWriter::add(Record record) {
    {
        std::lock_guard lock(state_->mutex);
        state_->queue.push_back(std::move(record));
    }
    state_->changed.notify_all();
}

bool JournalWriter::settle(std::chrono::milliseconds limit) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, limit,
                                    [this] { return state_->queue.empty() && !state_->writing; });
}

void JournalWriter::run(const std::shared_ptr<State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return state->stopping || !state->queue.empty(); });
        if (state->queue.empty()) return;
        // Entries in quick succession are gathered and flushed together:
        // the disk is asked once, and the entries' own thread is left alone.
        if (!state->stopping)
            state->changed.wait_for(lock, kGather, [&] { return state->stopping; });
        std::vector<Record> records(std::make_move_iterator(state->queue.begin()),
                                    std::make_move_iterator(state->queue.end()));
        state->queue.clear();
        state->writing = true;
        lock.unlock();
        const auto error = state->journal.append(records);
        lock.lock();
        if (error && state->failed) state->failed(*error);
        state->writing = false;
        state->changed.notify_all();
    }
}

}  // namespace wordpour::journal
