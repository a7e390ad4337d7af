#pragma once

#include <gtest/gtest.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <zmf/ZmfCodec.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "LoopbackPort.h"
#include "TulvexDeviceNode.h"

namespace nodetest {

// A steady clock the tests move by hand, so the 1000 ms silence rule is exact and fast.
class ManualClock {
public:
    static TulvexDeviceNode::SteadyTime now();
    static void set(std::chrono::nanoseconds sinceEpoch);
    static void advance(std::chrono::nanoseconds step);

private:
    static std::atomic<std::int64_t> sNanoseconds;
};

// A UDP client on loopback standing in for the phone.
class UdpSender {
public:
    UdpSender();
    ~UdpSender();
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    void send(int port, const std::vector<std::byte>& datagram) const;

private:
    int mSocket;
};

using loopback::freeUdpPort;

zmf::SkeletonDefinition makeDefinition(float translationBase, int bones = 27);
zmf::FramePacket makeFrame(std::int32_t number, double timestamp, float rootX, int bones = 27);

using Block = std::array<SkeletonNodeInfo, 27>;

// Registers the node type with the stand-in host, binds the staged decoding library and
// creates one node; everything is torn down again after each test.
class NodeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TulvexDeviceNode& device() const { return *mDevice; }
    MObject nodeObject() const { return mNode; }
    MPlug plug(const MObject& attribute) const { return MPlug(mNode, attribute); }

    // Switches live on and opens the socket as the first live evaluation would.
    void goLive(int port);
    // Waits for the next block the capture thread pushes and takes it from the pool.
    bool popBlock(Block& block, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends one datagram and takes the block it produces.
    Block sendAndPop(const std::vector<std::byte>& datagram);

    MObject mNode;
    TulvexDeviceNode* mDevice = nullptr;
    int mPort = 0;
    UdpSender mSender;
};

}  // namespace nodetest
