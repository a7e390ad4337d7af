// What a node tells its panel and embedders about itself: the state of its stream, what its
// capture thread counted, the take being recorded and what the last bake made.
#include <arpa/inet.h>
#include <maya/MAnimControl.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>
#include <netinet/in.h>

#include <cstdio>
#include <iostream>

#include "StreamHealth.h"
#include "StreamState.h"
#include "TulvexDeviceNode.h"

namespace {

std::string decimal(double value, int digits) {
    char text[48];
    std::snprintf(text, sizeof(text), "%.*f", digits, value);
    return text;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> TulvexDeviceNode::deviceStatus() {
    const auto count = [](const std::atomic<std::uint64_t>& counter) {
        return std::to_string(counter.load(std::memory_order_relaxed));
    };
    const bool isOn = isLive();
    const std::int64_t lastArrival =
        mCounters.lastArrivalNanoseconds.load(std::memory_order_relaxed);
    StreamState::Facts facts;
    facts.live = isOn;
    facts.socketOpen = isStreamSocketOpen();
    facts.arrivedSinceOpen =
        lastArrival != 0 && lastArrival >= mSocketOpenedNanoseconds.load(std::memory_order_relaxed);
    facts.secondsSinceLastDatagram = secondsSinceLastDatagram();
    facts.awaitingDefinition = isAwaitingSkeletonDefinition();
    facts.characterized = hasBeenCharacterized();
    const bool recording = isRecording() && MAnimControl::isPlaying();
    const double takeSeconds =
        MTime(mTakeFrames.load(std::memory_order_relaxed), MTime::uiUnit()).as(MTime::kSeconds);

    std::vector<std::pair<std::string, std::string>> status = {
        {"state", StreamState::name(StreamState::classify(facts))},
        {"live", isOn ? "1" : "0"},
        {"port", std::to_string(getInputPortValue())},
        {"detectedRate", std::to_string(mDataHandler.getDetectedAppFps())},
        {"rateMeasured", mDataHandler.hasMeasuredAppFps() ? "1" : "0"},
        {"recording", recording ? "1" : "0"},
        {"takeSeconds", decimal(takeSeconds, 2)},
        {"datagramsReceived", count(mCounters.datagramsReceived)},
        {"framesApplied", count(mCounters.framesApplied)},
        {"definitionsAccepted", count(mCounters.definitionsAccepted)},
        {"datagramsRejected", count(mCounters.datagramsRejected)},
        {"framesMissed", count(mCounters.framesMissed)},
        {"blocksPushed", count(mCounters.blocksPushed)},
        {"blocksSuperseded", count(mCounters.blocksSuperseded)},
        {"passesWithoutBuffer", count(mCounters.passesWithoutBuffer)},
        {"blocksPassedOver", count(mCounters.blocksPassedOver)},
        {"samplesWithoutPose", count(mCounters.samplesWithoutPose)},
        {"secondsSinceLastDatagram", decimal(facts.secondsSinceLastDatagram, 3)},
    };
    std::string sender;
    if (lastArrival != 0) {
        in_addr address{};
        address.s_addr = htonl(mCounters.senderAddress.load(std::memory_order_relaxed));
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &address, text, sizeof(text));
        sender = std::string(text) + ":" +
                 std::to_string(mCounters.senderPort.load(std::memory_order_relaxed));
    }
    status.emplace_back("sender", sender);
    // The last second of the stream, for the status line.
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(mClock.load()().time_since_epoch())
            .count();
    constexpr std::int64_t kWindow = 1000000000;
    std::vector<std::pair<std::int64_t, std::int64_t>> ages;
    std::vector<std::pair<std::int64_t, std::int64_t>> frames;
    mPoseAges.collect(now - kWindow, ages);
    mFrameTimes.collect(now - kWindow, frames);
    const StreamHealth::Figures health = StreamHealth::summarise(ages, frames, kWindow);
    status.emplace_back("poseAgeMedianMs", decimal(health.ageMedianMs, 1));
    status.emplace_back("poseAge95Ms", decimal(health.age95Ms, 1));
    status.emplace_back("frameJitterMs", decimal(health.jitterMs, 1));
    status.emplace_back("decodedRate", decimal(health.decodedRate, 0));
    status.emplace_back("bakedCurves", std::to_string(mLastBake.curves));
    status.emplace_back("bakedKeysPerCurve", std::to_string(mLastBake.keysPerCurve));
    status.emplace_back("bakedFilledPerCurve", std::to_string(mLastBake.filledPerCurve));
    status.emplace_back("bakedFirstTime", decimal(mLastBake.firstTime, 2));
    status.emplace_back("bakedLastTime", decimal(mLastBake.lastTime, 2));
    return status;
}

// A plug read: main thread only (commands and callbacks); compute reads its data block.
bool TulvexDeviceNode::isRecording() {
    bool recording = false;
    if (MPlug(thisMObject(), mInputRecording).getValue(recording) != MStatus::kSuccess) {
        std::cerr << "Error getting Recording value" << std::endl;
        return true;
    }
    return recording;
}
