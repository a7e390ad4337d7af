#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexDidCharacterize <node>": the scripts report that a character is now bound to the
// node's skeleton, which lets the node apply frames again.
class TulvexDidCharacterizeCmd : public MPxCommand {
public:
    static void* creator();
    MStatus doIt(const MArgList& args) override;
};
