// MEL through MGlobal: real MEL texts, plug-in commands with their MArgList and results, a
// failing doIt, the idle queue run on the calling thread, stand-ins for script procedures,
// and the texts MEL shows.
#define MNoVersionString
#include <maya/MArgList.h>
#include <maya/MCommandResult.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

struct SeenArgs {
    int asInt = 0;
    MStatus intStatus;
    double asDouble = 0;
    bool asBool = false;
    MStatus boolStatus;
    std::string asString;
    unsigned int length = 0;
    MStatus badInt;
};

class ProbeCommand : public MPxCommand {
public:
    ProbeCommand() { ++alive; }
    ~ProbeCommand() override { --alive; }
    static void* creator() { return new ProbeCommand; }
    MStatus doIt(const MArgList& args) override {
        seen = SeenArgs();
        seen.length = args.length();
        seen.asInt = args.asInt(0, &seen.intStatus);
        seen.asDouble = args.asDouble(1);
        seen.asBool = args.asBool(2, &seen.boolStatus);
        seen.asString = args.asString(0).asChar();
        args.asInt(3, &seen.badInt);
        setResult(seen.asInt * 2);
        return MStatus::kSuccess;
    }
    bool isUndoable() const override { return undoable; }

    // Test thread only: commands run on the main thread that executes them.
    static int alive;
    static bool undoable;
    static SeenArgs seen;
};

int ProbeCommand::alive = 0;
bool ProbeCommand::undoable = false;
SeenArgs ProbeCommand::seen;

// Hands its words back, so a test sees exactly what MEL passed.
class WordsCommand : public MPxCommand {
public:
    static void* creator() { return new WordsCommand; }
    MStatus doIt(const MArgList& args) override {
        MStringArray words;
        for (unsigned int i = 0; i < args.length(); ++i) {
            words.append(args.asString(i));
        }
        setResult(words);
        return MStatus::kSuccess;
    }
};

class NameCommand : public MPxCommand {
public:
    static void* creator() { return new NameCommand; }
    MStatus doIt(const MArgList& args) override {
        setResult(MString("hello ") + args.asString(0));
        return MStatus::kSuccess;
    }
};

// Fails; with "quietly" it says nothing itself, otherwise it explains with displayError.
class RefuseCommand : public MPxCommand {
public:
    static void* creator() { return new RefuseCommand; }
    MStatus doIt(const MArgList& args) override {
        if (args.length() == 0 || args.asString(0) != "quietly") {
            displayError("refused: nothing to do");
        }
        return MStatus::kFailure;
    }
};

// Runs another command through MGlobal inside its own doIt, then sets its own result.
class OuterCommand : public MPxCommand {
public:
    static void* creator() { return new OuterCommand; }
    MStatus doIt(const MArgList&) override {
        int inner = 0;
        const MStatus status = MGlobal::executeCommand("probe 20", inner);
        setResult(MString(("outer saw " + std::to_string(inner)).c_str()));
        return status;
    }
};

class MelTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        mayahost::setScriptEcho(false);
        ProbeCommand::alive = 0;
        ProbeCommand::undoable = false;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerCommand("probe", ProbeCommand::creator));
        ASSERT_TRUE(fn.registerCommand("words", WordsCommand::creator));
        ASSERT_TRUE(fn.registerCommand("greet", NameCommand::creator));
        ASSERT_TRUE(fn.registerCommand("refuse", RefuseCommand::creator));
        ASSERT_TRUE(fn.registerCommand("outer", OuterCommand::creator));
        // A MEL procedure that keeps its calls, standing in for the panel's.
        ASSERT_TRUE(
            MGlobal::executeCommand("global proc displayMessage(string $message, int $id) {"
                                    "    global string $gShown[];"
                                    "    $gShown[size($gShown)] = $message + \"|\" + $id;"
                                    "}"));
    }

    static std::vector<std::string> strings(const MString& mel) {
        MStringArray array;
        EXPECT_TRUE(MGlobal::executeCommand(mel, array)) << mel.asChar();
        std::vector<std::string> result;
        for (unsigned int i = 0; i < array.length(); ++i) {
            result.emplace_back(array[i].asChar());
        }
        return result;
    }
    static std::vector<std::string> shown() { return strings("global string $gShown[]; $gShown"); }
};

TEST_F(MelTest, TextsSplitIntoStatementsAndWordsAsMelDoes) {
    EXPECT_EQ(strings("words 3 -1.5 word \"two words\" -flag"),
              (std::vector<std::string>{"3", "-1.5", "word", "two words", "-flag"}));
    EXPECT_EQ(strings(R"(words "say \"hi\"" "back\\slash" "semi;colon" "")"),
              (std::vector<std::string>{"say \"hi\"", "back\\slash", "semi;colon", ""}));
    ASSERT_TRUE(MGlobal::executeCommand(
        "displayMessage \"one\" 1; displayMessage(\"two\", 2);  displayMessage \"a;b\" 3"));
    EXPECT_EQ(shown(), (std::vector<std::string>{"one|1", "two|2", "a;b|3"}));
}

TEST_F(MelTest, QuotedTextFollowedDirectlyByANumberGivesTwoArguments) {
    // Maya does not document "text"0; the host splits it, as a lex-style scanner does.
    ASSERT_TRUE(MGlobal::executeCommand("displayMessage \"Data received.\"0"));
    EXPECT_EQ(shown(), std::vector<std::string>{"Data received.|0"});
}

TEST_F(MelTest, ASyntaxErrorAnywhereRunsNothing) {
    EXPECT_FALSE(MGlobal::executeCommand("displayMessage \"ok\" 1; displayMessage \"open 2"));
    EXPECT_TRUE(shown().empty());
    const std::vector<std::string> lines = mayahost::takeScriptLines();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0].rfind("// Error: Line 1.", 0), 0U) << lines[0];
}

TEST_F(MelTest, ErrorStopsTheScriptAndIsShownAsMayaShowsIt) {
    EXPECT_FALSE(MGlobal::executeCommand("error \"Port in Use.\"; displayMessage \"after\" 0"));
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{"Port in Use."});
    EXPECT_EQ(mayahost::takeScriptLines(),
              std::vector<std::string>{"// Error: line 1: Port in Use. //"});
    EXPECT_TRUE(shown().empty());

    ASSERT_TRUE(MGlobal::executeCommand("warning \"careful\"; displayMessage \"after\" 0"));
    EXPECT_EQ(mayahost::takeScriptWarnings(), std::vector<std::string>{"careful"});
    EXPECT_EQ(shown(), std::vector<std::string>{"after|0"}) << "a warning does not stop it";
}

TEST_F(MelTest, UnknownProcedureFailsLikeMaya) {
    EXPECT_FALSE(MGlobal::executeCommand("updateLiveCheckbox 0 1"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"updateLiveCheckbox\"."});
}

TEST_F(MelTest, PluginCommandArgumentsConvertLikeMaya) {
    ASSERT_TRUE(MGlobal::executeCommand("probe 12 2.5 true abc"));
    const SeenArgs& seen = ProbeCommand::seen;
    EXPECT_EQ(seen.length, 4U);
    EXPECT_EQ(seen.asInt, 12);
    EXPECT_TRUE(seen.intStatus);
    EXPECT_DOUBLE_EQ(seen.asDouble, 2.5);
    EXPECT_TRUE(seen.asBool);
    EXPECT_EQ(seen.asString, "12");  // a number is readable as text too
    EXPECT_FALSE(seen.badInt);

    ASSERT_TRUE(MGlobal::executeCommand("probe \"7\" 1 0"));
    EXPECT_EQ(ProbeCommand::seen.asInt, 7);
    EXPECT_FALSE(ProbeCommand::seen.asBool);
    EXPECT_TRUE(ProbeCommand::seen.boolStatus);

    ASSERT_TRUE(MGlobal::executeCommand("probe 1.5 x maybe"));
    EXPECT_FALSE(ProbeCommand::seen.intStatus);
    EXPECT_DOUBLE_EQ(ProbeCommand::seen.asDouble, 0.0);
    EXPECT_FALSE(ProbeCommand::seen.boolStatus);

    // Variables and expressions reach the command as their values.
    ASSERT_TRUE(MGlobal::executeCommand("int $n = 4; probe ($n + 1) (0.5 * 3) $n"));
    EXPECT_EQ(ProbeCommand::seen.asInt, 5);
    EXPECT_DOUBLE_EQ(ProbeCommand::seen.asDouble, 1.5);
}

TEST_F(MelTest, AFailingDoItStopsTheScript) {
    EXPECT_FALSE(MGlobal::executeCommand("refuse; displayMessage \"after\" 0"));
    EXPECT_TRUE(shown().empty());
    // It explained itself: nothing more is printed.
    EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{"refused: nothing to do"});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());

    EXPECT_FALSE(MGlobal::executeCommand("refuse quietly"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"refuse: (kFailure): Unexpected Internal Failure"});

    // catch sees the failure like any other error.
    int caught = 0;
    ASSERT_TRUE(MGlobal::executeCommand("catchQuiet(`refuse quietly`)", caught));
    EXPECT_EQ(caught, 1);
}

TEST_F(MelTest, CommandInstanceIsKeptOnlyWhenUndoable) {
    ASSERT_TRUE(MGlobal::executeCommand("probe 1"));
    EXPECT_EQ(ProbeCommand::alive, 0);
    ProbeCommand::undoable = true;
    ASSERT_TRUE(MGlobal::executeCommand("probe 1"));
    EXPECT_EQ(ProbeCommand::alive, 1);
    MFnPlugin fn(plugin);
    ASSERT_TRUE(fn.deregisterCommand("probe"));
    EXPECT_EQ(ProbeCommand::alive, 0);
    EXPECT_FALSE(MGlobal::executeCommand("probe 1"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"probe\"."});
    EXPECT_FALSE(fn.registerCommand("ls", ProbeCommand::creator)) << "Maya's own name";
    EXPECT_EQ(mayahost::takeDisplayedErrors(),
              std::vector<std::string>{"Command \"ls\" is already registered."});
}

TEST_F(MelTest, ExecuteCommandHandsBackTheResult) {
    int number = 0;
    ASSERT_TRUE(MGlobal::executeCommand("probe 21", number));
    EXPECT_EQ(number, 42);
    double real = 0;
    ASSERT_TRUE(MGlobal::executeCommand("probe 4", real));
    EXPECT_DOUBLE_EQ(real, 8.0);
    ASSERT_TRUE(MGlobal::executeCommand("1.5 * 3", real));
    EXPECT_DOUBLE_EQ(real, 4.5);
    MString text;
    ASSERT_TRUE(MGlobal::executeCommand("greet Ann", text));
    EXPECT_EQ(std::string(text.asChar()), "hello Ann");
    EXPECT_EQ(MGlobal::executeCommand("greet Ann", number), MStatus::kInvalidParameter);
    EXPECT_EQ(MGlobal::executeCommand("greet Ann", real), MStatus::kInvalidParameter);

    MIntArray ints;
    ASSERT_TRUE(MGlobal::executeCommand("int $a[] = {3, 1, 2}; $a", ints));
    ASSERT_EQ(ints.length(), 3U);
    EXPECT_EQ(ints[1], 1);
    MDoubleArray doubles;
    ASSERT_TRUE(MGlobal::executeCommand("float $f[] = {0.5, 2}; $f", doubles));
    ASSERT_EQ(doubles.length(), 2U);
    EXPECT_DOUBLE_EQ(doubles[0], 0.5);
    EXPECT_EQ(MGlobal::executeCommand("greet Bo", ints), MStatus::kInvalidParameter);
    EXPECT_EQ(strings("words a b"), (std::vector<std::string>{"a", "b"}));

    MCommandResult result;
    ASSERT_TRUE(MGlobal::executeCommand("probe 5", result));
    int fromResult = 0;
    ASSERT_TRUE(result.getResult(fromResult));
    EXPECT_EQ(fromResult, 10);
    MString notText;
    EXPECT_FALSE(result.getResult(notText));
    EXPECT_EQ(std::string(result.stringResult().asChar()), "10");

    MStatus status;
    EXPECT_EQ(std::string(
                  MGlobal::executeCommandStringResult("greet Bo", false, false, &status).asChar()),
              "hello Bo");
    EXPECT_TRUE(status);
    MGlobal::executeCommandStringResult("nosuch", false, false, &status);
    EXPECT_FALSE(status);
    mayahost::takeScriptErrors();
}

TEST_F(MelTest, NestedCommandsKeepTheirOwnResults) {
    MString text;
    ASSERT_TRUE(MGlobal::executeCommand("outer", text));
    EXPECT_EQ(std::string(text.asChar()), "outer saw 40");
    EXPECT_EQ(ProbeCommand::seen.asInt, 20);
}

TEST_F(MelTest, IdleQueueRunsInOrderOnTheCallingThread) {
    ASSERT_TRUE(
        MGlobal::executeCommand("global proc step(string $name) {"
                                "    global string $gSteps[];"
                                "    $gSteps[size($gSteps)] = $name;"
                                "    if ($name == \"b\") evalDeferred \"step later\";"
                                "}"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step a"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step b"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("nosuch"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step c"));
    const MString steps = "global string $gSteps[]; $gSteps";
    EXPECT_TRUE(strings(steps).empty()) << "queuing runs nothing";
    EXPECT_EQ(mayahost::pendingIdleCommands().size(), 4U);

    EXPECT_EQ(mayahost::runIdleQueue(), 4);
    EXPECT_EQ(strings(steps), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"nosuch\"."});
    EXPECT_EQ(mayahost::pendingIdleCommands(), std::vector<std::string>{"step later"});
    EXPECT_EQ(mayahost::runIdleQueue(), 1);
    EXPECT_EQ(strings(steps).back(), "later");
    EXPECT_EQ(mayahost::runIdleQueue(), 0);
}

TEST_F(MelTest, DisplayedTextsAreKeptPerKind) {
    MGlobal::displayInfo("info");
    MGlobal::displayWarning("warn");
    MPxCommand::displayError("bad");
    MGlobal::displayError("worse");
    EXPECT_EQ(mayahost::takeDisplayedInfos(), std::vector<std::string>{"info"});
    EXPECT_EQ(mayahost::takeDisplayedWarnings(), std::vector<std::string>{"warn"});
    EXPECT_EQ(mayahost::takeDisplayedErrors(), (std::vector<std::string>{"bad", "worse"}));
    EXPECT_TRUE(mayahost::takeDisplayedErrors().empty());
}

TEST_F(MelTest, PrintedTextIsKeptAndDisplayEchoesTheCommand) {
    ASSERT_TRUE(MGlobal::executeCommand("print \"one\\n\"; print (1 + 1)"));
    EXPECT_EQ(mayahost::takeScriptOutput(), "one\n2");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(MGlobal::executeCommand("int $echoed = 1", true));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "int $echoed = 1\n");
}

}  // namespace
