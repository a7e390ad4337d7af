#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "KeySource.h"
#include "SceneData.h"

// Writes a take as a Maya ASCII 2022 scene: per skeleton a transform with its joint
// hierarchy, the baked curves connected to the joints, and the playback range over the keys.
// It streams: a curve's keys are read one at a time as they are written, so writing needs
// the same memory for a take of any length. Pure: it only turns data into text.
class MayaAsciiWriter {
public:
    // Angle curves hold radians, Maya's internal unit; the file holds its UI unit, degrees.
    static constexpr double kRadiansPerDegree = 0.017453292519943295;

    struct Range {
        double start;
        double end;
    };

    explicit MayaAsciiWriter(std::ostream& out);

    // In this order: the header, the scene's file info, the skeletons, the curves, then
    // finish().
    void writeHeader();
    // `fileInfo "key" "value";` for each entry the scene keeps, as Maya writes them after
    // its own; an entry of a key the header writes is left out.
    void writeFileInfo(const std::vector<std::pair<std::string, std::string>>& entries);
    // std::invalid_argument when a joint names a parent its skeleton does not have.
    void writeSkeleton(const SceneData::Skeleton& skeleton);
    // The curve's node with the keys of `keys` (its own `keys` are not read): animCurveTA
    // with degrees for an angle curve, animCurveTL with centimetres otherwise.
    void writeCurve(const SceneData::Curve& curve, const KeySource& keys);
    // The playback range over every key written, the connections of every curve written, and
    // the closing line.
    void finish();

    // A whole scene held in memory.
    static void write(const SceneData& scene, std::ostream& out);

    // The first and last key of the whole scene, widened to whole frames; none without keys.
    static std::optional<Range> playbackRange(const SceneData& scene);

    // A MEL string literal.
    static std::string quote(const std::string& text);
    // Shortest text that reads back as the same double; non-finite values become 0, which
    // MEL can parse, rather than losing the whole file.
    static std::string number(double value);

private:
    std::ostream& mOut;
    std::optional<Range> mKeyRange;         // first and last key time written so far
    std::vector<SceneData::Curve> mCurves;  // the curves written, without their keys
};
