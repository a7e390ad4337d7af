#pragma once

#include <maya/MFnNumericData.h>

#include <string>
#include <vector>

#include "HostObject.h"

namespace mayahost {

// One attribute definition. Built on the main thread while a node type initializes and only
// read once the type is registered, so it carries no lock.
class AttributeRecord final : public HostObject {
public:
    enum class Kind { Numeric, Message, Generic };
    // What a numeric value measures. Values are kept in Maya's internal units: centimetres,
    // radians, and DG time units (1/6000 s).
    enum class Unit { None, Distance, Angle, Time };

    AttributeRecord(std::string longName, std::string shortName, Kind kind,
                    MFnNumericData::Type numericType);
    MFn::Type apiType() const override;

    // The top-level attribute that owns the storage: itself, or its compound parent.
    const AttributeRecord* root() const { return parent != nullptr ? parent : this; }
    bool isCompound() const { return !children.empty(); }
    // Number of values one element holds: 1, or the child count of a compound.
    unsigned int width() const;
    bool matchesName(const std::string& name) const;

    std::string longName;
    std::string shortName;
    Kind kind;
    MFnNumericData::Type numericType;
    Unit unit = Unit::None;  // children share their compound's
    double defaultValue = 0.0;
    bool readable = true;
    bool writable = true;
    bool connectable = true;
    bool storable = true;
    bool cached = true;
    bool array = false;
    bool indexMatters = true;
    bool arrayBuilder = false;
    bool keyable = false;
    bool hidden = false;
    AttributeRecord* parent = nullptr;
    unsigned int childIndex = 0;
    std::vector<AttributeRecord*> children;
};

// Scalar conversion a numeric attribute applies to every value written to it.
double convertForType(MFnNumericData::Type type, double value);

// The scalar type of one component of a numeric type (k3Float -> kFloat).
MFnNumericData::Type componentType(MFnNumericData::Type type);

}  // namespace mayahost
