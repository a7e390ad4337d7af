#include "AttributeRecord.h"

#include <cstdint>
#include <utility>

namespace mayahost {

AttributeRecord::AttributeRecord(std::string longNameIn, std::string shortNameIn, Kind kindIn,
                                 MFnNumericData::Type numericTypeIn)
    : longName(std::move(longNameIn)),
      shortName(std::move(shortNameIn)),
      kind(kindIn),
      numericType(numericTypeIn) {}

MFn::Type AttributeRecord::apiType() const {
    if (kind != Kind::Numeric) {
        return MFn::kAttribute;
    }
    // A compound of distances or angles is still numeric data (double3), as in Maya.
    return unit != Unit::None && !isCompound() ? MFn::kUnitAttribute : MFn::kNumericAttribute;
}

unsigned int AttributeRecord::width() const {
    return children.empty() ? 1U : static_cast<unsigned int>(children.size());
}

bool AttributeRecord::matchesName(const std::string& name) const {
    return name == longName || name == shortName;
}

double convertForType(MFnNumericData::Type type, double value) {
    switch (type) {
        case MFnNumericData::kBoolean:
            return value != 0.0 ? 1.0 : 0.0;
        case MFnNumericData::kByte:
            return static_cast<double>(static_cast<std::uint8_t>(static_cast<int>(value)));
        case MFnNumericData::kChar:
            return static_cast<double>(static_cast<std::int8_t>(static_cast<int>(value)));
        case MFnNumericData::kShort:
        case MFnNumericData::k2Short:
        case MFnNumericData::k3Short:
            return static_cast<double>(static_cast<short>(value));
        case MFnNumericData::kInt:
        case MFnNumericData::k2Int:
        case MFnNumericData::k3Int:
            return static_cast<double>(static_cast<int>(value));
        case MFnNumericData::kInt64:
            return static_cast<double>(static_cast<long long>(value));
        case MFnNumericData::kFloat:
        case MFnNumericData::k2Float:
        case MFnNumericData::k3Float:
            return static_cast<double>(static_cast<float>(value));
        default:
            return value;
    }
}

MFnNumericData::Type componentType(MFnNumericData::Type type) {
    switch (type) {
        case MFnNumericData::k2Short:
        case MFnNumericData::k3Short:
            return MFnNumericData::kShort;
        case MFnNumericData::k2Int:
        case MFnNumericData::k3Int:
            return MFnNumericData::kInt;
        case MFnNumericData::k2Float:
        case MFnNumericData::k3Float:
            return MFnNumericData::kFloat;
        case MFnNumericData::k2Double:
        case MFnNumericData::k3Double:
        case MFnNumericData::k4Double:
            return MFnNumericData::kDouble;
        default:
            return type;
    }
}

}  // namespace mayahost
