#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// A node of the evaluation graph, as handed to MPxNode::getCacheSetup.
class OPENMAYA_EXPORT MEvaluationNode {
public:
    MEvaluationNode(const MEvaluationNode& other);
    virtual ~MEvaluationNode();
    MObject dependencyNode(MStatus* ReturnStatus = NULL) const;

private:
    friend struct hostimpl::HostAccess;
    MEvaluationNode();
    MEvaluationNode& operator=(const MEvaluationNode& other);
    MObject fNode;
};

OPENMAYA_NAMESPACE_CLOSE
