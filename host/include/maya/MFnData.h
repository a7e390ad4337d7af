#pragma once

#include <maya/MFnBase.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnData : public MFnBase {
public:
    enum Type { kInvalid = 0, kNumeric = 1, kPlugin = 2 };
    MFnData();
    MFnData(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnData(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override;
    ~MFnData() override;

private:
    MFnData(const MFnData& rhs);
    MFnData& operator=(const MFnData& rhs);
    MFnData* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
