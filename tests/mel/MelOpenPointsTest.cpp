// Two points Maya leaves open, in both of the host's modes: when a call's name is bound to a
// command or a procedure, and whether && and || skip their right side.
#include <string>

#include "MelFixture.h"

namespace {

using mayahost::MelContext;
using mayahost::MelInterpreter;
using mayahost::MelInvocation;
using mayahost::MelResult;
using mayahost::MelSyntax;
using mayahost::MelValue;

class MelOpenPointsTest : public MelFixture {
protected:
    void registerLater() {
        ASSERT_TRUE(mel.registerCommand(MelSyntax("laterCommand").setPositionals(0, 1),
                                        [this](const MelInvocation&, MelContext&) {
                                            ++calls;
                                            return MelResult::success(MelValue::ofInt(7));
                                        }));
    }
    int calls = 0;
};

// A script sourced before a plug-in registers a command it calls directly, as Maya's
// documented pre-scan does to a command used after loadPlugin in the same script.
TEST_F(MelOpenPointsTest, BoundAtCompileANameThatWasNoCommandStaysAProcedure) {
    EXPECT_EQ(mel.commandBinding(), MelInterpreter::CommandBinding::AtCompile) << "the default";
    writeScript("early.mel",
                "global proc int direct() { return `laterCommand`; }\n"
                "global proc int throughEval() { return eval(\"laterCommand\"); }\n");
    ASSERT_TRUE(mel.sourceFile("early.mel").ok()) << shown();
    registerLater();

    EXPECT_FALSE(run("direct()").ok());
    EXPECT_NE(shown().find("Cannot find procedure \"laterCommand\"."), std::string::npos)
        << shown();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(valueOf("throughEval()").asInt(), 7);
    // Texts compiled after the registration see the command.
    EXPECT_EQ(valueOf("laterCommand").asInt(), 7);
    EXPECT_EQ(calls, 2);

    // Sourced again, the file is compiled again and binds to the command.
    ASSERT_TRUE(mel.sourceFile("early.mel").ok()) << shown();
    EXPECT_EQ(valueOf("direct()").asInt(), 7);
}

TEST_F(MelOpenPointsTest, BoundAtCallTheNameIsLookedUpWhenTheCallRuns) {
    mel.setCommandBinding(MelInterpreter::CommandBinding::AtCall);
    writeScript("early.mel", "global proc int direct() { return `laterCommand`; }\n");
    ASSERT_TRUE(mel.sourceFile("early.mel").ok()) << shown();
    registerLater();
    EXPECT_EQ(valueOf("direct()").asInt(), 7);
}

// Either way, a procedure defined later (or auto-sourced) is found, and a procedure of a
// command's name is called before the command.
TEST_F(MelOpenPointsTest, ProceduresResolveAtRunTimeInBothModes) {
    registerLater();
    for (const auto binding :
         {MelInterpreter::CommandBinding::AtCompile, MelInterpreter::CommandBinding::AtCall}) {
        mel.setCommandBinding(binding);
        ASSERT_TRUE(run("global proc int first() { return second() + `laterCommand`; }").ok());
        ASSERT_TRUE(run("global proc int second() { return 1; }").ok());
        EXPECT_EQ(valueOf("first()").asInt(), 8);
        writeScript("autoFound.mel", "global proc int autoFound() { return 3; }\n");
        EXPECT_EQ(valueOf("autoFound()").asInt(), 3);
        ASSERT_TRUE(run("global proc int laterCommand() { return 9; }").ok());
        EXPECT_EQ(valueOf("first()").asInt(), 10);
        mel.reset();
        registerLater();
    }
}

TEST_F(MelOpenPointsTest, WithoutShortCircuitBothSidesAlwaysRun) {
    ASSERT_TRUE(run("global int $gRight; global proc int right(int $v) { global int $gRight; "
                    "$gRight++; return $v; }")
                    .ok());
    struct Case {
        const char* expression;
        int value;
        int rightRunsShortCircuit;
    };
    const Case cases[] = {{"0 && right(1)", 0, 0}, {"1 && right(0)", 0, 1}, {"1 && right(1)", 1, 1},
                          {"1 || right(0)", 1, 0}, {"0 || right(1)", 1, 1}, {"0 || right(0)", 0, 1},
                          {"2 && right(5)", 1, 1}};
    for (const bool shortCircuit : {true, false}) {
        mel.setShortCircuit(shortCircuit);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.expression) + (shortCircuit ? " short" : " both"));
            ASSERT_TRUE(run("global int $gRight; $gRight = 0;").ok()) << shown();
            EXPECT_EQ(valueOf(c.expression).asInt(), c.value);
            EXPECT_EQ(valueOf("global int $gRight; $gRight").asInt(),
                      shortCircuit ? c.rightRunsShortCircuit : 1);
        }
    }
    // A right side that errors stops the script only when it runs.
    mel.setShortCircuit(true);
    EXPECT_TRUE(run("string $n = \"\"; if ($n != \"\" && `undefinedThing`) print \"x\";").ok());
    mel.setShortCircuit(false);
    EXPECT_FALSE(run("string $n = \"\"; if ($n != \"\" && `undefinedThing`) print \"x\";").ok());
}

}  // namespace
