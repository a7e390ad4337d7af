#include "StreamingNode.h"

#include <fcntl.h>
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "BenchHost.h"
#include "LoopbackSender.h"

namespace {

constexpr int kBones = 27;

// The node scales translations by 100.
constexpr float kNumberToMetres = 0.01F;

std::int64_t frameNumberOf(double rootX) {
    return rootX < 0.0 ? -1 : static_cast<std::int64_t>(std::llround(rootX));
}

}  // namespace

StreamingNode::StreamingNode(int port, double frameRate)
    : mPort(port), mNode(mayahost::createNode("TulvexDeviceNode")) {
    mDevice = dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(mNode));
    if (mDevice == nullptr) {
        std::fprintf(stderr, "no device node\n");
        std::exit(1);
    }
    MPlug(mNode, TulvexDeviceNode::mInputPort).setInt(port);
    MPlug(mNode, TulvexDeviceNode::frameRate).setDouble(frameRate);
    mayahost::setLive(mNode, true);
    if (!BenchHost::openSocketQuietly(*mDevice)) {
        std::fprintf(stderr, "port %d is taken\n", port);
        std::exit(1);
    }

    zmf::SkeletonDefinition definition;
    for (int bone = 0; bone < kBones; ++bone) {
        definition.bones.push_back({{0.0F, 0.0F, 0.0F, 1.0F}, {0.0F, 0.05F * bone, 0.0F}});
    }
    LoopbackSender().send(port, zmf::encode(definition));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (counters().definitionsAccepted.load() == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "the node on port %d took no definition\n", port);
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    mDevice->CharacterizationComplete();
}

StreamingNode::~StreamingNode() {
    mayahost::deleteNode(mNode);
}

std::int64_t StreamingNode::newestApplied() const {
    std::array<SkeletonNodeInfo, kBones> channels{};
    mDevice->copySkeletonChannels(channels.data());
    return frameNumberOf(channels[0].currentTranslation[0]);
}

std::int64_t StreamingNode::shown() const {
    const MPlug root = MPlug(mNode, TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0);
    const std::vector<double> values = mayahost::plugValues(root);
    return values.empty() ? -1 : frameNumberOf(values[0]);
}

long StreamingNode::popped() const {
    return mayahost::deviceStats(mNode).popped;
}

std::vector<std::byte> StreamingNode::frame(std::int64_t number) {
    zmf::FramePacket packet;
    packet.frameNumber = static_cast<std::int32_t>(number);
    packet.timestamp = static_cast<double>(number) / 60.0;
    for (int bone = 0; bone < kBones; ++bone) {
        packet.boneIds.push_back(bone);
        packet.bones.push_back(
            {{0.0F, 0.0F, 0.0F, 1.0F},
             {bone == 0 ? kNumberToMetres * static_cast<float>(number) : 0.0F, 1.0F, 0.0F}});
    }
    return zmf::encode(packet);
}
