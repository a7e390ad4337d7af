#include <maya/MFnUnitAttribute.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include "AttributeRecord.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnUnitAttribute::MFnUnitAttribute() = default;

MFnUnitAttribute::MFnUnitAttribute(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnUnitAttribute::MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnUnitAttribute::~MFnUnitAttribute() = default;

MFn::Type MFnUnitAttribute::type() const {
    return MFn::kUnitAttribute;
}

namespace {

using mayahost::AttributeRecord;

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

AttributeRecord::Unit unitOf(MFnUnitAttribute::Type type) {
    switch (type) {
        case MFnUnitAttribute::kAngle:
            return AttributeRecord::Unit::Angle;
        case MFnUnitAttribute::kDistance:
            return AttributeRecord::Unit::Distance;
        case MFnUnitAttribute::kTime:
            return AttributeRecord::Unit::Time;
        default:
            return AttributeRecord::Unit::None;
    }
}

}  // namespace

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName,
                                 MFnUnitAttribute::Type unitType, double defaultValue,
                                 MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MFnUnitAttribute::create");
    const AttributeRecord::Unit unit = unitOf(unitType);
    if (unit == AttributeRecord::Unit::None || fullName.length() == 0) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    // A double in internal units (cm, radians, DG time), as Maya's doubleLinear,
    // doubleAngle and time attributes hold.
    auto* record = mayahost::hostState().arena.make<AttributeRecord>(
        fullName.asChar(), briefName.asChar(), AttributeRecord::Kind::Numeric,
        MFnNumericData::kDouble);
    record->unit = unit;
    record->defaultValue = defaultValue;
    hostimpl::HostAccess::attach(*this, record);
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeObject(record);
}

MFnUnitAttribute::Type MFnUnitAttribute::unitType(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnUnitAttribute::unitType");
    const auto* record =
        dynamic_cast<const AttributeRecord*>(hostimpl::HostAccess::attached(*this));
    report(ReturnStatus, record != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (record == nullptr) {
        return kInvalid;
    }
    switch (record->unit) {
        case AttributeRecord::Unit::Angle:
            return kAngle;
        case AttributeRecord::Unit::Distance:
            return kDistance;
        case AttributeRecord::Unit::Time:
            return kTime;
        case AttributeRecord::Unit::None:
            break;
    }
    return kInvalid;
}

OPENMAYA_NAMESPACE_CLOSE
