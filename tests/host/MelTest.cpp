// MEL: the command reader, dispatch to plug-in commands, `error`, UI procedures and unknown
// names, command results, and the idle queue run on the calling thread.
#define MNoVersionString
#include <maya/MArgList.h>
#include <maya/MCommandResult.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

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

    // Test thread only: commands run on the thread that executes them.
    static int alive;
    static bool undoable;
    static SeenArgs seen;
};

int ProbeCommand::alive = 0;
bool ProbeCommand::undoable = false;
SeenArgs ProbeCommand::seen;

class NameCommand : public MPxCommand {
public:
    static void* creator() { return new NameCommand; }
    MStatus doIt(const MArgList& args) override {
        setResult(MString("hello ") + args.asString(0));
        return MStatus::kSuccess;
    }
};

class MelTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        ProbeCommand::alive = 0;
        ProbeCommand::undoable = false;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerCommand("probe", ProbeCommand::creator));
        ASSERT_TRUE(fn.registerCommand("greet", NameCommand::creator));
        mayahost::registerProcedure(
            "displayMessage", [](const auto&, const auto&) { return MStatus(MStatus::kSuccess); });
    }
};

TEST_F(MelTest, QuotedTextFollowedDirectlyByANumberGivesTwoArguments) {
    ASSERT_TRUE(MGlobal::executeCommand(
        "displayMessage \"Data received. Press Bind to Character button\"0"));
    const std::vector<mayahost::ProcedureCall> calls = mayahost::takeProcedureCalls();
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].name, "displayMessage");
    EXPECT_EQ(calls[0].args,
              (std::vector<std::string>{"Data received. Press Bind to Character button", "0"}));
    EXPECT_EQ(calls[0].text, "displayMessage \"Data received. Press Bind to Character button\"0");
}

TEST_F(MelTest, WordsNumbersAndStatementsSplitLikeMel) {
    ASSERT_TRUE(MGlobal::executeCommand(
        "  displayMessage 3 -1.5 word \"two words\" ;displayMessage \"semi;colon\" \"\";"));
    const std::vector<mayahost::ProcedureCall> calls = mayahost::takeProcedureCalls();
    ASSERT_EQ(calls.size(), 2U);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"3", "-1.5", "word", "two words"}));
    EXPECT_EQ(calls[0].text, "displayMessage 3 -1.5 word \"two words\"");
    EXPECT_EQ(calls[1].args, (std::vector<std::string>{"semi;colon", ""}));
}

TEST_F(MelTest, EscapedQuoteStaysInsideTheString) {
    ASSERT_TRUE(MGlobal::executeCommand(R"(displayMessage "say \"hi\"" 1)"));
    const std::vector<mayahost::ProcedureCall> calls = mayahost::takeProcedureCalls();
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"say \"hi\"", "1"}));
}

TEST_F(MelTest, UnterminatedStringRunsNothing) {
    EXPECT_FALSE(MGlobal::executeCommand("displayMessage \"ok\"; displayMessage \"open"));
    EXPECT_TRUE(mayahost::takeProcedureCalls().empty());
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{"Unterminated string."});
}

TEST_F(MelTest, ErrorCommandRecordsItsTextAndStopsTheScript) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("error \"Port in Use.\"; displayMessage \"after\""));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("// Error: Port in Use."),
              std::string::npos);
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{"Port in Use."});
    EXPECT_TRUE(mayahost::takeProcedureCalls().empty());
}

TEST_F(MelTest, UnknownProcedureFailsLikeMaya) {
    EXPECT_FALSE(MGlobal::executeCommand("updateLiveCheckbox 0 1"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"updateLiveCheckbox\"."});
}

TEST_F(MelTest, ProcedureStatusIsTheCommandStatus) {
    mayahost::registerProcedure("refuse", [](const auto& args, const auto& text) {
        EXPECT_EQ(args, std::vector<std::string>{"x"});
        EXPECT_EQ(text, "refuse x");
        return MStatus(MStatus::kFailure);
    });
    EXPECT_FALSE(MGlobal::executeCommand("refuse x"));
    EXPECT_EQ(mayahost::procedureCalls().size(), 1U);
    EXPECT_EQ(mayahost::procedureCalls().size(), 1U);  // reading does not forget
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
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
}

TEST_F(MelTest, ExecuteCommandHandsBackTheResult) {
    int number = 0;
    ASSERT_TRUE(MGlobal::executeCommand("probe 21", number));
    EXPECT_EQ(number, 42);
    double real = 0;
    ASSERT_TRUE(MGlobal::executeCommand("probe 4", real));
    EXPECT_DOUBLE_EQ(real, 8.0);
    MString text;
    ASSERT_TRUE(MGlobal::executeCommand("greet Ann", text));
    EXPECT_EQ(std::string(text.asChar()), "hello Ann");
    EXPECT_FALSE(MGlobal::executeCommand("greet Ann", number));  // not an int

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
}

TEST_F(MelTest, IdleQueueRunsInOrderOnTheCallingThread) {
    std::vector<std::string> order;
    mayahost::registerProcedure("step", [&order](const auto& args, const auto&) {
        order.push_back(args.at(0));
        if (args.at(0) == "b") {
            MGlobal::executeCommandOnIdle("step later");
        }
        return MStatus(MStatus::kSuccess);
    });
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step a"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step b"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("nosuch"));
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("step c"));
    EXPECT_TRUE(order.empty());  // queuing runs nothing
    EXPECT_EQ(mayahost::pendingIdleCommands().size(), 4U);

    EXPECT_EQ(mayahost::runIdleQueue(), 4);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"nosuch\"."});
    EXPECT_EQ(mayahost::pendingIdleCommands(), std::vector<std::string>{"step later"});
    EXPECT_EQ(mayahost::runIdleQueue(), 1);
    EXPECT_EQ(order.back(), "later");
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

}  // namespace
