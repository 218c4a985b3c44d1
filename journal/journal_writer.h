// Appends the journal's records on a thread of its own, in order, so that
// flushing them to the disk never delays an entry.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "journal/journal.h"

namespace wordpour::journal {

class JournalWriter {
public:
    // `failed` is called, on the writer's thread, for each record that
    // could not be appended.
    JournalWriter(Journal journal, std::function<void(const base::FileError&)> failed);
    // Waits at most a moment for the records still queued: quitting never
    // hangs on a disk that does not answer.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void add(Record record);
    // Waits until every record added so far is appended, or `limit` passed.
    bool settle(std::chrono::milliseconds limit);

    const Journal& journal() const { return state_->journal; }

private:
    // Shared with the thread, which a disk that never answers may keep
    // past this object.
    struct State {
        Journal journal;
        std::function<void(const base::FileError&)> failed;
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Record> queue;
        bool writing = false;
        bool stopping = false;
    };
    static void run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace wordpour::journal
