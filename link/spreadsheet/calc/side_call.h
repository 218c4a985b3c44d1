// Calls into the office on a thread of their own, so that one can travel
// while the caller's thread makes another: the round trips overlap instead
// of adding up.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace wordpour::link::spreadsheet::calc {

class SideCall {
public:
    SideCall();
    // Runs the calls given so far, then ends the thread.
    ~SideCall();
    SideCall(const SideCall&) = delete;
    SideCall& operator=(const SideCall&) = delete;

    // Runs `call` on the side thread, after the calls given before it; the
    // future is ready once it has run, and gives what it threw.
    std::future<void> start(std::function<void()> call);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::packaged_task<void()>> calls_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace wordpour::link::spreadsheet::calc
