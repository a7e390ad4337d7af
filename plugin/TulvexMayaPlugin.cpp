// The plug-in's entry points: register what the plug-in adds to Maya at load, and take it
// back at unload. Runs on Maya's main thread.
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MSceneMessage.h>
#include <maya/MString.h>

#include <string>

#include "EntryPointGuard.h"
#include "OldConversionMend.h"
#include "StatusTimer.h"
#include "TulvexBakeTakeCmd.h"
#include "TulvexDeviceIdleCmd.h"
#include "TulvexDeviceNode.h"
#include "TulvexDeviceStatusCmd.h"
#include "TulvexDidCharacterizeCmd.h"
#include "TulvexFloorHeightCmd.h"
#include "TulvexMessages.h"
#include "TulvexRestPoseCmd.h"
#include "TulvexShowAddressesCmd.h"
#include "TulvexStatusTimerCmd.h"
#include "TulvexTakesCmd.h"
#include "ZarnMotionFormat.h"

namespace {

constexpr const char* kVendor = "Zarn Corporation";
constexpr const char* kVersion = "1.0.1";
constexpr const char* kCommandName = "TulvexDidCharacterize";
constexpr const char* kNodeTypeName = "TulvexDeviceNode";
constexpr const char* kScripts[] = {"SkeletonHelpers.mel", "HumanIKHelpers.mel", "UIManagement.mel",
                                    "UICallbacks.mel"};

struct NodeCommand {
    const char* name;
    void* (*creator)();
};
constexpr NodeCommand kNodeCommands[] = {
    {TulvexShowAddressesCmd::kName, TulvexShowAddressesCmd::creator},
    {TulvexDeviceStatusCmd::kName, TulvexDeviceStatusCmd::creator},
    {TulvexBakeTakeCmd::kName, TulvexBakeTakeCmd::creator},
    {TulvexStatusTimerCmd::kName, TulvexStatusTimerCmd::creator},
    {TulvexRestPoseCmd::kName, TulvexRestPoseCmd::creator},
    {TulvexFloorHeightCmd::kName, TulvexFloorHeightCmd::creator},
    {TulvexTakesCmd::kName, TulvexTakesCmd::creator},
};

// Main thread only: set at load, handed back at unload.
MCallbackId newSceneCallbackId = 0;
MCallbackId afterOpenCallbackId = 0;

MStatus registerLocalizedResources() {
    return TulvexMessages::registerAll();
}

void reportFailure(const MStatus& failure, const TulvexMessage& message) {
    failure.perror(TulvexMessages::lookup(message));
}

void newSceneCB(void* /*clientData*/) {
    EntryPointGuard::onMainThread("The new-scene callback",
                                  [] { return MGlobal::executeCommandOnIdle("cleanUpUI", false); });
}

// Conversions a scene from an earlier version kept are taken out, and takes a crash cut
// short are offered for recovery, when their scene opens.
void afterOpenCB(void* /*clientData*/) {
    EntryPointGuard::onMainThread("The after-open callback", [] {
        const MStatus mended = OldConversionMend::run();
        TulvexTakesCmd::reportUnfinished();
        return mended;
    });
}

// Sourced by bare name, so Maya resolves them along its script path; a missing script is
// Maya's to report and does not stop the others.
void sourceMelScripts() {
    for (const char* script : kScripts) {
        MGlobal::sourceFile(script);
    }
}

MStatus registerPlugin(MObject obj) {
    MStatus status = MStatus::kSuccess;
    MFnPlugin plugin(obj, kVendor, kVersion, "Any");
    const std::string loadPath = plugin.loadPath().asChar();

    sourceMelScripts();

    status = plugin.registerUIStrings(registerLocalizedResources, "TulvexMayaInitStrings");
    if (status != MStatus::kSuccess) {
        reportFailure(status, TulvexMessages::kRegStringsError);
        return status;
    }

    status = plugin.registerCommand(kCommandName, TulvexDidCharacterizeCmd::creator);
    if (status != MStatus::kSuccess) {
        reportFailure(status, TulvexMessages::kRegCommandError);
    }
    // The panel's and an embedder's questions to a node; without them the nodes still
    // stream, so a failure is reported and the load goes on.
    for (const NodeCommand& command : kNodeCommands) {
        const MStatus registered = plugin.registerCommand(command.name, command.creator);
        if (registered != MStatus::kSuccess) {
            registered.perror(MString("failed to register command ") + command.name);
        }
    }

    status = plugin.registerNode(kNodeTypeName, TulvexDeviceNode::id, TulvexDeviceNode::creator,
                                 TulvexDeviceNode::initialize, MPxNode::kThreadedDeviceNode);
    if (status != MStatus::kSuccess) {
        reportFailure(status, TulvexMessages::kRegNodeError);
    } else {
        // Nodes leave the work compute may not do for this command; without it they work
        // but never bake, so its failure is reported like the node's own.
        const MStatus idle =
            plugin.registerCommand(TulvexDeviceNode::kIdleCommand, TulvexDeviceIdleCmd::creator);
        if (idle != MStatus::kSuccess) {
            idle.perror("failed to register command TulvexDeviceIdle");
        }
    }

    // Its outcome decides the load: a command or node failure above is reported, not fatal.
    newSceneCallbackId =
        MSceneMessage::addCallback(MSceneMessage::kBeforeNew, newSceneCB, nullptr, &status);

    // Recovery is offered, not needed: a failure to watch for opened scenes is reported
    // and the load goes on.
    MStatus watching = MStatus::kSuccess;
    afterOpenCallbackId =
        MSceneMessage::addCallback(MSceneMessage::kAfterOpen, afterOpenCB, nullptr, &watching);
    if (watching != MStatus::kSuccess) {
        watching.perror("failed to watch for opened scenes");
    }
    TulvexTakesCmd::reportUnfinished();

    ZarnMotionFormat::Initialize(loadPath);

    MGlobal::executeCommandOnIdle("createTulvexShelf", false);
    return status;
}

MStatus deregisterPlugin(MObject obj) {
    MFnPlugin plugin(obj);

    MMessage::removeCallback(newSceneCallbackId);
    MMessage::removeCallback(afterOpenCallbackId);
    // Every callback of a plug-in goes before its code does.
    StatusTimer::stop();

    MStatus status = plugin.deregisterNode(TulvexDeviceNode::id);
    const bool nodeTypeGone = status == MStatus::kSuccess;
    if (!nodeTypeGone) {
        reportFailure(status, TulvexMessages::kDeregNodeError);
    }

    const MStatus commandGone = plugin.deregisterCommand(kCommandName);
    if (commandGone != MStatus::kSuccess) {
        reportFailure(commandGone, TulvexMessages::kDeregCommandError);
    }
    // The first failure is the unload's: a later success must not hide it.
    if (status == MStatus::kSuccess) {
        status = commandGone;
    }
    // Their outcome does not change the unload's.
    for (const NodeCommand& command : kNodeCommands) {
        plugin.deregisterCommand(command.name);
    }

    // Kept while nodes of the type remain, since they may still queue it; its outcome does
    // not change the unload's.
    if (nodeTypeGone) {
        plugin.deregisterCommand(TulvexDeviceNode::kIdleCommand);
    }

    // Nodes left in the scene keep their capture threads, which decode with the library.
    if (nodeTypeGone) {
        ZarnMotionFormat::Shutdown();
    }
    return status;
}

}  // namespace

MStatus initializePlugin(MObject obj) {
    return EntryPointGuard::onMainThread("initializePlugin",
                                         [&obj] { return registerPlugin(obj); });
}

MStatus uninitializePlugin(MObject obj) {
    return EntryPointGuard::onMainThread("uninitializePlugin",
                                         [&obj] { return deregisterPlugin(obj); });
}
