#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <mayahost/HostControl.h>

#include <deque>
#include <mutex>

#include "AnimCurveKeys.h"
#include "AttributeRecord.h"
#include "CaptureThread.h"
#include "DeviceState.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostMel.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"
#include "PluginRecord.h"
#include "TimeUnits.h"
#include "UnitConversion.h"

namespace mayahost {

namespace {

NodeRecord* liveNode(const MObject& object) {
    NodeRecord* node = HostAccess::node(object);
    if (node == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(node->mutex);
    return node->alive ? node : nullptr;
}

std::vector<std::string> take(std::vector<std::string> ErrorLog::*list) {
    ErrorLog& log = hostState().errors;
    std::lock_guard<std::mutex> lock(log.mutex);
    std::vector<std::string> taken;
    taken.swap(log.*list);
    return taken;
}

}  // namespace

// ---- Whole host

void resetHost() {
    HostState& host = hostState();
    host.cache.reset();
    host.evaluation.setMode(EvaluationMode::Parallel);
    host.scene.clear(false);
    host.graph.clear();
    host.refresh.clear();
    host.types.removePluginTypes();
    host.types.clearPlugins();
    host.mel = std::make_unique<HostMel>();
    host.callbacks.clear();
    host.sceneName.clear();
    host.faults.disarmAll();
    CaptureThread::setRestartWaits(true);
    {
        std::lock_guard<std::mutex> lock(host.idle.mutex);
        host.idle.commands.clear();
    }
    {
        std::lock_guard<std::mutex> lock(host.errors.mutex);
        host.errors.shown.clear();
        host.errors.warnings.clear();
        host.errors.infos.clear();
    }
    {
        std::lock_guard<std::mutex> lock(host.strings.mutex);
        host.strings.registered.clear();
        host.strings.localized.clear();
    }
    host.scene.ensureDefaults();
    host.timeline.reset();
    host.units.reset();
    host.cache.reset();
}

// ---- Evaluation Manager and Cached Playback

void setEvaluationMode(EvaluationMode mode) {
    hostState().evaluation.setMode(mode);
}

EvaluationMode evaluationMode() {
    return hostState().evaluation.mode();
}

void setCachedPlayback(bool on) {
    hostState().cache.setEnabled(on);
}

CachedPlaybackStatus cachedPlaybackStatus() {
    const CachedPlayback::Status status = hostState().cache.status();
    CachedPlaybackStatus out;
    out.enabled = status.enabled;
    out.safeMode = status.safeMode;
    out.node = status.node;
    out.reason = status.reason;
    out.mitigation = status.mitigation;
    out.framesCached = status.framesCached;
    out.filling = status.filling;
    return out;
}

bool waitForCacheFill(std::chrono::milliseconds timeout) {
    return hostState().cache.waitForFill(timeout);
}

void failNext(HostCall call, int count, int after) {
    hostState().faults.arm(call, FaultSwitches::Armed{after, count, false});
}

void throwNext(HostCall call, int count, int after) {
    hostState().faults.arm(call, FaultSwitches::Armed{after, count, true});
}

// ---- Plug-ins

MObject pluginObject(const std::string& name, const std::string& loadPath) {
    return HostAccess::makeObject(hostState().types.plugin(name, loadPath));
}

MStatus loadPlugin(const std::string& modulePath) {
    return hostState().loader.load(modulePath);
}

MStatus unloadPlugin(const std::string& modulePath, bool force) {
    return hostState().loader.unload(modulePath, force);
}

// ---- Scene

MObject createNode(const std::string& typeName, const std::string& name) {
    HostState& host = hostState();
    const NodeType* type = host.types.find(typeName);
    if (type == nullptr) {
        return MObject();
    }
    MStatus status;
    return HostAccess::makeObject(host.scene.create(*type, name, status));
}

MStatus deleteNode(const MObject& node) {
    NodeRecord* record = HostAccess::node(node);
    return record != nullptr ? hostState().scene.removeUndoably({record})
                             : MStatus::kInvalidParameter;
}

bool undo() {
    return hostState().scene.undoQueue().undo();
}

bool redo() {
    return hostState().scene.undoQueue().redo();
}

std::string undoName() {
    return hostState().scene.undoQueue().undoName();
}

void flushUndo() {
    hostState().scene.flushUndo();
}

MObject findNode(const std::string& name) {
    return HostAccess::makeObject(hostState().scene.find(name));
}

std::vector<std::string> nodeNames() {
    Scene& scene = hostState().scene;
    std::vector<std::string> names;
    for (const NodeRecord* node : scene.nodes()) {
        names.push_back(scene.nameOf(node));
    }
    return names;
}

std::string nodeName(const MObject& node) {
    const NodeRecord* record = liveNode(node);
    return record != nullptr ? hostState().scene.nameOf(record) : std::string();
}

MPxNode* userNode(const MObject& node) {
    const NodeRecord* record = liveNode(node);
    return record != nullptr ? record->user : nullptr;
}

MStatus setLive(const MObject& node, bool live) {
    MPlug plug(node, MPxThreadedDeviceNode::live);
    return plug.setBool(live);
}

void setCaptureRestartWaits(bool wait) {
    CaptureThread::setRestartWaits(wait);
}

int captureThreadStarts(const MObject& node) {
    const NodeRecord* record = HostAccess::node(node);
    return record != nullptr && record->capture != nullptr ? record->capture->starts() : 0;
}

DeviceStats deviceStats(const MObject& node) {
    const NodeRecord* record = liveNode(node);
    auto* device = record != nullptr ? dynamic_cast<MPxThreadedDeviceNode*>(record->user) : nullptr;
    if (device == nullptr) {
        return {};
    }
    DeviceState* state = HostAccess::device(*device);
    std::lock_guard<std::mutex> lock(state->mutex);
    return {state->pushed, state->changed, state->popped};
}

std::vector<unsigned int> logicalIndices(const MPlug& arrayPlug) {
    PlugRef ref;
    if (!HostAccess::resolve(arrayPlug, ref) || !ref.attribute->array || ref.hasIndex) {
        return {};
    }
    Evaluator::evaluate(ref);
    std::vector<unsigned int> indices;
    std::lock_guard<std::mutex> lock(ref.node->mutex);
    for (const auto& entry : ref.node->slots[ref.attribute].elements) {
        indices.push_back(entry.first);
    }
    return indices;
}

std::vector<double> plugValues(const MPlug& plug) {
    PlugRef ref;
    std::vector<double> values;
    if (!HostAccess::resolve(plug, ref) || !Evaluator::readAll(ref, values)) {
        return {};
    }
    return values;
}

std::vector<double> plugValuesAt(const MPlug& plug, double uiTime) {
    PlugRef ref;
    std::vector<double> values;
    const double ticks = uiTime * TimeUnits::dgUnitsPerUnit(hostState().timeline.uiUnit());
    if (!HostAccess::resolve(plug, ref) || !Evaluator::readInContext(ref, ticks, values)) {
        return {};
    }
    return values;
}

bool isDirty(const MPlug& plug) {
    PlugRef ref;
    return HostAccess::resolve(plug, ref) && Evaluator::isDirty(ref);
}

void setSceneTime(double time) {
    HostState& host = hostState();
    host.timeline.moveTo(time);
    host.events.fire("timeChanged");
}

double sceneTime() {
    return hostState().timeline.current();
}

void fileNew() {
    HostState& host = hostState();
    host.callbacks.run(MSceneMessage::kBeforeNew);
    host.events.fire("deleteAll");
    host.scene.clear(true);
    host.sceneName.clear();
    host.callbacks.run(MSceneMessage::kAfterNew);
    host.events.fire("NewSceneOpened");
}

std::vector<std::pair<std::string, std::string>> fileInfo() {
    return hostState().scene.fileInfo();
}

void fileOpen(const std::string& path, const std::function<void()>& read) {
    HostState& host = hostState();
    host.callbacks.run(MSceneMessage::kBeforeOpen);
    host.events.fire("deleteAll");
    host.scene.clear(true);
    host.sceneName = path;
    if (read) {
        read();
    }
    host.events.fire("PostSceneRead");
    host.callbacks.run(MSceneMessage::kAfterOpen);
    host.events.fire("SceneOpened");
}

void exitHost() {
    HostState& host = hostState();
    host.events.fire("quitApplication");
    host.callbacks.run(MSceneMessage::kMayaExiting);
    host.scene.clear(false);
}

// ---- Timeline

void startPlayback() {
    hostState().timeline.play();
    notePlaybackState();
}

void stopPlayback() {
    hostState().timeline.stop();
    notePlaybackState();
}

PlaybackOptions playbackOptions() {
    return hostState().timeline.options();
}

bool setPlaybackOptions(const PlaybackOptions& options) {
    HostState& host = hostState();
    if (!host.timeline.setOptions(options)) {
        return false;
    }
    host.events.fire("playbackRangeChanged");
    return true;
}

bool stepPlayback(std::chrono::nanoseconds elapsed) {
    const bool moved = hostState().timeline.step(elapsed);
    notePlaybackState();  // a range played once stops at its end
    return moved;
}

std::uint64_t framesSkippedByPlayback() {
    return hostState().timeline.framesSkipped();
}

MStatus connectSceneTime(const MObject& node, const std::string& attributeName) {
    NodeRecord* time = hostState().scene.timeNode();
    if (time == nullptr || liveNode(node) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    MStatus status;
    const MPlug destination =
        MFnDependencyNode(node).findPlug(attributeName.c_str(), false, &status);
    if (!status) {
        return status;
    }
    MDGModifier modifier;
    status = modifier.connect(
        MFnDependencyNode(HostAccess::makeObject(time)).findPlug("outTime", false), destination);
    return status ? modifier.doIt() : status;
}

// ---- Units

bool setCurrentUnit(UnitKind kind, const std::string& name) {
    HostState& host = hostState();
    switch (kind) {
        case UnitKind::Linear:
            if (!host.units.setLinear(name)) {
                return false;
            }
            host.events.fire("linearUnitChanged");
            return true;
        case UnitKind::Angle:
            if (!host.units.setAngle(name)) {
                return false;
            }
            host.events.fire("angularUnitChanged");
            return true;
        case UnitKind::Time: {
            const MTime::Unit unit = TimeUnits::fromName(name);
            return unit != MTime::kInvalid && MTime::setUIUnit(unit) == MStatus::kSuccess;
        }
    }
    return false;
}

std::string currentUnit(UnitKind kind, bool fullName) {
    HostState& host = hostState();
    switch (kind) {
        case UnitKind::Linear:
            return host.units.linear(fullName);
        case UnitKind::Angle:
            return host.units.angle(fullName);
        case UnitKind::Time:
            return TimeUnits::name(host.timeline.uiUnit());
    }
    return std::string();
}

double toUiUnits(const MPlug& plug, double internalValue) {
    PlugRef ref;
    if (!HostAccess::resolve(plug, ref)) {
        return internalValue;
    }
    return internalValue / UnitConversion::internalPerUi(UnitConversion::unitOf(ref));
}

double fromUiUnits(const MPlug& plug, double uiValue) {
    PlugRef ref;
    if (!HostAccess::resolve(plug, ref)) {
        return uiValue;
    }
    return uiValue * UnitConversion::internalPerUi(UnitConversion::unitOf(ref));
}

bool disconnectInput(const MPlug& destination) {
    PlugRef ref;
    return HostAccess::resolve(destination, ref) && UnitConversion::disconnectInput(ref);
}

// ---- Timers

int advanceTimers(std::chrono::nanoseconds elapsed) {
    return hostState().callbacks.advanceTimers(std::chrono::duration<double>(elapsed).count());
}

// ---- Scene events

void setSceneEventListener(std::function<void(const std::string& event)> listener) {
    hostState().events.setListener(std::move(listener));
}

// ---- Animation curves

std::vector<std::string> animCurveNames() {
    Scene& scene = hostState().scene;
    std::vector<std::string> names;
    for (const NodeRecord* node : scene.nodes()) {
        if (node->curve != nullptr) {
            names.push_back(scene.nameOf(node));
        }
    }
    return names;
}

std::vector<CurveKey> animCurveKeys(const std::string& curveName) {
    HostState& host = hostState();
    const NodeRecord* node = host.scene.find(curveName);
    if (node == nullptr || node->curve == nullptr) {
        return {};
    }
    std::vector<CurveKey> keys;
    for (const auto& key : node->curve->keys(host.timeline.uiUnit())) {
        keys.push_back({key.first, key.second});
    }
    return keys;
}

// ---- Evaluation

int pullDirtyOutputs(const MObject& node) {
    NodeRecord* record = liveNode(node);
    if (record == nullptr) {
        return 0;
    }
    std::vector<EvaluationManager::Job> jobs;
    jobs.push_back({record, [record] { return Evaluator::pullDirtyOutputs(*record); }});
    return hostState().evaluation.run(std::move(jobs));
}

int pullDirtyOutputs(const std::vector<MObject>& nodes) {
    std::vector<EvaluationManager::Job> jobs;
    for (const MObject& node : nodes) {
        NodeRecord* record = liveNode(node);
        if (record != nullptr && Evaluator::hasDirtyOutputs(*record)) {
            jobs.push_back({record, [record] { return Evaluator::pullDirtyOutputs(*record); }});
        }
    }
    return hostState().evaluation.run(std::move(jobs));
}

ScheduleTimes scheduleTimes() {
    return hostState().evaluation.times();
}

int processRefreshes() {
    HostState& host = hostState();
    const AttributeRecord* live = host.types.builtins().live;
    int computes = 0;
    std::vector<EvaluationManager::Job> jobs;
    for (NodeRecord* node : host.refresh.take()) {
        std::vector<const AttributeRecord*> refresh;
        {
            std::lock_guard<std::mutex> lock(node->mutex);
            if (!node->alive || node->slots[live].value.v[0] == 0.0) {
                continue;
            }
        }
        auto* device = dynamic_cast<MPxThreadedDeviceNode*>(node->user);
        if (device == nullptr) {
            continue;
        }
        DeviceState* state = HostAccess::device(*device);
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            refresh = state->refreshAttributes;
        }
        jobs.push_back({node, [node, refresh] { return Evaluator::refresh(*node, refresh); }});
    }
    return computes + host.evaluation.run(std::move(jobs));
}

bool waitForRefresh(std::chrono::milliseconds timeout) {
    return hostState().refresh.waitForAny(timeout);
}

// ---- MEL

std::vector<std::string> pendingIdleCommands() {
    IdleQueue& queue = hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    return {queue.commands.begin(), queue.commands.end()};
}

std::vector<std::string> takeIdleCommands() {
    IdleQueue& queue = hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    std::vector<std::string> taken(queue.commands.begin(), queue.commands.end());
    queue.commands.clear();
    return taken;
}

int runIdleQueue() {
    HostState& host = hostState();
    std::deque<std::string> batch;
    {
        std::lock_guard<std::mutex> lock(host.idle.mutex);
        batch.swap(host.idle.commands);
    }
    const int ran = host.mel->runIdle(batch);
    host.cache.update();
    return ran;
}

std::vector<std::string> takeScriptErrors() {
    return hostState().mel->output().takeErrors();
}

std::vector<std::string> takeScriptWarnings() {
    return hostState().mel->output().takeWarnings();
}

std::vector<std::string> takeScriptLines() {
    return hostState().mel->output().takeLines();
}

std::string takeScriptOutput() {
    return hostState().mel->output().takePrinted();
}

void setScriptEcho(bool echo) {
    hostState().mel->output().setEcho(echo);
}

std::vector<std::string> takeDisplayedErrors() {
    return take(&ErrorLog::shown);
}

std::vector<std::string> takeDisplayedWarnings() {
    return take(&ErrorLog::warnings);
}

std::vector<std::string> takeDisplayedInfos() {
    return take(&ErrorLog::infos);
}

void setScriptPath(const std::vector<std::string>& folders) {
    hostState().mel->setScriptPath(folders);
}

std::vector<std::string> sourcedFiles() {
    return hostState().mel->interpreter().sourcedFiles();
}

void setPluginPath(const std::vector<std::string>& folders) {
    hostState().mel->setPluginPath(folders);
}

void setHumanIKAvailable(bool available) {
    hostState().mel->standIns().setHumanIKAvailable(available);
}

void setBatchMode(bool batch) {
    hostState().mel->setBatch(batch);
}

bool batchMode() {
    return hostState().mel->batch();
}

void setMelModes(bool bindAtCompile, bool shortCircuit) {
    MelInterpreter& mel = hostState().mel->interpreter();
    mel.setCommandBinding(bindAtCompile ? MelInterpreter::CommandBinding::AtCompile
                                        : MelInterpreter::CommandBinding::AtCall);
    mel.setShortCircuit(shortCircuit);
}

// ---- String resources

void setLocalizedString(const std::string& pluginId, const std::string& key,
                        const std::string& text) {
    StringTable& table = hostState().strings;
    std::lock_guard<std::mutex> lock(table.mutex);
    if (text.empty()) {
        table.localized.erase({pluginId, key});
    } else {
        table.localized[{pluginId, key}] = text;
    }
}

}  // namespace mayahost
