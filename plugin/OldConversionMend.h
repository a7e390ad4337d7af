#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>
#include <vector>

// Scenes saved while the node's outputs were unitless hold the unitConversion nodes Maya put
// between those outputs and the joints. The outputs now carry their units, so such a
// conversion scales a value that needs no scaling: it is taken out and whatever it fed takes
// the output directly. Conversions fed by anything else are left as they are. Main thread
// only: the after-open callback runs it.
class OldConversionMend {
public:
    // Mends every TulvexDeviceNode of the scene, with one info line per node that had
    // anything mended. A node that fails does not stop the others; the first failure is
    // returned.
    static MStatus run();

    // Whether a plug name, "node.attribute...", is one of the node's unit outputs: the
    // compound, an element or a child of outputRotations, outputTranslations or
    // outputTranslate, by long or short name.
    static bool isUnitOutput(const std::string& plug);

    OldConversionMend() = delete;

private:
    static MStatus mendNode(const MString& node);
    // The table's text with its "%s" replaced in turn by `parts`.
    static std::string filled(const std::string& format, const std::vector<std::string>& parts);
};
