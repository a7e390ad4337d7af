// The string commands' work: glob and regular-expression matching, tokenizing, format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MelText.h"

namespace {

using mayahost::MelText;

TEST(MelTextGlob, MatchesTheWholeStringWithStarsQuestionMarksAndSets) {
    EXPECT_TRUE(MelText::glob("tulvexPanel12", "tulvexPanel*"));
    EXPECT_TRUE(MelText::glob("tulvexPanel", "tulvexPanel*"));
    EXPECT_FALSE(MelText::glob("xtulvexPanel1", "tulvexPanel*"));
    EXPECT_TRUE(MelText::glob("abc", "a?c"));
    EXPECT_FALSE(MelText::glob("ac", "a?c"));
    EXPECT_TRUE(MelText::glob("a1b2", "*1*2"));
    EXPECT_TRUE(MelText::glob("aXbXc", "a*b*c"));
    EXPECT_FALSE(MelText::glob("aXbXd", "a*b*c"));
    EXPECT_TRUE(MelText::glob("m", "[a-z]"));
    EXPECT_FALSE(MelText::glob("M", "[a-z]"));
    EXPECT_TRUE(MelText::glob("M", "[!a-z]"));
    EXPECT_TRUE(MelText::glob("b", "[abc]"));
    EXPECT_TRUE(MelText::glob("", "*"));
    EXPECT_FALSE(MelText::glob("", "?"));
}

TEST(MelTextGlob, BackslashMakesTheNextCharacterLiteral) {
    EXPECT_TRUE(MelText::glob("a*c", "a\\*c"));
    EXPECT_FALSE(MelText::glob("abc", "a\\*c"));
    EXPECT_TRUE(MelText::glob("a?", "a\\?"));
    // An unclosed bracket is an ordinary character.
    EXPECT_TRUE(MelText::glob("a[", "a["));
}

TEST(MelTextRegex, MatchAndSubstituteUseTheFirstMatch) {
    std::string out;
    std::string error;
    ASSERT_TRUE(MelText::match("[0-9]+", "ab12cd345", out, error));
    EXPECT_EQ(out, "12");
    ASSERT_TRUE(MelText::match("^b", "abc", out, error));
    EXPECT_EQ(out, "");
    ASSERT_TRUE(MelText::substitute("o", "foo boo", "0", out, error));
    EXPECT_EQ(out, "f0o boo");
    ASSERT_TRUE(MelText::substitute("z", "abc", "y", out, error));
    EXPECT_EQ(out, "abc");
    // The replacement is literal text.
    ASSERT_TRUE(MelText::substitute("b", "abc", "&\\1", out, error));
    EXPECT_EQ(out, "a&\\1c");
    EXPECT_FALSE(MelText::match("[unclosed", "x", out, error));
    EXPECT_EQ(error, "Invalid regular expression: \"[unclosed\".");
}

TEST(MelTextTokenize, SplitsOnAnySeparatorAndDropsEmptyPieces) {
    EXPECT_EQ(MelText::tokenize("a,b;;c,", ",;"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(MelText::tokenize("", ","), std::vector<std::string>{});
    EXPECT_EQ(MelText::tokenize(",,,", ","), std::vector<std::string>{});
    EXPECT_EQ(MelText::tokenize("whole", ","), std::vector<std::string>{"whole"});
}

TEST(MelTextFormat, ReplacesNumberedArgumentsAndLeavesOtherCaretsAlone) {
    EXPECT_EQ(MelText::format("^2s before ^1s", {"a", "b"}), "b before a");
    EXPECT_EQ(MelText::format("^1s^1s", {"x"}), "xx");
    EXPECT_EQ(MelText::format("missing [^3s]", {"x"}), "missing []");
    EXPECT_EQ(MelText::format("^x ^ ^1 end^", {"x"}), "^x ^ ^1 end^");
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i) {
        twelve.push_back("v" + std::to_string(i));
    }
    EXPECT_EQ(MelText::format("^12s", twelve), "v12");
}

}  // namespace
