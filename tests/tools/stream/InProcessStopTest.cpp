#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "LoopbackReceiver.h"
#include "StopFlag.h"
#include "StreamEmulator.h"

namespace {

// The flag is raised from the test's thread while the emulator sleeps and sends on its own,
// as the signal handler raises it in the tool.
TEST(InProcessStopTest, StopFromAnotherThreadEndsTheStreamWithMatchingCounts) {
    StopFlag::reset();
    LoopbackReceiver receiver(2);
    StreamOptions options;
    options.port = receiver.port();
    options.performers = 2;
    options.jitterMs = 3;
    std::ostringstream out;
    StreamEmulator emulator(options, out);
    std::thread sender([&emulator] { emulator.run(); });

    std::chrono::steady_clock::time_point asked;
    const auto datagrams = receiver.collect([&](std::size_t received) {
        if (!StopFlag::requested() && received >= 30) {
            StopFlag::request();
            asked = std::chrono::steady_clock::now();
        }
        return !StopFlag::requested() ||
               std::chrono::steady_clock::now() - asked < std::chrono::milliseconds(200);
    });
    sender.join();
    StopFlag::reset();

    std::int64_t sent = 0;
    for (const auto& c : emulator.counts()) {
        sent += c.definitions + c.frames;
        EXPECT_EQ(c.definitions, 1);
    }
    EXPECT_GE(datagrams.size(), 30U);
    EXPECT_EQ(sent, static_cast<std::int64_t>(datagrams.size()));
    EXPECT_NE(out.str().find(":" + std::to_string(receiver.port(1)) + ": "), std::string::npos)
        << out.str();
}

}  // namespace
