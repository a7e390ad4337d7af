#pragma once

// Base of everything an MObject can stand for: nodes, attributes, plug-ins.

#include <maya/MFn.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace hostimpl {

// Records are owned by the host state and outlive every MObject naming them, so a handle
// to a deleted node never dangles; it only stops being valid.
class HostObject {
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    virtual ~HostObject();
    virtual MFn::Type apiType() const = 0;
    bool hasFn(MFn::Type type) const;
    static const char* typeText(MFn::Type type);
};

}  // namespace hostimpl
OPENMAYA_NAMESPACE_CLOSE

namespace mayahost {
using HostObject = Autodesk::Maya::OpenMaya20220000::hostimpl::HostObject;
}  // namespace mayahost
