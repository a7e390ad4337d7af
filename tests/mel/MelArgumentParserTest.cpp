// Checking a command call's words against its syntax, without an interpreter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MelArgumentParser.h"

namespace {

using mayahost::MelArgType;
using mayahost::MelArgumentParser;
using mayahost::MelFlag;
using mayahost::MelInvocation;
using mayahost::MelSyntax;
using mayahost::MelType;
using mayahost::MelValue;
using mayahost::MelWord;

constexpr unsigned kCQE = MelFlag::kCreate | MelFlag::kQuery | MelFlag::kEdit;

MelWord flag(const std::string& text) {
    return MelWord{MelValue::ofString(text), true, false};
}

MelWord word(const std::string& text) {
    return MelWord{MelValue::ofString(text), false, true};
}

MelWord quoted(const std::string& text) {
    return MelWord{MelValue::ofString(text), false, false};
}

MelWord number(int value) {
    return MelWord{MelValue::ofInt(value), false, false};
}

MelSyntax windowSyntax() {
    MelSyntax syntax("window");
    syntax.addFlag("title", "t", {MelArgType::String}, kCQE)
        .addFlag("widthHeight", "wh", {MelArgType::Int, MelArgType::Int}, kCQE)
        .addFlag("exists", "ex", {}, MelFlag::kCreate)
        .addFlag("visible", "vis", {MelArgType::Bool}, kCQE)
        .addFlag("time", "tm", {MelArgType::Time})
        .addFlag("stringArg", "s", {MelArgType::String}, MelFlag::kCreate, true)
        .setPositionals(0, 1, MelArgType::String);
    return syntax;
}

std::string parseError(const MelSyntax& syntax, const std::vector<MelWord>& words) {
    MelInvocation invocation;
    std::string error;
    EXPECT_FALSE(MelArgumentParser::parse(syntax, words, invocation, error));
    return error;
}

MelInvocation parsedCall(const MelSyntax& syntax, const std::vector<MelWord>& words) {
    MelInvocation invocation;
    std::string error;
    EXPECT_TRUE(MelArgumentParser::parse(syntax, words, invocation, error)) << error;
    return invocation;
}

TEST(MelArgumentParserFlags, LongAndShortNamesWithTypedValuesAndPositionals) {
    const MelInvocation call = parsedCall(
        windowSyntax(), {flag("-t"), quoted("Panel"), flag("-widthHeight"), number(380),
                         quoted("250"), flag("-vis"), word("off"), word("tulvexPanel0")});
    EXPECT_TRUE(call.isCreate());
    EXPECT_EQ(call.stringValue("title"), "Panel");
    EXPECT_EQ(call.intValue("widthHeight", 0, 0), 380);
    EXPECT_EQ(call.intValue("widthHeight", 0, 1), 250);
    EXPECT_TRUE(call.has("visible"));
    EXPECT_FALSE(call.boolValue("visible", true));
    ASSERT_EQ(call.positionals().size(), 1U);
    EXPECT_EQ(call.positionals()[0].asString(), "tulvexPanel0");
    ASSERT_EQ(call.flags().size(), 3U);
    EXPECT_EQ(call.flags()[0].written, "-t");
}

TEST(MelArgumentParserFlags, BooleanWordsNumbersAndTheirRefusal) {
    const MelSyntax syntax = windowSyntax();
    for (const char* yes : {"on", "yes", "true", "1", "7"}) {
        EXPECT_TRUE(parsedCall(syntax, {flag("-vis"), word(yes)}).boolValue("visible")) << yes;
    }
    for (const char* no : {"off", "no", "false", "0"}) {
        EXPECT_FALSE(parsedCall(syntax, {flag("-vis"), word(no)}).boolValue("visible", true)) << no;
    }
    EXPECT_TRUE(parsedCall(syntax, {flag("-vis"), number(2)}).boolValue("visible"));
    EXPECT_EQ(parseError(syntax, {flag("-vis"), word("maybe")}),
              "Flag '-vis' must be passed a boolean argument.");
    EXPECT_EQ(parseError(syntax, {flag("-wh"), quoted("wide"), number(2)}),
              "Flag '-wh' must be passed an int argument.");
    EXPECT_EQ(
        parseError(syntax, {flag("-wh"), MelWord{MelValue::ofFloat(2.5), false, false}, number(2)}),
        "Flag '-wh' must be passed an int argument.");
    EXPECT_EQ(parseError(syntax, {flag("-t"), MelWord{MelValue::ofStrings({"a"}), false, false}}),
              "Cannot convert data of type string[] to type string.");
}

TEST(MelArgumentParserFlags, MissingValuesUnknownFlagsAndRepeats) {
    const MelSyntax syntax = windowSyntax();
    EXPECT_EQ(parseError(syntax, {flag("-wh"), number(380)}), "Flag '-wh' needs 2 arguments.");
    EXPECT_EQ(parseError(syntax, {flag("-t"), flag("-vis"), word("on")}),
              "Flag '-t' needs 1 argument.");
    EXPECT_EQ(parseError(syntax, {flag("-bogus")}), "Invalid flag '-bogus'");
    EXPECT_EQ(parseError(syntax, {flag("-t"), quoted("a"), flag("-title"), quoted("b")}),
              "Flag '-title' can be used only once.");
    const MelInvocation call = parsedCall(
        syntax, {flag("-s"), quoted("a"), flag("-stringArg"), number(2), flag("-s"), quoted("c")});
    EXPECT_EQ(call.uses("stringArg"), 3U);
    EXPECT_EQ(call.stringValues("stringArg"), (std::vector<std::string>{"a", "2", "c"}));
    EXPECT_EQ(call.values("stringArg", 1).front().asString(), "2");
    EXPECT_TRUE(call.values("stringArg", 3).empty());
}

TEST(MelArgumentParserModes, QueryTakesNoValuesAndEachFlagKeepsToItsModes) {
    const MelSyntax syntax = windowSyntax();
    MelInvocation call =
        parsedCall(syntax, {flag("-q"), flag("-title"), flag("-wh"), word("tulvexPanel0")});
    EXPECT_TRUE(call.isQuery());
    EXPECT_TRUE(call.values("title").empty());
    EXPECT_EQ(call.positionals().size(), 1U);
    // A late -query still makes every flag read no value.
    call = parsedCall(syntax, {flag("-title"), flag("-query"), word("w")});
    EXPECT_TRUE(call.isQuery());
    EXPECT_EQ(parseError(syntax, {flag("-e"), flag("-exists"), word("w")}),
              "Flag '-exists' cannot be used in edit mode.");
    EXPECT_EQ(parseError(syntax, {flag("-q"), flag("-e"), flag("-t"), word("w")}),
              "The query and edit flags cannot be used together.");
    MelSyntax createOnly("createNode");
    createOnly.addFlag("name", "n", {MelArgType::String}).setPositionals(1, 1);
    EXPECT_EQ(parseError(createOnly, {flag("-q"), flag("-n"), word("x")}), "Invalid flag '-q'");
}

TEST(MelArgumentParserFunctionSyntax, QuotedFlagsCountAndOtherDashStringsAreArguments) {
    const MelSyntax syntax = windowSyntax();
    const MelInvocation call =
        parsedCall(syntax, {quoted("-e"), quoted("-t"), quoted("-x"), quoted("w")});
    EXPECT_TRUE(call.isEdit());
    // A flag's value is taken as it is, even when it starts with '-'.
    EXPECT_EQ(call.stringValue("title"), "-x");
    EXPECT_EQ(call.positionals()[0].asString(), "w");
    // A quoted string that names no flag is a positional argument.
    const MelInvocation positional = parsedCall(syntax, {quoted("-notAFlag")});
    EXPECT_EQ(positional.positionals()[0].asString(), "-notAFlag");
}

TEST(MelArgumentParserPositionals, ArraysSpreadForTypedCommandsAndCountIsChecked) {
    MelSyntax deleteSyntax("delete");
    deleteSyntax.setPositionals(1, MelSyntax::kUnlimited, MelArgType::String);
    const MelInvocation call = parsedCall(
        deleteSyntax, {MelWord{MelValue::ofStrings({"a", "b"}), false, false}, number(3)});
    ASSERT_EQ(call.positionals().size(), 3U);
    EXPECT_EQ(call.positionals()[2], MelValue::ofString("3"));
    EXPECT_EQ(parseError(deleteSyntax, {MelWord{MelValue::ofStrings({}), false, false}}),
              "Wrong number of arguments on call to delete.");
    MelSyntax sizeSyntax("size");
    sizeSyntax.setPositionals(1, 1);
    const MelInvocation whole =
        parsedCall(sizeSyntax, {MelWord{MelValue::ofInts({1, 2, 3}), false, false}});
    EXPECT_EQ(whole.positionals()[0].type(), MelType::IntArray);
    EXPECT_EQ(parseError(windowSyntax(), {word("a"), word("b")}),
              "Wrong number of arguments on call to window.");
}

TEST(MelArgumentParserTime, PlainNumbersAndNumbersWithAUnit) {
    const MelSyntax syntax = windowSyntax();
    EXPECT_EQ(parsedCall(syntax, {flag("-tm"), number(5)}).values("time").front(),
              MelValue::ofFloat(5));
    EXPECT_EQ(parsedCall(syntax, {flag("-tm"), word("-2.5sec")}).values("time").front(),
              MelValue::ofString("-2.5sec"));
    EXPECT_EQ(parsedCall(syntax, {flag("-tm"), word("6ntsc")}).values("time").front(),
              MelValue::ofString("6ntsc"));
    EXPECT_EQ(parseError(syntax, {flag("-tm"), word("48fps")}),
              "Flag '-tm' must be passed a time argument.");
    EXPECT_EQ(parseError(syntax, {flag("-tm"), word("6parsecs")}),
              "Flag '-tm' must be passed a time argument.");
    EXPECT_EQ(parseError(syntax, {flag("-tm"), word("sec")}),
              "Flag '-tm' must be passed a time argument.");
}

TEST(MelArgumentParserRaw, EveryWordAsTextInOrder) {
    const std::vector<std::string> words = MelArgumentParser::rawWords(
        {flag("-id"), number(3), MelWord{MelValue::ofFloat(0.5), false, false}, quoted("a b"),
         MelWord{MelValue::ofStrings({"x", "y"}), false, false}});
    EXPECT_EQ(words, (std::vector<std::string>{"-id", "3", "0.5", "a b", "x", "y"}));
}

}  // namespace
