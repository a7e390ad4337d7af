#include <maya/MFnAttribute.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include "AttributeRecord.h"
#include "HostAccess.h"
#include "HostRules.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnAttribute::MFnAttribute() = default;

MFnAttribute::MFnAttribute(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnAttribute::MFnAttribute(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnAttribute::~MFnAttribute() = default;

MFn::Type MFnAttribute::type() const {
    return MFn::kAttribute;
}

namespace {

using mayahost::AttributeRecord;

AttributeRecord* recordOf(const MFnBase& fn, MStatus* ReturnStatus) {
    auto* record = dynamic_cast<AttributeRecord*>(hostimpl::HostAccess::attached(fn));
    if (ReturnStatus != nullptr) {
        *ReturnStatus = record != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return record;
}

bool flag(const MFnBase& fn, bool AttributeRecord::*member, MStatus* ReturnStatus) {
    const AttributeRecord* record = recordOf(fn, ReturnStatus);
    return record != nullptr && record->*member;
}

// Flags of a compound reach its children too; array-ness stays with the compound.
MStatus setFlag(const MFnBase& fn, bool AttributeRecord::*member, bool state, bool toChildren) {
    AttributeRecord* record = recordOf(fn, nullptr);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    record->*member = state;
    if (toChildren) {
        for (AttributeRecord* child : record->children) {
            child->*member = state;
        }
    }
    return MStatus::kSuccess;
}

}  // namespace

bool MFnAttribute::isReadable(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isReadable");
    return flag(*this, &AttributeRecord::readable, ReturnStatus);
}
bool MFnAttribute::isWritable(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isWritable");
    return flag(*this, &AttributeRecord::writable, ReturnStatus);
}
bool MFnAttribute::isConnectable(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isConnectable");
    return flag(*this, &AttributeRecord::connectable, ReturnStatus);
}
bool MFnAttribute::isStorable(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isStorable");
    return flag(*this, &AttributeRecord::storable, ReturnStatus);
}
bool MFnAttribute::isCached(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isCached");
    return flag(*this, &AttributeRecord::cached, ReturnStatus);
}
bool MFnAttribute::isArray(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isArray");
    return flag(*this, &AttributeRecord::array, ReturnStatus);
}
bool MFnAttribute::indexMatters(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::indexMatters");
    return flag(*this, &AttributeRecord::indexMatters, ReturnStatus);
}
bool MFnAttribute::isKeyable(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isKeyable");
    return flag(*this, &AttributeRecord::keyable, ReturnStatus);
}
bool MFnAttribute::isHidden(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::isHidden");
    return flag(*this, &AttributeRecord::hidden, ReturnStatus);
}
bool MFnAttribute::usesArrayDataBuilder(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::usesArrayDataBuilder");
    return flag(*this, &AttributeRecord::arrayBuilder, ReturnStatus);
}

MStatus MFnAttribute::setReadable(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setReadable");
    return setFlag(*this, &AttributeRecord::readable, state, true);
}
MStatus MFnAttribute::setWritable(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setWritable");
    return setFlag(*this, &AttributeRecord::writable, state, true);
}
MStatus MFnAttribute::setConnectable(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setConnectable");
    return setFlag(*this, &AttributeRecord::connectable, state, true);
}
MStatus MFnAttribute::setStorable(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setStorable");
    return setFlag(*this, &AttributeRecord::storable, state, true);
}
MStatus MFnAttribute::setCached(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setCached");
    return setFlag(*this, &AttributeRecord::cached, state, true);
}
MStatus MFnAttribute::setArray(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setArray");
    return setFlag(*this, &AttributeRecord::array, state, false);
}
MStatus MFnAttribute::setIndexMatters(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setIndexMatters");
    return setFlag(*this, &AttributeRecord::indexMatters, state, false);
}
MStatus MFnAttribute::setKeyable(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setKeyable");
    return setFlag(*this, &AttributeRecord::keyable, state, true);
}
MStatus MFnAttribute::setHidden(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setHidden");
    return setFlag(*this, &AttributeRecord::hidden, state, true);
}
MStatus MFnAttribute::setUsesArrayDataBuilder(bool state) {
    mayahost::HostRules::mainThreadCall("MFnAttribute::setUsesArrayDataBuilder");
    return setFlag(*this, &AttributeRecord::arrayBuilder, state, false);
}

MString MFnAttribute::name(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::name");
    const AttributeRecord* record = recordOf(*this, ReturnStatus);
    return record != nullptr ? MString(record->longName.c_str()) : MString();
}

MString MFnAttribute::shortName(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAttribute::shortName");
    const AttributeRecord* record = recordOf(*this, ReturnStatus);
    return record != nullptr ? MString(record->shortName.c_str()) : MString();
}

OPENMAYA_NAMESPACE_CLOSE
