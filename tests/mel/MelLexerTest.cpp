// The lexer: positions, the two readings (expression and command words), literals, and the
// text no token can start with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MelLexer.h"

namespace {

using mayahost::MelLexer;
using mayahost::MelToken;
using Kind = MelToken::Kind;
using Mode = MelLexer::Mode;

std::vector<MelToken> all(const std::string& text, Mode mode) {
    const MelLexer lexer(text);
    std::vector<MelToken> tokens;
    std::size_t at = 0;
    while (true) {
        MelToken token = lexer.next(at, mode);
        if (token.kind == Kind::End || token.kind == Kind::Error) {
            tokens.push_back(token);
            return tokens;
        }
        at = token.end;
        tokens.push_back(token);
    }
}

std::vector<std::string> texts(const std::vector<MelToken>& tokens) {
    std::vector<std::string> result;
    for (const MelToken& token : tokens) {
        if (token.kind != Kind::End) {
            result.push_back(token.text);
        }
    }
    return result;
}

TEST(MelLexerPositions, LinesAndColumnsCountFromOneAcrossComments) {
    const std::string text = "int $a; // note\n/* two\nlines */  print $a;";
    const auto tokens = all(text, Mode::Expression);
    ASSERT_GE(tokens.size(), 5U);
    EXPECT_EQ(tokens[1].text, "$a");
    EXPECT_EQ(tokens[1].line, 1);
    EXPECT_EQ(tokens[1].column, 5);
    EXPECT_EQ(tokens[3].text, "print");
    EXPECT_EQ(tokens[3].line, 3);
    EXPECT_EQ(tokens[3].column, 11);
    EXPECT_TRUE(tokens[3].spaceBefore);
    EXPECT_FALSE(tokens[2].spaceBefore);  // the ';' touches $a
}

TEST(MelLexerCommandWords, PlugsPathsNamespacesAndPatternsAreOneWord) {
    const auto tokens =
        all("connectAttr time1.outTime |grp|node ns:a .. *Panel? a.b[0]", Mode::Command);
    EXPECT_EQ(texts(tokens), (std::vector<std::string>{"connectAttr", "time1.outTime", "|grp|node",
                                                       "ns:a", "..", "*Panel?", "a.b[0]"}));
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        EXPECT_EQ(tokens[i].kind, Kind::Word) << tokens[i].text;
    }
}

TEST(MelLexerCommandWords, FlagsNegativeNumbersAndUnitSuffixes) {
    const auto tokens = all("-edit -10 -.5 -update no 6ntsc -2mm 0x1F", Mode::Command);
    ASSERT_EQ(tokens.size(), 9U);  // with the end
    EXPECT_EQ(tokens[0].kind, Kind::Flag);
    EXPECT_EQ(tokens[0].text, "-edit");
    EXPECT_EQ(tokens[1].kind, Kind::Int);
    EXPECT_EQ(tokens[1].intValue, -10);
    EXPECT_EQ(tokens[2].kind, Kind::Float);
    EXPECT_DOUBLE_EQ(tokens[2].floatValue, -0.5);
    EXPECT_EQ(tokens[3].kind, Kind::Flag);
    EXPECT_EQ(tokens[4].kind, Kind::Word);
    EXPECT_EQ(tokens[5].kind, Kind::Word);
    EXPECT_EQ(tokens[5].text, "6ntsc");
    EXPECT_EQ(tokens[6].kind, Kind::Word);
    EXPECT_EQ(tokens[6].text, "-2mm");
    EXPECT_EQ(tokens[7].kind, Kind::Int);
    EXPECT_EQ(tokens[7].intValue, 31);
}

TEST(MelLexerCommandWords, ANumberGluedToAClosingQuoteIsASecondToken) {
    const auto tokens = all("displayMessage \"Data received\"2", Mode::Command);
    ASSERT_EQ(tokens.size(), 4U);
    EXPECT_EQ(tokens[1].kind, Kind::String);
    EXPECT_EQ(tokens[1].text, "Data received");
    EXPECT_EQ(tokens[2].kind, Kind::Int);
    EXPECT_EQ(tokens[2].intValue, 2);
    EXPECT_FALSE(tokens[2].spaceBefore);
}

TEST(MelLexerExpressions, OperatorsTakeTheLongestMatchAndMinusIsAlwaysAnOperator) {
    const auto tokens = all("$i++ + -1 <<a>> <= != && || += ^= $v.x", Mode::Expression);
    EXPECT_EQ(texts(tokens),
              (std::vector<std::string>{"$i", "++", "+", "-", "1", "<<", "a", ">>",
                                        "<=", "!=", "&&", "||", "+=", "^=", "$v", ".", "x"}));
}

TEST(MelLexerLiterals, NumbersInEveryForm) {
    const auto tokens = all("0007 1. .5 1.5e3 2e-3 0x10 3..", Mode::Expression);
    ASSERT_GE(tokens.size(), 8U);
    EXPECT_EQ(tokens[0].kind, Kind::Int);
    EXPECT_EQ(tokens[0].intValue, 7);  // a leading zero is not octal
    EXPECT_EQ(tokens[1].kind, Kind::Float);
    EXPECT_DOUBLE_EQ(tokens[2].floatValue, 0.5);
    EXPECT_DOUBLE_EQ(tokens[3].floatValue, 1500.0);
    EXPECT_DOUBLE_EQ(tokens[4].floatValue, 0.002);
    EXPECT_EQ(tokens[5].intValue, 16);
    EXPECT_EQ(tokens[6].kind, Kind::Int);  // 3 then ..
    EXPECT_EQ(tokens[6].text, "3");
}

TEST(MelLexerLiterals, StringEscapesAndContinuedLines) {
    const auto tokens =
        all("\"a\\tb\\\"c\\\\d\\ne\" \"joined \\\nhere\" \"\\d kept\"", Mode::Expression);
    ASSERT_EQ(tokens.size(), 4U);
    EXPECT_EQ(tokens[0].text, "a\tb\"c\\d\ne");
    EXPECT_EQ(tokens[1].text, "joined here");
    EXPECT_EQ(tokens[2].text, "\\d kept");
    EXPECT_EQ(tokens[2].line, 2);
}

TEST(MelLexerErrors, UnterminatedStringsAndCommentsAndStrayCharacters) {
    auto tokens = all("print \"no end\nprint 1;", Mode::Command);
    EXPECT_EQ(tokens.back().kind, Kind::Error);
    EXPECT_EQ(tokens.back().column, 7);
    tokens = all("print 1; /* never closed", Mode::Expression);
    EXPECT_EQ(tokens.back().kind, Kind::Error);
    EXPECT_EQ(tokens.back().text, "unterminated comment");
    tokens = all("$a @ 1", Mode::Expression);
    EXPECT_EQ(tokens.back().kind, Kind::Error);
    EXPECT_EQ(tokens.back().column, 4);
    tokens = all("$ 1", Mode::Expression);
    EXPECT_EQ(tokens.front().kind, Kind::Error);
}

}  // namespace
