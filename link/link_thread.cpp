#include "link/link_thread.h"

#include <future>
#include <memory>

namespace wordpour::link {

LinkThread::LinkThread(Post post) : post_(std::move(post)), thread_([this] { loop(); }) {}

LinkThread::~LinkThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void LinkThread::run(Task job, Task done) {
    ++outstanding_;
    auto step = [this, job = std::move(job), done = std::move(done)]() mutable {
        try {
            job();
        } catch (...) {
            // Jobs report their own failures; one that throws still completes.
        }
        post_([this, done = std::move(done)] {
            --outstanding_;
            done();
        });
    };
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(step));
    }
    wake_.notify_one();
}

void LinkThread::runAndWait(Task job) {
    std::promise<void> finished;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back([&] {
            try {
                job();
                finished.set_value();
            } catch (...) {
                finished.set_exception(std::current_exception());
            }
        });
    }
    wake_.notify_one();
    finished.get_future().get();
}

bool LinkThread::runAndWaitFor(Task job, std::chrono::milliseconds limit) {
    // Shared with the job, which may outlive this call.
    auto finished = std::make_shared<std::promise<void>>();
    auto ended = finished->get_future();
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back([job = std::move(job), finished] {
            try {
                job();
            } catch (...) {
                // The job reports its own failures; it has ended either way.
            }
            finished->set_value();
        });
    }
    wake_.notify_one();
    return ended.wait_for(limit) == std::future_status::ready;
}

void LinkThread::loop() {
    for (;;) {
        Task job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, and every job given has run
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace wordpour::link
