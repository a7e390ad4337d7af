#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>

#include "AttributeRecord.h"
#include "BlockState.h"
#include "HostAccess.h"
#include "HostRules.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::BlockState;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

BlockState::Slot* slotOf(void* slot) {
    return static_cast<BlockState::Slot*>(slot);
}

// setClean and setAllClean both clean the array and every element of it.
MStatus cleanAll(BlockState::Slot* slot) {
    if (slot == nullptr) {
        return MStatus::kFailure;
    }
    slot->value.block->markAllClean(slot->root);
    return MStatus::kSuccess;
}

}  // namespace

MArrayDataHandle::MArrayDataHandle() : fSlot(nullptr), fCurrent(0) {}

MArrayDataHandle::MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus)
    : fSlot(nullptr), fCurrent(0) {
    auto* value = static_cast<BlockState::Value*>(hostimpl::HostAccess::handleValue(in));
    if (value != nullptr && value->arraySlot != nullptr) {
        fSlot = value->arraySlot;
    }
    report(ReturnStatus, fSlot != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
}

MArrayDataHandle::MArrayDataHandle(const MArrayDataHandle& other) = default;
MArrayDataHandle& MArrayDataHandle::operator=(const MArrayDataHandle& other) = default;

unsigned int MArrayDataHandle::elementCount(MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::elementCount");
    BlockState::Slot* slot = slotOf(fSlot);
    report(ReturnStatus, slot != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    return slot != nullptr ? static_cast<unsigned int>(slot->elements.size()) : 0U;
}

MStatus MArrayDataHandle::jumpToElement(unsigned int index) {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::jumpToElement");
    BlockState::Slot* slot = slotOf(fSlot);
    if (slot == nullptr || slot->elements.count(index) == 0) {
        return MStatus::kInvalidParameter;
    }
    fCurrent = index;
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setClean() {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::setClean");
    return cleanAll(slotOf(fSlot));
}

MStatus MArrayDataHandle::setAllClean() {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::setAllClean");
    return cleanAll(slotOf(fSlot));
}

MArrayDataBuilder MArrayDataHandle::builder(MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::builder");
    BlockState::Slot* slot = slotOf(fSlot);
    if (slot == nullptr) {
        report(ReturnStatus, MStatus::kFailure);
        return hostimpl::HostAccess::makeBuilder(nullptr);
    }
    // A builder starts from the elements the array holds now.
    BlockState::Builder& made = slot->value.block->newBuilder(slot->root);
    made.elements = slot->elements;
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeBuilder(&made);
}

MStatus MArrayDataHandle::set(MArrayDataBuilder& builder) {
    mayahost::HostRules::evaluationCall("MArrayDataHandle::set");
    BlockState::Slot* slot = slotOf(fSlot);
    auto* source = static_cast<BlockState::Builder*>(hostimpl::HostAccess::builder(builder));
    if (slot == nullptr || source == nullptr || source->root != slot->root) {
        return MStatus::kInvalidParameter;
    }
    slot->elements = source->elements;
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
