#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "MelLexer.h"
#include "MelNode.h"

namespace mayahost {

// Parses MEL text into a tree of MelNode. The whole text is parsed before any of it runs, so
// a syntax error anywhere stops all of it, as in Maya.
//
// Statements starting with a name are calls. `name(a, b)` alone up to the end of the
// statement is function syntax; anything else is command syntax, where bare words, flags,
// numbers (negative ones too), strings, variables, parenthesized expressions and back-quoted
// commands are the arguments (`setAttr ($n + ".x") 1;`).
class MelParser {
public:
    struct Failure {
        int line = 0;
        int column = 0;
        std::string message;  // "Syntax error", or what else is wrong
    };

    // Null, with `failure` filled, when the text is not valid MEL.
    static std::unique_ptr<MelNode> parse(const std::string& text, Failure& failure);

private:
    struct Error {
        std::size_t offset;
        std::string message;
    };

    explicit MelParser(const std::string& text);

    MelToken peek(MelLexer::Mode mode = MelLexer::Mode::Expression) const;
    MelToken take(MelLexer::Mode mode = MelLexer::Mode::Expression);
    bool peekPunct(const char* symbol) const;
    bool takePunct(const char* symbol);
    void expectPunct(const char* symbol);
    [[noreturn]] void fail(const MelToken& at, const std::string& message = "Syntax error") const;
    std::unique_ptr<MelNode> node(MelNode::Kind kind, const MelToken& at) const;

    std::unique_ptr<MelNode> unit();
    std::unique_ptr<MelNode> statement();
    std::unique_ptr<MelNode> block();
    void terminator();
    bool atTerminator() const;
    std::unique_ptr<MelNode> declaration(bool isGlobal);
    std::unique_ptr<MelNode> procedure(bool isGlobal, const MelToken& start);
    std::unique_ptr<MelNode> ifStatement();
    std::unique_ptr<MelNode> whileStatement();
    std::unique_ptr<MelNode> doStatement();
    std::unique_ptr<MelNode> forStatement();
    std::unique_ptr<MelNode> switchStatement();
    std::unique_ptr<MelNode> returnStatement();
    std::unique_ptr<MelNode> sourceStatement();
    std::unique_ptr<MelNode> callStatement();
    std::unique_ptr<MelNode> call(bool inBackticks);
    std::unique_ptr<MelNode> commandCall();
    std::unique_ptr<MelNode> commandArgument();
    std::unique_ptr<MelNode> backtick();
    std::unique_ptr<MelNode> loopBody();

    std::unique_ptr<MelNode> expression();
    std::unique_ptr<MelNode> ternary();
    std::unique_ptr<MelNode> binary(int level);
    std::unique_ptr<MelNode> unary();
    std::unique_ptr<MelNode> postfix(std::unique_ptr<MelNode> operand);
    std::unique_ptr<MelNode> primary();
    std::unique_ptr<MelNode> variable(const MelToken& token);
    // Comma-separated expressions up to and including `close`, added to `into`.
    void expressionList(MelNode& into, const char* close);
    std::unique_ptr<MelNode> functionCall(const MelToken& name);
    std::unique_ptr<MelNode> arrayLiteral(const MelToken& open);
    std::unique_ptr<MelNode> vectorLiteral(const MelToken& open);
    void requireAssignable(const MelNode& target, const MelToken& at) const;

    // Keeps the depth of nested constructs bounded, so hostile text cannot exhaust the stack.
    class Nesting {
    public:
        Nesting(MelParser& parser, const MelToken& at);
        ~Nesting();
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        MelParser& parser_;
    };

    MelLexer lexer_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
    int blockDepth_ = 0;     // open braces of blocks
    int loopDepth_ = 0;      // loops enclosing the current statement within its procedure
    int switchDepth_ = 0;    // switches enclosing the current statement within its procedure
    int backtickDepth_ = 0;  // open back quotes not inside parentheses
    bool inProcedure_ = false;
    bool procedureReturnsValue_ = false;
};

}  // namespace mayahost
