#include "ThreadCpu.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

std::vector<int> ThreadCpu::threadIds() {
    std::vector<int> ids;
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ids.push_back(std::atoi(entry.path().filename().c_str()));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int> ThreadCpu::newThreads(const std::vector<int>& before,
                                       const std::vector<int>& after) {
    std::vector<int> added;
    for (const int id : after) {
        if (std::find(before.begin(), before.end(), id) == before.end()) {
            added.push_back(id);
        }
    }
    return added;
}

double ThreadCpu::seconds(int threadId) {
    std::ifstream stats("/proc/self/task/" + std::to_string(threadId) + "/schedstat");
    long long nanoseconds = 0;
    return stats >> nanoseconds ? static_cast<double>(nanoseconds) / 1e9 : 0.0;
}

double ThreadCpu::seconds(const std::vector<int>& threadIds) {
    double total = 0.0;
    for (const int id : threadIds) {
        total += seconds(id);
    }
    return total;
}
