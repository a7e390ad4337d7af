#pragma once

#include <maya/MObject.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "TulvexDeviceNode.h"

// A device node in the stand-in host that streams over loopback: live on its port at the
// given frameRate, its socket open, a skeleton definition taken and bound, so that every frame
// sent to it is applied. Frames carry their number in the root's x, so what a node applied
// and what its outputs show can be told apart by number.
class StreamingNode {
public:
    StreamingNode(int port, double frameRate);
    ~StreamingNode();
    StreamingNode(const StreamingNode&) = delete;
    StreamingNode& operator=(const StreamingNode&) = delete;

    int port() const { return mPort; }
    const MObject& node() const { return mNode; }
    TulvexDeviceNode& device() const { return *mDevice; }
    const StreamCounters& counters() const { return mDevice->counters(); }

    // Number of the newest frame the node has applied; -1 before the first.
    std::int64_t newestApplied() const;
    // Number of the frame its outputs show; -1 before the first.
    std::int64_t shown() const;
    // Blocks compute has taken from the pool.
    long popped() const;

    // A 27-bone frame whose root x, once the node has scaled it, is `number`.
    static std::vector<std::byte> frame(std::int64_t number);

private:
    int mPort;
    MObject mNode;
    TulvexDeviceNode* mDevice = nullptr;
};
