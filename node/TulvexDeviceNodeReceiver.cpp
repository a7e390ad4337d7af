// The node's receiving side: the UDP socket, the capture thread and the rule that decides
// which datagrams are applied.
#include <arpa/inet.h>
#include <maya/MString.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "EntryPointGuard.h"
#include "PendingBlock.h"
#include "TulvexDeviceNode.h"
#include "TulvexMessages.h"

namespace {

// How long a capture thread waits before it re-reads its live state and socket. Wake-ups
// (stop request, socket opened) end a wait at once; this only bounds a missed one.
constexpr std::chrono::milliseconds kStateRecheck(100);
// Datagrams one pass reads at most. A socket holds a few hundred at most, so this ends a pass
// only under a flood, which then still pushes and paces, and sees a stop request; within a
// pass the stop flag is checked every kStopCheckInterval datagrams.
constexpr int kMaxDatagramsPerPass = 1024;
constexpr int kStopCheckInterval = 64;
constexpr int kSocketReceiveBufferBytes = 1 << 20;

void printSystemError(const std::string& format, int error) {
    std::fprintf(stderr, format.c_str(), std::strerror(error));
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
        printSystemError(mSocketErrorText, error);
        return MStatus::kFailure;
    }
    // Room for every datagram of a loop period, also for a stream far faster than the pace:
    // the system's default holds about 90 frames, and what does not fit is lost, definitions
    // included. The system may give less; that only narrows the margin.
    const int receiveBufferBytes = kSocketReceiveBufferBytes;
    setsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof(receiveBufferBytes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == -1) {
        const int error = errno;
        printSystemError(mBindErrorText, error);
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
    return openStreamSocket(getInputPortValue());
}

MStatus TulvexDeviceNode::openStreamSocket(int port) {
    if (mStreamSocket.isOpen()) {
        return MStatus::kSuccess;
    }
    std::printf(mInitSocketText.c_str(), port);
    int descriptor = 0;
    const MStatus status = openSocketConnection(descriptor, port);
    if (status == MStatus::kSuccess) {
        mSocketOpenedNanoseconds.store(
            std::chrono::duration_cast<std::chrono::nanoseconds>(mClock.load()().time_since_epoch())
                .count(),
            std::memory_order_relaxed);
        if (!mStreamSocket.install(descriptor)) {
            closeSocketConnection(descriptor);  // opened meanwhile by another evaluation
        }
        mWaker.wake();
    }
    return status;
}

void TulvexDeviceNode::closeStreamSocket() {
    mStreamSocket.close(mWaker);
}

bool TulvexDeviceNode::isStreamSocketOpen() const {
    return mStreamSocket.isOpen();
}

bool TulvexDeviceNode::isAwaitingSkeletonDefinition() const {
    return mAwaitingSkeletonDefinition.load();
}

void TulvexDeviceNode::threadHandler() {
    const auto setDoneFlag = [this](bool done) { setDone(done); };
    const unsigned run = mRuns.begin(setDoneFlag);
    EntryPointGuard::onAnyThread(mUnexpectedErrorText, "The capture thread", [this, run] {
        receiveLoop(run);
        return MStatus::kSuccess;
    });
    mRuns.end(run, setDoneFlag);
}

void TulvexDeviceNode::threadShutdownHandler() {
    mRuns.stop([this](bool done) { setDone(done); });
    mWaker.wake();  // a thread waiting in poll() sees the flag at once
}

void TulvexDeviceNode::receiveLoop(unsigned run) {
    ReceiveState receive;
    PendingBlock pending;
    bool inPass = false;

    while (!isDone() && mRuns.current(run)) {
        // Not live, or live before compute has opened the socket, or an older run still
        // holds it: wait for a wake-up instead of spinning on the flags.
        const int descriptor = isLive() ? mStreamSocket.borrow() : 0;
        if (descriptor == 0) {
            mWaker.waitForWake(kStateRecheck);
            continue;
        }
        // The wait for data is part of the pass, as in the devkit's examples: a pass that
        // ends an idle spell has used up its loop period waiting, so endThreadLoop does not
        // hold it back, and the rest of a burst is read at once by the next pass. A wait that
        // times out goes on within the same pass.
        if (!inPass) {
            beginThreadLoop();
            inPass = true;
        }
        // With nothing owed, sleep until a datagram or a wake-up. With a block owed (the pool
        // was full) the pass runs at once to try the pool again; endThreadLoop paces it.
        if (!pending.owed() &&
            mWaker.waitReadable(descriptor, kStateRecheck) != CaptureWaker::WaitResult::Readable) {
            mStreamSocket.giveBack(mWaker);
            continue;
        }
        DrainResult drained = DrainResult::Failed;
        try {
            drained = drainSocket(descriptor, run, receive, pending);
        } catch (...) {
            mStreamSocket.giveBack(mWaker);  // a close must never wait for it
            throw;
        }
        mStreamSocket.giveBack(mWaker);
        if (!pending.owed()) {
            if (drained == DrainResult::Failed) {
                // A socket that cannot be read would make poll return at once forever.
                mWaker.waitForWake(kStateRecheck);
            }
            continue;
        }
        pushNewestState(pending);
        makeTakeBlocksAhead();
        // Also after a pass that found no buffer: the refresh it asks for lets compute free
        // one, and the pacing keeps the retries to one per loop period.
        endThreadLoop();
        inPass = false;
    }
}

TulvexDeviceNode::DrainResult TulvexDeviceNode::drainSocket(int descriptor, unsigned run,
                                                            ReceiveState& receive,
                                                            PendingBlock& pending) {
    static_assert(DatagramBatch::kDatagramCapacity == sizeof(receive.buffer),
                  "a datagram is read whole into the decoder's buffer");
    DatagramBatch& batch = receive.batch;
    int count = 0;
    while (count < kMaxDatagramsPerPass) {
        // A close waiting for the socket, or a newer run, ends the pass at once.
        if (mStreamSocket.recalled() || !mRuns.current(run)) {
            return DrainResult::Stopped;
        }
        const int asked = std::min(DatagramBatch::kCapacity, kMaxDatagramsPerPass - count);
        switch (batch.read(descriptor, asked)) {
            case DatagramBatch::Result::Read:
                break;
            case DatagramBatch::Result::Interrupted:
                continue;
            case DatagramBatch::Result::Empty:
                return DrainResult::Emptied;
            case DatagramBatch::Result::Failed:
                return DrainResult::Failed;
        }
        for (int i = 0; i < batch.count(); ++i) {
            const std::size_t length = batch.length(i);
            std::memcpy(receive.buffer, batch.data(i), length);
            if (length < receive.previousLength) {
                std::memset(receive.buffer + length, 0, receive.previousLength - length);
            }
            receive.previousLength = length;
            receive.sender = batch.sender(i);
            StreamCounters::add(mCounters.blocksSuperseded,
                                pending.noteHandled(handleDatagram(receive)));
            ++count;
            if (count % kStopCheckInterval == 0 && isDone()) {
                return DrainResult::Stopped;
            }
        }
        // Fewer than asked: the socket held no more, and no empty read is needed to learn it.
        if (batch.count() < asked) {
            return DrainResult::Emptied;
        }
    }
    return DrainResult::BudgetSpent;
}

bool TulvexDeviceNode::handleDatagram(ReceiveState& receive) {
    // Silence is measured between arrivals, datagrams handled while the pool was full
    // included: a consumer that stalls while the phone streams must not make the node wait
    // for a definition.
    const SteadyTime now = mClock.load()();
    if (packetGapExceeded(mLastPacketTime, now, mPacketGapThresholdMs)) {
        mAwaitingSkeletonDefinition.store(true);
    }
    mLastPacketTime = now;
    noteArrival(now, receive.sender);
    journalDatagram(receive, now);
    // The decoder is always handed the whole buffer, as it expects.
    return applyDatagram(receive.buffer, kReceiveBufferSize) != DatagramEffect::None;
}

void TulvexDeviceNode::pushNewestState(PendingBlock& pending) {
    MCharBuffer block;
    if (acquireDataStorage(block) != MStatus::kSuccess) {
        StreamCounters::add(mCounters.passesWithoutBuffer);
        return;  // every buffer waits for compute: the next pass tries again
    }
    copySkeletonChannels(reinterpret_cast<SkeletonNodeInfo*>(block.ptr()));
    mJournal->tagBlock(block.ptr());
    BlockArrival& slot = mBlockArrivals[mPushes % kBlockArrivals];
    slot.block.store(nullptr, std::memory_order_relaxed);
    slot.arrival.store(mCounters.lastArrivalNanoseconds.load(std::memory_order_relaxed),
                       std::memory_order_relaxed);
    slot.push.store(++mPushes, std::memory_order_relaxed);
    slot.block.store(block.ptr(), std::memory_order_release);
    if (pushThreadData(block) != MStatus::kSuccess) {
        releaseDataStorage(block);
        return;
    }
    StreamCounters::add(mCounters.blocksPushed);
    pending.pushed();
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
    applyDatagram(data, length);
    return mDataHandler.GetSkeletonDataChannels();
}

TulvexDeviceNode::DatagramEffect TulvexDeviceNode::applyDatagram(std::byte* data,
                                                                 unsigned long length) {
    const int size = static_cast<int>(length);
    if (mDataHandler.IsFrameData(data, size)) {
        if (mAwaitingSkeletonDefinition.load() || !hasBeenCharacterized()) {
            return DatagramEffect::None;
        }
        std::lock_guard<std::mutex> lock(mChannelsMutex);
        mDataHandler.ProcessFrameData(data, size);
        smoothPose();
        StreamCounters::add(mCounters.framesApplied);
        mFrameTimes.note(mCounters.lastArrivalNanoseconds.load(std::memory_order_relaxed), 0);
        StreamCounters::add(mCounters.framesMissed, mDataHandler.MissedFramesBeforeCurrent());
        return DatagramEffect::Changed;
    }
    if (mDataHandler.IsSkeletonDefinition(data, size)) {
        if (!mAwaitingSkeletonDefinition.load()) {
            return DatagramEffect::None;
        }
        bool accepted = false;
        {
            std::lock_guard<std::mutex> lock(mChannelsMutex);
            accepted = mDataHandler.ProcessSkeletonDefinitionData(data, size);
        }
        if (accepted) {
            mSmootherRunning = false;  // a new skeleton: its first frame starts the filter
            StreamCounters::add(mCounters.definitionsAccepted);
            setHasBeenCharacterized(false);
            enableBindCharacterButton(true);
            displayUIMessage(mSkelDefReceivedText);
        }
        // Also for a repeat of the held definition, which changes nothing.
        mAwaitingSkeletonDefinition.store(false);
        return accepted ? DatagramEffect::Changed : DatagramEffect::None;
    }
    StreamCounters::add(mCounters.datagramsRejected);
    return DatagramEffect::None;
}

void TulvexDeviceNode::smoothPose() {
    // Every frame goes through the filter, so it sees the stream's own frame times.
    if (!mSmoothingForThread.load(std::memory_order_relaxed)) {
        mSmootherRunning = false;
        return;
    }
    if (!mSmootherRunning) {
        mSmoother.reset();  // turned on, or on again: no stale pose to blend from
        mSmootherRunning = true;
    }
    const PoseSmoother::Settings settings{
        mSmoothingMinCutoffForThread.load(std::memory_order_relaxed),
        mSmoothingBetaForThread.load(std::memory_order_relaxed)};
    mSmoother.apply(mDataHandler.GetBoneInfoByIndex(0), mDataHandler.GetNumBones(),
                    mDataHandler.CurrentFrameTime(), settings);
}

void TulvexDeviceNode::copySkeletonChannels(SkeletonNodeInfo* out) {
    std::lock_guard<std::mutex> lock(mChannelsMutex);
    const std::vector<SkeletonNodeInfo>& channels = mDataHandler.GetSkeletonDataChannels();
    std::memcpy(out, channels.data(), channels.size() * sizeof(SkeletonNodeInfo));
    // The floor offset raises everything the pose is used for: shown, recorded, baked. None
    // leaves the pose bit for bit as it was.
    const double floorOffset = mFloorOffsetForThread.load(std::memory_order_relaxed);
    if (floorOffset != 0.0) {
        out[0].currentTranslation[1] += floorOffset;
    }
}
