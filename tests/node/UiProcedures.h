#pragma once

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

namespace nodetest {

// The procedures a node calls on its panel, defined in MEL for tests that load no scripts:
// each keeps its call, as "name arg arg", in a global array.
inline bool defineUiProcedures() {
    return MGlobal::executeCommand(
               "global proc tulvexKeepUiCall(string $call) {"
               "    global string $gTulvexUiCalls[];"
               "    $gTulvexUiCalls[size($gTulvexUiCalls)] = $call;"
               "}"
               "global proc enableBindButton(int $id, int $on) {"
               "    tulvexKeepUiCall(\"enableBindButton \" + $id + \" \" + $on);"
               "}"
               "global proc updateLiveCheckbox(int $id, int $live) {"
               "    tulvexKeepUiCall(\"updateLiveCheckbox \" + $id + \" \" + $live);"
               "}"
               "global proc displayMessage(string $text, int $id) {"
               "    tulvexKeepUiCall(\"displayMessage \" + $text + \"|\" + $id);"
               "}"
               "global proc displayAvailableIPs(string $text, int $id) {"
               "    tulvexKeepUiCall(\"displayAvailableIPs \" + $text + \"|\" + $id);"
               "}"
               "global proc tulvexTakeBaked(int $id) {"
               "    tulvexKeepUiCall(\"tulvexTakeBaked \" + $id);"
               "}") == MStatus::kSuccess;
}

// The calls kept so far, oldest first; take also forgets them.
inline std::vector<std::string> uiCalls(bool take = false) {
    MStringArray kept;
    MGlobal::executeCommand("global string $gTulvexUiCalls[]; $gTulvexUiCalls", kept);
    if (take) {
        MGlobal::executeCommand("global string $gTulvexUiCalls[]; clear($gTulvexUiCalls);");
    }
    std::vector<std::string> calls;
    for (unsigned int i = 0; i < kept.length(); ++i) {
        calls.emplace_back(kept[i].asChar());
    }
    return calls;
}

}  // namespace nodetest
