#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Collects the key changes made through it, so they can be undone and redone together.
class OPENMAYAANIM_EXPORT MAnimCurveChange {
public:
    MAnimCurveChange(MStatus* ReturnStatus = NULL);
    virtual ~MAnimCurveChange();
    MStatus undoIt();
    MStatus redoIt();

private:
    friend struct hostimpl::HostAccess;
    MAnimCurveChange(const MAnimCurveChange& other);
    MAnimCurveChange& operator=(const MAnimCurveChange& rhs);
    void* fChanges;
};

OPENMAYA_NAMESPACE_CLOSE
