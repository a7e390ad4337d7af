#pragma once

#include <maya/MFn.h>
#include <maya/MTypes.h>
#include <stdio.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class FND_EXPORT MObject {
public:
    MObject();
    MObject(const MObject& other);
    MObject& operator=(const MObject& other);
    bool hasFn(MFn::Type fs) const;
    bool isNull() const;
    MFn::Type apiType() const;
    const char* apiTypeStr() const;
    bool operator==(const MObject& other) const;
    bool operator!=(const MObject& other) const;
    static MObject kNullObj;

private:
    friend struct hostimpl::HostAccess;
    hostimpl::HostObject* fObject;
};

OPENMAYA_NAMESPACE_CLOSE
