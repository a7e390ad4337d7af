// MEL from other threads: capture threads queue commands on idle, and the main thread runs
// them.
#define MNoVersionString
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

using IdleQueueThreadTest = HostFixture;

TEST_F(IdleQueueThreadTest, CommandsQueuedFromManyThreadsRunInEachThreadsOrder) {
    // A MEL procedure keeps what it was called with; MEL runs on the main thread only, so the
    // calls can only have run there.
    ASSERT_TRUE(
        MGlobal::executeCommand("global proc report(string $who, int $n) {"
                                "    global string $gReports[];"
                                "    $gReports[size($gReports)] = $who + \" \" + $n;"
                                "}"));
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
    MStringArray reports;
    ASSERT_TRUE(MGlobal::executeCommand("global string $gReports[]; $gReports", reports));
    EXPECT_EQ(reports.length(), 0U) << "queuing runs nothing";
    EXPECT_EQ(mayahost::runIdleQueue(), kThreads * kEach);
    ASSERT_TRUE(MGlobal::executeCommand("global string $gReports[]; $gReports", reports));
    std::map<std::string, std::vector<int>> seen;
    for (unsigned int k = 0; k < reports.length(); ++k) {
        const std::string report = reports[k].asChar();
        const std::size_t blank = report.find(' ');
        seen[report.substr(0, blank)].push_back(std::stoi(report.substr(blank + 1)));
    }
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kThreads));
    for (const auto& entry : seen) {
        ASSERT_EQ(entry.second.size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) {
            EXPECT_EQ(entry.second[static_cast<std::size_t>(i)], i);
        }
    }
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

}  // namespace
