#include "TulvexBakeTakeCmd.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <string>

#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexBakeTakeCmd::creator() {
    return new TulvexBakeTakeCmd();
}

MStatus TulvexBakeTakeCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] { return bakeAgain(args); });
}

MStatus TulvexBakeTakeCmd::bakeAgain(const MArgList& args) {
    std::string nodeName;
    std::string take;
    for (unsigned int i = 0; i < args.length(); i += 2) {
        const std::string flag = args.asString(i).asChar();
        if (i + 1 >= args.length()) {
            displayError(MString(("TulvexBakeTake: " + flag + " needs a value").c_str()));
            return MStatus::kFailure;
        }
        const std::string value = args.asString(i + 1).asChar();
        if (flag == "-node" || flag == "-n") {
            nodeName = value;
        } else if (flag == "-take" || flag == "-t") {
            take = value;
        } else {
            displayError(MString(("TulvexBakeTake: unknown flag " + flag).c_str()));
            return MStatus::kFailure;
        }
    }
    if (nodeName.empty() || take.empty()) {
        displayError("TulvexBakeTake: give -node <node> and -take <number or file>");
        return MStatus::kFailure;
    }
    MSelectionList selection;
    MGlobal::getSelectionListByName(MString(nodeName.c_str()), selection);
    MObject object;
    selection.getDependNode(0, object);
    MPxNode* userNode = object.isNull() ? nullptr : MFnDependencyNode(object).userNode();
    if (userNode == nullptr || userNode->typeId() != TulvexDeviceNode::id) {
        displayError(
            MString(("TulvexBakeTake: " + nodeName + " is not a TulvexDeviceNode").c_str()));
        return MStatus::kFailure;
    }
    std::string error;
    if (static_cast<TulvexDeviceNode*>(userNode)->bakeJournal(take, error) != MStatus::kSuccess) {
        displayError(MString(("TulvexBakeTake: " + error).c_str()));
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}
