// Arguments to options, and the mistakes that end a run before it starts.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "DocumentPointers.h"
#include "HostError.h"

namespace {

ExitCode failureOf(const std::vector<std::string>& args) {
    try {
        CommandLine::parse(args);
    } catch (const HostError& error) {
        return error.code();
    }
    return ExitCode::kSuccess;
}

TEST(CommandLineTest, DefaultsWithoutArguments) {
    const HostOptions options = CommandLine::parse({});
    EXPECT_EQ(options.performers, 1);
    EXPECT_EQ(options.port, 12351);
    EXPECT_EQ(options.recordSeconds, 5.0);
    EXPECT_EQ(options.waitTimeoutSeconds, 15.0);
    EXPECT_EQ(options.outputPath, "take.ma");
    EXPECT_TRUE(options.pluginPath.empty());
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.panels, PanelDisplay::kNever);
}

TEST(CommandLineTest, TakesValuesAfterASpaceOrAnEqualsSign) {
    const HostOptions options = CommandLine::parse(
        {"--performers=3", "--port", "40000", "--record", "0.5", "--wait-timeout=2", "--output",
         "/tmp/x.ma", "--plugin=/p.so", "--scripts", "/s"});
    EXPECT_EQ(options.performers, 3);
    EXPECT_EQ(options.port, 40000);
    EXPECT_EQ(options.recordSeconds, 0.5);
    EXPECT_EQ(options.waitTimeoutSeconds, 2.0);
    EXPECT_EQ(options.outputPath, "/tmp/x.ma");
    EXPECT_EQ(options.pluginPath, "/p.so");
    EXPECT_EQ(options.scriptsDir, "/s");
    EXPECT_TRUE(CommandLine::parse({"-h"}).help);
}

TEST(CommandLineTest, PanelsShowAtTheEndUnlessAskedForThroughout) {
    EXPECT_EQ(CommandLine::parse({"--show-panels"}).panels, PanelDisplay::kAtEnd);
    EXPECT_EQ(CommandLine::parse({"--show-panels=end"}).panels, PanelDisplay::kAtEnd);
    EXPECT_EQ(CommandLine::parse({"--show-panels=always"}).panels, PanelDisplay::kAlways);
    // The value is optional, so a following word is not taken as one.
    EXPECT_EQ(failureOf({"--show-panels", "always"}), ExitCode::kBadArguments);
    EXPECT_EQ(failureOf({"--show-panels=sometimes"}), ExitCode::kBadArguments);
}

TEST(CommandLineTest, TakeOptionsAreOffUntilAskedFor) {
    const HostOptions plain = CommandLine::parse({});
    EXPECT_FALSE(plain.continuousRotations);
    EXPECT_FALSE(plain.smoothing);
    EXPECT_EQ(plain.floorOffsetCm, 0.0);
    const HostOptions options = CommandLine::parse(
        {"--continuous-rotations", "--smoothing", "1.5,0.02", "--floor-offset=-3.25"});
    EXPECT_TRUE(options.continuousRotations);
    EXPECT_TRUE(options.smoothing);
    EXPECT_EQ(options.smoothingMinCutoff, 1.5);
    EXPECT_EQ(options.smoothingBeta, 0.02);
    EXPECT_EQ(options.floorOffsetCm, -3.25);
    EXPECT_TRUE(
        CommandLine::parse({"--rebake", "t.json", "--continuous-rotations"}).continuousRotations);
    // A take baked again keeps its own smoothing and floor offset unless these are given.
    EXPECT_FALSE(plain.smoothingGiven || plain.floorOffsetGiven);
    const HostOptions unsmoothed =
        CommandLine::parse({"--rebake", "t.json", "--smoothing", "off", "--floor-offset", "0"});
    EXPECT_TRUE(unsmoothed.smoothingGiven);
    EXPECT_FALSE(unsmoothed.smoothing);
    EXPECT_TRUE(unsmoothed.floorOffsetGiven);
    EXPECT_TRUE(options.smoothingGiven && options.floorOffsetGiven);
}

TEST(CommandLineTest, RejectsWhatCannotMakeATake) {
    const std::vector<std::vector<std::string>> bad = {
        {"--performers", "0"},
        {"--performers", "65"},
        {"--port", "0"},
        {"--port", "65536"},
        {"--port", "12x"},
        {"--record", "0"},
        {"--record", "-1"},
        {"--record", "nan"},
        {"--wait-timeout", "soon"},
        {"--output", ""},
        {"--port"},
        {"--help=yes"},
        {"--bogus"},
        {"take.ma"},
        // Nodes listen on consecutive ports, and the last one must exist.
        {"--port", "65535", "--performers", "2"},
        {"--smoothing", "1"},
        {"--smoothing", "0,0.1"},
        {"--smoothing", "1,-0.1"},
        {"--smoothing", "1,x"},
        {"--floor-offset", "inf"},
        {"--continuous-rotations=1"},
        {"--smoothing", "of"},
    };
    for (const std::vector<std::string>& args : bad) {
        EXPECT_EQ(failureOf(args), ExitCode::kBadArguments) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(failureOf({"--port", "65534", "--performers", "2"}), ExitCode::kSuccess);
}

TEST(CommandLineTest, HelpPointsToTheDocumentsThatExist) {
    const std::vector<std::string> documents = documentsNamedIn(CommandLine::usage());
    EXPECT_EQ(documents, (std::vector<std::string>{"docs/user-guide.md", "docs/wire-format.md",
                                                   "docs/architecture.md"}));
    for (const std::string& document : documents) {
        EXPECT_TRUE(documentExists(document)) << document;
    }
}

}  // namespace
