#pragma once

#include <vector>

// CPU time of this process's threads, read from the kernel's scheduler statistics, which
// count it in nanoseconds: precise enough for a thread that runs for microseconds at a time.
class ThreadCpu {
public:
    // Ids of the process's threads now.
    static std::vector<int> threadIds();
    // Ids in `after` that are not in `before`.
    static std::vector<int> newThreads(const std::vector<int>& before,
                                       const std::vector<int>& after);
    // Seconds the thread has run; 0 for a thread that is gone.
    static double seconds(int threadId);
    static double seconds(const std::vector<int>& threadIds);

    ThreadCpu() = delete;
};
