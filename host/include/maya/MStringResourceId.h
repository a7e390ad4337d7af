#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// An id's identity is the pair (pluginId, keyString); the default text travels with it.
class OPENMAYA_EXPORT MStringResourceId {
public:
    MStringResourceId();
    MStringResourceId(const char* pluginId, const char* keyString, const MString& defaultValue);
    MStringResourceId(const MStringResourceId& other);
    MStringResourceId& operator=(const MStringResourceId& other);
    ~MStringResourceId();

private:
    friend class MStringResource;
    struct Data;
    Data* fData;
};

OPENMAYA_NAMESPACE_CLOSE
