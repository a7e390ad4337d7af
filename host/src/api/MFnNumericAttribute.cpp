#include <maya/MFnNumericAttribute.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <string>
#include <vector>

#include "AttributeRecord.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnNumericAttribute::MFnNumericAttribute() = default;

MFnNumericAttribute::MFnNumericAttribute(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnNumericAttribute::MFnNumericAttribute(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnNumericAttribute::~MFnNumericAttribute() = default;

MFn::Type MFnNumericAttribute::type() const {
    return MFn::kNumericAttribute;
}

namespace {

using mayahost::AttributeRecord;

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

int childCount(MFnNumericData::Type type) {
    switch (type) {
        case MFnNumericData::k2Short:
        case MFnNumericData::k2Int:
        case MFnNumericData::k2Float:
        case MFnNumericData::k2Double:
            return 2;
        case MFnNumericData::k3Short:
        case MFnNumericData::k3Int:
        case MFnNumericData::k3Float:
        case MFnNumericData::k3Double:
            return 3;
        default:
            return 0;
    }
}

MFnNumericData::Type compoundType(MFnNumericData::Type component, std::size_t count) {
    const bool three = count == 3;
    switch (component) {
        case MFnNumericData::kShort:
            return three ? MFnNumericData::k3Short : MFnNumericData::k2Short;
        case MFnNumericData::kInt:
            return three ? MFnNumericData::k3Int : MFnNumericData::k2Int;
        case MFnNumericData::kFloat:
            return three ? MFnNumericData::k3Float : MFnNumericData::k2Float;
        case MFnNumericData::kDouble:
            return three ? MFnNumericData::k3Double : MFnNumericData::k2Double;
        default:
            return MFnNumericData::kInvalid;
    }
}

AttributeRecord* recordOf(const MFnBase& fn) {
    return dynamic_cast<AttributeRecord*>(hostimpl::HostAccess::attached(fn));
}

AttributeRecord* makeRecord(const std::string& longName, const std::string& shortName,
                            MFnNumericData::Type type) {
    return mayahost::hostState().arena.make<AttributeRecord>(longName, shortName,
                                                             AttributeRecord::Kind::Numeric, type);
}

void setDefaultOf(AttributeRecord* record, double value) {
    if (record->isCompound()) {
        for (AttributeRecord* child : record->children) {
            child->defaultValue = mayahost::convertForType(child->numericType, value);
        }
    }
    record->defaultValue = mayahost::convertForType(record->numericType, value);
}

double defaultOf(const AttributeRecord* record) {
    return record->isCompound() ? record->children.front()->defaultValue : record->defaultValue;
}

}  // namespace

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::create");
    const int children = childCount(unitType);
    if (unitType <= MFnNumericData::kInvalid || unitType >= MFnNumericData::kLast ||
        unitType == MFnNumericData::k4Double || fullName.length() == 0) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    AttributeRecord* record = makeRecord(fullName.asChar(), briefName.asChar(), unitType);
    for (int i = 0; i < children; ++i) {
        const std::string suffix = std::to_string(i);
        AttributeRecord* child =
            makeRecord(std::string(fullName.asChar()) + suffix,
                       std::string(briefName.asChar()) + suffix, mayahost::componentType(unitType));
        child->parent = record;
        child->childIndex = static_cast<unsigned int>(i);
        record->children.push_back(child);
    }
    setDefaultOf(record, defaultValue);
    hostimpl::HostAccess::attach(*this, record);
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeObject(record);
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    const MObject& child1, const MObject& child2,
                                    const MObject& child3, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::create");
    std::vector<AttributeRecord*> parts;
    for (const MObject* child : {&child1, &child2, &child3}) {
        if (!child->isNull()) {
            parts.push_back(hostimpl::HostAccess::attribute(*child));
        }
    }
    MFnNumericData::Type component = MFnNumericData::kInvalid;
    for (const AttributeRecord* part : parts) {
        // Children of one kind only: a distance beside an angle or a plain double has no
        // numeric data type.
        if (part == nullptr || part->kind != AttributeRecord::Kind::Numeric ||
            part->parent != nullptr || part->isCompound() ||
            (component != MFnNumericData::kInvalid &&
             (part->numericType != component || part->unit != parts.front()->unit))) {
            report(ReturnStatus, MStatus::kInvalidParameter);
            return MObject();
        }
        component = part->numericType;
    }
    const MFnNumericData::Type type = compoundType(component, parts.size());
    if (parts.size() < 2 || type == MFnNumericData::kInvalid) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    AttributeRecord* record = makeRecord(fullName.asChar(), briefName.asChar(), type);
    // Three distances make a double3 of doubleLinear, as a transform's translate.
    record->unit = parts.front()->unit;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        parts[i]->parent = record;
        parts[i]->childIndex = static_cast<unsigned int>(i);
        record->children.push_back(parts[i]);
    }
    hostimpl::HostAccess::attach(*this, record);
    report(ReturnStatus, MStatus::kSuccess);
    return hostimpl::HostAccess::makeObject(record);
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::unitType");
    const AttributeRecord* record = recordOf(*this);
    report(ReturnStatus, record != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return record != nullptr ? record->numericType : MFnNumericData::kInvalid;
}

MStatus MFnNumericAttribute::getDefault(bool& def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::getDefault");
    const AttributeRecord* record = recordOf(*this);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    def1 = defaultOf(record) != 0.0;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getDefault(int& def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::getDefault");
    const AttributeRecord* record = recordOf(*this);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    def1 = static_cast<int>(defaultOf(record));
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getDefault(double& def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::getDefault");
    const AttributeRecord* record = recordOf(*this);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    def1 = defaultOf(record);
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::setDefault(bool def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::setDefault");
    return setDefault(def1 ? 1.0 : 0.0);
}

MStatus MFnNumericAttribute::setDefault(int def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::setDefault");
    return setDefault(static_cast<double>(def1));
}

MStatus MFnNumericAttribute::setDefault(double def1) {
    mayahost::HostRules::mainThreadCall("MFnNumericAttribute::setDefault");
    AttributeRecord* record = recordOf(*this);
    if (record == nullptr) {
        return MStatus::kInvalidParameter;
    }
    setDefaultOf(record, def1);
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
