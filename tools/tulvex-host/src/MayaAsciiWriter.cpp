#include "MayaAsciiWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <stdexcept>

namespace {

// Linear in and out tangents, the value of Maya's tangent type enum.
constexpr int kLinearTangent = 2;
// Key pairs per line, so long takes stay readable as text.
constexpr std::size_t kPairsPerLine = 8;

// Joints of one skeleton reordered so that each comes after its parent: Maya's -p needs the
// parent to exist already.
std::vector<const SceneData::Joint*> parentsFirst(const SceneData::Skeleton& skeleton) {
    std::vector<const SceneData::Joint*> ordered;
    std::set<std::string> placed;
    std::vector<const SceneData::Joint*> waiting;
    for (const SceneData::Joint& joint : skeleton.joints) {
        waiting.push_back(&joint);
    }
    while (!waiting.empty()) {
        const std::size_t before = waiting.size();
        std::vector<const SceneData::Joint*> stillWaiting;
        for (const SceneData::Joint* joint : waiting) {
            if (joint->parent.empty() || placed.count(joint->parent) != 0) {
                ordered.push_back(joint);
                placed.insert(joint->name);
            } else {
                stillWaiting.push_back(joint);
            }
        }
        waiting.swap(stillWaiting);
        if (waiting.size() == before) {
            throw std::invalid_argument("joint " + waiting.front()->name + " of " + skeleton.name +
                                        " has no parent " + waiting.front()->parent +
                                        " to go under");
        }
    }
    return ordered;
}

void writeHeader(std::ostream& out) {
    out << "//Maya ASCII 2022 scene\n"
        << "//Codeset: UTF-8\n"
        << "requires maya \"2022\";\n"
        << "currentUnit -l centimeter -a degree -t film;\n";
}

void writeSkeleton(const SceneData::Skeleton& skeleton, std::ostream& out) {
    out << "createNode transform -n " << MayaAsciiWriter::quote(skeleton.name) << ";\n";
    for (const SceneData::Joint* joint : parentsFirst(skeleton)) {
        const std::string& parent = joint->parent.empty() ? skeleton.name : joint->parent;
        out << "createNode joint -n " << MayaAsciiWriter::quote(joint->name) << " -p "
            << MayaAsciiWriter::quote(parent) << ";\n";
        out << "\tsetAttr \".t\" -type \"double3\" "
            << MayaAsciiWriter::number(joint->translation[0]) << ' '
            << MayaAsciiWriter::number(joint->translation[1]) << ' '
            << MayaAsciiWriter::number(joint->translation[2]) << " ;\n";
        out << "\tsetAttr \".ro\" 0;\n";  // xyz, the order the node's Euler angles use
    }
}

// setAttr -s N ".<attribute>[0:N-1]" followed by the values, a few per line.
void writeMultiValue(std::ostream& out, const char* attribute, std::size_t count,
                     std::size_t valuesPerItem, const std::vector<std::string>& values) {
    out << "\tsetAttr -s " << count << " \"." << attribute << "[0:" << count - 1 << "]\" ";
    const std::size_t perLine = kPairsPerLine * valuesPerItem;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0 && i % perLine == 0) {
            out << "\n\t\t";
        }
        out << ' ' << values[i];
    }
    out << ";\n";
}

void writeCurve(const SceneData::Curve& curve, std::ostream& out) {
    out << "createNode animCurveTL -n " << MayaAsciiWriter::quote(curve.name) << ";\n";
    out << "\tsetAttr \".tan\" " << kLinearTangent << ";\n";
    out << "\tsetAttr \".wgt\" no;\n";
    if (curve.keys.empty()) {
        return;
    }
    const std::size_t count = curve.keys.size();
    std::vector<std::string> pairs;
    pairs.reserve(count * 2);
    for (const SceneData::Key& key : curve.keys) {
        pairs.push_back(MayaAsciiWriter::number(key.time));
        pairs.push_back(MayaAsciiWriter::number(key.value));
    }
    writeMultiValue(out, "ktv", count, 2, pairs);
    const std::vector<std::string> tangents(count, std::to_string(kLinearTangent));
    writeMultiValue(out, "kit", count, 1, tangents);
    writeMultiValue(out, "kot", count, 1, tangents);
}

std::string conversionName(const SceneData::Curve& curve) {
    return curve.name + "_toRadians";
}

void writeConversion(const SceneData::Curve& curve, std::ostream& out) {
    out << "createNode unitConversion -n " << MayaAsciiWriter::quote(conversionName(curve))
        << ";\n";
    out << "\tsetAttr \".cf\" " << MayaAsciiWriter::number(MayaAsciiWriter::kDegreesToRadians)
        << ";\n";
}

void writePlaybackRange(const SceneData& scene, std::ostream& out) {
    const std::optional<MayaAsciiWriter::Range> range = MayaAsciiWriter::playbackRange(scene);
    if (!range) {
        return;
    }
    const std::string start = MayaAsciiWriter::number(range->start);
    const std::string end = MayaAsciiWriter::number(range->end);
    out << "createNode script -n \"sceneConfigurationScriptNode\";\n";
    out << "\tsetAttr \".b\" -type \"string\" "
        << MayaAsciiWriter::quote("playbackOptions -min " + start + " -max " + end + " -ast " +
                                  start + " -aet " + end + " ")
        << ";\n";
    out << "\tsetAttr \".st\" 6;\n";  // run when the scene opens, as Maya's own node does
}

void connect(std::ostream& out, const std::string& from, const std::string& to) {
    out << "connectAttr " << MayaAsciiWriter::quote(from) << ' ' << MayaAsciiWriter::quote(to)
        << ";\n";
}

void writeConnections(const SceneData& scene, std::ostream& out) {
    for (const SceneData::Curve& curve : scene.curves) {
        const std::string target = curve.targetNode + "." + curve.targetAttribute;
        if (curve.degrees) {
            const std::string conversion = conversionName(curve);
            connect(out, curve.name + ".o", conversion + ".i");
            connect(out, conversion + ".o", target);
        } else {
            connect(out, curve.name + ".o", target);
        }
    }
}

}  // namespace

std::optional<MayaAsciiWriter::Range> MayaAsciiWriter::playbackRange(const SceneData& scene) {
    std::optional<Range> range;
    for (const SceneData::Curve& curve : scene.curves) {
        for (const SceneData::Key& key : curve.keys) {
            if (!range) {
                range = Range{key.time, key.time};
            }
            range->start = std::min(range->start, key.time);
            range->end = std::max(range->end, key.time);
        }
    }
    if (range) {
        range->start = std::floor(range->start);
        range->end = std::ceil(range->end);
    }
    return range;
}

void MayaAsciiWriter::write(const SceneData& scene, std::ostream& out) {
    writeHeader(out);
    for (const SceneData::Skeleton& skeleton : scene.skeletons) {
        writeSkeleton(skeleton, out);
    }
    for (const SceneData::Curve& curve : scene.curves) {
        writeCurve(curve, out);
        if (curve.degrees) {
            writeConversion(curve, out);
        }
    }
    writePlaybackRange(scene, out);
    writeConnections(scene, out);
    out << "// End of scene\n";
}

std::string MayaAsciiWriter::quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string MayaAsciiWriter::number(double value) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    if (value == 0.0) {
        return "0";  // also for -0, which Maya would read back as 0 anyway
    }
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}
