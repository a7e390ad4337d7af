// Every kind of MEL error: its exact line as the Script Editor shows it, and that it stops the
// script that raised it and all its callers, up to the top or the nearest catch.
#include <string>
#include <thread>
#include <vector>

#include "MelFixture.h"

namespace {

using mayahost::MelResult;
using mayahost::MelValue;

class MelErrorTest : public MelFixture {
protected:
    // Runs `text` followed by a print that must not happen; returns the error lines.
    std::vector<std::string> errorLines(const std::string& text) {
        mel.console().take();
        const MelResult result = run(text + "\nprint \"still running\";");
        EXPECT_FALSE(result.ok()) << text;
        EXPECT_EQ(mel.console().printed().find("still running"), std::string::npos) << text;
        return lines();
    }
};

TEST_F(MelErrorTest, EachRunTimeErrorHasItsLine) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(errorLines("int $a;\nnope 1 2;"),
              Lines{"// Error: line 2: Cannot find procedure \"nope\". //"});
    EXPECT_EQ(errorLines("string $l[] = {\"a\"};\n\nfloat $f = $l;"),
              Lines{"// Error: line 3: Cannot convert data of type string[] to type float. //"});
    EXPECT_EQ(errorLines("print $missing;"),
              Lines{"// Error: line 1: \"$missing\" is an undeclared variable. //"});
    EXPECT_EQ(errorLines("int $x;\n$x += $y;"),
              Lines{"// Error: line 2: \"$y\" is an undeclared variable. //"});
    EXPECT_EQ(errorLines("format -bogus \"x\";"),
              Lines{"// Error: line 1: Invalid flag '-bogus' //"});
    EXPECT_EQ(errorLines("int $z = 1 / 0;"), Lines{"// Error: line 1: Division by zero. //"});
    EXPECT_EQ(errorLines("int $a[];\nint $a;"),
              Lines{"// Error: line 2: Invalid redeclaration of variable \"$a\" as a different "
                    "type. //"});
    EXPECT_EQ(errorLines("global proc nothing() {}\nint $v = nothing();"),
              Lines{"// Error: line 2: The procedure or command \"nothing\" returns no value. //"});
    EXPECT_EQ(errorLines("int $s = 3;\nprint $s.x;"),
              Lines{"// Error: line 2: The component \".x\" needs a vector, not data of type "
                    "int. //"});
    EXPECT_EQ(errorLines("int $i[];\n$i[-1] = 2;"),
              Lines{"// Error: line 2: Array index -1 is out of range. //"});
    EXPECT_EQ(
        errorLines("string $s = \"a\" - 1;"),
        Lines{"// Error: line 1: Operator \"-\" cannot be used with data of type string. //"});
    EXPECT_EQ(errorLines("match \"[\" \"x\";"),
              Lines{"// Error: line 1: Invalid regular expression: \"[\". //"});
}

TEST_F(MelErrorTest, CompileTimeErrorsSayLineAndColumnAndRunNothing) {
    using Lines = std::vector<std::string>;
    // A syntax error anywhere stops the whole text before any of it runs.
    EXPECT_EQ(errorLines("print \"first\";\nprint (1 +);"),
              Lines{"// Error: Line 2.11: Syntax error //"});
    EXPECT_EQ(mel.console().printed(), "");
    EXPECT_EQ(errorLines("global proc f() {\n    return 5;\n}"),
              Lines{"// Error: Line 2.5: This procedure has no return value. //"});
    EXPECT_EQ(errorLines("global proc f(int $a) {}\n  f(1, 2);"),
              Lines{"// Error: Line 2.3: Wrong number of arguments on call to f. //"});
    EXPECT_EQ(errorLines("global proc g(int $a) {}\ng;"),
              Lines{"// Error: Line 2.1: Wrong number of arguments on call to g. //"});
}

TEST_F(MelErrorTest, ErrorStopsItsCallersButNotPastACatch) {
    const MelResult result = run(
        "global proc int deepest() { error \"deep\"; return 1; }\n"
        "global proc int middle() { int $r = deepest(); print \"middle went on\"; return $r; }\n"
        "global proc outer() {\n"
        "    int $caught = catch(middle());\n"
        "    print (\"outer caught \" + $caught + \"\\n\");\n"
        "    middle();\n"
        "    print \"outer went on\";\n"
        "}\n"
        "outer();\n"
        "print \"top went on\";");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "deep");
    EXPECT_EQ(shown(),
              "// Error: line 1: deep //\n"
              "outer caught 1\n"
              "// Error: line 1: deep //\n");
}

TEST_F(MelErrorTest, CatchQuietHidesTheMessageAndBothIgnoreWarnings) {
    const MelResult result =
        run("int $a = catchQuiet(`error \"hidden\"`);\n"
            "int $b = catch(`warning \"only a warning\"`);\n"
            "print ($a + \" \" + $b);");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(shown(), "// Warning: line 2: only a warning //\n1 0");
}

TEST_F(MelErrorTest, ErrorWithoutContextAndItsResult) {
    const MelResult result = run("error -noContext \"plain\";");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "plain");
    EXPECT_EQ(lines(), std::vector<std::string>{"// Error: plain //"});
    mel.console().take();
    // The plug-in sends this text from its idle queue.
    EXPECT_FALSE(run("error \"Tulvex: port 12351 is in use\"").ok());
    EXPECT_EQ(lines(),
              std::vector<std::string>{"// Error: line 1: Tulvex: port 12351 is in use //"});
}

TEST_F(MelErrorTest, LocalProceduresAreNotVisibleBeforeTheirDefinitionNorElsewhere) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(errorLines("proc first() { second(); }\nproc second() {}\nfirst();"),
              Lines{"// Error: line 1: Cannot find procedure \"second\". //"});
    ASSERT_TRUE(run("proc here() { print \"here\"; }\nhere();").ok());
    EXPECT_EQ(errorLines("here();"), Lines{"// Error: line 1: Cannot find procedure \"here\". //"});
}

TEST_F(MelErrorTest, RunawayRecursionFailsCleanly) {
    const MelResult result = run("global proc int down(int $n) { return down($n + 1); }\ndown(0);");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "Procedure calls are nested too deeply (more than 200).");
    // The interpreter is whole afterwards.
    EXPECT_EQ(valueOf("global proc int up(int $n) { if ($n == 0) return 0; return 1 + up($n - 1); }"
                      "\nup(150);"),
              MelValue::ofInt(150));
}

TEST_F(MelErrorTest, OnlyTheOwningThreadMayRunMel) {
    MelResult fromOther;
    std::thread other([&] { fromOther = mel.execute("print \"x\";"); });
    other.join();
    EXPECT_FALSE(fromOther.ok());
    EXPECT_EQ(fromOther.message(), "MEL can only be run on the main thread.");
    EXPECT_TRUE(mel.console().entries().empty());
    EXPECT_TRUE(run("print \"y\";").ok());
}

}  // namespace
