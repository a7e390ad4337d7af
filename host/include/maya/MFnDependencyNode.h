#pragma once

#include <maya/MDeprecate.h>
#include <maya/MFnBase.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnDependencyNode : public MFnBase {
public:
    MFnDependencyNode();
    MFnDependencyNode(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFn::Type type() const override;
    ~MFnDependencyNode() override;
    MObject create(const MString& type, MStatus* ReturnStatus = NULL);
    MTypeId typeId(MStatus* ReturnStatus = NULL) const;
    MString typeName(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString setName(const MString& name, bool createNamespace = false,
                    MStatus* ReturnStatus = NULL);
    OPENMAYA_DEPRECATED(2019, "Use setName(name, false, &status) instead.")
    MString setName(const MString& name, MStatus* ReturnStatus);
    bool hasAttribute(const MString& name, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug,
                   MStatus* ReturnStatus = NULL) const;
    MPxNode* userNode(MStatus* ReturnStatus = NULL) const;

private:
    MFnDependencyNode(const MFnDependencyNode& rhs);
    MFnDependencyNode& operator=(const MFnDependencyNode& rhs);
    MFnDependencyNode* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
