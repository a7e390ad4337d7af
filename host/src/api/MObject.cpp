#include <maya/MObject.h>

#include "HostObject.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MObject MObject::kNullObj;

MObject::MObject() : fObject(nullptr) {}
MObject::MObject(const MObject& other) = default;
MObject& MObject::operator=(const MObject& other) = default;

bool MObject::hasFn(MFn::Type fs) const {
    return fObject != nullptr && fObject->hasFn(fs);
}

bool MObject::isNull() const {
    return fObject == nullptr;
}

MFn::Type MObject::apiType() const {
    return fObject != nullptr ? fObject->apiType() : MFn::kInvalid;
}

const char* MObject::apiTypeStr() const {
    return hostimpl::HostObject::typeText(apiType());
}

bool MObject::operator==(const MObject& other) const {
    return fObject == other.fObject;
}

bool MObject::operator!=(const MObject& other) const {
    return fObject != other.fObject;
}

OPENMAYA_NAMESPACE_CLOSE
