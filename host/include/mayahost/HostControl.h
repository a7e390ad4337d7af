#pragma once

// Controls of the stand-in host that real Maya exercises by itself. Tests and tools use
// them; the plug-in never does.

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mayahost {

// ---- Whole host ----------------------------------------------------------------------------

// Back to a fresh host: stops every capture thread, deletes every node (time1 is made anew),
// forgets plug-in types, commands, plug-ins, callbacks, connections, queued and recorded
// texts, string tables and armed faults; MEL starts afresh (no procedures, globals, UI
// beyond the main window, script jobs or script path) in interactive mode; the UI time unit
// is film again, playback stopped and the current time 0. Keeps test cases apart.
void resetHost();

// Host calls that can be made to fail once, to reach a plug-in's failure paths.
enum class HostCall {
    RegisterNode,
    DeregisterNode,
    RegisterCommand,
    DeregisterCommand,
    RegisterUIStrings,
    CreateAnimCurve,
    AddArrayElement  // MArrayDataBuilder::addElement, as compute fills its output arrays
};

// Calls of that kind fail with kFailure and change nothing: `count` calls in a row, after
// `after` more calls that succeed.
void failNext(HostCall call, int count = 1, int after = 0);
// The same, but the calls throw std::bad_alloc, as an allocation failing inside Maya would.
void throwNext(HostCall call, int count = 1, int after = 0);

// ---- Plug-ins ------------------------------------------------------------------------------

// The object Maya hands to initializePlugin for the plug-in `name` loaded from the folder
// `loadPath` (MFnPlugin::loadPath returns it). The same name gives the same plug-in.
MObject pluginObject(const std::string& name, const std::string& loadPath);

// Loads a plug-in module as Maya's plug-in manager does: opens it, checks that it was built
// for this API version, and calls its initializePlugin with a plug-in object named after the
// file whose loadPath is the module's folder. Failures are shown as errors.
MStatus loadPlugin(const std::string& modulePath);

// As Maya unloads a plug-in: refused with an error, calling nothing, while nodes of its types
// are in the scene, unless forced; otherwise the undo queue is flushed (nodes only it keeps
// are destroyed), uninitializePlugin is called and the module closed. A module whose node
// type is still registered (a forced unload) stays open, as a plug-in in use does. Returns
// what uninitializePlugin returned.
MStatus unloadPlugin(const std::string& modulePath, bool force = false);

// Whether `loadPlugin mayaHIK` (and mayaCharacterization) succeeds, as on a Maya install with
// or without HumanIK. A fresh host has it; loading it sources the stand-in HumanIK procedures,
// which record each call in the MEL global string array $gHostHikCalls.
void setHumanIKAvailable(bool available);

// ---- Scene ---------------------------------------------------------------------------------

// Creates a node: creator, postConstructor, then the capture thread of a device node.
// Unnamed nodes are called "<type>1", "<type>2", ... Null on an unknown type.
MObject createNode(const std::string& typeName, const std::string& name = "");

// Deletes a node as Maya's `delete` does: its pre-removal callbacks run, it leaves the graph
// (with the conversion nodes of its connections) and its capture thread is shut down, but
// it is not destroyed: it waits on the undo queue.
MStatus deleteNode(const MObject& node);

// Undo of the last step on the undo queue, as MEL `undo`: a deletion's nodes come back under
// their names (unique ones when taken meanwhile), with their connections and capture
// threads; an undoable plug-in command's undoIt runs. False when the queue is empty.
bool undo();
// Redo of the step undone last, as MEL `redo`. False when there is none.
bool redo();
// The name of the step `undo` would undo ("delete", a command's name, a chunk's name), or "".
std::string undoName();

// Destroys every node the undo queue keeps, as flushUndo, File > New and exit do.
void flushUndo();

// The node of that exact name, or null.
MObject findNode(const std::string& name);

// Names of the scene's nodes, in creation order.
std::vector<std::string> nodeNames();

// Name of a node; empty for anything else.
std::string nodeName(const MObject& node);

// The plug-in object behind a plug-in node, null otherwise.
MPxNode* userNode(const MObject& node);

// Sets the node's `live` plug, as the attribute editor would (so its thread restarts).
MStatus setLive(const MObject& node, bool live);

// Whether a change of `live` or `frameRate` waits for the old capture thread to leave
// threadHandler before starting the new one, which Maya leaves open. A fresh host waits, and a
// stop asked of a run reads as done for that run alone; without the wait the new thread starts
// at once and both runs share the one done flag. A node must be right both ways.
void setCaptureRestartWaits(bool wait);

// Times a node's capture thread has been started, restarts included (0 for other nodes).
int captureThreadStarts(const MObject& node);

// What went through a device node's pool since it was created.
struct DeviceStats {
    long pushed = 0;   // blocks the capture thread pushed
    long changed = 0;  // pushed blocks whose bytes differ from the block pushed before
    long popped = 0;   // blocks compute took
};
DeviceStats deviceStats(const MObject& node);

// Logical indices of the elements an array plug holds, in increasing order.
std::vector<unsigned int> logicalIndices(const MPlug& arrayPlug);

// Every component of a plug (one value, or one per child of a compound such as an element
// of a k3Float array), computed first if dirty. Empty when the plug has no numeric value.
std::vector<double> plugValues(const MPlug& plug);

// True while the plug's attribute waits for a compute or a pull through a connection.
bool isDirty(const MPlug& plug);

// Sets time1.outTime (UI units), dirtying whatever is connected to it and every animation
// curve's output; the same as MAnimControl::setCurrentTime.
void setSceneTime(double time);
double sceneTime();

// File > New: kBeforeNew callbacks on the calling thread, then every capture thread stopped,
// then every node deleted except time1; kAfterNew callbacks last.
void fileNew();

// What `fileInfo` keeps with the scene, key and value, in the order first set. File > New
// and exit clear it.
std::vector<std::pair<std::string, std::string>> fileInfo();

// File > Open of the scene file `path`, with what `read` adds standing for the file's
// contents: kBeforeOpen callbacks, every node deleted but time1, the scene named `path`
// (`file -q -sceneName`), `read`, then kAfterOpen callbacks. Nothing is read from disk.
void fileOpen(const std::string& path, const std::function<void()>& read = {});

// Exit: kMayaExiting callbacks, then every capture thread stopped and every node deleted.
void exitHost();

// ---- Timeline ------------------------------------------------------------------------------

// What `playbackOptions` sets: the playback range and the animation range (UI units), the
// step between frames shown, the speed (0 plays every frame, 1 is real time) and what
// happens at the end of the range. Maya's defaults.
enum class PlaybackLoop { Once, Continuous, Oscillate };
struct PlaybackOptions {
    double minTime = 1.0;
    double maxTime = 120.0;
    double animationStartTime = 1.0;
    double animationEndTime = 200.0;
    double by = 1.0;
    double playbackSpeed = 1.0;
    double maxPlaybackSpeed = 1.0;
    PlaybackLoop loop = PlaybackLoop::Continuous;
};
PlaybackOptions playbackOptions();
// False, changing nothing, for an empty range, a step that is not positive or a negative speed.
bool setPlaybackOptions(const PlaybackOptions& options);

// Start and stop playback, as MAnimControl::playForward and stop do. Playback started
// outside the playback range starts at its first frame.
void startPlayback();
void stopPlayback();

// One pass of Maya's playback loop, `elapsed` after the one before: every frame moves one
// step of `by`; real time moves to the frame the elapsed time reaches, skipping frames
// when evaluation falls behind; the end of the range loops, stops or turns back. Returns
// whether the current time moved (false, moving nothing, while stopped).
bool stepPlayback(std::chrono::nanoseconds elapsed);
// Frames real-time playback skipped because the host reached them late, since resetHost.
std::uint64_t framesSkippedByPlayback();

// Connects time1.outTime to the node's attribute of that name, as the plug-in's users do in
// Maya to drive a node with the scene time.
MStatus connectSceneTime(const MObject& node, const std::string& attributeName);

// ---- Units ---------------------------------------------------------------------------------

// The scene's UI units, by their `currentUnit` names: "cm", "deg", "film" and the rest. Plugs
// keep internal units (centimetres, radians, 1/6000 s); commands read and write UI units.
enum class UnitKind { Linear, Angle, Time };
// False, changing nothing, for a name `currentUnit` does not know.
bool setCurrentUnit(UnitKind kind, const std::string& name);
std::string currentUnit(UnitKind kind, bool fullName = false);
// A plug's value in the UI unit of its attribute, and back.
double toUiUnits(const MPlug& plug, double internalValue);
double fromUiUnits(const MPlug& plug, double uiValue);

// Breaks the connection into `destination` (or a plug holding it), with the conversion node
// it went through. False when nothing drives it.
bool disconnectInput(const MPlug& destination);

// ---- Timers --------------------------------------------------------------------------------

// Lets `elapsed` pass for the MTimerMessage callbacks and calls those whose period is up,
// once each however many periods passed, as Maya's event loop does when it is idle. The
// embedder's loop calls it with the time since its last call. Returns the calls made.
int advanceTimers(std::chrono::nanoseconds elapsed);

// ---- Scene events ----------------------------------------------------------------------------

// Called on the main thread with the name of each scene event as it happens, the way
// `scriptJob -event` names them: "timeUnitChanged", "linearUnitChanged",
// "angularUnitChanged", "timeChanged", "playbackRangeChanged", "deleteAll",
// "NewSceneOpened", "quitApplication". One listener; an empty function removes it.
void setSceneEventListener(std::function<void(const std::string& event)> listener);

// ---- Animation curves ----------------------------------------------------------------------

// Names of the scene's animation-curve nodes, in creation order.
std::vector<std::string> animCurveNames();

struct CurveKey {
    double time;  // in the current UI unit
    double value;
};

// The keys of the animation curve of that name, in time order; empty for any other name.
std::vector<CurveKey> animCurveKeys(const std::string& curveName);

// ---- Evaluation Manager and Cached Playback -------------------------------------------------

// `evaluationManager -mode`: "off" (DG: compute runs on the thread that asks), "serial" and
// "parallel" (scheduled evaluations run compute on the worker threads; parallel is Maya
// 2022's default and a fresh host's). A direct pull (getAttr, a plug read) computes on the
// calling thread in every mode.
enum class EvaluationMode { Off, Serial, Parallel };
void setEvaluationMode(EvaluationMode mode);
EvaluationMode evaluationMode();

// Cached Playback, on in a fresh host as in Maya. While on and no node disables it, the
// idle loop (runIdleQueue) starts a background fill of the playback range, and playback
// then shows the cached values. A node whose getCacheSetup disables caching puts the host
// in safe mode; its reason is shown once as a warning (takeDisplayedWarnings).
void setCachedPlayback(bool on);
struct CachedPlaybackStatus {
    bool enabled = true;
    bool safeMode = false;
    std::string node;  // the node keeping caching off
    std::string reason;
    std::string mitigation;
    int framesCached = 0;
    bool filling = false;
};
CachedPlaybackStatus cachedPlaybackStatus();
// Waits for a running background fill to end; true when none runs.
bool waitForCacheFill(std::chrono::milliseconds timeout);

// The plug's components evaluated at `uiTime` in a context other than the normal one, as
// `getAttr -time` does; nothing the normal context holds changes.
std::vector<double> plugValuesAt(const MPlug& plug, double uiTime);

// ---- Evaluation (scheduled on the Evaluation Manager's workers, or the calling thread off) --

// Computes every dirty output of a node once, as Maya's UI does after `live` changes.
// Returns the number of computes run.
int pullDirtyOutputs(const MObject& node);
// The same for several nodes in one evaluation, as Maya's refresh evaluates everything dirty
// at once.
int pullDirtyOutputs(const std::vector<MObject>& nodes);

// The scheduled evaluations run so far: how many, how many node jobs they held, the time
// those jobs took on the threads that ran them (the workers, or the caller in "off" mode),
// and the time the caller waited for the schedules, hand-over to the workers and back
// included. Benches tell a node's own evaluation from the scheduling around it.
struct ScheduleTimes {
    std::uint64_t schedules = 0;
    std::uint64_t jobs = 0;
    double workSeconds = 0.0;
    double wallSeconds = 0.0;
};
ScheduleTimes scheduleTimes();

// For each device node whose capture thread asked for a refresh while it is live: dirties its
// refresh attributes (and what they affect) and pulls its dirty outputs once. Returns the
// number of computes run.
int processRefreshes();

// Waits until some device node asks for a refresh, at most `timeout`. True if one did.
bool waitForRefresh(std::chrono::milliseconds timeout);

// ---- MEL -----------------------------------------------------------------------------------

// MEL commands queued with MGlobal::executeCommandOnIdle and not run yet, oldest first.
std::vector<std::string> pendingIdleCommands();

// Removes and returns the queued commands, oldest first, without running them.
std::vector<std::string> takeIdleCommands();

// Runs the commands queued so far, in order, on the calling thread (Maya's main thread).
// Commands they queue run at the next call; Cached Playback then starts a fill if one is
// due. Returns the number of commands run.
int runIdleQueue();

// What MEL showed since the last call of each: the bare texts of errors (`error` texts,
// unknown procedures, syntax errors, failing commands) and of warnings; the whole lines of
// both in order, as Maya prints them ("// Error: line 1: Cannot find procedure \"x\". //");
// and the text `print` wrote. Everything is also echoed to stdout and stderr unless switched
// off.
std::vector<std::string> takeScriptErrors();
std::vector<std::string> takeScriptWarnings();
std::vector<std::string> takeScriptLines();
std::string takeScriptOutput();
void setScriptEcho(bool echo);

// Texts shown with displayError / displayWarning / displayInfo (MGlobal or MPxCommand).
std::vector<std::string> takeDisplayedErrors();
std::vector<std::string> takeDisplayedWarnings();
std::vector<std::string> takeDisplayedInfos();

// Folders `source`, MGlobal::sourceFile and auto-sourcing search for a bare file name, first
// match wins (MAYA_SCRIPT_PATH).
void setScriptPath(const std::vector<std::string>& folders);

// Resolved paths of the script files sourced so far, in order.
std::vector<std::string> sourcedFiles();

// Folders the `loadPlugin` command searches for a module given by name (MAYA_PLUG_IN_PATH).
void setPluginPath(const std::vector<std::string>& folders);

// Interactive (the default) or batch, as Maya is started: interactive has a main window with
// an empty shelf tab layout that `$gShelfTopLevel` names; batch has no UI, no script jobs,
// and `about -batch` answers true. Switching starts the UI and the script jobs afresh.
void setBatchMode(bool batch);
bool batchMode();

// Two points of MEL Maya leaves open: whether a call's name is bound to a command or a
// procedure when its text is compiled (a script when it is sourced) or when it runs, and
// whether && and || skip their right side. A fresh host binds at compile time and
// short-circuits; scripts must be right every way.
void setMelModes(bool bindAtCompile, bool shortCircuit);

// ---- String resources ----------------------------------------------------------------------

// Puts a localized text over the registered default of (pluginId, key), as a resource file
// would; an empty text removes the override.
void setLocalizedString(const std::string& pluginId, const std::string& key,
                        const std::string& text);

}  // namespace mayahost
