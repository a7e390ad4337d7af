#pragma once

#include <maya/MDeprecate.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>
#include <string.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDataHandle {
public:
    MDataHandle();
    MDataHandle(const MDataHandle& other);
    MDataHandle& operator=(const MDataHandle& other);
    void setClean();
    bool& asBool() const;
    int& asInt() const;
    float& asFloat() const;
    double& asDouble() const;
    float3& asFloat3() const;
    double3& asDouble3() const;
    void setBool(bool value);
    void setInt(int value);
    void setDouble(double value);
    void set3Float(float x, float y, float z);
    void set3Double(double x, double y, double z);

private:
    friend struct hostimpl::HostAccess;
    void* fValue;
};

OPENMAYA_NAMESPACE_CLOSE
