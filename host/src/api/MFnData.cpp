#include <maya/MFnData.h>
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnData::MFnData() = default;

MFnData::MFnData(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnData::MFnData(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnData::~MFnData() = default;

MFn::Type MFnData::type() const {
    return MFn::kBase;
}

OPENMAYA_NAMESPACE_CLOSE
