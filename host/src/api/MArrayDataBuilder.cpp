#include <maya/MArrayDataBuilder.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>

#include "AttributeRecord.h"
#include "BlockState.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::BlockState;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

}  // namespace

MArrayDataBuilder::MArrayDataBuilder() : fBuilder(nullptr) {}

MArrayDataBuilder::MArrayDataBuilder(MDataBlock* block, const MObject& attribute,
                                     unsigned int /*numElements*/, MStatus* ReturnStatus)
    : fBuilder(nullptr) {
    BlockState* state = block != nullptr ? hostimpl::HostAccess::block(*block) : nullptr;
    const mayahost::AttributeRecord* record = hostimpl::HostAccess::attribute(attribute);
    if (state == nullptr || record == nullptr || !record->array) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return;
    }
    fBuilder = &state->newBuilder(record);
    report(ReturnStatus, MStatus::kSuccess);
}

MArrayDataBuilder::MArrayDataBuilder(const MArrayDataBuilder& other) = default;
MArrayDataBuilder& MArrayDataBuilder::operator=(const MArrayDataBuilder& other) = default;

MDataHandle MArrayDataBuilder::addElement(unsigned int index, MStatus* ReturnStatus) {
    mayahost::HostRules::evaluationCall("MArrayDataBuilder::addElement");
    auto* builder = static_cast<BlockState::Builder*>(fBuilder);
    if (builder == nullptr ||
        mayahost::hostState().faults.take(mayahost::HostCall::AddArrayElement)) {
        report(ReturnStatus, MStatus::kFailure);
        return MDataHandle();
    }
    auto found = builder->elements.find(index);
    if (found == builder->elements.end()) {
        found = builder->elements.emplace(index, builder->block->newValue(builder->root)).first;
    }
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeHandle(&found->second);
}

OPENMAYA_NAMESPACE_CLOSE
