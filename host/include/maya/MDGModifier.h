#pragma once

#include <maya/MDeprecate.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDGModifier {
public:
    MDGModifier();
    virtual ~MDGModifier();
    MObject createNode(const MString& type, MStatus* ReturnStatus = NULL);
    MStatus deleteNode(const MObject& node);
    MStatus deleteNode(const MObject& node, bool includeParents);
    MStatus connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                    const MObject& destAttr);
    MStatus connect(const MPlug& source, const MPlug& dest);
    MStatus disconnect(const MObject& sourceNode, const MObject& sourceAttr,
                       const MObject& destNode, const MObject& destAttr);
    MStatus disconnect(const MPlug& source, const MPlug& dest);
    MStatus renameNode(const MObject& node, const MString& newName);
    MStatus doIt();
    MStatus undoIt();

private:
    MDGModifier(const MDGModifier& other);
    MDGModifier& operator=(const MDGModifier& rhs);
    void* fOperations;
};

OPENMAYA_NAMESPACE_CLOSE
