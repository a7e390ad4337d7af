// The journal the program keeps of each take: replayed by the phone emulator datagram for
// datagram, and baked again into the very keys the run wrote; a journal that cannot be read
// ends with 8 and no scene file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "ChildProcess.h"
#include "LoopbackPort.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = TULVEX_HOST_EXE;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The curves of a scene file with their keys: everything from the first curve on.
std::string curvesOf(const std::string& scene) {
    const std::size_t first = scene.find("createNode anim");
    return first == std::string::npos ? std::string() : scene.substr(first);
}

class JournalProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDir = fs::temp_directory_path() / ("tulvex-journal-" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }

    fs::path mDir;
};

TEST_F(JournalProcessTest, ATakesJournalReplaysEveryDatagramAndBakesAgainIntoTheSameKeys) {
    const int port = LoopbackPort::freeConsecutive(1);
    const fs::path original = mDir / "take.ma";
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "1", "--wait-timeout",
                       "10", "--output", original.string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "15", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result recorded = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(recorded.exitCode, 0) << recorded.out << recorded.err;

    const fs::path journal = mDir / "data/tulvex/untitled/tulvexDevice0_take1";
    const std::string sidecar = readFile(journal.string() + ".json");
    std::smatch datagrams;
    ASSERT_TRUE(std::regex_search(sidecar, datagrams, std::regex("\"datagrams\": (\\d+)")))
        << sidecar;
    EXPECT_NE(sidecar.find("\"state\": \"complete\""), std::string::npos) << sidecar;
    const std::string count = datagrams[1];
    EXPECT_GT(std::stoi(count), 30);

    const ChildProcess::Result replayed = ChildProcess::run(
        {TULVEX_STREAM_EXE, "replay", "--input", journal.string() + ".pcap", "--port",
         std::to_string(LoopbackPort::freeConsecutive(1)), "--speed", "20"});
    ASSERT_EQ(replayed.exitCode, 0) << replayed.out << replayed.err;
    EXPECT_NE(replayed.out.find("replayed " + count + " of " + count + " UDP datagrams"),
              std::string::npos)
        << replayed.out;

    const fs::path again = mDir / "again.ma";
    const ChildProcess::Result rebaked = ChildProcess::run(
        {kHost, "--rebake", journal.string() + ".pcap", "--output", again.string()});
    ASSERT_EQ(rebaked.exitCode, 0) << rebaked.out << rebaked.err;
    const std::string keys = curvesOf(readFile(original));
    ASSERT_NE(keys.find(".ktv"), std::string::npos);
    EXPECT_EQ(curvesOf(readFile(again)), keys);
}

TEST_F(JournalProcessTest, AHostKilledDuringTheTakeLeavesAJournalThatBakesUpToItsLastSecond) {
    const int port = LoopbackPort::freeConsecutive(1);
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "20", "--wait-timeout",
                       "10", "--output", (mDir / "never.ma").string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "30", "--repeat-definition", "0.5", "--quiet"});
    const fs::path journal = mDir / "data/tulvex/untitled/tulvexDevice0_take1";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(journal.string() + ".json") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(fs::exists(journal.string() + ".json")) << host.outSoFar();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    host.signal(SIGKILL);
    host.wait(std::chrono::seconds(5));
    EXPECT_NE(readFile(journal.string() + ".json").find("\"state\": \"recording\""),
              std::string::npos);
    // At 2176 bytes a sample, the map holds at least the samples of all but the last second.
    const auto mapBytes = fs::file_size(journal.string() + ".samples");
    const auto samples = (mapBytes - 24) / 2176;
    EXPECT_GE(samples, 24U * 2U) << "two of the three seconds at 24 fps or more";

    const fs::path recovered = mDir / "recovered.ma";
    const ChildProcess::Result rebaked = ChildProcess::run(
        {kHost, "--rebake", journal.string() + ".json", "--output", recovered.string()});
    ASSERT_EQ(rebaked.exitCode, 0) << rebaked.out << rebaked.err;
    EXPECT_NE(rebaked.out.find("recording"), std::string::npos) << rebaked.out;
    EXPECT_NE(curvesOf(readFile(recovered)).find(".ktv"), std::string::npos);
}

TEST_F(JournalProcessTest, AMissingOrDamagedJournalEndsWithEightAndWritesNoScene) {
    const fs::path output = mDir / "out.ma";
    const ChildProcess::Result missing = ChildProcess::run(
        {kHost, "--rebake", (mDir / "none_take1.pcap").string(), "--output", output.string()});
    EXPECT_EQ(missing.exitCode, 8);
    EXPECT_NE(missing.err.find("none_take1.json"), std::string::npos) << missing.err;

    const fs::path damaged = mDir / "node_take1";
    std::ofstream(damaged.string() + ".json")
        << "{\"format\": \"tulvex-take-journal\", \"formatVersion\": 1}";
    std::ofstream(damaged.string() + ".pcap") << "not a capture";
    std::ofstream(damaged.string() + ".samples") << "";
    const ChildProcess::Result broken = ChildProcess::run(
        {kHost, "--rebake", damaged.string() + ".json", "--output", output.string()});
    EXPECT_EQ(broken.exitCode, 8);
    EXPECT_NE(broken.err.find("is missing"), std::string::npos) << broken.err;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(std::distance(fs::directory_iterator(mDir), fs::directory_iterator()), 3)
        << "no temporary scene file is left";
}

}  // namespace
