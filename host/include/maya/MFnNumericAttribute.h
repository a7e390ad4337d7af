#pragma once

#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNumericAttribute : public MFnAttribute {
public:
    MFnNumericAttribute();
    MFnNumericAttribute(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnNumericAttribute(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override;
    ~MFnNumericAttribute() override;
    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                   double defaultValue = 0, MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MObject& child1,
                   const MObject& child2, const MObject& child3 = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);
    MFnNumericData::Type unitType(MStatus* ReturnStatus = NULL) const;
    MStatus getDefault(bool& def1);
    MStatus getDefault(int& def1);
    MStatus getDefault(double& def1);
    MStatus setDefault(bool def1);
    MStatus setDefault(int def1);
    MStatus setDefault(double def1);

private:
    MFnNumericAttribute(const MFnNumericAttribute& rhs);
    MFnNumericAttribute& operator=(const MFnNumericAttribute& rhs);
    MFnNumericAttribute* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
