// The MEL reader itself: it has to see through comments and strings, and it has to reject
// the faults the script checks rely on it to find.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "MelLint.h"

namespace {

using mellint::CallStyle;
using mellint::Script;
using mellint::TokenKind;

std::vector<Script> one(const std::string& text) {
    return {mellint::readScript("snippet.mel", text)};
}

bool anyContains(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(MelReaderSyntax, CommentsAndStringsHideBracketsAndQuotes) {
    const auto scripts =
        one("// } \" ( unbalanced only in a comment\n"
            "/* { [ \" */\n"
            "global proc f()\n"
            "{\n"
            "    print \"}{)( // /* \\\" still a string\";\n"
            "    print \"tab\\there\"; /* } */ print \"x\";\n"
            "}\n");
    EXPECT_TRUE(mellint::syntaxProblems(scripts).empty());
    ASSERT_EQ(scripts[0].procs.size(), 1U);
    ASSERT_EQ(scripts[0].calls.size(), 3U);
    ASSERT_EQ(scripts[0].calls[0].args.size(), 1U);
    EXPECT_EQ(scripts[0].calls[0].args[0][0].text, "}{)( // /* \" still a string");
    EXPECT_EQ(scripts[0].calls[1].args[0][0].text, "tab\there");
    EXPECT_EQ(scripts[0].calls[2].line, 6);
}

TEST(MelReaderSyntax, UnbalancedBracketsAreFound) {
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() { if (1) { print 1; }")),
                            "'{' is never closed"));
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() { print (1]; }")),
                            "']' closes '('"));
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() { print 1; } }")),
                            "'}' closes nothing"));
    EXPECT_TRUE(
        anyContains(mellint::syntaxProblems(one("global proc f() { string $a = `ls -sl; }")),
                    "'}' closes '`'"));
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() { }\nstring $a = `ls")),
                            "snippet.mel:2: '`' is never closed"));
}

TEST(MelReaderSyntax, UnterminatedStringsAndCommentsAreFound) {
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() {\n print \"abc;\n}\n")),
                            "snippet.mel:2: string is never closed"));
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f() { }\n/* forgot")),
                            "snippet.mel:2: comment is never closed"));
}

TEST(MelReaderSyntax, CodeOutsideProceduresIsFound) {
    const auto scripts =
        one("global string $gNames[];\n"
            "global int $gCount = 3;\n"
            "global proc f() { }\n"
            "f;\n");
    const auto problems = mellint::syntaxProblems(scripts);
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_TRUE(anyContains(problems, "snippet.mel:4: statement outside a procedure"));
}

TEST(MelReaderSyntax, MalformedProcHeadersAreFound) {
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f($a) { }")),
                            "parameter 1 of f has no type"));
    EXPECT_TRUE(anyContains(mellint::syntaxProblems(one("global proc f(int $a int $b) { }")),
                            "unexpected 'int'"));
    EXPECT_TRUE(
        anyContains(mellint::syntaxProblems(one("global proc f(int $a);")), "f has no body"));
}

TEST(MelReaderProcs, HeadersAreRead) {
    const auto scripts =
        one("global proc string[] names(int $id, string $list[], float $f) { return {}; }\n"
            "proc helper() { }\n"
            "global proc int count() { return 0; }\n");
    ASSERT_TRUE(mellint::syntaxProblems(scripts).empty());
    const auto& procs = scripts[0].procs;
    ASSERT_EQ(procs.size(), 3U);
    EXPECT_EQ(procs[0].name, "names");
    EXPECT_TRUE(procs[0].global);
    EXPECT_EQ(procs[0].returnType, "string[]");
    ASSERT_EQ(procs[0].params.size(), 3U);
    EXPECT_EQ(procs[0].params[0].type, "int");
    EXPECT_EQ(procs[0].params[1].type, "string[]");
    EXPECT_EQ(procs[0].params[1].name, "$list");
    EXPECT_EQ(procs[0].params[2].type, "float");
    EXPECT_EQ(procs[1].name, "helper");
    EXPECT_FALSE(procs[1].global);
    EXPECT_EQ(procs[1].returnType, "");
    EXPECT_EQ(procs[2].returnType, "int");
}

TEST(MelReaderCalls, CommandFunctionAndBackquoteCallsAreSeenButFlagsAndWordsAreNot) {
    const auto scripts =
        one("global proc f(string $node)\n"
            "{\n"
            "    string $type = `nodeType $node`;\n"
            "    if (size($type) > 0) setAttr ($node + \".v\") -type double3 1 2 3;\n"
            "    else g($node, 1);\n"
            "    for ($i = 0; $i < 2; $i++) connectAttr -force time1.outTime ($node + \".t\");\n"
            "    button -label (label()) -command (\"h \" + $node) b1;\n"
            "}\n");
    ASSERT_TRUE(mellint::syntaxProblems(scripts).empty());
    std::vector<std::string> names;
    for (const auto& call : scripts[0].calls) {
        names.push_back(call.name);
    }
    const std::vector<std::string> expected = {"nodeType",    "size",   "setAttr", "g",
                                               "connectAttr", "button", "label",   "h"};
    EXPECT_EQ(names, expected);
    const auto& calls = scripts[0].calls;
    EXPECT_EQ(calls[2].style, CallStyle::Command);
    EXPECT_EQ(calls[2].args.size(), 6U);  // (...) -type double3 1 2 3
    EXPECT_EQ(calls[3].style, CallStyle::Function);
    EXPECT_EQ(calls[3].args.size(), 2U);
    EXPECT_EQ(calls[7].style, CallStyle::Callback);
}

TEST(MelReaderCalls, UnknownProcsAndWrongArgumentCountsAreFound) {
    const auto scripts =
        one("global proc two(int $a, int $b) { }\n"
            "global proc f()\n"
            "{\n"
            "    two 1 2;\n"
            "    two(1, -2);\n"
            "    two ($x + 1) $y[3];\n"
            "    two 1;\n"
            "    two(1, 2, 3);\n"
            "    tow 1 2;\n"
            "    button -command \"missingCallback 1\";\n"
            "}\n");
    ASSERT_TRUE(mellint::syntaxProblems(scripts).empty());
    const auto unknown = mellint::unresolvedCalls(scripts, {"button"});
    ASSERT_EQ(unknown.size(), 2U);
    EXPECT_TRUE(anyContains(unknown, "snippet.mel:9: f calls tow"));
    EXPECT_TRUE(anyContains(unknown, "snippet.mel:10: f calls missingCallback"));
    const auto arity = mellint::arityMismatches(scripts);
    ASSERT_EQ(arity.size(), 2U);
    EXPECT_TRUE(anyContains(arity, "snippet.mel:7: f passes 1 argument(s) to two"));
    EXPECT_TRUE(anyContains(arity, "snippet.mel:8: f passes 3 argument(s) to two"));
}

TEST(MelReaderCalls, ProcsDefinedTwiceAcrossFilesAreFound) {
    const std::vector<Script> scripts = {mellint::readScript("a.mel", "global proc f() { }"),
                                         mellint::readScript("b.mel", "global proc f() { }")};
    const auto duplicates = mellint::duplicateProcs(scripts);
    ASSERT_EQ(duplicates.size(), 1U);
    EXPECT_TRUE(anyContains(duplicates, "a.mel:1 b.mel:1"));
}

TEST(MelCommandText, ArgumentKindsFollowMelCommandSyntax) {
    auto text = mellint::parseCommandText("enableBindButton 2 1");
    EXPECT_EQ(text.name, "enableBindButton");
    EXPECT_EQ(text.argKinds, (std::vector<std::string>{"int", "int"}));

    // The id follows the closing quote without a blank, and the text may hold tabs.
    text = mellint::parseCommandText("displayAvailableIPs \"IPs:\t\t10.1.2.3\"12");
    EXPECT_EQ(text.name, "displayAvailableIPs");
    EXPECT_EQ(text.argKinds, (std::vector<std::string>{"string", "int"}));

    text = mellint::parseCommandText("move -1 0.5 \"a\"");
    EXPECT_EQ(text.argKinds, (std::vector<std::string>{"int", "float", "string"}));

    text = mellint::parseCommandText("cleanUpUI");
    EXPECT_EQ(text.name, "cleanUpUI");
    EXPECT_TRUE(text.argKinds.empty());
}

TEST(MelCommandText, EntryPointsWithWrongTypesOrMissingAreFound) {
    const std::vector<std::string> texts = {"displayMessage \"hello\"3", "enableBindButton 3 1",
                                            "cleanUpUI"};
    const auto good =
        one("global proc displayMessage(string $m, int $id) { }\n"
            "global proc enableBindButton(int $id, int $on) { }\n"
            "global proc cleanUpUI() { }\n");
    EXPECT_TRUE(mellint::entryPointMismatches(good, texts).empty());

    const auto wrong =
        one("global proc displayMessage(int $id, string $m) { }\n"
            "global proc enableBindButton(int $id, float $on) { }\n"
            "proc cleanUpUI() { }\n");
    const auto mismatches = mellint::entryPointMismatches(wrong, texts);
    ASSERT_EQ(mismatches.size(), 3U);
    EXPECT_TRUE(anyContains(mismatches, "displayMessage takes ( int string )"));
    EXPECT_TRUE(anyContains(mismatches, "enableBindButton takes ( int float )"));
    EXPECT_TRUE(anyContains(mismatches, "cleanUpUI is not a global proc"));

    const auto missing = one("global proc displayMessage(string $m) { }\n");
    const auto missingFaults = mellint::entryPointMismatches(missing, texts);
    EXPECT_TRUE(anyContains(missingFaults, "displayMessage takes ( string )"));
    EXPECT_TRUE(anyContains(missingFaults, "enableBindButton is defined 0 times"));
}

TEST(MelArrays, LiteralElementsAreReadWithTheirSigns) {
    const auto scripts =
        one("global proc int[] parents() { int $p[] = {-1, 0, 1, 12}; return $p; }\n"
            "global proc string[] names() { string $n[] = {\"a\", \"b\"}; return $n; }\n");
    ASSERT_TRUE(mellint::syntaxProblems(scripts).empty());
    const auto ints = mellint::arrayLiteralIn(scripts[0], scripts[0].procs[0]);
    ASSERT_EQ(ints.size(), 4U);
    EXPECT_EQ(ints[0].text, "-1");
    EXPECT_EQ(ints[0].kind, TokenKind::Integer);
    EXPECT_EQ(ints[3].text, "12");
    const auto strings = mellint::arrayLiteralIn(scripts[0], scripts[0].procs[1]);
    ASSERT_EQ(strings.size(), 2U);
    EXPECT_EQ(strings[1].kind, TokenKind::String);
    EXPECT_EQ(strings[1].text, "b");
}

}  // namespace
