#include "link/spreadsheet/calc/side_call.h"

#include <utility>

namespace wordpour::spreadsheet::calc {

SideCall::SideCall() : thread_([this] { run(); }) {}

SideCall::~SideCall() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SideCall::start(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        call_ = std::move(call);
        thrown_ = nullptr;
        pending_ = true;
        done_ = false;
    }
    changed_.notify_all();
}

void SideCall::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
    if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
}

void SideCall::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_) return;
        pending_ = false;
        auto call = std::move(call_);
        lock.unlock();
        std::exception_ptr thrown;
        try {
            call();
        } catch (...) {
            thrown = std::current_exception();
        }
        lock.lock();
        thrown_ = thrown;
        done_ = true;
        changed_.notify_all();
    }
}

}  // namespace wordpour::spreadsheet::calc
