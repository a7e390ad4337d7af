#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HostOptions.h"
#include "ModuleLayout.h"
#include "OutputFile.h"
#include "SceneData.h"
#include "StreamWatch.h"
#include "TakeSidecar.h"

class PerformerNode;
class ProgressDisplay;

// One run of the headless host, on the calling thread, which plays Maya's main and
// evaluation threads: make sure the scene file can be written, load the module (which
// sources the scripts and builds the shelf), make a node per performer with the shelf, bind
// each from its panel, record a take, let the nodes bake it, write it out. Failures are
// HostErrors; whatever was loaded is taken down again however the run ends.
class HostSession {
public:
    HostSession(HostOptions options, ModuleLayout layout, ProgressDisplay& display);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    void run();
    // Bakes the journal of --rebake again, as the run that recorded it baked it, and writes
    // the scene; HostError kBadJournal when the journal cannot be read.
    void rebake();
    // The end-of-run table, one row per node; empty before the take is collected.
    std::string summary() const;
    // One line per node whose stream stopped during the take, saying when.
    const std::vector<std::string>& warnings() const { return mWarnings; }
    // Each node's panel as the take left it (uiDump's text); empty before the bake.
    const std::vector<std::string>& panels() const { return mPanels; }

private:
    void loadModule();
    // Makes the journal folder Maya's project, so nodes journal their takes under it.
    void openProject();
    // The take options of the command line, on a node just made.
    // Unless the command line says otherwise, a take baked again keeps the smoothing and
    // floor offset it was recorded with.
    void keepRecordedOptions(const TakeSidecar& take);
    void applyTakeOptions(const std::string& node);
    void createNodes();
    void goLive();
    void waitForStreams();
    void recordTake();
    void bake();
    void collect();
    // Sources --mel, whose errors end the run.
    void runUserScript();
    void writeScene();
    void shutdown();

    // One pass of Maya's event loop: refresh the nodes that asked, run the idle queue, press
    // Bind where a node asks, and watch for errors and Ctrl-C.
    void pump();
    // Runs the idle queue until it is empty, as Maya does while nothing else happens.
    static void idle();
    void checkScriptErrors();
    // Shows what the scripts printed and warned about as notes.
    void showScriptOutput();
    std::string newDeviceButton() const;
    // Asks every node for its counters, at most every kStatisticsInterval, feeds the stream
    // watches while the take records, and shows the status lines.
    void showStatus();
    // Every node's statistics refreshed; the blocks superseded so far, summed.
    std::uint64_t supersededBlocks();
    void watchStreams(double takeSeconds);
    void noteStops(double takeSeconds);
    int curveCount(int deviceId) const;
    void writeSummaryRow(PerformerNode& node);

    HostOptions mOptions;
    ModuleLayout mLayout;
    ProgressDisplay& mDisplay;
    std::unique_ptr<OutputFile> mOutput;  // made first, so a bad path ends the run at once
    std::vector<std::unique_ptr<PerformerNode>> mNodes;
    bool mLoaded = false;
    SceneData mScene;  // skeletons and curve targets; the keys stay in the host's curves
    std::vector<std::vector<std::string>> mSummaryRows;
    std::chrono::steady_clock::time_point mLastStatistics;
    std::chrono::steady_clock::time_point mLastTimers;  // of the last pump, for the timers
    std::chrono::steady_clock::time_point mLastBindCheck;
    bool mPullDue = true;  // a new frame or a script may have left outputs dirty
    std::optional<std::chrono::steady_clock::time_point> mTakeStart;  // while recording
    std::uint64_t mFramesSkipped = 0;       // by real-time playback during the take
    std::uint64_t mSamplesWithoutPose = 0;  // summed over the nodes' summary rows
    std::uint64_t mSupersededInTake = 0;    // blocks superseded while recording, all nodes
    std::vector<StreamWatch> mWatches;      // one per node, in mNodes' order
    std::vector<std::string> mWarnings;
    std::vector<std::string> mPanels;
};
