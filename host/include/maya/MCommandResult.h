#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MCommandResult {
public:
    MCommandResult(MStatus* ReturnStatus = NULL);
    virtual ~MCommandResult();
    MStatus getResult(int& result) const;
    MStatus getResult(double& result) const;
    MStatus getResult(MString& result) const;
    MString stringResult(MStatus* ReturnResult = NULL) const;

private:
    friend struct hostimpl::HostAccess;
    MCommandResult(const MCommandResult& other);
    MCommandResult& operator=(const MCommandResult& other);
    void* fData;
};

OPENMAYA_NAMESPACE_CLOSE
