#include <maya/MFnNumericData.h>
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnNumericData::MFnNumericData() = default;

MFnNumericData::MFnNumericData(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnNumericData::MFnNumericData(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnNumericData::~MFnNumericData() = default;

MFn::Type MFnNumericData::type() const {
    return MFn::kNumericData;
}

OPENMAYA_NAMESPACE_CLOSE
