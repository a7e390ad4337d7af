#include <maya/MPxThreadedDeviceNode.h>
#include <mayahost/HostControl.h>

#include <deque>
#include <mutex>

#include "AttributeRecord.h"
#include "CaptureThread.h"
#include "DeviceState.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"
#include "PluginRecord.h"

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

PlugRef timePlug() {
    HostState& host = hostState();
    PlugRef ref;
    ref.node = host.scene.timeNode();
    ref.attribute = host.types.builtins().outTime;
    return ref;
}

}  // namespace

// ---- Whole host

void resetHost() {
    HostState& host = hostState();
    host.scene.clear(false);
    host.graph.clear();
    host.refresh.clear();
    host.types.removePluginTypes();
    host.types.clearPlugins();
    host.mel.reset();
    host.callbacks.clear();
    {
        std::lock_guard<std::mutex> lock(host.faults.mutex);
        host.faults.armed.clear();
    }
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
}

void failNext(HostCall call) {
    FaultSwitches& faults = hostState().faults;
    std::lock_guard<std::mutex> lock(faults.mutex);
    faults.armed.insert(call);
}

// ---- Plug-ins

MObject pluginObject(const std::string& name, const std::string& loadPath) {
    return HostAccess::makeObject(hostState().types.plugin(name, loadPath));
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
    return record != nullptr ? hostState().scene.remove(record) : MStatus::kInvalidParameter;
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

int captureThreadStarts(const MObject& node) {
    const NodeRecord* record = HostAccess::node(node);
    return record != nullptr && record->capture != nullptr ? record->capture->starts() : 0;
}

std::vector<unsigned int> logicalIndices(const MPlug& arrayPlug) {
    PlugRef ref;
    if (!HostAccess::resolve(arrayPlug, ref) || !ref.attribute->array || ref.hasIndex) {
        return {};
    }
    Evaluator::evaluate(*ref.node, ref.attribute, arrayPlug);
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

bool isDirty(const MPlug& plug) {
    PlugRef ref;
    return HostAccess::resolve(plug, ref) && Evaluator::isDirty(*ref.node, ref.attribute->root());
}

void setSceneTime(double time) {
    const PlugRef ref = timePlug();
    if (ref.node != nullptr) {
        Evaluator::store(ref, {time});
    }
}

double sceneTime() {
    const PlugRef ref = timePlug();
    std::vector<double> values;
    if (ref.node != nullptr) {
        Evaluator::readAll(ref, values);
    }
    return values.empty() ? 0.0 : values.front();
}

void fileNew() {
    HostState& host = hostState();
    host.callbacks.run(MSceneMessage::kBeforeNew);
    host.scene.clear(true);
    host.callbacks.run(MSceneMessage::kAfterNew);
}

void exitHost() {
    HostState& host = hostState();
    host.callbacks.run(MSceneMessage::kMayaExiting);
    host.scene.clear(false);
}

// ---- Evaluation

int pullDirtyOutputs(const MObject& node) {
    NodeRecord* record = liveNode(node);
    return record != nullptr ? Evaluator::pullDirtyOutputs(*record) : 0;
}

int processRefreshes() {
    HostState& host = hostState();
    const AttributeRecord* live = host.types.builtins().live;
    int computes = 0;
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
        for (const AttributeRecord* attribute : refresh) {
            Evaluator::markDirty(*node, attribute);
        }
        computes += Evaluator::pullDirtyOutputs(*node);
    }
    return computes;
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
    for (const std::string& command : batch) {
        host.mel.execute(command, false);
    }
    return static_cast<int>(batch.size());
}

void registerProcedure(const std::string& name, Procedure procedure) {
    hostState().mel.registerProcedure(name, std::move(procedure));
}

std::vector<ProcedureCall> procedureCalls() {
    return hostState().mel.calls(false);
}

std::vector<ProcedureCall> takeProcedureCalls() {
    return hostState().mel.calls(true);
}

std::vector<std::string> takeScriptErrors() {
    return hostState().mel.takeErrors();
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
    hostState().mel.setScriptPath(folders);
}

std::vector<std::string> sourcedFiles() {
    return hostState().mel.sourced();
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
