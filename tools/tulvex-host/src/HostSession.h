#pragma once

#include <memory>
#include <string>
#include <vector>

#include "HostOptions.h"
#include "ModuleLayout.h"
#include "SceneData.h"

class PerformerNode;
class ProgressDisplay;
class UiStandIns;

// One run of the headless host, on the calling thread, which plays Maya's main and
// evaluation threads: load the module, bind a node per performer, record a take, let the
// nodes bake it, write it out. Failures are HostErrors; whatever was loaded is taken down
// again however the run ends.
class HostSession {
public:
    HostSession(HostOptions options, ModuleLayout layout, ProgressDisplay& display);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    void run();
    // The end-of-run table, one row per node; empty before the take is collected.
    std::string summary() const;

private:
    void loadModule();
    void createNodes();
    void goLive();
    void waitForStreams();
    void recordTake();
    void bake();
    void collect();
    void writeScene() const;
    void shutdown();

    // One pass of Maya's event loop: refresh the nodes that asked, run the idle queue, press
    // Bind where a node asks, and watch for errors and Ctrl-C.
    void pump();
    void checkScriptErrors();
    void showStatus();
    int curveCount(int deviceId) const;

    HostOptions mOptions;
    ModuleLayout mLayout;
    ProgressDisplay& mDisplay;
    std::unique_ptr<UiStandIns> mUi;
    std::vector<std::unique_ptr<PerformerNode>> mNodes;
    bool mLoaded = false;
    SceneData mScene;
    std::vector<std::vector<std::string>> mSummaryRows;
};
