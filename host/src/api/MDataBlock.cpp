#include <maya/MDataBlock.h>
#include <maya/MPlug.h>

#include <mutex>

#include "AttributeRecord.h"
#include "BlockState.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::AttributeRecord;
using mayahost::BlockState;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

const AttributeRecord* ownAttribute(BlockState* state, const MObject& attribute) {
    const AttributeRecord* record = hostimpl::HostAccess::attribute(attribute);
    if (state == nullptr || record == nullptr || !state->node.type.owns(record) ||
        record->kind != AttributeRecord::Kind::Numeric) {
        return nullptr;
    }
    return record;
}

MPlug plugFor(BlockState* state, const AttributeRecord* attribute) {
    mayahost::PlugRef ref;
    ref.node = &state->node;
    ref.attribute = attribute;
    return hostimpl::HostAccess::makePlug(ref);
}

}  // namespace

MDataBlock::MDataBlock() : fBlock(nullptr) {}
MDataBlock::MDataBlock(const MDataBlock& in) = default;
MDataBlock::~MDataBlock() = default;

MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MDataBlock::inputValue");
    BlockState* state = static_cast<BlockState*>(fBlock);
    mayahost::PlugRef ref;
    if (state == nullptr || !hostimpl::HostAccess::resolve(plug, ref) || ref.node != &state->node ||
        ref.attribute->kind != AttributeRecord::Kind::Numeric) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MDataHandle();
    }
    const AttributeRecord* root = ref.attribute->root();
    mayahost::Evaluator::evaluate(ref);
    BlockState::Slot& slot = state->slot(root, false);
    report(ReturnStatus, MStatus::kSuccess);
    BlockState::Value* value = &slot.value;
    if (root->array && ref.hasIndex) {
        value = &state->element(slot, ref.index);
    }
    if (ref.attribute->parent != nullptr) {
        mayahost::NodeRecord::Cell cell = mayahost::NodeRecord::defaultCell(root);
        {
            std::lock_guard<std::mutex> lock(state->node.mutex);
            const mayahost::NodeRecord::Slot& stored = state->node.slots[root];
            if (!root->array) {
                cell = stored.value;
            } else if (auto found = stored.elements.find(ref.index);
                       found != stored.elements.end()) {
                cell = found->second;
            }
        }
        value = &state->childValue(ref.attribute, cell);
    }
    return hostimpl::HostAccess::makeHandle(value);
}

MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MDataBlock::inputValue");
    BlockState* state = static_cast<BlockState*>(fBlock);
    const AttributeRecord* record = ownAttribute(state, attribute);
    if (record == nullptr) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MDataHandle();
    }
    return inputValue(plugFor(state, record), ReturnStatus);
}

MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MDataBlock::outputValue");
    BlockState* state = static_cast<BlockState*>(fBlock);
    const AttributeRecord* record = ownAttribute(state, attribute);
    if (record == nullptr || record->parent != nullptr) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MDataHandle();
    }
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeHandle(&state->slot(record, true).value);
}

MArrayDataHandle MDataBlock::outputArrayValue(const MObject& attribute, MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MDataBlock::outputArrayValue");
    BlockState* state = static_cast<BlockState*>(fBlock);
    const AttributeRecord* record = ownAttribute(state, attribute);
    if (record == nullptr || !record->array) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return hostimpl::HostAccess::makeArrayHandle(nullptr);
    }
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeArrayHandle(&state->slot(record, true));
}

MDGContext& MDataBlock::context(MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MDataBlock::context");
    BlockState* state = static_cast<BlockState*>(fBlock);
    if (state == nullptr) {
        report(ReturnStatus, MStatus::kFailure);
        return MDGContext::fsNormal;
    }
    report(ReturnStatus, MStatus::kSuccess);
    return state->context;
}

// R3: the plug given, an element or a child, and nothing else.
MStatus MDataBlock::setClean(const MPlug& plug) {
    mayahost::HostRules::evaluationCall("MDataBlock::setClean");
    BlockState* state = static_cast<BlockState*>(fBlock);
    mayahost::PlugRef ref;
    if (state == nullptr || !hostimpl::HostAccess::resolve(plug, ref) || ref.node != &state->node) {
        return MStatus::kInvalidParameter;
    }
    state->markClean(ref.attribute->root(), ref.key());
    return MStatus::kSuccess;
}

MStatus MDataBlock::setClean(const MObject& attribute) {
    mayahost::HostRules::evaluationCall("MDataBlock::setClean");
    BlockState* state = static_cast<BlockState*>(fBlock);
    const AttributeRecord* record = ownAttribute(state, attribute);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    // The attribute's own plug: for an array, the array plug and not its elements.
    mayahost::PlugRef ref;
    ref.node = &state->node;
    ref.attribute = record;
    state->markClean(record->root(), ref.key());
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
