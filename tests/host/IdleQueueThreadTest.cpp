// MEL from other threads: capture threads queue commands on idle, and the main thread runs
// them.
#define MNoVersionString
#include <maya/MGlobal.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

using IdleQueueThreadTest = HostFixture;

TEST_F(IdleQueueThreadTest, CommandsQueuedFromManyThreadsRunInEachThreadsOrder) {
    std::map<std::string, std::vector<int>> seen;
    std::vector<std::thread::id> runners;
    mayahost::registerProcedure("report", [&](const auto& args, const auto&) {
        seen[args.at(0)].push_back(std::stoi(args.at(1)));
        runners.push_back(std::this_thread::get_id());
        return MStatus(MStatus::kSuccess);
    });
    constexpr int kThreads = 4;
    constexpr int kEach = 50;
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kEach; ++i) {
                const std::string text =
                    "report \"t" + std::to_string(t) + "\" " + std::to_string(i);
                MGlobal::executeCommandOnIdle(MString(text.c_str()));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(mayahost::runIdleQueue(), kThreads * kEach);
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kThreads));
    for (const auto& entry : seen) {
        ASSERT_EQ(entry.second.size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) {
            EXPECT_EQ(entry.second[static_cast<std::size_t>(i)], i);
        }
    }
    for (std::thread::id id : runners) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

}  // namespace
