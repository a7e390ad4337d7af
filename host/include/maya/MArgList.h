#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MArgList {
public:
    MArgList();
    MArgList(const MArgList& other);
    MArgList& operator=(const MArgList& other);
    ~MArgList();
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    bool asBool(unsigned int index, MStatus* ret = NULL) const;
    int asInt(unsigned int index, MStatus* ret = NULL) const;
    double asDouble(unsigned int index, MStatus* ret = NULL) const;
    MString asString(unsigned int index, MStatus* ret = NULL) const;
    MStatus addArg(bool arg);
    MStatus addArg(int arg);
    MStatus addArg(double arg);
    MStatus addArg(const MString& arg);

private:
    friend struct hostimpl::HostAccess;
    void* fArgs;
};

OPENMAYA_NAMESPACE_CLOSE
