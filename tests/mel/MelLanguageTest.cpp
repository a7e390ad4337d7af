// Language behaviour the corpus does not pin down value by value: what survives between
// top-level runs, references, redefinition while running, and the value a run leaves.
#include <string>

#include "MelFixture.h"

namespace {

using mayahost::MelValue;

class MelLanguageTest : public MelFixture {};

TEST_F(MelLanguageTest, GlobalsAndProceduresOutliveARunButLocalsDoNot) {
    ASSERT_TRUE(run("global int $gRuns = 10; int $topLocal = 1;\n"
                    "global proc int nextRun() { global int $gRuns; return ++$gRuns; }")
                    .ok());
    EXPECT_EQ(valueOf("nextRun()"), MelValue::ofInt(11));
    // The initializer runs once, when the variable is made, not at each declaration.
    EXPECT_EQ(valueOf("global int $gRuns = 10; $gRuns;"), MelValue::ofInt(11));
    MelValue global;
    ASSERT_TRUE(mel.globalValue("$gRuns", global));
    EXPECT_EQ(global, MelValue::ofInt(11));
    EXPECT_FALSE(mel.globalValue("$topLocal", global));
    EXPECT_FALSE(run("print $topLocal;").ok());
    EXPECT_TRUE(mel.hasProcedure("nextRun"));
    mel.reset();
    EXPECT_FALSE(mel.hasProcedure("nextRun"));
    EXPECT_FALSE(mel.globalValue("$gRuns", global));
}

TEST_F(MelLanguageTest, AGlobalRedeclaredWithAnotherTypeIsRefused) {
    ASSERT_TRUE(run("global string $gName = \"a\";").ok());
    EXPECT_FALSE(run("global int $gName;").ok());
    EXPECT_EQ(lines().back(),
              "// Error: line 1: Invalid redeclaration of variable \"$gName\" as a different "
              "type. //");
}

TEST_F(MelLanguageTest, TheRunsValueIsTheLastExpressionOrCall) {
    EXPECT_EQ(valueOf("int $a = 4;\n$a * 2;\nint $b = 1;"), MelValue::ofInt(8));
    EXPECT_TRUE(valueOf("int $a = 4;").isNone());
    EXPECT_EQ(valueOf("global proc string[] two() { return {\"x\", \"y\"}; }\ntwo"),
              MelValue::ofStrings({"x", "y"}));
    EXPECT_EQ(valueOf("<<1, 2, 3>>;"), MelValue::ofVector({1, 2, 3}));
}

TEST_F(MelLanguageTest, ArrayParametersShareTheCallersArrayOnlyForTheSameType) {
    const MelValue result = valueOf(
        "global proc push(string $list[], string $item) { $list[size($list)] = $item; }\n"
        "global proc wipe(string $list[]) { clear($list); }\n"
        "string $a[];\n"
        "push($a, \"x\"); push($a, \"y\");\n"
        "string $copy[] = $a;\n"
        "wipe($copy);\n"
        "(size($a) + \" \" + size($copy) + \" \" + $a[1]);");
    EXPECT_EQ(result, MelValue::ofString("2 0 y"));
    // A scalar where an array parameter is declared is refused.
    EXPECT_FALSE(run("push(\"notAnArray\", \"x\");").ok());
    EXPECT_EQ(lines().back(),
              "// Error: line 1: Cannot convert data of type string to type string[]. //");
}

TEST_F(MelLanguageTest, ScalarParametersAreCopies) {
    EXPECT_EQ(valueOf("global proc change(int $v) { $v = 99; }\n"
                      "int $mine = 1; change($mine); $mine;"),
              MelValue::ofInt(1));
}

TEST_F(MelLanguageTest, AProcedureMayBeRedefinedWhileItRuns) {
    // The running body stays valid after its definition is replaced.
    const MelValue result = valueOf(
        "global proc string phase() {\n"
        "    eval \"global proc string phase() { return \\\"new\\\"; }\";\n"
        "    return \"old\";\n"
        "}\n"
        "(phase() + \" \" + phase());");
    EXPECT_EQ(result, MelValue::ofString("old new"));
}

TEST_F(MelLanguageTest, ImplicitDeclarationTakesTheValuesTypeInTheCurrentBlock) {
    EXPECT_EQ(valueOf("$l = {\"a\", \"b\"}; $f = 1.5; $v = <<1,1,1>>;\n"
                      "(whatIs(\"$l\") + \",\" + whatIs(\"$f\") + \",\" + whatIs(\"$v\"));"),
              MelValue::ofString("string[] variable,float variable,vector variable"));
    EXPECT_FALSE(run("if (1) { $inBlock = 1; }\nprint $inBlock;").ok());
    // A for-in variable not yet declared gets the element type.
    EXPECT_EQ(valueOf("string $out = \"\"; for ($each in {1.5, 2}) $out += $each; $out;"),
              MelValue::ofString("1.52"));
}

TEST_F(MelLanguageTest, LoopVariableConvertsEachElementToItsOwnType) {
    EXPECT_EQ(valueOf("int $sum = 0; int $n; for ($n in {\"3\", \"4.9\"}) $sum += $n; $sum;"),
              MelValue::ofInt(7));
    EXPECT_FALSE(run("int $list[]; for ($list in {1}) print 1;").ok());
    EXPECT_FALSE(run("for ($x in 5) print 1;").ok());
    EXPECT_EQ(lines().back(),
              "// Error: line 1: Cannot convert data of type int to type int[]. //");
}

TEST_F(MelLanguageTest, SwitchComparesStringsByContentAndNumbersByValue) {
    EXPECT_EQ(
        valueOf("string $r; switch (2.0) { case 2: $r = \"two\"; break; default: $r = \"x\"; }"
                " $r;"),
        MelValue::ofString("two"));
    EXPECT_EQ(valueOf("string $r = \"none\"; string $k = \"B\"; switch ($k) { case \"b\": "
                      "$r = \"lower\"; } $r;"),
              MelValue::ofString("none"));
    EXPECT_EQ(valueOf("int $hits = 0; string $c = \"b\"; switch ($c) { case $c: $hits++; } $hits;"),
              MelValue::ofInt(1));
}

TEST_F(MelLanguageTest, EvalRunsAtTopLevelAndGivesItsLastValue) {
    EXPECT_EQ(valueOf("eval(\"1 + 1\");"), MelValue::ofInt(2));
    EXPECT_EQ(valueOf("string $e = eval(\"toupper\", \"\\\"ab\\\"\"); $e;"),
              MelValue::ofString("AB"));
    // The text eval runs cannot see the caller's locals, and its errors stop the caller.
    EXPECT_FALSE(
        run("global proc tryLocal() { int $mine = 1; eval \"print $mine\"; print \"x\"; }\n"
            "tryLocal();")
            .ok());
    EXPECT_EQ(lines().back(), "// Error: line 1: \"$mine\" is an undeclared variable. //");
    EXPECT_EQ(mel.console().printed(), "");
    mel.console().take();
    EXPECT_FALSE(run("eval \"print (\";").ok());
    EXPECT_EQ(lines(), std::vector<std::string>{"// Error: Line 1.8: Syntax error //"});
}

TEST_F(MelLanguageTest, WhatIsAndExistsKnowProceduresCommandsAndScripts) {
    writeScript("onPath.mel", "global proc onPath() {}");
    ASSERT_TRUE(run("global proc typed() {}").ok());
    EXPECT_EQ(valueOf("whatIs typed"), MelValue::ofString("Mel procedure entered interactively."));
    EXPECT_EQ(valueOf("whatIs catch"), MelValue::ofString("Command"));
    EXPECT_EQ(valueOf("whatIs onPath"),
              MelValue::ofString("Script found in: " + folder + "/onPath.mel"));
    EXPECT_EQ(valueOf("whatIs \"$nothing\""), MelValue::ofString("Unknown"));
    EXPECT_EQ(valueOf("exists onPath"), MelValue::ofInt(1));
    EXPECT_EQ(valueOf("exists tokenize"), MelValue::ofInt(1));
    EXPECT_EQ(valueOf("exists neverDefined"), MelValue::ofInt(0));
}

TEST_F(MelLanguageTest, ComponentsOfArrayElementsAndVectorArrays) {
    EXPECT_EQ(valueOf("vector $p[] = {<<1, 2, 3>>, <<4, 5, 6>>}; $p[1].y + $p[5].z;"),
              MelValue::ofFloat(5));
    EXPECT_EQ(valueOf("vector $v = <<1, 2, 3>>; $v = <<$v.x, 9, $v.z>>; $v;"),
              MelValue::ofVector({1, 9, 3}));
}

TEST_F(MelLanguageTest, TheLongestAllowedChainRuns) {
    std::string chain = "$x = 1";
    for (int i = 0; i < 1000; ++i) {
        chain += " + 1";
    }
    EXPECT_EQ(valueOf(chain + "; $x;"), MelValue::ofInt(1001));
}

TEST_F(MelLanguageTest, CommentsAndContinuationsDoNotChangeLineNumbers) {
    EXPECT_FALSE(run("/* one\n two */ print \\\n  1;\n// three\nnope;").ok());
    EXPECT_EQ(lines(),
              std::vector<std::string>{"// Error: line 5: Cannot find procedure \"nope\". //"});
    EXPECT_EQ(mel.console().printed(), "1");
}

}  // namespace
