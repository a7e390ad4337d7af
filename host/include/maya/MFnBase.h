#pragma once

#include <maya/MFn.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnBase {
public:
    virtual ~MFnBase();
    virtual MFn::Type type() const;
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* ReturnStatus = nullptr) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

protected:
    MFnBase();

private:
    friend struct hostimpl::HostAccess;
    MFnBase(const MFnBase& rhs);
    MFnBase& operator=(const MFnBase& rhs);
    MFnBase* operator&() const;
    hostimpl::HostObject* fObject;
};

OPENMAYA_NAMESPACE_CLOSE
