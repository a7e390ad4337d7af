// The node's receiving side: the UDP socket, the capture thread and the rule that decides
// which datagrams are applied.
#include <arpa/inet.h>
#include <maya/MString.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "TulvexDeviceNode.h"
#include "TulvexMessages.h"

namespace {

// How long a capture thread waits before it re-reads its live state and socket. Wake-ups
// (stop request, socket opened) end a wait at once; this only bounds a missed one.
constexpr std::chrono::milliseconds kStateRecheck(100);

void printSystemError(const TulvexMessage& message, int error) {
    std::fprintf(stderr, TulvexMessages::lookup(message).asChar(), std::strerror(error));
}

bool packetGapExceeded(TulvexDeviceNode::SteadyTime last, TulvexDeviceNode::SteadyTime now,
                       double thresholdMs) {
    const auto gap = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last);
    return static_cast<double>(gap.count()) / 1000000.0 > thresholdMs;
}

}  // namespace

MStatus TulvexDeviceNode::openSocketConnection(int& descriptor, int port) {
    descriptor = socket(AF_INET, SOCK_DGRAM, 0);
    if (descriptor == -1) {
        const int error = errno;
        // 0, not -1: "no socket", so the next live evaluation tries again.
        descriptor = 0;
        printSystemError(TulvexMessages::kSocketFunctionErrorApple, error);
        return MStatus::kFailure;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == -1) {
        const int error = errno;
        printSystemError(TulvexMessages::kBindSocketErrorApple, error);
        closeSocketConnection(descriptor);
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}

void TulvexDeviceNode::closeSocketConnection(int& descriptor) {
    close(descriptor);
    descriptor = 0;
}

MStatus TulvexDeviceNode::openStreamSocket() {
    if (mSocket.load() != 0) {
        return MStatus::kSuccess;
    }
    const int port = getInputPortValue();
    std::printf(TulvexMessages::lookup(TulvexMessages::kInitSocket).asChar(), port);
    int descriptor = 0;
    const MStatus status = openSocketConnection(descriptor, port);
    if (status == MStatus::kSuccess) {
        mSocket.store(descriptor);
        mWaker.wake();
    }
    return status;
}

void TulvexDeviceNode::closeStreamSocket() {
    int descriptor = mSocket.exchange(0);
    if (descriptor != 0) {
        closeSocketConnection(descriptor);
    }
}

bool TulvexDeviceNode::isStreamSocketOpen() const {
    return mSocket.load() != 0;
}

bool TulvexDeviceNode::isAwaitingSkeletonDefinition() const {
    return mAwaitingSkeletonDefinition.load();
}

void TulvexDeviceNode::threadHandler() {
    {
        std::lock_guard<std::mutex> lock(mSocketOwnerMutex);
        mCaptureRunning = true;
        mLeavingGraph = false;  // a thread runs for a node in the graph: undo brought it back
    }
    setDone(false);
    receiveLoop();
    setDone(true);
    std::lock_guard<std::mutex> lock(mSocketOwnerMutex);
    mCaptureRunning = false;
    if (mLeavingGraph) {
        closeStreamSocket();
    }
}

void TulvexDeviceNode::threadShutdownHandler() {
    setDone(true);
    mWaker.wake();  // a thread waiting in poll() sees the flag at once
}

void TulvexDeviceNode::receiveLoop() {
    // Zero-filled once; bytes past each datagram are cleared before it is decoded, so the
    // decoder, which is handed the whole buffer, never sees an earlier datagram's bytes.
    std::byte buffer[kReceiveBufferSize] = {};
    std::size_t previousLength = 0;
    sockaddr_in sender{};

    while (!isDone()) {
        // Not live, or live before compute has opened the socket: wait for a wake-up
        // instead of spinning on the flags.
        const int descriptor = isLive() ? mSocket.load() : 0;
        if (descriptor <= 0) {
            mWaker.waitForWake(kStateRecheck);
            continue;
        }
        if (mWaker.waitReadable(descriptor, kStateRecheck) != CaptureWaker::WaitResult::Readable) {
            continue;
        }
        socklen_t senderLength = sizeof(sender);
        const ssize_t received = recvfrom(descriptor, buffer, sizeof(buffer), MSG_DONTWAIT,
                                          reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (received < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                // A socket that cannot be read would make poll return at once forever.
                mWaker.waitForWake(kStateRecheck);
            }
            continue;
        }
        const auto length = static_cast<std::size_t>(received);
        if (length < previousLength) {
            std::memset(buffer + length, 0, previousLength - length);
        }
        previousLength = length;

        // Silence is measured between arrivals, dropped datagrams included: a consumer that
        // stalls while the phone streams must not make the node wait for a definition.
        const SteadyTime now = mClock.load()();
        if (packetGapExceeded(mLastPacketTime, now, mPacketGapThresholdMs)) {
            mAwaitingSkeletonDefinition.store(true);
        }
        mLastPacketTime = now;
        noteArrival(now, sender);

        MCharBuffer block;
        if (acquireDataStorage(block) != MStatus::kSuccess) {
            StreamCounters::add(mCounters.datagramsDropped);
            continue;  // every pool buffer waits for compute: drop this datagram
        }
        beginThreadLoop();

        parseSkeletonData(buffer, kReceiveBufferSize);
        copySkeletonChannels(reinterpret_cast<SkeletonNodeInfo*>(block.ptr()));
        pushThreadData(block);
        endThreadLoop();
    }
}

void TulvexDeviceNode::noteArrival(SteadyTime now, const sockaddr_in& sender) {
    StreamCounters::add(mCounters.datagramsReceived);
    mCounters.lastArrivalNanoseconds.store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count(),
        std::memory_order_relaxed);
    mCounters.senderAddress.store(ntohl(sender.sin_addr.s_addr), std::memory_order_relaxed);
    mCounters.senderPort.store(ntohs(sender.sin_port), std::memory_order_relaxed);
}

const std::vector<SkeletonNodeInfo>& TulvexDeviceNode::parseSkeletonData(std::byte* data,
                                                                         unsigned long length) {
    const int size = static_cast<int>(length);
    if (mDataHandler.IsFrameData(data, size)) {
        if (!mAwaitingSkeletonDefinition.load() && hasBeenCharacterized()) {
            std::lock_guard<std::mutex> lock(mChannelsMutex);
            mDataHandler.ProcessFrameData(data, size);
            StreamCounters::add(mCounters.framesApplied);
        }
    } else if (mDataHandler.IsSkeletonDefinition(data, size)) {
        if (mAwaitingSkeletonDefinition.load()) {
            bool accepted = false;
            {
                std::lock_guard<std::mutex> lock(mChannelsMutex);
                accepted = mDataHandler.ProcessSkeletonDefinitionData(data, size);
            }
            if (accepted) {
                StreamCounters::add(mCounters.definitionsAccepted);
                setHasBeenCharacterized(false);
                enableBindCharacterButton(true);
                displayUIMessage(mSkelDefReceivedText);
            }
            mAwaitingSkeletonDefinition.store(false);
        }
    } else {
        StreamCounters::add(mCounters.datagramsRejected);
    }
    return mDataHandler.GetSkeletonDataChannels();
}

void TulvexDeviceNode::copySkeletonChannels(SkeletonNodeInfo* out) {
    std::lock_guard<std::mutex> lock(mChannelsMutex);
    const std::vector<SkeletonNodeInfo>& channels = mDataHandler.GetSkeletonDataChannels();
    std::memcpy(out, channels.data(), channels.size() * sizeof(SkeletonNodeInfo));
}
