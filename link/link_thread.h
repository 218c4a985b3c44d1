// The thread every spreadsheet call runs on. A spreadsheet that takes long
// to answer, or stops answering, then never freezes the window: it keeps
// repainting and taking commands, and the program can end at once.
//
// Jobs run one at a time, in the order given. A job's completion is handed
// back to the window's thread through `post`, which the window supplies
// (a queued call in Qt, a posted message on Windows). On Windows the
// spreadsheet's COM objects are created by the first job, so they live in
// this thread's apartment and are only ever used from it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

namespace wordpour::link {

class LinkThread {
public:
    using Task = std::function<void()>;
    // Runs a task on the window's thread, later; may be called from any thread.
    using Post = std::function<void(Task)>;

    explicit LinkThread(Post post);
    // Waits for the jobs given so far, then ends the thread. A job that never
    // returns would block this: a program that ends with one outstanding
    // ends without destroying its objects instead (see busy()).
    ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Runs `job` on the link's thread, then `done` on the window's thread.
    void run(Task job, Task done);
    // Runs `job` on the link's thread, then `done` on the window's thread
    // with what the job returned: the answer crosses from one thread to
    // the other here, and nowhere else.
    template <typename Job, typename Done>
    void ask(Job job, Done done) {
        using Result = std::invoke_result_t<Job&>;
        auto answer = std::make_shared<std::optional<Result>>();
        run([job = std::move(job), answer]() mutable { answer->emplace(job()); },
            [done = std::move(done), answer]() mutable {
                if (*answer) done(std::move(**answer));
            });
    }
    // Runs `job` on the link's thread and waits for it: for the start-up,
    // before any window is shown.
    void runAndWait(Task job);
    // The same, waiting at most `limit`; false when the job had not ended by
    // then (it goes on; only ending the process stops it).
    bool runAndWaitFor(Task job, std::chrono::milliseconds limit);
    // Whether a job has been given whose `done` has not run yet. Window's
    // thread only.
    bool busy() const { return outstanding_ > 0; }

private:
    void loop();

    Post post_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> jobs_;
    bool stopping_ = false;
    int outstanding_ = 0;  // window's thread only
    std::thread thread_;
};

}  // namespace wordpour::link
