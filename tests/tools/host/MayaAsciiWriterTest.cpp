// The Maya ASCII text of small takes, read back line by line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "MayaAsciiWriter.h"
#include "VectorKeySource.h"

namespace {

std::string written(const SceneData& scene) {
    std::ostringstream out;
    MayaAsciiWriter::write(scene, out);
    return out.str();
}

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::size_t lineIndex(const std::vector<std::string>& lines, const std::string& line) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == line) {
            return i;
        }
    }
    return lines.size();
}

// Numbers after the quoted attribute of a setAttr statement, across wrapped lines.
std::vector<double> valuesOf(const std::string& text, const std::string& attribute) {
    const std::size_t at = text.find("\"." + attribute + "[");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t from = text.find('"', at + 1) + 1;
    std::istringstream in(text.substr(from, text.find(';', from) - from));
    std::vector<double> values;
    for (double value = 0; in >> value;) {
        values.push_back(value);
    }
    return values;
}

SceneData armScene() {
    SceneData scene;
    // Children before parents on purpose: the file must still create parents first.
    scene.skeletons.push_back({"arm",
                               {{"arm_hand", "arm_lower", {10, 0, 0}},
                                {"arm_lower", "arm_root", {0, -2.5, 0}},
                                {"arm_root", "", {1.5, 90, -3}}}});
    scene.curves.push_back({"arm_root_tx", {{1, 0.5}, {2, 0.25}, {3, -1}}, "arm_root", "tx"});
    // Radians, as an angle curve holds them: 90 and -45 degrees.
    scene.curves.push_back({"arm_hand_rz",
                            {{1.25, 1.5707963267948966}, {26.5, -0.78539816339744828}},
                            "arm_hand",
                            "rz",
                            true});
    return scene;
}

TEST(MayaAsciiWriterTest, StartsWithTheHeaderMaya2022Expects) {
    const std::vector<std::string> lines = linesOf(written(armScene()));
    ASSERT_GE(lines.size(), 4U);
    EXPECT_EQ(lines[0], "//Maya ASCII 2022 scene");
    EXPECT_LT(lineIndex(lines, "requires maya \"2022\";"),
              lineIndex(lines, "currentUnit -l centimeter -a degree -t film;"));
    EXPECT_LT(lineIndex(lines, "currentUnit -l centimeter -a degree -t film;"),
              lineIndex(lines, "fileInfo \"application\" \"maya\";"));
    EXPECT_LT(lineIndex(lines, "fileInfo \"version\" \"2022\";"),
              lineIndex(lines, "createNode transform -n \"arm\";"));
}

// What the scene keeps about itself follows Maya's own lines, quoted so it reads back as set.
TEST(MayaAsciiWriterTest, WritesTheScenesFileInfoAfterItsOwn) {
    std::ostringstream out;
    MayaAsciiWriter writer(out);
    writer.writeHeader();
    writer.writeFileInfo({{"version", "2019"}, {"tulvexDrive0", "rig:Hero;"}, {"say", "a \"b\""}});
    writer.finish();
    const std::vector<std::string> lines = linesOf(out.str());
    EXPECT_EQ(lineIndex(lines, "fileInfo \"tulvexDrive0\" \"rig:Hero;\";"),
              lineIndex(lines, "fileInfo \"version\" \"2022\";") + 1);
    EXPECT_LT(lineIndex(lines, "fileInfo \"say\" \"a \\\"b\\\"\";"), lines.size());
    EXPECT_EQ(occurrences(out.str(), "fileInfo \"version\""), 1) << "the header's own stays";
}

TEST(MayaAsciiWriterTest, CreatesEveryJointAfterItsParentWithItsTranslation) {
    const std::vector<std::string> lines = linesOf(written(armScene()));
    const std::size_t transform = lineIndex(lines, "createNode transform -n \"arm\";");
    const std::size_t root = lineIndex(lines, "createNode joint -n \"arm_root\" -p \"arm\";");
    const std::size_t lower =
        lineIndex(lines, "createNode joint -n \"arm_lower\" -p \"arm_root\";");
    const std::size_t hand = lineIndex(lines, "createNode joint -n \"arm_hand\" -p \"arm_lower\";");
    ASSERT_LT(hand, lines.size());
    EXPECT_LT(transform, root);
    EXPECT_LT(root, lower);
    EXPECT_LT(lower, hand);
    EXPECT_EQ(lines[root + 1], "\tsetAttr \".t\" -type \"double3\" 1.5 90 -3 ;");
    EXPECT_EQ(lines[lower + 1], "\tsetAttr \".t\" -type \"double3\" 0 -2.5 0 ;");
    EXPECT_EQ(lines[hand + 2], "\tsetAttr \".ro\" 0;");
}

TEST(MayaAsciiWriterTest, RefusesAJointWhoseParentIsMissing) {
    SceneData scene;
    scene.skeletons.push_back({"s", {{"s_a", "", {}}, {"s_b", "s_nowhere", {}}}});
    std::ostringstream out;
    EXPECT_THROW(MayaAsciiWriter::write(scene, out), std::invalid_argument);
}

TEST(MayaAsciiWriterTest, WritesKeysAsTimeValuePairsWithLinearTangents) {
    const std::string text = written(armScene());
    const std::vector<std::string> lines = linesOf(text);
    const std::size_t curve = lineIndex(lines, "createNode animCurveTL -n \"arm_root_tx\";");
    ASSERT_LT(curve + 5, lines.size());
    EXPECT_EQ(lines[curve + 1], "\tsetAttr \".tan\" 2;");
    EXPECT_EQ(lines[curve + 3], "\tsetAttr -s 3 \".ktv[0:2]\"  1 0.5 2 0.25 3 -1;");
    EXPECT_EQ(lines[curve + 4], "\tsetAttr -s 3 \".kit[0:2]\"  2 2 2;");
    EXPECT_EQ(lines[curve + 5], "\tsetAttr -s 3 \".kot[0:2]\"  2 2 2;");
}

TEST(MayaAsciiWriterTest, WrapsLongKeyListsWithoutLosingAKey) {
    SceneData scene;
    SceneData::Curve curve{"long", {}, "j", "ty"};
    for (int i = 0; i < 50; ++i) {
        curve.keys.push_back({1.0 + i * 0.4, i * 0.1});
    }
    scene.curves.push_back(curve);
    const std::string text = written(scene);
    EXPECT_NE(text.find("setAttr -s 50 \".ktv[0:49]\""), std::string::npos);
    const std::vector<double> values = valuesOf(text, "ktv");
    ASSERT_EQ(values.size(), 100U);
    for (std::size_t i = 0; i < curve.keys.size(); ++i) {
        EXPECT_DOUBLE_EQ(values[2 * i], curve.keys[i].time);
        EXPECT_DOUBLE_EQ(values[2 * i + 1], curve.keys[i].value);
    }
    EXPECT_GT(linesOf(text).size(), 10U) << "one line per key list would be unreadable";
}

TEST(MayaAsciiWriterTest, KeysRotationsOnAngleCurvesInDegreesConnectedStraightToTheJoint) {
    const std::string text = written(armScene());
    const std::vector<std::string> lines = linesOf(text);
    const std::size_t curve = lineIndex(lines, "createNode animCurveTA -n \"arm_hand_rz\";");
    ASSERT_LT(curve + 3, lines.size());
    // The file's angle unit is degrees: the radians the curve holds are written as such.
    EXPECT_EQ(lines[curve + 3], "\tsetAttr -s 2 \".ktv[0:1]\"  1.25 90 26.5 -45;");
    EXPECT_LT(lineIndex(lines, "connectAttr \"arm_hand_rz.o\" \"arm_hand.rz\";"), lines.size());
    EXPECT_EQ(occurrences(text, "unitConversion"), 0);
}

TEST(MayaAsciiWriterTest, ConnectsTranslationCurvesStraightToTheJoint) {
    const std::string text = written(armScene());
    EXPECT_NE(text.find("createNode animCurveTL -n \"arm_root_tx\";"), std::string::npos);
    EXPECT_NE(text.find("connectAttr \"arm_root_tx.o\" \"arm_root.tx\";\n"), std::string::npos);
    EXPECT_EQ(valuesOf(text, "ktv"), (std::vector<double>{1, 0.5, 2, 0.25, 3, -1}))
        << "centimetres are written as they are";
}

TEST(MayaAsciiWriterTest, SetsThePlaybackRangeToTheKeysWidenedToWholeFrames) {
    const std::string text = written(armScene());
    EXPECT_NE(text.find("createNode script -n \"sceneConfigurationScriptNode\";\n"
                        "\tsetAttr \".b\" -type \"string\" \"playbackOptions -min 1 -max 27 "
                        "-ast 1 -aet 27 \";\n"
                        "\tsetAttr \".st\" 6;\n"),
              std::string::npos)
        << text;
}

TEST(MayaAsciiWriterTest, LeavesThePlaybackRangeAloneWithoutKeys) {
    SceneData scene = armScene();
    scene.curves.clear();
    EXPECT_FALSE(MayaAsciiWriter::playbackRange(scene).has_value());
    EXPECT_EQ(written(scene).find("playbackOptions"), std::string::npos);
    const MayaAsciiWriter::Range range = *MayaAsciiWriter::playbackRange(armScene());
    EXPECT_EQ(range.start, 1.0);
    EXPECT_EQ(range.end, 27.0);
}

TEST(MayaAsciiWriterTest, QuotesEveryNameAndEscapesWhatMelWouldMisread) {
    EXPECT_EQ(MayaAsciiWriter::quote("plain"), "\"plain\"");
    EXPECT_EQ(MayaAsciiWriter::quote("a\"b\\c"), "\"a\\\"b\\\\c\"");
    const std::string text = written(armScene());
    const std::regex unquoted(R"((createNode \w+ -n [^"])|(-p [^"])|(connectAttr [^"]))");
    EXPECT_FALSE(std::regex_search(text, unquoted)) << text;
}

TEST(MayaAsciiWriterTest, EveryStatementEndsAndEveryStringCloses) {
    // Outside strings, each line is a comment, a statement ending in ';', or the continuation
    // of a wrapped value list; inside, quotes pair up.
    SceneData scene = armScene();
    for (int i = 0; i < 30; ++i) {
        scene.curves[0].keys.push_back({4.0 + i, 1.0 / 3.0});
    }
    const std::vector<std::string> lines = linesOf(written(scene));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("//", 0) == 0) {
            continue;
        }
        bool inString = false;
        for (std::size_t c = 0; c < line.size(); ++c) {
            if (line[c] == '\\') {
                ++c;
            } else if (line[c] == '"') {
                inString = !inString;
            }
        }
        EXPECT_FALSE(inString) << line;
        const bool continued = i + 1 < lines.size() && lines[i + 1].rfind("\t\t", 0) == 0;
        EXPECT_TRUE(continued || (!line.empty() && line.back() == ';')) << line;
    }
}

TEST(MayaAsciiWriterTest, WritesNumbersThatReadBackExactly) {
    for (const double value : {0.1, -2.5, 1.0 / 3.0, 123456.789, 1e-9, 0.017453292519943295}) {
        const std::string text = MayaAsciiWriter::number(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
    EXPECT_EQ(MayaAsciiWriter::number(-0.0), "0");
    EXPECT_EQ(MayaAsciiWriter::number(90.0), "90");
    // MEL has no literal for these; a key of 0 beats a file that does not open.
    EXPECT_EQ(MayaAsciiWriter::number(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(MayaAsciiWriter::number(-std::numeric_limits<double>::infinity()), "0");
}

// Keys made as they are asked for, as from a curve of the scene: nothing holds them.
class GeneratedKeys : public KeySource {
public:
    explicit GeneratedKeys(std::size_t count) : mCount(count) {}
    std::size_t count() const override { return mCount; }
    SceneData::Key at(std::size_t index) const override {
        EXPECT_EQ(index, mNext) << "keys are read once each, in order";
        mNext = index + 1;
        return {1.0 + static_cast<double>(index) * 0.4, static_cast<double>(index % 7)};
    }
    std::size_t read() const { return mNext; }

private:
    std::size_t mCount;
    mutable std::size_t mNext = 0;
};

// Counts what is written and keeps only the end of it.
class TailBuffer : public std::streambuf {
public:
    std::size_t size = 0;
    std::string tail;

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            ++size;
            tail.push_back(static_cast<char>(c));
            if (tail.size() > 4096) {
                tail.erase(0, 2048);
            }
        }
        return c;
    }
};

TEST(MayaAsciiWriterTest, StreamedCurvesGiveTheSameFileAsAWholeScene) {
    const SceneData scene = armScene();
    std::ostringstream streamed;
    MayaAsciiWriter writer(streamed);
    writer.writeHeader();
    for (const SceneData::Skeleton& skeleton : scene.skeletons) {
        writer.writeSkeleton(skeleton);
    }
    for (const SceneData::Curve& curve : scene.curves) {
        SceneData::Curve withoutKeys = curve;
        withoutKeys.keys.clear();
        writer.writeCurve(withoutKeys, VectorKeySource(curve.keys));
    }
    writer.finish();
    EXPECT_EQ(streamed.str(), written(scene));
}

TEST(MayaAsciiWriterTest, ALongCurveIsReadOneKeyAtATimeAsItIsWritten) {
    constexpr std::size_t kKeys = 500000;
    TailBuffer buffer;
    std::ostream out(&buffer);
    MayaAsciiWriter writer(out);
    writer.writeHeader();
    GeneratedKeys keys(kKeys);
    writer.writeCurve({"long_tx", {}, "long", "tx"}, keys);
    writer.finish();
    EXPECT_EQ(keys.read(), kKeys);
    EXPECT_GT(buffer.size, kKeys * 8) << "every key was written";
    // The range covers the first key (frame 1) and the last (1 + 499999 * 0.4 = 200000.6).
    EXPECT_NE(buffer.tail.find("playbackOptions -min 1 -max 200001 "), std::string::npos)
        << buffer.tail;
    EXPECT_NE(buffer.tail.find("connectAttr \"long_tx.o\" \"long.tx\";\n// End of scene\n"),
              std::string::npos);
}

TEST(MayaAsciiWriterTest, TheRangeSpansTheKeysOfEveryCurveStreamed) {
    std::ostringstream out;
    MayaAsciiWriter writer(out);
    writer.writeHeader();
    const std::vector<SceneData::Key> early = {{-2.5, 0.0}, {4.0, 1.0}};
    const std::vector<SceneData::Key> late = {{3.0, 0.0}, {9.25, 1.0}};
    writer.writeCurve({"a_tx", {}, "a", "tx"}, VectorKeySource(early));
    writer.writeCurve({"b_tx", {}, "b", "tx"}, VectorKeySource(late));
    writer.finish();
    EXPECT_NE(out.str().find("playbackOptions -min -3 -max 10 -ast -3 -aet 10 "), std::string::npos)
        << out.str();
}

}  // namespace
