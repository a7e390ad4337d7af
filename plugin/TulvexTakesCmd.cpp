#include "TulvexTakesCmd.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cstring>
#include <vector>

#include "EntryPointGuard.h"
#include "JournalReader.h"
#include "MelLiteral.h"
#include "TakeList.h"
#include "TulvexDeviceNode.h"

namespace {

TulvexDeviceNode* deviceNode(const std::string& name) {
    MSelectionList selection;
    MGlobal::getSelectionListByName(MString(name.c_str()), selection);
    MObject object;
    selection.getDependNode(0, object);
    MPxNode* userNode = object.isNull() ? nullptr : MFnDependencyNode(object).userNode();
    if (userNode == nullptr || userNode->typeId() != TulvexDeviceNode::id) {
        return nullptr;
    }
    return static_cast<TulvexDeviceNode*>(userNode);
}

// Any of a journal's files names its sidecar.
std::string sidecarPath(const std::string& path) {
    for (const char* extension : {".pcap", ".samples", ".json"}) {
        const std::size_t length = std::strlen(extension);
        if (path.size() > length && path.compare(path.size() - length, length, extension) == 0) {
            return path.substr(0, path.size() - length) + ".json";
        }
    }
    return path + ".json";
}

}  // namespace

void* TulvexTakesCmd::creator() {
    return new TulvexTakesCmd();
}

bool TulvexTakesCmd::parse(const MArgList& args, Request& request, std::string& error) {
    for (unsigned int i = 0; i < args.length(); ++i) {
        const std::string flag = args.asString(i).asChar();
        if (flag == "-unfinished" || flag == "-u") {
            request.unfinished = true;
            continue;
        }
        const bool node = flag == "-node" || flag == "-n";
        const bool recover = flag == "-recover" || flag == "-r";
        if (!node && !recover) {
            error = "unknown flag " + flag;
            return false;
        }
        if (i + 1 >= args.length()) {
            error = flag + " needs a value";
            return false;
        }
        (node ? request.node : request.recover) = args.asString(++i).asChar();
    }
    const int modes = (request.unfinished ? 1 : 0) + (request.recover.empty() ? 0 : 1) +
                      (request.node.empty() || !request.recover.empty() ? 0 : 1);
    if (modes != 1) {
        error = "give one of -node <node>, -unfinished or -recover <file> [-node <node>]";
        return false;
    }
    return true;
}

std::string TulvexTakesCmd::sceneJournalFolder() {
    const MString root = MGlobal::executeCommandStringResult("workspace -q -rootDirectory");
    const MString scene = MGlobal::executeCommandStringResult("file -q -sceneName");
    return TakeList::journalFolder(root.asChar(), scene.asChar());
}

MStatus TulvexTakesCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] {
        Request request;
        std::string error;
        if (!parse(args, request, error)) {
            displayError(MString(("TulvexTakes: " + error).c_str()));
            return MStatus(MStatus::kFailure);
        }
        return request.recover.empty() ? list(request) : recover(request);
    });
}

MStatus TulvexTakesCmd::list(const Request& request) {
    if (!request.unfinished && deviceNode(request.node) == nullptr) {
        displayError(
            MString(("TulvexTakes: " + request.node + " is not a TulvexDeviceNode").c_str()));
        return MStatus::kFailure;
    }
    std::vector<std::string> problems;
    std::vector<TakeList::Row> rows = TakeList::read(sceneJournalFolder(), request.node, problems);
    if (request.unfinished) {
        rows = TakeList::unfinished(rows);
        problems.clear();  // the node's own list names them; not every open scene
    }
    for (const std::string& problem : problems) {
        displayWarning(MString(("TulvexTakes: " + problem).c_str()));
    }
    MStringArray result;
    for (const TakeList::Row& row : rows) {
        result.append(MString(TakeList::rowText(row).c_str()));
    }
    setResult(result);
    return MStatus::kSuccess;
}

MStatus TulvexTakesCmd::recover(const Request& request) {
    const bool number = request.recover.find_first_not_of("0123456789") == std::string::npos;
    if (number && request.node.empty()) {
        displayError("TulvexTakes: a take number needs -node <node>");
        return MStatus::kFailure;
    }
    const std::string path =
        number ? sceneJournalFolder() + "/" + request.node + "_take" + request.recover + ".json"
               : sidecarPath(request.recover);
    std::string error;
    // Read on the main thread because the user asked for it, like opening a file.
    JournalReader::Contents contents;
    if (!JournalReader::read(path, contents, error)) {
        displayError(MString(("TulvexTakes: " + error).c_str()));
        return MStatus::kFailure;
    }
    if (contents.sidecar.state != "recording" || TakeList::writerAlive(path)) {
        displayError(MString(
            ("TulvexTakes: " + path + " is not an unfinished take; TulvexBakeTake bakes it again")
                .c_str()));
        return MStatus::kFailure;
    }
    const std::string nodeName = request.node.empty() ? contents.sidecar.node : request.node;
    TulvexDeviceNode* node = deviceNode(nodeName);
    if (node == nullptr) {
        displayError(MString(("TulvexTakes: " + nodeName +
                              " is not a TulvexDeviceNode of this scene; give -node <node>")
                                 .c_str()));
        return MStatus::kFailure;
    }
    if (node->bakeJournal(path, error) != MStatus::kSuccess ||
        !TakeList::markRecovered(path, contents, error)) {
        displayError(MString(("TulvexTakes: " + error).c_str()));
        return MStatus::kFailure;
    }
    setResult(MString(path.c_str()));
    return MStatus::kSuccess;
}

void TulvexTakesCmd::reportUnfinished() {
    std::vector<std::string> problems;
    const std::vector<TakeList::Row> rows =
        TakeList::unfinished(TakeList::read(sceneJournalFolder(), std::string(), problems));
    if (rows.empty()) {
        return;
    }
    const std::string message = TakeList::unfinishedMessage(rows);
    MGlobal::displayWarning(MString(message.c_str()));
    MGlobal::executeCommandOnIdle(
        MString(("if (`exists tulvexUnfinishedTakesFound`) tulvexUnfinishedTakesFound " +
                 MelLiteral::quoted(message))
                    .c_str()),
        false);
}
