#include "Evaluator.h"

#include <maya/MDataBlock.h>
#include <maya/MPxNode.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

#include "AnimCurveKeys.h"
#include "AttributeRecord.h"
#include "BlockState.h"
#include "CaptureThread.h"
#include "Graph.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "TypeRegistry.h"

namespace mayahost {

namespace {

using Pending = std::pair<const NodeRecord*, const AttributeRecord*>;

// Attributes whose compute runs on this thread right now: a compute that reads its own
// output gets the stored value instead of recursing.
thread_local std::vector<Pending> tComputing;

// Leaves the computing stack as it found it, whatever compute does.
class Computing {
public:
    explicit Computing(const Pending& entry) { tComputing.push_back(entry); }
    ~Computing() { tComputing.pop_back(); }
    Computing(const Computing&) = delete;
    Computing& operator=(const Computing&) = delete;
};

// The time of the context this thread evaluates in, while it does; null in the normal one.
thread_local const double* tContextTicks = nullptr;

// Puts the calling thread in a context for its lifetime; contexts nest.
class ContextScope {
public:
    explicit ContextScope(const double* ticks) : outer_(tContextTicks) { tContextTicks = ticks; }
    ~ContextScope() { tContextTicks = outer_; }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    const double* outer_;
};

NodeRecord::Cell& cellOf(NodeRecord::Slot& slot, const PlugRef& ref, bool create) {
    static thread_local NodeRecord::Cell scratch;
    const AttributeRecord* root = ref.attribute->root();
    if (!root->array) {
        return slot.value;
    }
    auto found = slot.elements.find(ref.index);
    if (found != slot.elements.end()) {
        return found->second;
    }
    if (create) {
        return slot.elements.emplace(ref.index, NodeRecord::defaultCell(root)).first->second;
    }
    scratch = NodeRecord::defaultCell(root);
    return scratch;
}

std::vector<double> componentsOf(const NodeRecord::Cell& cell, const AttributeRecord* attribute) {
    if (attribute->parent != nullptr) {
        return {cell.v[attribute->childIndex]};
    }
    return std::vector<double>(cell.v, cell.v + attribute->width());
}

void assign(NodeRecord::Cell& cell, const AttributeRecord* attribute,
            const std::vector<double>& values) {
    if (attribute->parent != nullptr) {
        if (!values.empty()) {
            cell.v[attribute->childIndex] = convertForType(attribute->numericType, values[0]);
        }
        return;
    }
    const MFnNumericData::Type type = componentType(attribute->numericType);
    const std::size_t count = std::min<std::size_t>(attribute->width(), values.size());
    for (std::size_t k = 0; k < count; ++k) {
        cell.v[k] = convertForType(type, values[k]);
    }
}

bool needsIndex(const PlugRef& ref) {
    return ref.attribute->root()->array && !ref.hasIndex;
}

}  // namespace

MStatus Evaluator::checkScalar(const PlugRef& ref) {
    if (ref.attribute->kind != AttributeRecord::Kind::Numeric || ref.attribute->isCompound() ||
        needsIndex(ref)) {
        return MStatus::kInvalidParameter;
    }
    return MStatus::kSuccess;
}

MStatus Evaluator::read(const MPlug& plug, double& value) {
    PlugRef ref;
    MStatus status = HostAccess::resolve(plug, ref);
    if (status) {
        status = checkScalar(ref);
    }
    if (!status) {
        return status;
    }
    const AttributeRecord* root = ref.attribute->root();
    evaluate(ref);
    std::lock_guard<std::mutex> lock(ref.node->mutex);
    const NodeRecord::Cell& cell = cellOf(ref.node->slots[root], ref, false);
    value = cell.v[ref.attribute->parent != nullptr ? ref.attribute->childIndex : 0];
    return MStatus::kSuccess;
}

MStatus Evaluator::readAll(const PlugRef& ref, std::vector<double>& values) {
    if (ref.attribute->kind != AttributeRecord::Kind::Numeric || needsIndex(ref)) {
        return MStatus::kInvalidParameter;
    }
    const AttributeRecord* root = ref.attribute->root();
    evaluate(ref);
    std::lock_guard<std::mutex> lock(ref.node->mutex);
    values = componentsOf(cellOf(ref.node->slots[root], ref, false), ref.attribute);
    return MStatus::kSuccess;
}

MStatus Evaluator::write(const MPlug& plug, double value) {
    PlugRef ref;
    MStatus status = HostAccess::resolve(plug, ref);
    if (status) {
        status = checkScalar(ref);
    }
    if (!status) {
        return status;
    }
    NodeRecord& node = *ref.node;
    const AttributeRecord* root = ref.attribute->root();
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        NodeRecord::Slot& slot = node.slots[root];
        NodeRecord::Cell& cell = cellOf(slot, ref, true);
        double& target = cell.v[ref.attribute->parent != nullptr ? ref.attribute->childIndex : 0];
        const double converted = convertForType(ref.attribute->numericType, value);
        changed = target != converted;
        target = converted;
        if (!root->array) {
            slot.cleanAll();
        }
        ++slot.generation;
    }
    propagate(node, root);
    const TypeRegistry::Builtins& builtins = hostState().types.builtins();
    if (changed && node.type.isThreadedDevice() && node.capture != nullptr &&
        (root == builtins.live || root == builtins.frameRate)) {
        node.capture->restart();
    }
    hostState().cache.invalidate();
    hostState().cache.attributeChanged(node, root);
    MPlug set(plug);
    hostState().callbacks.runAttributeChanged(&node, MNodeMessage::kAttributeSet, set);
    return MStatus::kSuccess;
}

void Evaluator::store(const PlugRef& ref, const std::vector<double>& values) {
    const AttributeRecord* root = ref.attribute->root();
    {
        std::lock_guard<std::mutex> lock(ref.node->mutex);
        NodeRecord::Slot& slot = ref.node->slots[root];
        assign(cellOf(slot, ref, true), ref.attribute, values);
        slot.cleanAll();
        ++slot.generation;
    }
    propagate(*ref.node, root);
}

void Evaluator::markDirty(NodeRecord& node, const AttributeRecord* root) {
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        node.slots[root].markDirty();
    }
    propagate(node, root);
}

void Evaluator::propagate(NodeRecord& start, const AttributeRecord* startRoot) {
    const std::shared_ptr<const std::vector<DirtyClosures::Plug>> closure =
        hostState().closures.of(start, startRoot);
    // The closure lists each node's plugs together: one lock per node, and never two held.
    std::unique_lock<std::mutex> lock;
    for (const auto& [node, root] : *closure) {
        if (lock.mutex() != &node->mutex) {
            if (lock.owns_lock()) {
                lock.unlock();
            }
            lock = std::unique_lock<std::mutex>(node->mutex);
        }
        node->slots[root].markDirty();
    }
}

void Evaluator::touch(NodeRecord& node, const AttributeRecord* root) {
    hostState().cache.invalidate();
    bool wasDirty = false;
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        NodeRecord::Slot& slot = node.slots[root];
        wasDirty = slot.dirty;
        slot.markDirty();
    }
    if (!wasDirty) {
        propagate(node, root);
    }
}

void Evaluator::evaluateCurve(NodeRecord& node, const AttributeRecord* root) {
    std::uint64_t before = 0;
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        before = node.slots[root].generation;
    }
    const Timeline& timeline = hostState().timeline;
    const double value = node.curve->evaluate(MTime(timeline.current(), timeline.uiUnit()));
    std::lock_guard<std::mutex> lock(node.mutex);
    NodeRecord::Slot& slot = node.slots[root];
    slot.value.v[0] = value;
    // A key added meanwhile keeps it dirty.
    if (slot.generation == before) {
        slot.cleanAll();
    }
}

void Evaluator::evaluateConversion(NodeRecord& node, const AttributeRecord* root) {
    const TypeRegistry::Builtins& builtins = hostState().types.builtins();
    std::uint64_t before = 0;
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        before = node.slots[root].generation;
    }
    PlugRef input;
    input.node = &node;
    input.attribute = builtins.conversionInput;
    std::vector<double> values;
    readAll(input, values);
    PlugRef factorPlug = input;
    factorPlug.attribute = builtins.conversionFactor;
    std::vector<double> factor;
    readAll(factorPlug, factor);
    std::lock_guard<std::mutex> lock(node.mutex);
    NodeRecord::Slot& slot = node.slots[root];
    for (std::size_t k = 0; k < 3; ++k) {
        slot.value.v[k] = (k < values.size() ? values[k] : 0.0) * factor.at(0);
    }
    if (slot.generation == before) {
        slot.cleanAll();
    }
}

bool Evaluator::isDirty(const PlugRef& plug) {
    std::lock_guard<std::mutex> lock(plug.node->mutex);
    return plug.node->alive && plug.node->slots[plug.attribute->root()].isDirty(plug.key());
}

void Evaluator::pullConnections(NodeRecord& node, const AttributeRecord* root) {
    std::uint64_t before = 0;
    {
        std::lock_guard<std::mutex> lock(node.mutex);
        before = node.slots[root].generation;
    }
    for (const Graph::Connection& c : hostState().graph.incoming(&node, root)) {
        std::vector<double> values;
        if (!readAll(c.source, values)) {
            continue;
        }
        std::lock_guard<std::mutex> lock(node.mutex);
        assign(cellOf(node.slots[root], c.destination, true), c.destination.attribute, values);
    }
    std::lock_guard<std::mutex> lock(node.mutex);
    NodeRecord::Slot& slot = node.slots[root];
    if (slot.generation == before) {
        slot.cleanAll();
    }
}

const double* Evaluator::contextTicks() {
    return tContextTicks;
}

MStatus Evaluator::readInContext(const PlugRef& ref, double ticks, std::vector<double>& values) {
    if (ref.attribute->kind != AttributeRecord::Kind::Numeric || needsIndex(ref)) {
        return MStatus::kInvalidParameter;
    }
    const ContextScope scope(&ticks);
    return contextValue(ref, values);
}

bool Evaluator::contextInput(NodeRecord& node, const AttributeRecord* root,
                             std::vector<double>& values) {
    if (tContextTicks == nullptr || root->array ||
        hostState().graph.incoming(&node, root).empty()) {
        return false;
    }
    PlugRef ref;
    ref.node = &node;
    ref.attribute = root;
    return contextValue(ref, values) == MStatus::kSuccess;
}

MStatus Evaluator::contextValue(const PlugRef& ref, std::vector<double>& values) {
    NodeRecord& node = *ref.node;
    const AttributeRecord* root = ref.attribute->root();
    const TypeRegistry::Builtins& builtins = hostState().types.builtins();
    if (&node == hostState().scene.timeNode() && root == builtins.outTime) {
        values = {*tContextTicks};
        return MStatus::kSuccess;
    }
    Graph::Connection input;
    if (hostState().graph.input(ref, input)) {
        std::vector<double> upstream;
        MStatus status = contextValue(input.source, upstream);
        if (!status) {
            return status;
        }
        if (ref.attribute->parent != nullptr && input.destination.attribute->parent == nullptr) {
            // A child of a compound driven as a whole.
            const std::size_t k = ref.attribute->childIndex;
            values = {k < upstream.size() ? upstream[k] : 0.0};
        } else {
            values = upstream;
        }
        return MStatus::kSuccess;
    }
    if (node.curve != nullptr && root == builtins.curveOutput) {
        values = {node.curve->evaluate(MTime(*tContextTicks, MTime::k6000FPS))};
        return MStatus::kSuccess;
    }
    if (node.type.conversion && root == builtins.conversionOutput) {
        PlugRef in = ref;
        in.attribute = builtins.conversionInput;
        in.hasIndex = false;
        std::vector<double> factor;
        PlugRef factorPlug = in;
        factorPlug.attribute = builtins.conversionFactor;
        readAll(factorPlug, factor);
        contextValue(in, values);
        for (double& v : values) {
            v *= factor.empty() ? 1.0 : factor[0];
        }
        return MStatus::kSuccess;
    }
    if (node.user != nullptr && node.type.isComputed(root) && computeInContext(ref, values)) {
        return MStatus::kSuccess;
    }
    std::lock_guard<std::mutex> lock(node.mutex);
    values = componentsOf(cellOf(node.slots[root], ref, false), ref.attribute);
    return MStatus::kSuccess;
}

// Computes into a data block of its own and keeps nothing: another context's values never
// replace the normal context's.
bool Evaluator::computeInContext(const PlugRef& plug, std::vector<double>& values) {
    NodeRecord& node = *plug.node;
    const AttributeRecord* root = plug.attribute->root();
    const Pending self{&node, root};
    if (std::find(tComputing.begin(), tComputing.end(), self) != tComputing.end()) {
        return false;
    }
    const Computing computing(self);
    BlockState state(node, *tContextTicks);
    MDataBlock block = HostAccess::makeBlock(&state);
    MStatus status;
    {
        const HostRules::ComputeScope inCompute(&node);
        status = node.user->compute(HostAccess::makePlug(plug), block);
    }
    return status == MStatus::kSuccess && state.result(plug, values);
}

bool Evaluator::evaluate(const PlugRef& plug) {
    NodeRecord& node = *plug.node;
    const AttributeRecord* root = plug.attribute->root();
    if (tContextTicks != nullptr) {
        return false;  // a context computes what it needs itself, and stores nothing
    }
    if (!isDirty(plug)) {
        return false;
    }
    if (!hostState().graph.incoming(&node, root).empty()) {
        pullConnections(node, root);
        return false;
    }
    if (node.curve != nullptr && root == hostState().types.builtins().curveOutput) {
        evaluateCurve(node, root);
        return true;
    }
    if (node.type.conversion && root == hostState().types.builtins().conversionOutput) {
        evaluateConversion(node, root);
        return true;
    }
    const Pending self{&node, root};
    if (node.user == nullptr ||
        std::find(tComputing.begin(), tComputing.end(), self) != tComputing.end()) {
        return false;
    }
    // Playback from Cached Playback's cache shows what the fill computed, without computing.
    std::vector<double> cached;
    if (hostState().cache.lookup(plug, cached)) {
        std::lock_guard<std::mutex> lock(node.mutex);
        NodeRecord::Slot& slot = node.slots[root];
        assign(cellOf(slot, plug, true), plug.attribute, cached);
        slot.clean(plug.key(), root->array);
        return false;
    }
    const Computing computing(self);
    BlockState state(node);
    MDataBlock block = HostAccess::makeBlock(&state);
    {
        const HostRules::ComputeScope inCompute(&node);
        // R3: compute gets the plug that was asked for, an element or a child included.
        node.user->compute(HostAccess::makePlug(plug), block);
    }
    state.commit();
    return true;
}

int Evaluator::requestOutput(NodeRecord& node, const AttributeRecord* root, bool whole) {
    int computes = 0;
    bool connected = false;
    // R3: each connected plug is requested on its own, as whatever it drives pulls it.
    for (const Graph::Connection& c : hostState().graph.outgoing(&node, root)) {
        connected = true;
        computes += evaluate(c.source) ? 1 : 0;
    }
    if (whole || !connected) {
        PlugRef ref;
        ref.node = &node;
        ref.attribute = root;
        computes += evaluate(ref) ? 1 : 0;
    }
    return computes;
}

bool Evaluator::hasDirtyOutputs(NodeRecord& node) {
    // The plugs pullDirtyOutputs would request, looked at without evaluating any.
    for (const AttributeRecord* root : node.type.roots()) {
        bool connected = false;
        for (const Graph::Connection& c : hostState().graph.outgoing(&node, root)) {
            connected = true;
            if (isDirty(c.source)) {
                return true;
            }
        }
        PlugRef ref;
        ref.node = &node;
        ref.attribute = root;
        if (!connected && isDirty(ref)) {
            return true;
        }
    }
    return false;
}

int Evaluator::pullDirtyOutputs(NodeRecord& node) {
    int computes = 0;
    for (const AttributeRecord* root : node.type.roots()) {
        computes += requestOutput(node, root, false);
    }
    return computes;
}

int Evaluator::refresh(NodeRecord& node, const std::vector<const AttributeRecord*>& attributes) {
    int computes = 0;
    for (const AttributeRecord* attribute : attributes) {
        markDirty(node, attribute);
    }
    std::vector<const AttributeRecord*> affected;
    for (const AttributeRecord* attribute : attributes) {
        computes += requestOutput(node, attribute, true);
        for (const AttributeRecord* output : node.type.affectedBy(attribute)) {
            if (std::find(affected.begin(), affected.end(), output) == affected.end()) {
                affected.push_back(output);
            }
        }
    }
    // Outputs nothing reads stay dirty until something asks for them.
    for (const AttributeRecord* output : affected) {
        for (const Graph::Connection& c : hostState().graph.outgoing(&node, output)) {
            computes += evaluate(c.source) ? 1 : 0;
        }
    }
    return computes;
}

}  // namespace mayahost
