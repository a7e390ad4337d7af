// Takes a crash cut short, found when the plug-in loads and when a scene opens, recovered
// from the journal alone; and the panel's list of a node's takes.
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>
#include <mayahost/UiControl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "PcapFormat.h"
#include "PluginFixture.h"
#include "SampleMapFormat.h"
#include "TakeSidecar.h"

namespace plugintest {
namespace {

constexpr std::uint32_t kBones = 27;

std::string mel(const std::string& command) {
    return MGlobal::executeCommandStringResult(MString(command.c_str())).asChar();
}

std::vector<std::string> strings(const std::string& command) {
    MStringArray array;
    EXPECT_EQ(MGlobal::executeCommand(MString(command.c_str()), array), MStatus::kSuccess)
        << command;
    std::vector<std::string> out;
    for (unsigned int i = 0; i < array.length(); ++i) {
        out.emplace_back(array[i].asChar());
    }
    return out;
}

bool contains(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::any_of(lines.begin(), lines.end(), [&wanted](const std::string& line) {
        return line.find(wanted) != std::string::npos;
    });
}

class TakeRecovery : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tulvex-recovery-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mProject = pattern;
        mPreviousProject = mel("workspace -q -rootDirectory");
        ASSERT_EQ(MGlobal::executeCommand(
                      MString(("workspace -openWorkspace \"" + mProject + "\"").c_str())),
                  MStatus::kSuccess);
    }
    void TearDown() override {
        PluginTest::TearDown();
        if (std::filesystem::is_directory(mPreviousProject)) {
            MGlobal::executeCommand(
                MString(("workspace -openWorkspace \"" + mPreviousProject + "\"").c_str()));
        }
        std::filesystem::remove_all(mProject);
    }

    // A journal as a writer leaves it: a take of film frames at `times`, the root at x = 100t.
    std::string writeJournal(const std::string& scene, const std::string& node, int take,
                             const std::string& state, const std::vector<double>& times) const {
        const std::string folder = mProject + "/data/tulvex/" + scene;
        std::filesystem::create_directories(folder);
        const std::string base = folder + "/" + node + "_take" + std::to_string(take);
        TakeSidecar sidecar;
        sidecar.node = node;
        sidecar.take = take;
        sidecar.state = state;
        sidecar.timeUnit = "film";
        sidecar.skeletonName = "tulvexCharacter0_Skeleton";
        sidecar.bones.assign(kBones, "bone");
        sidecar.pcapFile = node + "_take" + std::to_string(take) + ".pcap";
        sidecar.samplesFile = node + "_take" + std::to_string(take) + ".samples";
        std::vector<std::byte> pcap;
        PcapFormat::appendFileHeader(pcap);
        std::vector<std::byte> samples;
        SampleMapFormat::appendHeader(samples, kBones);
        for (const double time : times) {
            std::vector<SampleMapFormat::Bone> bones(kBones);
            for (SampleMapFormat::Bone& bone : bones) {
                bone = {{100.0 * time, 1.0, 2.0}, {0.0, 0.0, 0.0}, {1.0, 0.0, 0.0, 0.0}};
            }
            SampleMapFormat::appendRecord(samples, time, -1, bones.data(), kBones);
            // A writer that died leaves a summary up to its last flush; this one flushed all.
            sidecar.summarise(time);
            ++sidecar.samples;
        }
        std::ofstream(base + ".json") << sidecar.toJson();
        std::ofstream(base + ".pcap", std::ios::binary)
            .write(reinterpret_cast<const char*>(pcap.data()),
                   static_cast<std::streamsize>(pcap.size()));
        std::ofstream(base + ".samples", std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size()));
        return base + ".json";
    }

    std::string mProject;
    std::string mPreviousProject;
};

std::vector<double> frames(int first, int count) {
    std::vector<double> times;
    for (int f = first; f < first + count; ++f) {
        times.push_back(f);
    }
    return times;
}

TEST_F(TakeRecovery, UnfinishedTakesAreReportedWhenThePluginLoadsAndWhenASceneOpens) {
    const std::string crashed =
        writeJournal("untitled", "tulvexDevice0", 1, "recording", frames(1, 12));
    writeJournal("untitled", "tulvexDevice0", 2, "complete", frames(1, 5));
    ASSERT_EQ(load(), MStatus::kSuccess);
    std::vector<std::string> warnings = mayahost::takeDisplayedWarnings();
    EXPECT_TRUE(contains(warnings, "1 unfinished take found: " + crashed + ", 0.5 s"))
        << (warnings.empty() ? "no warning" : warnings.back());

    // Another scene's takes wait for that scene.
    const std::string first = writeJournal("dance", "tulvexDevice0", 1, "recording", frames(1, 24));
    const std::string second = writeJournal("dance", "tulvexDevice0", 2, "recording", frames(1, 6));
    EXPECT_EQ(strings("TulvexTakes -unfinished").size(), 1U);
    mayahost::fileOpen(mProject + "/scenes/dance.ma",
                       [] { MGlobal::executeCommand("tulvexCreateDeviceNode"); });
    EXPECT_EQ(mel("file -q -sceneName"), mProject + "/scenes/dance.ma");
    warnings = mayahost::takeDisplayedWarnings();
    EXPECT_TRUE(
        contains(warnings, "2 unfinished takes found: " + first + ", 1.0 s; " + second + ", 0.2 s"))
        << (warnings.empty() ? "no warning" : warnings.back());
    // The node's panel opens on its takes, each with Recover.
    mayahost::runIdleQueue();
    EXPECT_TRUE(mayahost::uiState("tulvexPanel0_takeRow1_recover").reachable);
    EXPECT_TRUE(mayahost::uiState("tulvexPanel0_takeRow2_recover").reachable);
    EXPECT_NE(mayahost::uiState("tulvexPanel0_unfinished").caption.find("2 unfinished takes"),
              std::string::npos);
}

TEST_F(TakeRecovery, RecoverBakesTheJournalsSamplesOnceAndTheTakeIsListedAsRecovered) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    EXPECT_EQ(mel("file -rename \"" + mProject + "/scenes/jump.ma\""),
              mProject + "/scenes/jump.ma");
    const std::string node = mel("tulvexCreateDeviceNode");
    const std::vector<double> times = {3.0, 4.0, 5.0, 9.0, 10.0};
    const std::string path = writeJournal("jump", node, 1, "recording", times);
    MGlobal::executeCommand(MString(("tulvexOpenPanel " + node).c_str()));
    ASSERT_EQ(mayahost::uiClick("tulvexPanel0_takeRow1_recover"), mayahost::UiOutcome::Done);
    mayahost::runIdleQueue();

    // Filled keys stand for the frames the gap missed; the journal's own keep their values.
    const std::vector<mayahost::CurveKey> keys =
        mayahost::animCurveKeys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(keys.size(), 8U);
    for (const mayahost::CurveKey& key : keys) {
        EXPECT_EQ(key.value, 100.0 * key.time) << key.time;
    }
    EXPECT_EQ(keys.front().time, 3.0);
    EXPECT_EQ(keys.back().time, 10.0);

    EXPECT_TRUE(strings("TulvexTakes -unfinished").empty());
    EXPECT_EQ(strings("TulvexTakes -node " + node),
              std::vector<std::string>{"1\t0.3\t5\t1\tincomplete\t" + node + "\t" + path});
    EXPECT_TRUE(mayahost::uiState("tulvexPanel0_takeRow1_bake").reachable);
    EXPECT_FALSE(mayahost::uiState("tulvexPanel0_unfinished").exists);
    EXPECT_NE(MGlobal::executeCommand(MString(("TulvexTakes -recover \"" + path + "\"").c_str())),
              MStatus::kSuccess);
    EXPECT_TRUE(contains(mayahost::takeDisplayedErrors(), "is not an unfinished take"));
}

// An allocation failing inside Maya as the journal bakes: one error, no exception into MEL,
// and the take is left unfinished so that Recover can be tried again.
TEST_F(TakeRecovery, AnAllocationFailureWhileRecoveringIsOneErrorAndTheTakeStaysRecoverable) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    const std::string node = mel("tulvexCreateDeviceNode");
    const std::string path = writeJournal("untitled", node, 1, "recording", frames(1, 5));
    const MString recover(("TulvexTakes -recover \"" + path + "\"").c_str());
    mayahost::takeDisplayedErrors();
    mayahost::throwNext(mayahost::HostCall::CreateAnimCurve, 1, 10);  // the 11th curve fails
    EXPECT_NE(MGlobal::executeCommand(recover), MStatus::kSuccess);
    EXPECT_EQ(mayahost::takeDisplayedErrors(),
              std::vector<std::string>{std::string("TulvexTakes stopped on an unexpected error: ") +
                                       std::bad_alloc().what()});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty()) << "nothing reached MEL as an exception";
    EXPECT_EQ(strings("TulvexTakes -unfinished").size(), 1U) << "not marked recovered";

    EXPECT_EQ(MGlobal::executeCommand(recover), MStatus::kSuccess);
    EXPECT_EQ(mayahost::animCurveKeys("tulvexCharacter0_Skeleton_root_tx").size(), 5U);
    EXPECT_TRUE(strings("TulvexTakes -unfinished").empty());
}

TEST_F(TakeRecovery, ThePanelShowsTheLatestTakesAndABadSidecarIsNamedNotFatal) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    const std::string node = mel("tulvexCreateDeviceNode");
    for (int take = 1; take <= 50; ++take) {
        writeJournal("untitled", node, take, "complete", frames(1, take));
    }
    const std::string bad = mProject + "/data/tulvex/untitled/" + node + "_take51.json";
    std::ofstream(bad) << "{\"format\": \"tulvex-take-journal\", \"formatVersion\": 9}";
    MGlobal::executeCommand(MString(("tulvexOpenPanel " + node).c_str()));

    EXPECT_EQ(mayahost::uiElements("tulvexPanel0_takeRow*_line").size(), 8U);
    EXPECT_EQ(mayahost::uiState("tulvexPanel0_takeRow50_line").caption,
              "Take 50: 2.1 s, 50 frames, 0 gaps, complete");
    EXPECT_TRUE(mayahost::uiState("tulvexPanel0_takeRow43_line").exists);
    EXPECT_FALSE(mayahost::uiState("tulvexPanel0_takeRow42_line").exists);
    EXPECT_EQ(mayahost::uiState("tulvexPanel0_takesHidden").caption,
              "42 earlier takes not shown: TulvexTakes -node " + node + " lists them all");
    EXPECT_TRUE(contains(mayahost::takeDisplayedWarnings(),
                         bad + " is left out: the sidecar is of format version 9"));

    ASSERT_EQ(mayahost::uiClick("tulvexPanel0_takeRow45_file"), mayahost::UiOutcome::Done);
    EXPECT_NE(mayahost::takeScriptOutput().find("Journal of take 45: " + mProject +
                                                "/data/tulvex/untitled/" + node + "_take45.json"),
              std::string::npos);
}

}  // namespace
}  // namespace plugintest
