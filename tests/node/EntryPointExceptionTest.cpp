// No C++ exception crosses into Maya: an allocation failing inside a Maya call that compute or
// the idle bake makes becomes a failure and one error message, and the node goes on working.
#include <maya/MAnimControl.h>
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>

#include <new>
#include <string>
#include <vector>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

std::string unexpected(const std::string& entryPoint) {
    return entryPoint + " stopped on an unexpected error: " + std::bad_alloc().what();
}

class EntryPointExceptionTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
        std::vector<std::byte> buffer(TulvexDeviceNode::kReceiveBufferSize);
        const std::vector<std::byte> definition = zmf::encode(makeDefinition(0.25F));
        std::copy(definition.begin(), definition.end(), buffer.begin());
        device().parseSkeletonData(buffer.data(), buffer.size());
        device().CharacterizationComplete();
        mayahost::takeIdleCommands();
    }
    void TearDown() override {
        MAnimControl::stop();
        NodeTest::TearDown();
    }
    // One evaluation of the refresh attribute at scene time `time`.
    void evaluateAt(double time) {
        ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(time), MStatus::kSuccess);
        mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    }
    // Records a take of two samples and hands it to the bake, which waits for idle time.
    void recordTake() {
        ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
        MAnimControl::playForward();
        evaluateAt(10.0);
        evaluateAt(11.0);
        MAnimControl::stop();
        ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);
        ASSERT_EQ(device().takesWaitingForBake(), 1U);
    }
    // The MEL errors queued for idle time since the last call.
    static std::vector<std::string> queuedErrors() {
        std::vector<std::string> errors;
        for (const std::string& command : mayahost::takeIdleCommands()) {
            if (command.rfind("error ", 0) == 0) {
                errors.push_back(command);
            }
        }
        return errors;
    }
    static int bakedCurves() {
        int count = 0;
        for (const std::string& name : mayahost::animCurveNames()) {
            count += name.rfind("tulvexCharacter", 0) == 0 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(EntryPointExceptionTest, AnAllocationFailureInComputeIsAFailureAndOneQueuedError) {
    const MPlug output = plug(TulvexDeviceNode::mOutputTranslate);
    mayahost::takeIdleCommands();
    mayahost::throwNext(mayahost::HostCall::AddArrayElement);
    EXPECT_NO_THROW(mayahost::plugValues(output));
    EXPECT_TRUE(mayahost::isDirty(output)) << "a failed compute cleans nothing";
    EXPECT_EQ(queuedErrors(),
              std::vector<std::string>{"error \"" + unexpected("TulvexDeviceNode compute") + "\""});

    mayahost::plugValues(output);
    EXPECT_FALSE(mayahost::isDirty(output)) << "the next evaluation works";
    EXPECT_TRUE(queuedErrors().empty());
}

TEST_F(EntryPointExceptionTest, AnAllocationFailureInTheBakeIsOneErrorAndTheNextTakeBakes) {
    recordTake();
    mayahost::takeDisplayedErrors();
    mayahost::throwNext(mayahost::HostCall::CreateAnimCurve, 1, 10);  // the 11th curve fails
    EXPECT_NO_THROW(mayahost::runIdleQueue());
    EXPECT_EQ(mayahost::takeDisplayedErrors(),
              std::vector<std::string>{unexpected(TulvexDeviceNode::kIdleCommand)});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty()) << "nothing reached MEL as an exception";

    recordTake();
    mayahost::runIdleQueue();
    EXPECT_EQ(bakedCurves(), 162);
    EXPECT_TRUE(mayahost::takeDisplayedErrors().empty());
}

}  // namespace
}  // namespace nodetest
