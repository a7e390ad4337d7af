#pragma once

#include <maya/MFnBase.h>
#include <maya/MFnData.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnAttribute : public MFnBase {
public:
    MFnAttribute();
    MFnAttribute(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnAttribute(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override;
    ~MFnAttribute() override;
    bool isReadable(MStatus* ReturnStatus = NULL) const;
    bool isWritable(MStatus* ReturnStatus = NULL) const;
    bool isConnectable(MStatus* ReturnStatus = NULL) const;
    bool isStorable(MStatus* ReturnStatus = NULL) const;
    bool isCached(MStatus* ReturnStatus = NULL) const;
    bool isArray(MStatus* ReturnStatus = NULL) const;
    bool indexMatters(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    bool isHidden(MStatus* ReturnStatus = NULL) const;
    bool usesArrayDataBuilder(MStatus* ReturnStatus = NULL) const;
    MStatus setReadable(bool state);
    MStatus setWritable(bool state);
    MStatus setConnectable(bool state);
    MStatus setStorable(bool state);
    MStatus setCached(bool state);
    MStatus setArray(bool state);
    MStatus setIndexMatters(bool state);
    MStatus setKeyable(bool state);
    MStatus setHidden(bool state);
    MStatus setUsesArrayDataBuilder(bool state);
    MString name(MStatus* ReturnStatus = NULL) const;
    MString shortName(MStatus* ReturnStatus = NULL) const;

private:
    MFnAttribute(const MFnAttribute& rhs);
    MFnAttribute& operator=(const MFnAttribute& rhs);
    MFnAttribute* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
