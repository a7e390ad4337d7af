// Work a node leaves for Maya's main thread: compute may change nothing but its own outputs,
// so baking a take, writing frameRate and switching live off wait for idle time.
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <algorithm>
#include <utility>

#include "TulvexDeviceNode.h"

std::mutex TulvexDeviceNode::sIdleMutex;
std::vector<TulvexDeviceNode*> TulvexDeviceNode::sIdleNodes;

void TulvexDeviceNode::handOverTake() {
    auto fresh = std::make_unique<Take>();
    for (ChunkedSequence<RecordingData>& samples : *fresh) {
        samples.reserve(kTakeReserve);
    }
    std::unique_ptr<Take> take;
    {
        // Compute and the playback callback may both hand over; the second finds it empty.
        std::lock_guard<std::mutex> lock(mTakeMutex);
        const bool empty = std::all_of(mRecordedData.begin(), mRecordedData.end(),
                                       [](const auto& samples) { return samples.empty(); });
        if (empty) {
            return;
        }
        mTakeFrames.store(0.0, std::memory_order_relaxed);
        mTakeHasSample = false;
        take = std::make_unique<Take>(std::move(mRecordedData));
        mRecordedData = std::move(*fresh);
        mSpareBlocks.pause();  // a block per bone stays ready for the next take
        mJournal->endTake();
    }
    {
        std::lock_guard<std::mutex> lock(mIdleMutex);
        mTakesToBake.push_back(std::move(take));
    }
    queueIdleWork();
}

void TulvexDeviceNode::requestFrameRate(int appFps) {
    {
        std::lock_guard<std::mutex> lock(mIdleMutex);
        mRequestedAppFps = appFps;
    }
    queueIdleWork();
}

void TulvexDeviceNode::requestLiveOff() {
    mLiveOffPending.store(true);
    {
        std::lock_guard<std::mutex> lock(mIdleMutex);
        mLiveOffRequested = true;
    }
    queueIdleWork();
}

// One command per request: a command that finds the work done by an earlier one does
// nothing, and no flag can be left set by a command that never ran.
void TulvexDeviceNode::queueIdleWork() {
    {
        std::lock_guard<std::mutex> lock(sIdleMutex);
        if (std::find(sIdleNodes.begin(), sIdleNodes.end(), this) == sIdleNodes.end()) {
            sIdleNodes.push_back(this);
        }
    }
    MGlobal::executeCommandOnIdle(kIdleCommand, false);
}

bool TulvexDeviceNode::runIdleWork(MDGModifier& curves) {
    bool baked = false;
    // One node at a time, so a node destroyed meanwhile has already left the list.
    for (;;) {
        TulvexDeviceNode* node = nullptr;
        {
            std::lock_guard<std::mutex> lock(sIdleMutex);
            if (sIdleNodes.empty()) {
                return baked;
            }
            node = sIdleNodes.front();
            sIdleNodes.erase(sIdleNodes.begin());
        }
        baked = node->runOwnIdleWork(curves) || baked;
    }
}

bool TulvexDeviceNode::runOwnIdleWork(MDGModifier& curves) {
    bool liveOff = false;
    int appFps = 0;
    {
        std::lock_guard<std::mutex> lock(mIdleMutex);
        std::swap(liveOff, mLiveOffRequested);
        std::swap(appFps, mRequestedAppFps);
    }
    if (liveOff) {
        setLiveStatus(false);
        mLiveOffPending.store(false);
    }
    if (appFps != 0) {
        setPluginFpsFromAppFps(appFps);
    }
    const bool baking = takesWaitingForBake() != 0;
    // Cleared however the bake ends: the command and its modifier outlive this call.
    struct CurveChangesScope {
        MDGModifier*& slot;
        ~CurveChangesScope() { slot = nullptr; }
    } scope{mCurveChanges};
    mCurveChanges = &curves;
    saveRecordedDataToMaya();
    return baking;
}

std::size_t TulvexDeviceNode::takesWaitingForBake() {
    std::lock_guard<std::mutex> lock(mIdleMutex);
    return mTakesToBake.size();
}
