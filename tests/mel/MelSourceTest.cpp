// Script files: `source` along the script path, auto-sourcing of an unknown procedure, local
// procedures per file, and errors and warnings carrying their file.
#include <filesystem>
#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

using mayahost::MelResult;
using mayahost::MelValue;

class MelSourceTest : public MelFixture {};

TEST_F(MelSourceTest, SourceRunsTheFileWhereItStandsAndAddsTheSuffix) {
    writeScript("helpers.mel",
                "print \"loading \";\n"
                "global proc string helped() { return \"helped\"; }\n");
    EXPECT_EQ(valueOf("print \"before \";\nsource helpers;\nhelped();"),
              MelValue::ofString("helped"));
    EXPECT_EQ(mel.console().printed(), "before loading ");
    EXPECT_TRUE(run("source \"helpers.mel\";").ok());
    EXPECT_EQ(mel.sourcedFiles(),
              (std::vector<std::string>{folder + "/helpers.mel", folder + "/helpers.mel"}));
    EXPECT_TRUE(mel.sourceFile(folder + "/helpers.mel").ok());
    EXPECT_TRUE(mel.sourceFile("helpers").ok());
    EXPECT_EQ(mel.sourcedFiles().size(), 4U);
}

TEST_F(MelSourceTest, TheFirstFolderOnThePathWins) {
    const std::string second = folder + "/second";
    std::filesystem::create_directory(second);
    writeScript("second/both.mel", "global proc string where() { return \"second\"; }");
    EXPECT_FALSE(mel.sourceFile("both").ok());
    mel.scriptFolders().setFolders({second, folder});
    writeScript("both.mel", "global proc string where() { return \"first\"; }");
    EXPECT_EQ(valueOf("source both; where();"), MelValue::ofString("second"));
    mel.scriptFolders().setFolders({folder, second});
    EXPECT_EQ(valueOf("source both; where();"), MelValue::ofString("first"));
}

TEST_F(MelSourceTest, AMissingFileIsAnError) {
    EXPECT_FALSE(run("source nowhere;\nprint \"x\";").ok());
    EXPECT_EQ(lines(),
              std::vector<std::string>{
                  "// Error: line 1: Cannot find file \"nowhere\" for source statement. //"});
    mel.console().take();
    const MelResult result = mel.sourceFile("nowhere.mel");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(lines(), std::vector<std::string>{
                           "// Error: Cannot find file \"nowhere.mel\" for source statement. //"});
}

TEST_F(MelSourceTest, ErrorsAndWarningsFromAFileNameIt) {
    const std::string path = writeScript("faulty.mel",
                                         "global proc faulty() {\n"
                                         "    warning \"careful\";\n"
                                         "    error \"broken\";\n"
                                         "}\n");
    EXPECT_FALSE(run("source faulty;\nfaulty;\nprint \"not reached\";").ok());
    EXPECT_EQ(lines(),
              (std::vector<std::string>{"// Warning: file: " + path + " line 2: careful //",
                                        "// Error: file: " + path + " line 3: broken //"}));
    EXPECT_EQ(mel.console().printed(), "");
}

TEST_F(MelSourceTest, ASyntaxErrorInAFileStopsTheSourcingScript) {
    const std::string path = writeScript("bad.mel", "global proc ok() {}\n\nprint (;\n");
    EXPECT_FALSE(run("source bad;\nprint \"not reached\";").ok());
    EXPECT_EQ(lines(),
              std::vector<std::string>{"// Error: file: " + path + " line 3: Syntax error //"});
    EXPECT_FALSE(mel.hasProcedure("ok"));  // nothing of it ran
}

TEST_F(MelSourceTest, AnUnknownProcedureIsSourcedFromItsOwnFile) {
    writeScript("autoOne.mel",
                "global proc string autoOne() { return \"one \" + autoHelper(); }\n"
                "global proc string autoHelper() { return \"helper\"; }\n");
    EXPECT_EQ(valueOf("autoOne()"), MelValue::ofString("one helper"));
    EXPECT_EQ(mel.sourcedFiles(), std::vector<std::string>{folder + "/autoOne.mel"});
    // Another procedure of that file was never looked for by its own name.
    mel.reset();
    EXPECT_FALSE(run("autoHelper();").ok());
    EXPECT_EQ(lines().back(), "// Error: line 1: Cannot find procedure \"autoHelper\". //");
}

TEST_F(MelSourceTest, AFileWithoutTheProcedureItIsNamedAfterStillFails) {
    writeScript("misnamed.mel", "global proc somethingElse() {}\n");
    EXPECT_FALSE(run("misnamed;").ok());
    EXPECT_EQ(lines().back(), "// Error: line 1: Cannot find procedure \"misnamed\". //");
    EXPECT_TRUE(mel.hasProcedure("somethingElse"));
}

TEST_F(MelSourceTest, AFileCallingItselfWhileLoadingDoesNotLoop) {
    writeScript("selfish.mel", "selfish();\nglobal proc selfish() {}\n");
    EXPECT_FALSE(run("selfish();").ok());
    EXPECT_EQ(lines().back(), "// Error: file: " + folder +
                                  "/selfish.mel line 1: Cannot find procedure "
                                  "\"selfish\". //");
}

TEST_F(MelSourceTest, LocalProceduresStayInTheirFile) {
    writeScript("withLocal.mel",
                "proc string secret() { return \"secret\"; }\n"
                "global proc string tellSecret() { return secret(); }\n");
    EXPECT_EQ(valueOf("source withLocal; tellSecret();"), MelValue::ofString("secret"));
    EXPECT_FALSE(run("secret();").ok());
    // Defined later elsewhere, a global of the same name does not disturb the file's own.
    EXPECT_EQ(valueOf("global proc string secret() { return \"global\"; }\n"
                      "(tellSecret() + \" \" + secret());"),
              MelValue::ofString("secret global"));
}

TEST_F(MelSourceTest, EvalSourceAndNestedSources) {
    writeScript("inner.mel", "global int $gInner = 3;\n");
    writeScript("outer.mel",
                "source inner;\nglobal int $gInner;\nglobal int $gOuter = $gInner + 1;\n");
    EXPECT_EQ(valueOf("eval \"source outer\"; global int $gOuter; $gOuter;"), MelValue::ofInt(4));
}

}  // namespace
