#include <maya/MAnimCurveChange.h>

#include "CurveChangeLog.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MAnimCurveChange::MAnimCurveChange(MStatus* ReturnStatus) : fChanges(new mayahost::CurveChangeLog) {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
}

MAnimCurveChange::~MAnimCurveChange() {
    delete static_cast<mayahost::CurveChangeLog*>(fChanges);
}

MStatus MAnimCurveChange::undoIt() {
    return static_cast<mayahost::CurveChangeLog*>(fChanges)->undo() ? MStatus::kSuccess
                                                                    : MStatus::kFailure;
}

MStatus MAnimCurveChange::redoIt() {
    return static_cast<mayahost::CurveChangeLog*>(fChanges)->redo() ? MStatus::kSuccess
                                                                    : MStatus::kFailure;
}

OPENMAYA_NAMESPACE_CLOSE
