#include "DeviceNodeArgument.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include "TulvexDeviceNode.h"

TulvexDeviceNode* DeviceNodeArgument::resolve(const MArgList& args) {
    if (args.length() != 1) {
        MPxCommand::displayError("This command expects exactly one argument: the name of the node",
                                 false);
        return nullptr;
    }
    const MString nodeName = args.asString(0);

    // An unresolved name leaves the object null; that is reported below like a wrong type.
    MSelectionList selection;
    MGlobal::getSelectionListByName(nodeName, selection);
    MObject object;
    selection.getDependNode(0, object);

    MFnDependencyNode node(object);
    MPxNode* userNode = object.isNull() ? nullptr : node.userNode();
    if (userNode != nullptr && userNode->typeId() == TulvexDeviceNode::id) {
        return static_cast<TulvexDeviceNode*>(userNode);
    }
    MPxCommand::displayError("Node is not of type TulvexDeviceNode", false);
    return nullptr;
}

bool DeviceNodeArgument::currentPose(const MArgList& args, Pose& pose) {
    TulvexDeviceNode* node = resolve(args);
    if (node == nullptr) {
        return false;
    }
    node->copySkeletonChannels(pose.data());
    return true;
}
