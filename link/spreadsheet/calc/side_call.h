// One call at a time on a thread of its own, so that a call into the office
// can travel while the caller's thread makes another: the two round trips
// overlap instead of adding up.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace wordpour::spreadsheet::calc {

class SideCall {
public:
    SideCall();
    ~SideCall();
    SideCall(const SideCall&) = delete;
    SideCall& operator=(const SideCall&) = delete;

    // Starts `call` on the side thread; `wait` returns once it has run, and
    // rethrows what it threw. One call at a time: start, then wait.
    void start(std::function<void()> call);
    void wait();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> call_;
    std::exception_ptr thrown_;
    bool pending_ = false, done_ = false, stopping_ = false;
    std::thread thread_;
};

}  // namespace wordpour::spreadsheet::calc
