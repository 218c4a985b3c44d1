#include "link/spreadsheet/calc/side_call.h"

namespace wordpour::link::spreadsheet::calc {

SideCall::SideCall() : thread_([this] { run(); }) {}

SideCall::~SideCall() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::future<void> SideCall::start(std::function<void()> call) {
    std::packaged_task<void()> task(std::move(call));
    std::future<void> done = task.get_future();
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(task));
    }
    changed_.notify_all();
    return done;
}

void SideCall::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !calls_.empty(); });
        if (calls_.empty()) return;  // stopping, and every call given has run
        auto call = std::move(calls_.front());
        calls_.pop_front();
        lock.unlock();
        call();  // what it throws goes to its future
        lock.lock();
    }
}

}  // namespace wordpour::link::spreadsheet::calc
