#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MStringResource {
public:
    static const MString getString(const MStringResourceId& id, MStatus& status);
    static MStatus registerString(const MStringResourceId& id);
};

OPENMAYA_NAMESPACE_CLOSE
