#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>

#include "AttributeRecord.h"
#include "BlockState.h"
#include "HostAccess.h"

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
    BlockState::Slot* slot = slotOf(fSlot);
    report(ReturnStatus, slot != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    return slot != nullptr ? static_cast<unsigned int>(slot->elements.size()) : 0U;
}

MStatus MArrayDataHandle::jumpToElement(unsigned int index) {
    BlockState::Slot* slot = slotOf(fSlot);
    if (slot == nullptr || slot->elements.count(index) == 0) {
        return MStatus::kInvalidParameter;
    }
    fCurrent = index;
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setClean() {
    BlockState::Slot* slot = slotOf(fSlot);
    if (slot == nullptr) {
        return MStatus::kFailure;
    }
    slot->value.block->markClean(slot->root);
    return MStatus::kSuccess;
}

MArrayDataBuilder MArrayDataHandle::builder(MStatus* ReturnStatus) {
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
    BlockState::Slot* slot = slotOf(fSlot);
    auto* source = static_cast<BlockState::Builder*>(hostimpl::HostAccess::builder(builder));
    if (slot == nullptr || source == nullptr || source->root != slot->root) {
        return MStatus::kInvalidParameter;
    }
    slot->elements = source->elements;
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
