#pragma once

#include <maya/MDGContext.h>
#include <maya/MDeprecate.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPlug {
public:
    MPlug();
    MPlug(const MObject& node, const MObject& attribute);
    MPlug(const MPlug& other);
    MPlug& operator=(const MPlug& other);
    virtual ~MPlug();
    MObject attribute(MStatus* ReturnStatus = nullptr) const;
    MObject node(MStatus* ReturnStatus = nullptr) const;
    MString name(MStatus* ReturnStatus = nullptr) const;
    bool isNull(MStatus* ReturnStatus = nullptr) const;
    bool isArray(MStatus* ReturnStatus = nullptr) const;
    bool isElement(MStatus* ReturnStatus = nullptr) const;
    unsigned int logicalIndex(MStatus* ReturnStatus = nullptr) const;
    MPlug parent(MStatus* ReturnStatus = nullptr) const;
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus = nullptr) const;
    double asDouble(MStatus* ReturnStatus = nullptr) const;
    float asFloat(MStatus* ReturnStatus = nullptr) const;
    MInt64 asInt64(MStatus* ReturnStatus = nullptr) const;
    int asInt(MStatus* ReturnStatus = nullptr) const;
    short asShort(MStatus* ReturnStatus = nullptr) const;
    bool asBool(MStatus* ReturnStatus = nullptr) const;
    char asChar(MStatus* ReturnStatus = nullptr) const;
    MStatus setDouble(double value);
    MStatus setFloat(float value);
    MStatus setInt64(MInt64 value);
    MStatus setInt(int value);
    MStatus setShort(short value);
    MStatus setBool(bool value);
    MStatus setChar(char value);
    MStatus getValue(double& value) const;
    MStatus getValue(float& value) const;
    MStatus getValue(MInt64& value) const;
    MStatus getValue(int& value) const;
    MStatus getValue(short& value) const;
    MStatus getValue(bool& value) const;
    MStatus getValue(char& value) const;
    MStatus getValue(MString& value) const;
    MStatus getValue(double& value, MDGContext& ctx) const;
    MStatus setValue(double value);
    MStatus setValue(float value);
    MStatus setValue(MInt64 value);
    MStatus setValue(int value);
    MStatus setValue(short value);
    MStatus setValue(bool value);
    MStatus setValue(char value);
    MStatus setValue(const MString& value);
    MStatus setValue(const char* value);
    bool operator==(const MPlug& other) const;
    bool operator==(const MObject& other) const;
    bool operator!=(const MPlug& other) const;
    bool operator!=(const MObject& other) const;
    operator MObject() const;

private:
    friend struct hostimpl::HostAccess;
    MObject fNode;
    MObject fAttribute;
    unsigned int fIndex;
    bool fHasIndex;
};

OPENMAYA_NAMESPACE_CLOSE
