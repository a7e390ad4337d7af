#include <maya/MFnBase.h>
#include <maya/MObject.h>

#include "HostAccess.h"
#include "HostObject.h"
#include "HostRules.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnBase::MFnBase() : fObject(nullptr) {}
MFnBase::~MFnBase() = default;

MFn::Type MFnBase::type() const {
    return MFn::kBase;
}

bool MFnBase::hasObj(MFn::Type type) const {
    mayahost::HostRules::mainThreadCall("MFnBase::hasObj");
    return fObject != nullptr && fObject->hasFn(type);
}

bool MFnBase::hasObj(const MObject& object) const {
    mayahost::HostRules::mainThreadCall("MFnBase::hasObj");
    return object.hasFn(type());
}

MObject MFnBase::object(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnBase::object");
    if (ReturnStatus != nullptr) {
        *ReturnStatus = fObject != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return hostimpl::HostAccess::makeObject(fObject);
}

MStatus MFnBase::setObject(MObject& object) {
    mayahost::HostRules::mainThreadCall("MFnBase::setObject");
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnBase::setObject(const MObject& object) {
    mayahost::HostRules::mainThreadCall("MFnBase::setObject");
    // The function set's own type decides what it accepts, as in Maya.
    if (!object.hasFn(type())) {
        fObject = nullptr;
        return MStatus::kInvalidParameter;
    }
    fObject = hostimpl::HostAccess::object(object);
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
