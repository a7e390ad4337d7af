#include <maya/MEvaluationNode.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MEvaluationNode::MEvaluationNode() = default;
MEvaluationNode::MEvaluationNode(const MEvaluationNode& other) = default;
MEvaluationNode::~MEvaluationNode() = default;

MObject MEvaluationNode::dependencyNode(MStatus* ReturnStatus) const {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = fNode.isNull() ? MStatus::kFailure : MStatus::kSuccess;
    }
    return fNode;
}

OPENMAYA_NAMESPACE_CLOSE
