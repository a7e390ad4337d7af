// The panel's address list in the stand-in host: looked up at most once a second by
// not-live evaluations and sent only when it changed, or at once when a panel asks.
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "NodeFixture.h"

namespace nodetest {
namespace {

using std::chrono::milliseconds;

// The interfaces the node sees; the test thread is the only one to use them (evaluation and
// commands run on it in the stand-in host).
std::string gAddressList;
int gLookUps = 0;

std::string fakeAddressList() {
    ++gLookUps;
    return gAddressList;
}

class AddressRefreshTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        gAddressList = "Your local IPs:\t\t\t10.0.0.1";
        gLookUps = 0;
        device().setAddressListSource(&fakeAddressList);
        ASSERT_EQ(plug(TulvexDeviceNode::mDeviceId).setInt(3), MStatus::kSuccess);
        mayahost::takeIdleCommands();
    }

    // One not-live evaluation, as a time change would cause.
    void evaluate() {
        mTime += 1.0;
        ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(mTime), MStatus::kSuccess);
        mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    }

    // The address lists queued for the panel since the last call.
    static std::vector<std::string> sentLists() {
        std::vector<std::string> lists;
        for (const std::string& command : mayahost::takeIdleCommands()) {
            if (command.rfind("displayAvailableIPs ", 0) == 0) {
                lists.push_back(command);
            }
        }
        return lists;
    }
    static std::string sent(const std::string& list) {
        return "displayAvailableIPs \"" + list + "\" 3";
    }

    double mTime = 0.0;
};

TEST_F(AddressRefreshTest, EvaluationsWithinASecondLookUpOnceAndSendOnce) {
    for (int i = 0; i < 5; ++i) {
        evaluate();
    }
    EXPECT_EQ(gLookUps, 1);
    EXPECT_EQ(sentLists(), std::vector<std::string>{sent(gAddressList)});

    ManualClock::advance(milliseconds(999));
    evaluate();
    EXPECT_EQ(gLookUps, 1) << "not re-listed within a second";
    ManualClock::advance(milliseconds(1));
    evaluate();
    EXPECT_EQ(gLookUps, 2);
    EXPECT_TRUE(sentLists().empty()) << "an unchanged list is not sent again";
}

TEST_F(AddressRefreshTest, AChangedAddressReachesThePanelWithinASecond) {
    evaluate();
    sentLists();
    gAddressList = "Your local IPs:\t\t\t10.0.0.1\t\t\t192.168.4.7";
    ManualClock::advance(milliseconds(400));
    evaluate();
    EXPECT_TRUE(sentLists().empty());
    ManualClock::advance(milliseconds(600));
    evaluate();
    EXPECT_EQ(sentLists(), std::vector<std::string>{sent(gAddressList)});
    ManualClock::advance(milliseconds(1000));
    evaluate();
    EXPECT_TRUE(sentLists().empty());
}

TEST_F(AddressRefreshTest, AnErrorTextIsSentLikeAList) {
    evaluate();
    sentLists();
    gAddressList = "An error occurred while trying to find your IP address";
    ManualClock::advance(milliseconds(1000));
    evaluate();
    EXPECT_EQ(sentLists(), std::vector<std::string>{sent(gAddressList)});
}

TEST_F(AddressRefreshTest, APanelThatAsksGetsTheListAtOnceChangedOrNot) {
    evaluate();
    sentLists();
    EXPECT_EQ(device().showAddressList(), MStatus::kSuccess);
    EXPECT_EQ(device().showAddressList(), MStatus::kSuccess);
    EXPECT_EQ(gLookUps, 3);
    EXPECT_EQ(sentLists(), (std::vector<std::string>{sent(gAddressList), sent(gAddressList)}));
    // Its look-up counts for the evaluations that follow.
    ManualClock::advance(milliseconds(500));
    evaluate();
    EXPECT_EQ(gLookUps, 3);
    EXPECT_TRUE(sentLists().empty());
}

TEST_F(AddressRefreshTest, LiveEvaluationsLeaveTheListAlone) {
    goLive(freeUdpPort());
    mayahost::takeIdleCommands();
    ManualClock::advance(milliseconds(5000));
    for (int i = 0; i < 3; ++i) {
        mayahost::pullDirtyOutputs(nodeObject());
    }
    EXPECT_EQ(gLookUps, 0);
    EXPECT_TRUE(sentLists().empty());
}

TEST_F(AddressRefreshTest, TheSystemsListIsBackWhenTheSourceIsCleared) {
    device().setAddressListSource(nullptr);
    evaluate();
    EXPECT_EQ(gLookUps, 0);
    const std::vector<std::string> lists = sentLists();
    ASSERT_EQ(lists.size(), 1U);
    EXPECT_EQ(lists[0].rfind("displayAvailableIPs \"Your local IPs:", 0), 0U) << lists[0];
}

}  // namespace
}  // namespace nodetest
