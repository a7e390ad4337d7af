#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnUnitAttribute : public MFnAttribute {
public:
    enum Type { kInvalid, kAngle, kDistance, kTime, kLast };

    MFnUnitAttribute();
    MFnUnitAttribute(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override;
    ~MFnUnitAttribute() override;
    MObject create(const MString& fullName, const MString& briefName,
                   MFnUnitAttribute::Type unitType, double defaultValue = 0.0,
                   MStatus* ReturnStatus = NULL);
    MFnUnitAttribute::Type unitType(MStatus* ReturnStatus = NULL) const;

private:
    MFnUnitAttribute(const MFnUnitAttribute& rhs);
    MFnUnitAttribute& operator=(const MFnUnitAttribute& rhs);
    MFnUnitAttribute* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
