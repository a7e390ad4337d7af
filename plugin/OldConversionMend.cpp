#include "OldConversionMend.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <array>
#include <cctype>

#include "MelLiteral.h"
#include "TulvexMessages.h"

namespace {

// The unit outputs by long and short name; a child's name is its parent's and a digit.
constexpr std::array<const char*, 6> kUnitOutputs = {
    "outputRotations", "ors", "outputTranslations", "ots", "outputTranslate", "ot"};

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

MStatus query(const std::string& command, MStringArray& result) {
    return MGlobal::executeCommand(MString(command.c_str()), result, false, false);
}

MStatus execute(const std::string& command) {
    return MGlobal::executeCommand(MString(command.c_str()), false, false);
}

}  // namespace

MStatus OldConversionMend::run() {
    MStringArray nodes;
    MStatus status = query("ls -type TulvexDeviceNode", nodes);
    if (status != MStatus::kSuccess) {
        return status;
    }
    for (unsigned int i = 0; i < nodes.length(); ++i) {
        const MStatus mended = mendNode(nodes[i]);
        if (mended != MStatus::kSuccess && status == MStatus::kSuccess) {
            status = mended;
        }
    }
    return status;
}

bool OldConversionMend::isUnitOutput(const std::string& plug) {
    const std::size_t dot = plug.find('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::size_t end = plug.find_first_of(".[", dot + 1);
    if (end == std::string::npos) {
        end = plug.size();
    }
    std::string attribute = plug.substr(dot + 1, end - dot - 1);
    while (!attribute.empty() && std::isdigit(static_cast<unsigned char>(attribute.back())) != 0) {
        attribute.pop_back();
    }
    for (const char* name : kUnitOutputs) {
        if (attribute == name) {
            return true;
        }
    }
    return false;
}

MStatus OldConversionMend::mendNode(const MString& node) {
    const std::string name = node.asChar();
    // Pairs of the node's plug and the conversion's.
    MStringArray ends;
    MStatus status = query(
        "listConnections -source false -destination true -connections true "
        "-plugs true -type unitConversion " +
            MelLiteral::quoted(name),
        ends);
    if (status != MStatus::kSuccess) {
        return status;
    }
    std::vector<std::string> removed;
    std::vector<std::string> reached;
    for (unsigned int i = 0; i + 1 < ends.length(); i += 2) {
        const std::string output = ends[i].asChar();
        const std::string input = ends[i + 1].asChar();
        if (!isUnitOutput(output)) {
            continue;
        }
        const std::string conversion = input.substr(0, input.find('.'));
        MStringArray destinations;
        status = query("listConnections -source false -destination true -plugs true " +
                           MelLiteral::quoted(conversion + ".output"),
                       destinations);
        if (status != MStatus::kSuccess) {
            break;
        }
        status = execute("delete " + MelLiteral::quoted(conversion));
        if (status != MStatus::kSuccess) {
            break;
        }
        removed.push_back(conversion);
        for (unsigned int d = 0; d < destinations.length(); ++d) {
            const std::string destination = destinations[d].asChar();
            status = execute("connectAttr " + MelLiteral::quoted(output) + " " +
                             MelLiteral::quoted(destination));
            if (status != MStatus::kSuccess) {
                break;
            }
            reached.push_back(destination);
        }
        if (status != MStatus::kSuccess) {
            break;
        }
    }
    // What was done is told even when a later step failed: the scene has changed.
    if (!removed.empty()) {
        const MString format = TulvexMessages::lookup(TulvexMessages::kOldConversionsRemoved);
        const std::string text = filled(format.asChar(), {name, joined(removed), joined(reached)});
        MGlobal::displayInfo(MString(text.c_str()));
    }
    return status;
}

std::string OldConversionMend::filled(const std::string& format,
                                      const std::vector<std::string>& parts) {
    std::string text = format;
    std::size_t from = 0;
    for (const std::string& part : parts) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) {
            break;
        }
        text.replace(at, 2, part);
        from = at + part.size();
    }
    return text;
}
