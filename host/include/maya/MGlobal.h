#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MGlobal {
public:
    static MStatus executeCommandOnIdle(const MString& command, bool displayEnabled = false);
    static void displayError(const MString& theError);

private:
    ~MGlobal();
};

OPENMAYA_NAMESPACE_CLOSE
