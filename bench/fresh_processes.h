// What a user does first in a process (a load, a keystroke) is timed in
// several fresh processes, the figure their median: one process alone is
// at the mercy of the machine's other work at that moment. Each process
// appends its time to a file; the last one reads them all.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace wordpour::bench {

// Runs this program again with `mode` as its argument, and waits for it:
// its exit status, 1 when it did not exit.
inline int runAgain(const char* program, const char* mode) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", program, mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// Adds a process's time to `file`, and ends the process at once: its
// threads (the dictionaries', the finder's) are not waited for.
[[noreturn]] inline void keepAndExit(const char* file, double ms) {
    std::ofstream(file, std::ios::app) << ms << '\n';
    std::fflush(stdout);
    _exit(0);
}

struct Spread {
    double median = 0, least = 0, most = 0;
    std::size_t count = 0;
};

// The times kept in `file`, and this process's.
inline Spread spreadOf(const char* file, double ms) {
    std::vector<double> all{ms};
    for (std::ifstream earlier(file); earlier;)
        if (double kept = 0; earlier >> kept) all.push_back(kept);
    std::sort(all.begin(), all.end());
    return {all[all.size() / 2], all.front(), all.back(), all.size()};
}

}  // namespace wordpour::bench
