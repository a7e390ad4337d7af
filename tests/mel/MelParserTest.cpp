// The parser: which call syntax a statement is, the tree it builds, where it reports syntax
// errors, and that every product script parses.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "MelParser.h"

namespace {

using mayahost::MelNode;
using mayahost::MelParser;
using mayahost::MelType;
using Kind = MelNode::Kind;

std::unique_ptr<MelNode> parsed(const std::string& text) {
    MelParser::Failure failure;
    auto root = MelParser::parse(text, failure);
    EXPECT_NE(root, nullptr) << text << "\n"
                             << failure.line << "." << failure.column << ": " << failure.message;
    return root;
}

MelParser::Failure failureOf(const std::string& text) {
    MelParser::Failure failure;
    EXPECT_EQ(MelParser::parse(text, failure), nullptr) << text;
    return failure;
}

// The expression of the only statement, which must be an expression statement.
const MelNode& onlyExpression(const MelNode& root) {
    EXPECT_EQ(root.children.size(), 1U);
    EXPECT_EQ(root.part(0).kind, Kind::ExpressionStatement);
    return root.part(0).part(0);
}

TEST(MelParserCalls, ParenthesesFollowedByMoreWordsAreCommandSyntax) {
    const auto root = parsed("setAttr ($node + \".live\") $live;");
    const MelNode& call = onlyExpression(*root);
    ASSERT_EQ(call.kind, Kind::Call);
    EXPECT_TRUE(call.commandSyntax);
    ASSERT_EQ(call.children.size(), 2U);
    EXPECT_EQ(call.part(0).kind, Kind::Binary);
    EXPECT_EQ(call.part(1).kind, Kind::Variable);
}

TEST(MelParserCalls, ANegativeNumberAfterParenthesesIsAnArgumentNotASubtraction) {
    const auto root = parsed("setAttr ($node + \".tx\") -5;");
    const MelNode& call = onlyExpression(*root);
    ASSERT_EQ(call.kind, Kind::Call);
    EXPECT_TRUE(call.commandSyntax);
    ASSERT_EQ(call.children.size(), 2U);
    EXPECT_EQ(call.part(1).kind, Kind::IntLiteral);
    EXPECT_EQ(call.part(1).intValue, -5);
}

TEST(MelParserCalls, NameWithArgumentListToTheEndIsFunctionSyntax) {
    const auto root = parsed("tulvexOpenPanel($node, 1 + 2)");
    const MelNode& call = onlyExpression(*root);
    ASSERT_EQ(call.kind, Kind::Call);
    EXPECT_FALSE(call.commandSyntax);
    EXPECT_EQ(call.children.size(), 2U);
}

TEST(MelParserCalls, CommandWordsBecomeFlagsWordsNumbersAndExpressions) {
    const auto root = parsed("window -title $t -wh 380 -2.5 `f 1` tulvexPanel0;");
    const MelNode& call = onlyExpression(*root);
    ASSERT_EQ(call.children.size(), 7U);
    EXPECT_EQ(call.part(0).word, MelNode::Word::Flag);
    EXPECT_EQ(call.part(0).text, "-title");
    EXPECT_EQ(call.part(1).kind, Kind::Variable);
    EXPECT_EQ(call.part(3).kind, Kind::IntLiteral);
    EXPECT_EQ(call.part(4).kind, Kind::FloatLiteral);
    EXPECT_DOUBLE_EQ(call.part(4).floatValue, -2.5);
    EXPECT_EQ(call.part(5).kind, Kind::Backtick);
    EXPECT_EQ(call.part(6).word, MelNode::Word::Bare);
    EXPECT_EQ(call.part(6).text, "tulvexPanel0");
}

TEST(MelParserCalls, BackQuotesNestOnlyInsideParentheses) {
    const auto root = parsed("$x = `f (`g 1`) 2`;");
    const MelNode& assign = onlyExpression(*root);
    ASSERT_EQ(assign.kind, Kind::Assign);
    const MelNode& outer = assign.part(1).part(0);
    EXPECT_EQ(outer.text, "f");
    ASSERT_EQ(outer.children.size(), 2U);
    EXPECT_EQ(outer.part(0).kind, Kind::Backtick);
    EXPECT_EQ(failureOf("`f 1`;").column, 1);  // a back-quoted command cannot stand alone
}

TEST(MelParserExpressions, PrecedenceAndGrouping) {
    // 1 + 2 * 3 == 7 && !$a || $b  parses as  ((1 + (2 * 3)) == 7 && !$a) || $b
    const auto root = parsed("$r = 1 + 2 * 3 == 7 && !$a || $b;");
    const MelNode& orNode = onlyExpression(*root).part(1);
    ASSERT_EQ(orNode.text, "||");
    const MelNode& andNode = orNode.part(0);
    ASSERT_EQ(andNode.text, "&&");
    const MelNode& equal = andNode.part(0);
    ASSERT_EQ(equal.text, "==");
    EXPECT_EQ(equal.part(0).text, "+");
    EXPECT_EQ(equal.part(0).part(1).text, "*");
    EXPECT_EQ(andNode.part(1).kind, Kind::Unary);
}

TEST(MelParserExpressions, AssignmentChainsToTheRightAndTernaryNests) {
    const auto root = parsed("$x = $y = $c ? 1 : $d ? 2 : 3;");
    const MelNode& outer = onlyExpression(*root);
    ASSERT_EQ(outer.kind, Kind::Assign);
    ASSERT_EQ(outer.part(1).kind, Kind::Assign);
    const MelNode& ternary = outer.part(1).part(1);
    ASSERT_EQ(ternary.kind, Kind::Ternary);
    EXPECT_EQ(ternary.part(2).kind, Kind::Ternary);
}

TEST(MelParserExpressions, CastsVectorsComponentsAndIndexes) {
    const auto root = parsed("$f = (float) $i / int(2.5) + <<1, $a[2], 3>>.y;");
    const MelNode& plus = onlyExpression(*root).part(1);
    ASSERT_EQ(plus.text, "+");
    EXPECT_EQ(plus.part(0).part(0).kind, Kind::Cast);
    EXPECT_EQ(plus.part(0).part(0).type, MelType::Float);
    EXPECT_EQ(plus.part(0).part(1).kind, Kind::Cast);
    EXPECT_EQ(plus.part(1).kind, Kind::Component);
    EXPECT_EQ(plus.part(1).part(0).kind, Kind::VectorLiteral);
    EXPECT_EQ(plus.part(1).part(0).part(1).kind, Kind::Index);
}

TEST(MelParserStatements, DeclarationsProceduresAndLoops) {
    const auto root = parsed(
        "global int $g[] = {1, 2}, $h;\n"
        "global proc string[] names(string $a[], int $n) { return $a; }\n"
        "proc local() { for ($x in $list) { break; } for (;;) continue; }\n"
        "switch ($n) { case 1: default: break; }\n"
        "do $i++; while ($i < 3);\n"
        "source \"file.mel\";\n");
    ASSERT_EQ(root->children.size(), 6U);
    const MelNode& declaration = root->part(0);
    EXPECT_TRUE(declaration.isGlobal);
    EXPECT_EQ(declaration.children.size(), 2U);
    EXPECT_TRUE(declaration.part(0).isArray);
    const MelNode& proc = root->part(1);
    EXPECT_EQ(proc.kind, Kind::ProcedureDefinition);
    EXPECT_EQ(proc.type, MelType::StringArray);
    EXPECT_EQ(proc.part(0).type, MelType::StringArray);
    EXPECT_EQ(proc.part(1).type, MelType::Int);
    EXPECT_FALSE(root->part(2).isGlobal);
    EXPECT_EQ(root->part(3).kind, Kind::Switch);
    EXPECT_EQ(root->part(3).children.size(), 4U);  // subject, case, default, break
    EXPECT_EQ(root->part(4).kind, Kind::DoWhile);
    EXPECT_EQ(root->part(5).text, "file.mel");
}

TEST(MelParserErrors, ReportsTheLineAndColumnOfTheOffendingToken) {
    MelParser::Failure failure = failureOf("int $a = 1;\nprint \"a\" + 1;");
    EXPECT_EQ(failure.line, 2);
    EXPECT_EQ(failure.column, 11);
    EXPECT_EQ(failure.message, "Syntax error");
    failure = failureOf("if ($a) { print 1 }");  // the last statement in braces needs its ';'
    EXPECT_EQ(failure.column, 19);
    failure = failureOf("{ print 1;");
    EXPECT_EQ(failure.line, 1);
    EXPECT_EQ(failure.column, 11);
    EXPECT_EQ(failureOf("$v.x = 1;").column, 6);            // components cannot be assigned
    EXPECT_EQ(failureOf("setAttr $obj.tx 2;").column, 14);  // only .x .y .z
    EXPECT_EQ(failureOf("$a[1][2] = 0;").column, 6);        // no arrays of arrays
    EXPECT_EQ(failureOf("print (1 + );").column, 12);
    EXPECT_EQ(failureOf("$x = size $a;").column, 6);  // command syntax inside an expression
}

TEST(MelParserErrors, StatementsOutOfPlace) {
    EXPECT_EQ(failureOf("break;").column, 1);
    EXPECT_EQ(failureOf("switch (1) { case 1: continue; }").column, 22);
    EXPECT_EQ(failureOf("return 1;").column, 1);
    EXPECT_EQ(failureOf("global proc f() { proc g() {} }").column, 19);
    EXPECT_EQ(failureOf("global proc f() { return 1; }").message,
              "This procedure has no return value.");
    EXPECT_EQ(failureOf("global proc int f() { return; }").message,
              "This procedure must return a value.");
    EXPECT_EQ(failureOf("matrix $m[2][2];").message,
              "Syntax error: matrix variables are not supported by this host");
}

TEST(MelParserErrors, NestingIsBoundedInsteadOfExhaustingTheStack) {
    const std::string deep = "$x = " + std::string(5000, '(') + "1" + std::string(5000, ')') + ";";
    const MelParser::Failure failure = failureOf(deep);
    EXPECT_EQ(failure.message, "Syntax error: nesting too deep");
    const std::string fine = "$x = " + std::string(50, '(') + "1" + std::string(50, ')') + ";";
    parsed(fine);
}

TEST(MelParserErrors, OperatorChainsAreBoundedToo) {
    std::string chain = "$x = 1";
    for (int i = 0; i < 1000; ++i) {
        chain += " + 1";
    }
    parsed(chain + ";");
    EXPECT_EQ(failureOf(chain + " + 1;").message, "Syntax error: expression too long");
}

TEST(MelParserScripts, EveryProductScriptParses) {
    for (const char* name :
         {"SkeletonHelpers.mel", "HumanIKHelpers.mel", "UIManagement.mel", "UICallbacks.mel"}) {
        const std::string path = std::string(TULVEX_SOURCE_SCRIPTS_DIR) + "/" + name;
        std::ifstream in(path);
        ASSERT_TRUE(in) << path;
        std::ostringstream text;
        text << in.rdbuf();
        MelParser::Failure failure;
        const auto root = MelParser::parse(text.str(), failure);
        EXPECT_NE(root, nullptr) << name << ": " << failure.line << "." << failure.column << ": "
                                 << failure.message;
        if (root != nullptr) {
            std::size_t procedures = 0;
            for (const auto& statement : root->children) {
                procedures += statement->kind == Kind::ProcedureDefinition ? 1 : 0;
            }
            EXPECT_GT(procedures, 3U) << name;
        }
    }
}

}  // namespace
