// A host killed in the middle of a take, and the take baked again from its journal alone: every
// key is the sample the run recorded, every sample the pose of the datagram it names, and the
// take reaches to within a second of the kill.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "JournalReader.h"
#include "LoopbackPort.h"
#include "MayaAsciiWriter.h"
#include "SampleMapFormat.h"
#include "TulvexDataHandler.h"
#include "ZarnMotionFormat.h"

namespace {

namespace fs = std::filesystem;

constexpr int kReceiveBufferSize = 4096;  // the decoder is handed the whole receive buffer
constexpr double kSecondsBeforeKill = 3.0;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::int64_t wallNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The arrival time of each record of a capture the journal wrote (nanosecond pcap).
std::vector<std::int64_t> arrivalTimes(const std::string& pcap) {
    std::vector<std::int64_t> times;
    std::size_t at = 24;
    while (at + 16 <= pcap.size()) {
        std::uint32_t fields[4];
        std::memcpy(fields, pcap.data() + at, sizeof(fields));
        if (at + 16 + fields[2] > pcap.size()) {
            break;
        }
        times.push_back(std::int64_t{fields[0]} * 1000000000 + fields[1]);
        at += 16 + fields[2];
    }
    return times;
}

// Every key of every curve of a scene file: curve name to (time, value) pairs.
std::map<std::string, std::map<double, double>> keysOf(const std::string& scene) {
    std::map<std::string, std::map<double, double>> curves;
    std::string curve;
    std::istringstream lines(scene);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t name = line.find("createNode animCurve");
        if (name != std::string::npos) {
            const std::size_t open = line.find('"');
            curve = line.substr(open + 1, line.find('"', open + 1) - open - 1);
            continue;
        }
        const std::size_t values = line.find("\".ktv[");
        if (values == std::string::npos) {
            continue;
        }
        std::string numbers = line.substr(line.find(']', values) + 2);
        while (numbers.find(';') == std::string::npos && std::getline(lines, line)) {
            numbers += " " + line;
        }
        std::istringstream in(numbers.substr(0, numbers.find(';')));
        for (std::string time, value; in >> time >> value;) {
            curves[curve][std::strtod(time.c_str(), nullptr)] = std::strtod(value.c_str(), nullptr);
        }
    }
    return curves;
}

// The pose after each datagram of the capture, as the node's decoder makes it: frames applied
// over the stream's definition, definitions repeated while none is awaited ignored.
std::vector<std::vector<SkeletonNodeInfo>> posesOf(std::vector<std::vector<std::byte>> payloads) {
    TulvexDataHandler decoder;
    for (std::vector<std::byte>& payload : payloads) {
        payload.resize(kReceiveBufferSize);
        if (decoder.IsSkeletonDefinition(payload.data(), kReceiveBufferSize)) {
            decoder.ProcessSkeletonDefinitionData(payload.data(), kReceiveBufferSize);
            break;
        }
    }
    std::vector<std::vector<SkeletonNodeInfo>> poses;
    for (std::vector<std::byte>& payload : payloads) {
        if (decoder.IsFrameData(payload.data(), kReceiveBufferSize)) {
            decoder.ProcessFrameData(payload.data(), kReceiveBufferSize);
        }
        poses.push_back(decoder.GetSkeletonDataChannels());
    }
    return poses;
}

class TakeRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDir = fs::temp_directory_path() / ("tulvex-recovery-" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        ZarnMotionFormat::Initialize(TULVEX_HOST_TEST_PLUGIN_DIR);
        ASSERT_TRUE(ZarnMotionFormat::IsBound());
    }
    void TearDown() override {
        ZarnMotionFormat::Shutdown();
        fs::remove_all(mDir);
    }

    fs::path mDir;
};

TEST_F(TakeRecoveryTest, AKilledHostsTakeBakesAgainIntoTheSamplesItRecordedUpToItsLastSecond) {
    const int port = LoopbackPort::freeConsecutive(1);
    ChildProcess host({TULVEX_HOST_EXE, "--port", std::to_string(port), "--record", "20",
                       "--wait-timeout", "10", "--output", (mDir / "never.ma").string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "30", "--repeat-definition", "0.5", "--quiet"});
    // Killed once the journal holds a few seconds of the take, at the timeline's 24 fps from
    // frame 1: the time of the last whole sample the map holds so far.
    const fs::path journal = mDir / "data/tulvex/untitled/tulvexDevice0_take1";
    const std::size_t recordBytes = SampleMapFormat::recordBytes(TulvexDataHandler::kNumBones);
    const auto lastSampleTime = [&] {
        const std::string map = readFile(journal.string() + ".samples");
        if (map.size() < SampleMapFormat::kHeaderBytes + recordBytes) {
            return 0.0;
        }
        const std::size_t records = (map.size() - SampleMapFormat::kHeaderBytes) / recordBytes;
        double time = 0.0;
        std::memcpy(&time, map.data() + SampleMapFormat::kHeaderBytes + (records - 1) * recordBytes,
                    sizeof(time));
        return time;
    };
    const double wanted = 1.0 + 24.0 * kSecondsBeforeKill;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (lastSampleTime() < wanted && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_GE(lastSampleTime(), wanted) << host.outSoFar();
    const std::int64_t killed = wallNanoseconds();
    host.signal(SIGKILL);
    host.wait(std::chrono::seconds(5));

    const fs::path recovered = mDir / "recovered.ma";
    const ChildProcess::Result rebaked = ChildProcess::run(
        {TULVEX_HOST_EXE, "--rebake", journal.string() + ".json", "--output", recovered.string()});
    ASSERT_EQ(rebaked.exitCode, 0) << rebaked.out << rebaked.err;

    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(journal.string() + ".json", contents, error)) << error;
    EXPECT_EQ(contents.sidecar.state, "recording");
    std::vector<std::vector<std::byte>> payloads;
    ASSERT_TRUE(JournalReader::readPayloads(journal.string() + ".pcap", payloads, error)) << error;
    const std::vector<std::int64_t> arrivals = arrivalTimes(readFile(journal.string() + ".pcap"));
    ASSERT_EQ(arrivals.size(), payloads.size());
    const std::vector<std::vector<SkeletonNodeInfo>> poses = posesOf(payloads);
    const std::vector<SampleMapFormat::Sample>& samples = contents.samples;

    // Each sample holds the pose of its datagram: the rotations as decoded, the translations
    // in the single precision the user sees.
    // Ticking Record arms the journal, and the host presses Play at once, so the first
    // samples may show a pose whose datagram came before it: their map entry is -1, and only
    // theirs.
    std::map<double, const SampleMapFormat::Sample*> keyed;  // the last sample at a time wins
    bool mapped = false;
    std::size_t unmapped = 0;
    for (const SampleMapFormat::Sample& sample : samples) {
        keyed[sample.time] = &sample;
        if (!mapped && sample.datagramIndex == -1) {
            ++unmapped;
            continue;
        }
        mapped = true;
        ASSERT_GE(sample.datagramIndex, 0) << "sample at " << sample.time;
        ASSERT_LT(sample.datagramIndex, static_cast<std::int64_t>(poses.size()));
        const std::vector<SkeletonNodeInfo>& pose =
            poses[static_cast<std::size_t>(sample.datagramIndex)];
        for (std::size_t b = 0; b < pose.size(); ++b) {
            const SkeletonNodeInfo& bone = pose[b];
            const SampleMapFormat::Bone& held = sample.bones[b];
            const double* translation = b == 0 ? bone.currentTranslation : bone.restTranslation;
            const std::array<double, 4> quaternion = {
                bone.currentRotation[3], bone.currentRotation[0], bone.currentRotation[1],
                bone.currentRotation[2]};
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(held.translation[c], static_cast<float>(translation[c]))
                    << "bone " << b << " at " << sample.time;
            }
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(held.quaternion[c], quaternion[static_cast<std::size_t>(c)])
                    << "bone " << b << " at " << sample.time;
            }
        }
    }
    EXPECT_LT(unmapped, 12U) << "half a second of samples before the capture's first datagram";
    EXPECT_TRUE(mapped);

    // Each sample is a key of every curve of its bone, bit for bit as the file writes it.
    const auto curves = keysOf(readFile(recovered));
    constexpr const char* kSuffixes[6] = {"_tx", "_ty", "_tz", "_rx", "_ry", "_rz"};
    std::size_t checked = 0;
    for (std::size_t b = 0; b < contents.sidecar.bones.size(); ++b) {
        for (int c = 0; c < 6; ++c) {
            const std::string name =
                contents.sidecar.skeletonName + "_" + contents.sidecar.bones[b] + kSuffixes[c];
            const auto curve = curves.find(name);
            ASSERT_NE(curve, curves.end()) << name;
            // Filled keys only between samples: the curve spans the take's samples exactly.
            EXPECT_EQ(curve->second.begin()->first, keyed.begin()->first) << name;
            EXPECT_EQ(curve->second.rbegin()->first, keyed.rbegin()->first) << name;
            for (const auto& [time, sample] : keyed) {
                const SampleMapFormat::Bone& held = sample->bones[b];
                const double radiansPerDegree = MayaAsciiWriter::kRadiansPerDegree;
                const double expected =
                    c < 3 ? held.translation[c]
                          : held.rotation[c - 3] * radiansPerDegree / radiansPerDegree;
                const auto key = curve->second.find(time);
                ASSERT_NE(key, curve->second.end()) << name << " at " << time;
                ASSERT_EQ(key->second, expected) << name << " at " << time;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, keyed.size() * 6 * TulvexDataHandler::kNumBones);
    EXPECT_GE(keyed.rbegin()->first, wanted);

    // The last second before the kill is all that may be lost.
    const std::int64_t lastShown = arrivals[static_cast<std::size_t>(samples.back().datagramIndex)];
    EXPECT_GE(lastShown, killed - 1000000000)
        << "the recovered take ends " << static_cast<double>(killed - lastShown) / 1e9
        << " s before the kill";
}

// Rotation of XYZ Euler angles in degrees, as a matrix: equal orientations, equal matrices.
std::array<double, 9> orientation(double x, double y, double z) {
    const double r = 3.14159265358979323846 / 180.0;
    const double cx = std::cos(x * r);
    const double sx = std::sin(x * r);
    const double cy = std::cos(y * r);
    const double sy = std::sin(y * r);
    const double cz = std::cos(z * r);
    const double sz = std::sin(z * r);
    return {cz * cy,
            cz * sy * sx - sz * cx,
            cz * sy * cx + sz * sx,
            sz * cy,
            sz * sy * sx + cz * cx,
            sz * sy * cx - cz * sx,
            -sy,
            cy * sx,
            cy * cx};
}

TEST_F(TakeRecoveryTest, TakeOptionsShapeTheTakeAndABakeAgainKeepsEveryOrientation) {
    // A performer turning on the spot, 150 degrees a second: past a half turn in the take.
    const int port = LoopbackPort::freeConsecutive(1);
    const fs::path original = mDir / "take.ma";
    ChildProcess host({TULVEX_HOST_EXE, "--port", std::to_string(port), "--record", "3",
                       "--wait-timeout", "10", "--continuous-rotations", "--smoothing", "1,0.1",
                       "--floor-offset", "4.5", "--output", original.string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "20", "--repeat-definition", "0.5", "--spin", "150",
                        "--quiet"});
    const ChildProcess::Result recorded = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(recorded.exitCode, 0) << recorded.out << recorded.err;
    const fs::path journal = mDir / "data/tulvex/untitled/tulvexDevice0_take1.json";
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(journal.string(), contents, error)) << error;
    std::map<std::string, double> settings(contents.sidecar.settings.begin(),
                                           contents.sidecar.settings.end());
    EXPECT_EQ(settings["smoothing"], 1.0);
    EXPECT_EQ(settings["smoothingMinCutoff"], 1.0);
    EXPECT_EQ(settings["smoothingBeta"], 0.1);
    EXPECT_EQ(settings["floorOffset"], 4.5);

    const auto continuous = keysOf(readFile(original));
    ASSERT_EQ(continuous.size(), 162U);
    // Baked again from the journal alone, with the option and without it.
    const fs::path same = mDir / "same.ma";
    const fs::path plain = mDir / "plain.ma";
    ASSERT_EQ(ChildProcess::run({TULVEX_HOST_EXE, "--rebake", journal.string(),
                                 "--continuous-rotations", "--output", same.string()})
                  .exitCode,
              0);
    ASSERT_EQ(ChildProcess::run(
                  {TULVEX_HOST_EXE, "--rebake", journal.string(), "--output", plain.string()})
                  .exitCode,
              0);
    EXPECT_EQ(keysOf(readFile(same)), continuous);
    const auto samples = keysOf(readFile(plain));
    ASSERT_EQ(samples.size(), continuous.size());
    int changed = 0;
    double largestPlainStep = 0.0;
    for (const auto& [curve, keys] : continuous) {
        if (curve.compare(curve.size() - 3, 2, "_r") != 0) {
            EXPECT_EQ(samples.at(curve), keys) << curve;  // translations are left alone
            continue;
        }
        if (curve.back() != 'x') {
            continue;  // each bone's three angles are taken together, below
        }
        const std::string bone = curve.substr(0, curve.size() - 1);
        const auto triple = [&bone](const auto& curves, double time) {
            return std::array<double, 3>{curves.at(bone + "x").at(time),
                                         curves.at(bone + "y").at(time),
                                         curves.at(bone + "z").at(time)};
        };
        const auto distance = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
            return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
        };
        std::array<double, 3> previous{};
        std::array<double, 3> previousSample{};
        bool first = true;
        for (const auto& key : keys) {
            const std::array<double, 3> kept = triple(continuous, key.first);
            const std::array<double, 3> sample = triple(samples, key.first);
            const auto a = orientation(kept[0], kept[1], kept[2]);
            const auto b = orientation(sample[0], sample[1], sample[2]);
            for (std::size_t i = 0; i < a.size(); ++i) {
                ASSERT_NEAR(a[i], b[i], 1e-9) << bone << " at " << key.first;
            }
            if (!first) {
                // Never farther from the key before than the sample itself, and never a
                // jump of a half turn or more on one axis.
                EXPECT_LE(distance(kept, previous), distance(sample, previous) + 1e-9)
                    << bone << " at " << key.first;
                for (std::size_t c = 0; c < 3; ++c) {
                    EXPECT_LT(std::fabs(kept[c] - previous[c]), 180.0)
                        << bone << " at " << key.first;
                    largestPlainStep =
                        std::max(largestPlainStep, std::fabs(sample[c] - previousSample[c]));
                }
            }
            changed += kept != sample ? 1 : 0;
            previous = kept;
            previousSample = sample;
            first = false;
        }
    }
    EXPECT_GT(largestPlainStep, 180.0) << "the take crosses no half turn";
    EXPECT_GT(changed, 0) << "the turn changed no key";

    // Baked again with other smoothing and floor offset, from the capture's frames.
    const auto bakeAgain = [&](const std::string& name, std::vector<std::string> options) {
        const fs::path scene = mDir / name;
        std::vector<std::string> args = {TULVEX_HOST_EXE, "--rebake", journal.string()};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {"--output", scene.string()});
        const ChildProcess::Result result = ChildProcess::run(args);
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return keysOf(readFile(scene));
    };
    const auto rawKeys = bakeAgain("raw.ma", {"--smoothing", "off", "--floor-offset", "0"});
    const auto raisedKeys = bakeAgain("raised.ma", {"--smoothing", "off", "--floor-offset", "9"});
    const auto quickKeys = bakeAgain("quick.ma", {"--smoothing", "1,0.5"});
    const std::string root = contents.sidecar.skeletonName + "_" + contents.sidecar.bones[0];
    ASSERT_EQ(rawKeys.size(), continuous.size());
    ASSERT_EQ(raisedKeys.size(), continuous.size());
    // A sample that shows a frame from before the journal began keeps its recorded pose; the
    // comparisons take the keys of samples the journal maps to their frame, a second in.
    std::map<double, bool> mapped;  // the last sample at a time makes its key
    for (const SampleMapFormat::Sample& sample : contents.samples) {
        mapped[sample.time] = sample.datagramIndex >= 0;
    }
    const double settled = samples.at(root + "_ty").begin()->first + 24.0;
    const auto comparable = [&](double time) {
        const auto found = mapped.find(time);
        return time >= settled && found != mapped.end() && found->second;
    };
    std::size_t compared = 0;
    for (const auto& [time, height] : rawKeys.at(root + "_ty")) {
        if (comparable(time)) {
            // Added before the rounding to single precision.
            EXPECT_NEAR(raisedKeys.at(root + "_ty").at(time), height + 9.0, 1e-4) << time;
            ++compared;
        }
    }
    ASSERT_GT(compared, 24U);
    for (const auto& [curve, keys] : rawKeys) {
        if (curve != root + "_ty") {
            EXPECT_EQ(raisedKeys.at(curve), keys) << curve;  // the offset moves nothing else
        }
    }
    // Smoothing lags a turn, and less the more it follows speed: the heading the take recorded
    // (beta 0.1, as its samples hold it) trails the raw frames farther than beta 0.5.
    const auto turnGap = [](double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); };
    double recordedLag = 0.0;
    double quickLag = 0.0;
    compared = 0;
    const auto& rawHeading = rawKeys.at(root + "_ry");
    for (const auto& [time, value] : samples.at(root + "_ry")) {
        if (!comparable(time)) {
            continue;
        }
        recordedLag += turnGap(value, rawHeading.at(time));
        quickLag += turnGap(quickKeys.at(root + "_ry").at(time), rawHeading.at(time));
        ++compared;
    }
    ASSERT_GT(compared, 24U);
    EXPECT_GT(recordedLag / compared, 0.2) << "degrees behind the raw turn, on average";
    EXPECT_LT(quickLag, recordedLag * 0.7);
}

}  // namespace
