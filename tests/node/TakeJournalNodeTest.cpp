// The node journals each take it records, live over loopback: every datagram of the take,
// every sample mapped to the datagram it showed, under the project's data/tulvex folder;
// a folder that cannot be written warns once and the take is still baked.
#include <maya/MAnimControl.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <mayahost/HostControl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "JournalReader.h"
#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

class TakeJournalNodeTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tulvex-project-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mProject = pattern;
        mPreviousProject =
            MGlobal::executeCommandStringResult("workspace -q -rootDirectory").asChar();
        openProject(mProject);
        mName = MFnDependencyNode(nodeObject()).name().asChar();
    }
    void TearDown() override {
        MAnimControl::stop();
        NodeTest::TearDown();
        if (std::filesystem::is_directory(mPreviousProject)) {
            openProject(mPreviousProject);
        }
        std::filesystem::remove_all(mProject);
    }
    static void openProject(const std::string& folder) {
        ASSERT_EQ(MGlobal::executeCommand(
                      MString(("workspace -openWorkspace \"" + folder + "\"").c_str())),
                  MStatus::kSuccess);
    }

    // Sends a datagram and lets one evaluation at `time` consume the block it made.
    void sendAndEvaluate(const std::vector<std::byte>& datagram, double time) {
        mSender.send(mPort, datagram);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (device().threadDataCount() == 0 && std::chrono::steady_clock::now() < deadline) {
            mayahost::waitForRefresh(std::chrono::milliseconds(5));
        }
        ASSERT_GT(device().threadDataCount(), 0)
            << device().counters().datagramsReceived.load() << " received, "
            << device().counters().framesApplied.load() << " applied, "
            << device().counters().passesWithoutBuffer.load() << " without buffer";
        ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(time), MStatus::kSuccess);
        mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    }

    // Binds the node, then records `frames` frames at times 1, 2, ... with the root at x = n.
    std::vector<std::vector<std::byte>> recordTake(int frames) {
        goLive(freeUdpPort());
        sendAndPop(zmf::encode(makeDefinition(0.25F)));
        device().CharacterizationComplete();
        std::vector<std::vector<std::byte>> sent;
        sent.push_back(zmf::encode(makeFrame(1, 0.0, 1.0F)));
        sendAndPop(sent.back());  // the pose before the take
        EXPECT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
        MAnimControl::playForward();
        for (int n = 2; n < frames + 2; ++n) {
            sent.push_back(zmf::encode(makeFrame(n, n / 60.0, static_cast<float>(n))));
            sendAndEvaluate(sent.back(), n);
        }
        MAnimControl::stop();
        EXPECT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);
        mayahost::runIdleQueue();  // the bake
        return sent;
    }

    std::string base(int take) const {
        return mProject + "/data/tulvex/untitled/" + mName + "_take" + std::to_string(take);
    }

    // The journal once its writer marked it finished.
    bool finishedJournal(int take, JournalReader::Contents& contents) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            std::string error;
            if (JournalReader::read(base(take) + ".json", contents, error) &&
                contents.sidecar.state != "recording") {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    static bool baked() {
        const std::vector<std::string> names = mayahost::nodeNames();
        return std::find(names.begin(), names.end(), "tulvexCharacter0_Skeleton_root_tx") !=
               names.end();
    }

    std::string mProject;
    std::string mPreviousProject;
    std::string mName;
};

TEST_F(TakeJournalNodeTest, EverySampleOfATakeIsMappedToTheDatagramWhoseFrameItShowed) {
    const std::vector<std::vector<std::byte>> sent = recordTake(12);
    EXPECT_TRUE(baked());
    JournalReader::Contents contents;
    ASSERT_TRUE(finishedJournal(1, contents)) << base(1);
    EXPECT_EQ(contents.sidecar.state, "complete");
    EXPECT_EQ(contents.sidecar.node, mName);
    EXPECT_EQ(contents.sidecar.port, mPort);
    EXPECT_EQ(contents.sidecar.timeUnit, "film");
    EXPECT_EQ(contents.sidecar.skeletonName, "tulvexCharacter0_Skeleton");
    ASSERT_EQ(contents.sidecar.bones.size(), 27U);
    EXPECT_EQ(contents.sidecar.bones[0], "root");

    std::vector<std::vector<std::byte>> payloads;
    std::string error;
    ASSERT_TRUE(JournalReader::readPayloads(base(1) + ".pcap", payloads, error)) << error;
    // The take's datagrams, led by the one its first sample showed: never the definition.
    ASSERT_EQ(payloads.size(), 12U);
    ASSERT_EQ(contents.samples.size(), 12U);
    for (std::size_t s = 0; s < contents.samples.size(); ++s) {
        const SampleMapFormat::Sample& sample = contents.samples[s];
        const double n = static_cast<double>(s + 2);
        EXPECT_EQ(sample.time, n);
        EXPECT_EQ(sample.bones[0].translation[0], n * 100.0);
        ASSERT_GE(sample.datagramIndex, 0);
        EXPECT_EQ(payloads[static_cast<std::size_t>(sample.datagramIndex)], sent[s + 1]) << s;
    }
}

// A user ticks Record, then presses Play: the frame that came in between is the first
// sample's, and the journal holds it even on the node's first take.
TEST_F(TakeJournalNodeTest, TheFrameBetweenRecordAndPlayIsJournaledForTheFirstSample) {
    goLive(freeUdpPort());
    sendAndPop(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
    const std::vector<std::byte> waiting = zmf::encode(makeFrame(1, 0.0, 1.0F));
    mSender.send(mPort, waiting);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (device().threadDataCount() == 0 && std::chrono::steady_clock::now() < deadline) {
        mayahost::waitForRefresh(std::chrono::milliseconds(5));
    }
    ASSERT_GT(device().threadDataCount(), 0);
    MAnimControl::playForward();
    ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(1.0), MStatus::kSuccess);
    mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    const std::vector<std::byte> next = zmf::encode(makeFrame(2, 1 / 60.0, 2.0F));
    sendAndEvaluate(next, 2.0);
    MAnimControl::stop();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);
    mayahost::runIdleQueue();

    JournalReader::Contents contents;
    ASSERT_TRUE(finishedJournal(1, contents)) << base(1);
    std::vector<std::vector<std::byte>> payloads;
    std::string error;
    ASSERT_TRUE(JournalReader::readPayloads(base(1) + ".pcap", payloads, error)) << error;
    ASSERT_EQ(contents.samples.size(), 2U);
    ASSERT_GE(contents.samples[0].datagramIndex, 0);
    EXPECT_EQ(payloads[static_cast<std::size_t>(contents.samples[0].datagramIndex)], waiting);
    ASSERT_GE(contents.samples[1].datagramIndex, 0);
    EXPECT_EQ(payloads[static_cast<std::size_t>(contents.samples[1].datagramIndex)], next);
}

TEST_F(TakeJournalNodeTest, AFolderThatCannotBeMadeWarnsOnceAndTheTakeIsStillBaked) {
    std::ofstream(mProject + "/data") << "a file where the folder should be";
    recordTake(5);
    // The Script Editor's warnings, until the writer has had time for a second one.
    std::vector<std::string> warnings;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        mayahost::runIdleQueue();
        for (const std::string& warning : mayahost::takeScriptWarnings()) {
            warnings.push_back(warning);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(warnings.size(), 1U);
    EXPECT_NE(warnings[0].find(mProject + "/data/tulvex/untitled"), std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[0].find("Not a directory"), std::string::npos) << warnings[0];
    EXPECT_TRUE(baked());
}

}  // namespace
}  // namespace nodetest
