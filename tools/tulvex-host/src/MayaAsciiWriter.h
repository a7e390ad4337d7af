#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "SceneData.h"

// Writes a take as a Maya ASCII 2022 scene: per skeleton a transform with its joint
// hierarchy, the baked curves connected to the joints, and the playback range over the keys.
// Pure: it only turns data into text.
class MayaAsciiWriter {
public:
    // The curves hold degrees against time; a joint's rotation takes radians, Maya's
    // internal angle unit.
    static constexpr double kDegreesToRadians = 0.017453292519943295;

    struct Range {
        double start;
        double end;
    };

    // The first and last key of the whole scene, widened to whole frames; none without keys.
    static std::optional<Range> playbackRange(const SceneData& scene);

    // std::invalid_argument when a joint names a parent its skeleton does not have.
    static void write(const SceneData& scene, std::ostream& out);

    // A MEL string literal.
    static std::string quote(const std::string& text);
    // Shortest text that reads back as the same double; non-finite values become 0, which
    // MEL can parse, rather than losing the whole file.
    static std::string number(double value);

    MayaAsciiWriter() = delete;
};
