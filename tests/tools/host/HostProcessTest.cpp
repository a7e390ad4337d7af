// The program as a user runs it: against the staged module, with phones on loopback, and
// with each of the failures it has an exit code for.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "ChildProcess.h"
#include "LoopbackPort.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = TULVEX_HOST_EXE;

class HostProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = fs::temp_directory_path() /
               ("tulvex-host-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }

    fs::path mDir;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

std::string connection(const std::string& from, const std::string& to) {
    std::string line = "connectAttr \"";
    line += from;
    line += "\" \"";
    line += to;
    line += "\";";
    return line;
}

// The summary row of a node, cell by column header.
std::map<std::string, std::string> summaryRow(const std::string& out, const std::string& node) {
    std::istringstream lines(out);
    std::vector<std::string> header;
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> cells = words(line);
        if (!cells.empty() && cells[0] == "node") {
            header = cells;
        } else if (!header.empty() && cells.size() == header.size() && cells[0] == node) {
            std::map<std::string, std::string> row;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                row[header[i]] = cells[i];
            }
            return row;
        }
    }
    return {};
}

// Sum of N over the `setAttr -s N ".ktv[...]"` lines whose curve name starts with `prefix`.
long keysInFile(const std::string& text, const std::string& prefix) {
    long keys = 0;
    std::istringstream lines(text);
    bool inCurve = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("createNode ", 0) == 0) {
            inCurve = line.rfind("createNode animCurveTL -n \"" + prefix, 0) == 0 ||
                      line.rfind("createNode animCurveTA -n \"" + prefix, 0) == 0;
        } else if (inCurve && line.find(".ktv[") != std::string::npos) {
            keys += std::stol(words(line).at(2));
        }
    }
    return keys;
}

#ifdef TULVEX_STREAM_EXE
TEST_F(HostProcessTest, RecordsTwoPhonesIntoOneScene) {
    const int port = LoopbackPort::freeConsecutive(2);
    const fs::path output = mDir / "take.ma";
    ChildProcess host({kHost, "--performers", "2", "--port", std::to_string(port), "--record", "1",
                       "--wait-timeout", "10", "--output", output.string(), "--show-panels"});
    // The host may not listen yet when a phone starts: repeating the definition covers that.
    const std::string stream = TULVEX_STREAM_EXE;
    ChildProcess fast({stream, "--port", std::to_string(port), "--fps", "60", "--duration", "15",
                       "--repeat-definition", "0.5", "--quiet"});
    ChildProcess slow({stream, "--port", std::to_string(port + 1), "--fps", "30", "--duration",
                       "15", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;

    struct Expected {
        std::string node;
        int deviceId;
        std::string rate;
        std::string frameRate;
    };
    const std::string text = readFile(output);
    for (const Expected& expected :
         {Expected{"tulvexDevice0", 0, "60", "90"}, Expected{"tulvexDevice1", 1, "30", "60"}}) {
        SCOPED_TRACE(expected.node);
        std::map<std::string, std::string> row = summaryRow(result.out, expected.node);
        ASSERT_FALSE(row.empty()) << result.out;
        EXPECT_EQ(row["port"], std::to_string(port + expected.deviceId));
        EXPECT_EQ(row["rate"], expected.rate);
        EXPECT_EQ(row["frameRate"], expected.frameRate);
        EXPECT_EQ(row["curves"], "162");
        const long datagrams = std::stol(row["datagrams"]);
        const long frames = std::stol(row["frames"]);
        EXPECT_GT(frames, 0);
        EXPECT_LE(frames, datagrams);
        EXPECT_EQ(row["rejected"], "0") << "the phone sends nothing but ZMF packets";
        EXPECT_GE(std::stol(row["superseded"]), 0);
        EXPECT_LT(std::stol(row["superseded"]), frames);
        EXPECT_GE(std::stol(row["filled"]), 0);
        // The panel the shelf opened for the node, as the scripts left it.
        const std::string panel = "tulvexPanel" + std::to_string(expected.deviceId);
        EXPECT_NE(result.out.find("window " + panel + " \"Tulvex Device " +
                                  std::to_string(expected.deviceId) + " (" + expected.node +
                                  ")\" shown\n"),
                  std::string::npos)
            << result.out;

        const std::string skeleton =
            "tulvexCharacter" + std::to_string(expected.deviceId) + "_Skeleton";
        // Translations on distance curves, rotations on angle curves, none converted.
        EXPECT_EQ(occurrences(text, "createNode animCurveTL -n \"" + skeleton + "_"), 81);
        EXPECT_EQ(occurrences(text, "createNode animCurveTA -n \"" + skeleton + "_"), 81);
        EXPECT_EQ(occurrences(text, "createNode joint -n \"" + skeleton + "_"), 27);
        EXPECT_EQ(occurrences(text, "createNode unitConversion"), 0);
        EXPECT_EQ(occurrences(text, "connectAttr \"" + skeleton + "_"), 162);
        const long keysPerCurve = std::stol(row["keys/curve"]);
        EXPECT_EQ(keysInFile(text, skeleton + "_"), 162L * keysPerCurve)
            << "the file holds every key the summary counts";
        // About a second of whole film frames from frame 1: a key for each.
        EXPECT_GT(keysPerCurve, 15);
        const std::string range = row["range"];
        const std::size_t dash = range.find('-');
        ASSERT_NE(dash, std::string::npos) << range;
        const double first = std::stod(range.substr(0, dash));
        const double last = std::stod(range.substr(dash + 1));
        EXPECT_GE(first, 1.0);
        EXPECT_EQ(last - first + 1.0, static_cast<double>(keysPerCurve))
            << "a key on every whole frame of the range";
        // The panel's message line tells the same figures as the summary.
        EXPECT_NE(
            result.out.find("text " + panel + "_message \"Baked 162 curves, " + row["keys/curve"] +
                            " keys each, frames " + range.substr(0, dash) + " to " +
                            range.substr(dash + 1) + ", " + row["filled"] + " filled\"\n"),
            std::string::npos)
            << result.out;
        EXPECT_NE(text.find(connection(skeleton + "_root_ty.o", skeleton + "_root.ty")),
                  std::string::npos);
        EXPECT_NE(text.find(connection(skeleton + "_r_toes_rz.o", skeleton + "_r_toes.rz")),
                  std::string::npos);
    }
    EXPECT_EQ(text.rfind("//Maya ASCII 2022 scene\n", 0), 0U);
    const std::size_t range = text.find("playbackOptions -min 1 -max ");
    ASSERT_NE(range, std::string::npos);
    const int end = std::stoi(text.substr(range + 28));
    EXPECT_GE(end, 18);
    EXPECT_LE(end, 32);
}

TEST_F(HostProcessTest, AStreamThatStopsDuringTheTakeIsWarnedAboutWithWhen) {
    const int port = LoopbackPort::freeConsecutive(1);
    const fs::path output = mDir / "take.ma";
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "5", "--wait-timeout",
                       "10", "--output", output.string(), "--show-panels=always"});
    // It stops about two seconds into the take: the host listens within a fraction of a
    // second, and the take starts at the first definition after that.
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "3", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const std::regex warning(
        "tulvex-host: warning: tulvexDevice0 \\(port " + std::to_string(port) +
        "\\): its stream stopped ([0-9.]+) s into the take \\(frame ([0-9.]+)\\) and did not "
        "come back: the take has nothing of it for the last ([0-9.]+) s\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(result.err, match, warning)) << result.err;
    const double at = std::stod(match[1]);
    EXPECT_GT(at, 0.5);
    EXPECT_LT(at, 3.0);
    EXPECT_NEAR(std::stod(match[2]), 1.0 + at * 24.0, 0.15);  // both rounded to 0.01
    EXPECT_NEAR(at + std::stod(match[3]), 5.0, 0.3);
    EXPECT_TRUE(fs::exists(output)) << "a stopped stream still makes a take";
    // The panel's lines as the take went on: streaming, then silent, while recording.
    const std::size_t streaming = result.out.find(
        "  tulvexPanel0: Streaming 60 fps from 127.0.0.1, 0 dropped | Recording: 1 s\n");
    EXPECT_NE(streaming, std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  tulvexPanel0: No data for 1 s | Recording: ", streaming),
              std::string::npos)
        << result.out;
}

TEST_F(HostProcessTest, ASteadyStreamGivesNoWarning) {
    const int port = LoopbackPort::freeConsecutive(1);
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "1", "--wait-timeout",
                       "10", "--output", (mDir / "take.ma").string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "30",
                        "--duration", "15", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
}

// A take as long as users record: every frame of the timeline that was shown gets a sample
// of its own. Only a frame real-time playback skipped (the host reached it late, as on a
// loaded machine) is filled, and the summary says how many.
TEST_F(HostProcessTest, AMinuteOfASteadyStreamFillsOnlyFramesSkippedOrReachedBeforeTheirPose) {
    const int port = LoopbackPort::freeConsecutive(1);
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "60", "--wait-timeout",
                       "10", "--output", (mDir / "take.ma").string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "90", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(120));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    std::map<std::string, std::string> row = summaryRow(result.out, "tulvexDevice0");
    ASSERT_FALSE(row.empty()) << result.out;
    EXPECT_EQ(row["keys/curve"], "1440") << result.out;  // 60 s at 24 frames a second
    // Filled keys come from frames real-time playback skipped, and from frames whose
    // evaluations all came before the phone's next frame (a starved phone, say).
    std::smatch found;
    const int skipped = std::regex_search(result.out, found,
                                          std::regex("Real-time playback skipped ([0-9]+) frame"))
                            ? std::stoi(found[1])
                            : 0;
    const int withoutPose =
        std::regex_search(result.out, found,
                          std::regex("While recording, ([0-9]+) evaluation\\(s\\) found no new"))
            ? std::stoi(found[1])
            : 0;
    EXPECT_GE(std::stoi(row["filled"]), skipped) << result.out;
    EXPECT_LE(std::stoi(row["filled"]), skipped + withoutPose) << result.out;
}

TEST_F(HostProcessTest, AFailedWriteEndsWithSevenAndLeavesTheEarlierTake) {
    const int port = LoopbackPort::freeConsecutive(1);
    const fs::path output = mDir / "take.ma";
    std::ofstream(output) << "//an earlier take\n";
    ChildProcess host({kHost, "--port", std::to_string(port), "--record", "1", "--wait-timeout",
                       "10", "--output", output.string()});
    host.limitFileSize(16L * 1024);  // far less than a take: the disk is full
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "15", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(40));
    EXPECT_EQ(result.exitCode, 7) << result.out << result.err;
    EXPECT_NE(result.err.find("cannot write " + output.string()), std::string::npos) << result.err;
    EXPECT_EQ(readFile(output), "//an earlier take\n");
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(mDir)) {
        if (entry.path().filename() != "data") {  // the take's journal, beside the scene
            left.push_back(entry.path().filename().string());
        }
    }
    EXPECT_EQ(left, std::vector<std::string>{"take.ma"}) << "no temporary file is left behind";
}
#endif

TEST_F(HostProcessTest, ABadOutputPathEndsWithSevenBeforeAnythingIsRecorded) {
    LoopbackPort quiet;
    quiet.release();
    const fs::path output = mDir / "no-such-folder" / "take.ma";
    // Without the check first, this run would wait 20 s for a stream and end with 6.
    const auto start = std::chrono::steady_clock::now();
    const ChildProcess::Result result =
        ChildProcess::run({kHost, "--port", std::to_string(quiet.port()), "--wait-timeout", "20",
                           "--output", output.string()});
    EXPECT_EQ(result.exitCode, 7) << result.out << result.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(result.err.find("cannot write " + output.string() + ": there is no folder"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out.find("Loading"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Waiting for"), std::string::npos) << result.out;

    const ChildProcess::Result folder = ChildProcess::run(
        {kHost, "--port", std::to_string(quiet.port()), "--output", mDir.string()});
    EXPECT_EQ(folder.exitCode, 7) << folder.err;
    EXPECT_NE(folder.err.find("is a folder"), std::string::npos) << folder.err;
}

TEST_F(HostProcessTest, PortInUseEndsWithFive) {
    LoopbackPort taken;
    const ChildProcess::Result result =
        ChildProcess::run({kHost, "--port", std::to_string(taken.port()), "--wait-timeout", "5",
                           "--output", (mDir / "take.ma").string()});
    EXPECT_EQ(result.exitCode, 5) << result.out << result.err;
    EXPECT_NE(result.err.find("Port in Use"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(std::to_string(taken.port())), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(mDir / "take.ma"));
}

TEST_F(HostProcessTest, NoStreamEndsWithSixNamingThePort) {
    LoopbackPort quiet;
    quiet.release();
    const ChildProcess::Result result =
        ChildProcess::run({kHost, "--port", std::to_string(quiet.port()), "--wait-timeout", "0.5",
                           "--output", (mDir / "take.ma").string()});
    EXPECT_EQ(result.exitCode, 6) << result.out << result.err;
    EXPECT_NE(result.err.find("port " + std::to_string(quiet.port()) + "): nothing received"),
              std::string::npos)
        << result.err;
}

TEST_F(HostProcessTest, MissingOrBrokenModuleEndsWithThree) {
    const ChildProcess::Result missing =
        ChildProcess::run({kHost, "--plugin", (mDir / "nowhere.so").string()});
    EXPECT_EQ(missing.exitCode, 3) << missing.err;
    EXPECT_NE(missing.err.find("nowhere.so"), std::string::npos) << missing.err;

    const fs::path notAModule = mDir / "TulvexMayaPlugin.so";
    std::ofstream(notAModule) << "not a shared object\n";
    const ChildProcess::Result broken = ChildProcess::run(
        {kHost, "--plugin", notAModule.string(), "--scripts", TULVEX_HOST_TEST_SCRIPTS});
    EXPECT_EQ(broken.exitCode, 3) << broken.err;
    EXPECT_NE(broken.err.find("cannot load"), std::string::npos) << broken.err;
}

TEST_F(HostProcessTest, ModuleWithoutDecodingLibraryEndsWithFour) {
    // The module layout without its ZarnMotionFormat folder.
    const fs::path pluginDir = mDir / "plug-ins" / "linux";
    fs::create_directories(pluginDir);
    const fs::path module = pluginDir / fs::path(TULVEX_HOST_TEST_PLUGIN).filename();
    fs::copy_file(TULVEX_HOST_TEST_PLUGIN, module);
    const ChildProcess::Result result = ChildProcess::run(
        {kHost, "--plugin", module.string(), "--scripts", TULVEX_HOST_TEST_SCRIPTS});
    EXPECT_EQ(result.exitCode, 4) << result.out << result.err;
    EXPECT_NE(result.err.find("Failed to import ZarnMotionFormat library"), std::string::npos)
        << result.err;
}

TEST_F(HostProcessTest, BadArgumentsEndWithTwoAndTheUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{kHost, "--performers", "0"},
          std::vector<std::string>{kHost, "--record"},
          std::vector<std::string>{kHost, "--frobnicate"}}) {
        const ChildProcess::Result result = ChildProcess::run(args);
        EXPECT_EQ(result.exitCode, 2) << args[1];
        EXPECT_NE(result.err.find("Usage: tulvex-host"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(args[1]), std::string::npos) << result.err;
    }
    const ChildProcess::Result help = ChildProcess::run({kHost, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--wait-timeout"), std::string::npos);
}

TEST_F(HostProcessTest, InterruptWhileWaitingEndsWith130) {
    LoopbackPort quiet;
    quiet.release();
    ChildProcess host({kHost, "--port", std::to_string(quiet.port()), "--wait-timeout", "20",
                       "--output", (mDir / "take.ma").string()});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (host.outSoFar().find("Waiting for") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const auto sent = std::chrono::steady_clock::now();
    host.signal(SIGINT);
    const ChildProcess::Result result = host.wait(std::chrono::seconds(10));
    EXPECT_EQ(result.exitCode, 130) << result.out << result.err;
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(3));
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
    // The node's socket was closed on the way out.
    EXPECT_NE(result.out.find("Closing socket"), std::string::npos) << result.out;
}

}  // namespace
