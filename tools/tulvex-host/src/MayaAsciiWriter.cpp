#include "MayaAsciiWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <stdexcept>

#include "VectorKeySource.h"

namespace {

// Linear in and out tangents, the value of Maya's tangent type enum.
constexpr int kLinearTangent = 2;
// Keys per line, so long takes stay readable as text.
constexpr std::size_t kItemsPerLine = 8;

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

// setAttr -s N ".<attribute>[0:N-1]" followed by N items, a few per line; `item(i)` writes
// the values of item i, each after a blank.
template <typename ItemWriter>
void writeMultiValue(std::ostream& out, const char* attribute, std::size_t count,
                     const ItemWriter& item) {
    out << "\tsetAttr -s " << count << " \"." << attribute << "[0:" << count - 1 << "]\" ";
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0 && i % kItemsPerLine == 0) {
            out << "\n\t\t";
        }
        item(i);
    }
    out << ";\n";
}

void writePlaybackRange(const std::optional<MayaAsciiWriter::Range>& range, std::ostream& out) {
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

// Each curve's unit is its joint attribute's, so no conversion goes between, as in a file
// Maya writes.
void writeConnections(const std::vector<SceneData::Curve>& curves, std::ostream& out) {
    for (const SceneData::Curve& curve : curves) {
        connect(out, curve.name + ".o", curve.targetNode + "." + curve.targetAttribute);
    }
}

void include(std::optional<MayaAsciiWriter::Range>& range, double time) {
    if (!range) {
        range = MayaAsciiWriter::Range{time, time};
    }
    range->start = std::min(range->start, time);
    range->end = std::max(range->end, time);
}

std::optional<MayaAsciiWriter::Range> widened(std::optional<MayaAsciiWriter::Range> range) {
    if (range) {
        range->start = std::floor(range->start);
        range->end = std::ceil(range->end);
    }
    return range;
}

}  // namespace

MayaAsciiWriter::MayaAsciiWriter(std::ostream& out) : mOut(out) {}

void MayaAsciiWriter::writeHeader() {
    mOut << "//Maya ASCII 2022 scene\n"
         << "//Codeset: UTF-8\n"
         << "requires maya \"2022\";\n"
         << "currentUnit -l centimeter -a degree -t film;\n"
         << "fileInfo \"application\" \"maya\";\n"
         << "fileInfo \"product\" \"Maya 2022\";\n"
         << "fileInfo \"version\" \"2022\";\n";
}

void MayaAsciiWriter::writeFileInfo(
    const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [key, value] : entries) {
        if (key != "application" && key != "product" && key != "version") {
            mOut << "fileInfo " << quote(key) << ' ' << quote(value) << ";\n";
        }
    }
}

void MayaAsciiWriter::writeSkeleton(const SceneData::Skeleton& skeleton) {
    mOut << "createNode transform -n " << quote(skeleton.name) << ";\n";
    for (const SceneData::Joint* joint : parentsFirst(skeleton)) {
        const std::string& parent = joint->parent.empty() ? skeleton.name : joint->parent;
        mOut << "createNode joint -n " << quote(joint->name) << " -p " << quote(parent) << ";\n";
        mOut << "\tsetAttr \".t\" -type \"double3\" " << number(joint->translation[0]) << ' '
             << number(joint->translation[1]) << ' ' << number(joint->translation[2]) << " ;\n";
        mOut << "\tsetAttr \".ro\" 0;\n";  // xyz, the order the node's Euler angles use
    }
}

void MayaAsciiWriter::writeCurve(const SceneData::Curve& curve, const KeySource& keys) {
    mOut << "createNode " << (curve.angular ? "animCurveTA" : "animCurveTL") << " -n "
         << quote(curve.name) << ";\n";
    // Values in the file's UI units (centimetres, degrees), as Maya writes them.
    const double internalPerUi = curve.angular ? kRadiansPerDegree : 1.0;
    mOut << "\tsetAttr \".tan\" " << kLinearTangent << ";\n";
    mOut << "\tsetAttr \".wgt\" no;\n";
    const std::size_t count = keys.count();
    if (count != 0) {
        writeMultiValue(mOut, "ktv", count, [&](std::size_t i) {
            const SceneData::Key key = keys.at(i);
            include(mKeyRange, key.time);
            mOut << ' ' << number(key.time) << ' ' << number(key.value / internalPerUi);
        });
        const auto tangent = [&](std::size_t /*i*/) { mOut << ' ' << kLinearTangent; };
        writeMultiValue(mOut, "kit", count, tangent);
        writeMultiValue(mOut, "kot", count, tangent);
    }
    // Only what the connections need: the keys stay where they came from.
    mCurves.push_back({curve.name, {}, curve.targetNode, curve.targetAttribute, curve.angular});
}

void MayaAsciiWriter::finish() {
    writePlaybackRange(widened(mKeyRange), mOut);
    writeConnections(mCurves, mOut);
    mOut << "// End of scene\n";
}

void MayaAsciiWriter::write(const SceneData& scene, std::ostream& out) {
    MayaAsciiWriter writer(out);
    writer.writeHeader();
    for (const SceneData::Skeleton& skeleton : scene.skeletons) {
        writer.writeSkeleton(skeleton);
    }
    for (const SceneData::Curve& curve : scene.curves) {
        writer.writeCurve(curve, VectorKeySource(curve.keys));
    }
    writer.finish();
}

std::optional<MayaAsciiWriter::Range> MayaAsciiWriter::playbackRange(const SceneData& scene) {
    std::optional<Range> range;
    for (const SceneData::Curve& curve : scene.curves) {
        for (const SceneData::Key& key : curve.keys) {
            include(range, key.time);
        }
    }
    return widened(range);
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
