#include "MelParser.h"

#include <utility>

#include "MelValue.h"

namespace mayahost {

namespace {

using Kind = MelNode::Kind;
using Mode = MelLexer::Mode;

constexpr int kMaxNesting = 200;
// Operators chained at one level (a + b + c ...) make a tree as deep as the chain is long.
constexpr int kMaxChain = 1000;

bool isReserved(const std::string& name) {
    static const char* const kReserved[] = {
        "break",  "case",   "continue", "default", "do",     "else",  "false", "float", "for",
        "global", "if",     "in",       "int",     "matrix", "no",    "off",   "on",    "proc",
        "return", "string", "switch",   "true",    "vector", "while", "yes",   "source"};
    for (const char* word : kReserved) {
        if (name == word) {
            return true;
        }
    }
    return false;
}

// The scalar type a type keyword names; None for any other word.
MelType typeKeyword(const MelToken& token) {
    if (token.kind != MelToken::Kind::Name) {
        return MelType::None;
    }
    if (token.text == "int") {
        return MelType::Int;
    }
    if (token.text == "float") {
        return MelType::Float;
    }
    if (token.text == "string") {
        return MelType::String;
    }
    if (token.text == "vector") {
        return MelType::Vector;
    }
    return MelType::None;
}

bool isTypeKeyword(const MelToken& token) {
    return typeKeyword(token) != MelType::None || token.isName("matrix");
}

int booleanKeyword(const MelToken& token) {
    if (token.isName("true") || token.isName("yes") || token.isName("on")) {
        return 1;
    }
    if (token.isName("false") || token.isName("no") || token.isName("off")) {
        return 0;
    }
    return -1;
}

bool isAssignmentOperator(const MelToken& token) {
    static const char* const kOperators[] = {"=", "+=", "-=", "*=", "/=", "%=", "^="};
    for (const char* op : kOperators) {
        if (token.isPunct(op)) {
            return true;
        }
    }
    return false;
}

// Binary operators by precedence level, lowest first; each level groups left to right.
const std::vector<std::vector<const char*>>& binaryLevels() {
    static const std::vector<std::vector<const char*>> kLevels = {
        {"||"}, {"&&"}, {"==", "!="}, {"<", "<=", ">", ">="}, {"+", "-"}, {"*", "/", "%", "^"}};
    return kLevels;
}

}  // namespace

MelParser::Nesting::Nesting(MelParser& parser, const MelToken& at) : parser_(parser) {
    if (++parser_.nesting_ > kMaxNesting) {
        --parser_.nesting_;
        parser_.fail(at, "Syntax error: nesting too deep");
    }
}

MelParser::Nesting::~Nesting() {
    --parser_.nesting_;
}

MelParser::MelParser(const std::string& text) : lexer_(text) {}

std::unique_ptr<MelNode> MelParser::parse(const std::string& text, Failure& failure) {
    MelParser parser(text);
    try {
        return parser.unit();
    } catch (const Error& error) {
        parser.lexer_.position(error.offset, failure.line, failure.column);
        failure.message = error.message;
        return nullptr;
    }
}

// ---- tokens ---------------------------------------------------------------------------------

MelToken MelParser::peek(Mode mode) const {
    return lexer_.next(pos_, mode);
}

MelToken MelParser::take(Mode mode) {
    MelToken token = lexer_.next(pos_, mode);
    if (token.kind == MelToken::Kind::Error) {
        fail(token);
    }
    pos_ = token.end;
    return token;
}

bool MelParser::peekPunct(const char* symbol) const {
    return peek().isPunct(symbol);
}

bool MelParser::takePunct(const char* symbol) {
    if (!peekPunct(symbol)) {
        return false;
    }
    take();
    return true;
}

void MelParser::expectPunct(const char* symbol) {
    if (!takePunct(symbol)) {
        fail(peek());
    }
}

void MelParser::fail(const MelToken& at, const std::string& message) const {
    throw Error{at.begin, message};
}

std::unique_ptr<MelNode> MelParser::node(MelNode::Kind kind, const MelToken& at) const {
    return std::make_unique<MelNode>(kind, at.line, at.column, at.begin);
}

// ---- statements -----------------------------------------------------------------------------

std::unique_ptr<MelNode> MelParser::unit() {
    auto root = node(Kind::Block, peek());
    while (peek().kind != MelToken::Kind::End) {
        root->children.push_back(statement());
    }
    return root;
}

std::unique_ptr<MelNode> MelParser::statement() {
    const MelToken t = peek();
    const Nesting nesting(*this, t);
    if (t.kind == MelToken::Kind::Error || t.kind == MelToken::Kind::End) {
        fail(t);
    }
    if (t.isPunct(";")) {
        take();
        return node(Kind::Empty, t);
    }
    if (t.isPunct("{")) {
        return block();
    }
    if (t.isPunct("`")) {
        fail(t);  // a back-quoted command cannot stand alone
    }
    if (t.kind == MelToken::Kind::Name) {
        if (t.text == "global") {
            take();
            const MelToken next = peek();
            if (next.isName("proc")) {
                return procedure(true, t);
            }
            if (!isTypeKeyword(next)) {
                fail(next);
            }
            return declaration(true);
        }
        if (t.text == "proc") {
            return procedure(false, t);
        }
        if (isTypeKeyword(t) &&
            lexer_.next(t.end, Mode::Expression).kind == MelToken::Kind::Variable) {
            return declaration(false);
        }
        if (t.text == "if") {
            return ifStatement();
        }
        if (t.text == "while") {
            return whileStatement();
        }
        if (t.text == "do") {
            return doStatement();
        }
        if (t.text == "for") {
            return forStatement();
        }
        if (t.text == "switch") {
            return switchStatement();
        }
        if (t.text == "break" || t.text == "continue") {
            if (loopDepth_ == 0 && (t.text == "continue" || switchDepth_ == 0)) {
                fail(t);
            }
            take();
            terminator();
            return node(t.text == "break" ? Kind::Break : Kind::Continue, t);
        }
        if (t.text == "return") {
            return returnStatement();
        }
        if (t.text == "source") {
            return sourceStatement();
        }
        if (!isReserved(t.text)) {
            return callStatement();
        }
        if (booleanKeyword(t) < 0 && !isTypeKeyword(t)) {
            fail(t);
        }
    }
    auto statement = node(Kind::ExpressionStatement, t);
    statement->children.push_back(expression());
    terminator();
    return statement;
}

bool MelParser::atTerminator() const {
    const MelToken t = peek();
    return t.isPunct(";") || (blockDepth_ == 0 && t.kind == MelToken::Kind::End);
}

void MelParser::terminator() {
    // The last statement of a text may go without its ';' (command texts such as
    // "cleanUpUI" are sent that way); inside braces every statement needs one.
    if (takePunct(";")) {
        return;
    }
    const MelToken t = peek();
    if (blockDepth_ == 0 && t.kind == MelToken::Kind::End) {
        return;
    }
    fail(t);
}

std::unique_ptr<MelNode> MelParser::block() {
    const MelToken open = take();
    auto result = node(Kind::Block, open);
    ++blockDepth_;
    while (!peekPunct("}")) {
        result->children.push_back(statement());
    }
    take();
    --blockDepth_;
    return result;
}

std::unique_ptr<MelNode> MelParser::declaration(bool isGlobal) {
    const MelToken typeToken = take();
    if (typeToken.isName("matrix")) {
        fail(typeToken, "Syntax error: matrix variables are not supported by this host");
    }
    auto result = node(Kind::Declaration, typeToken);
    result->type = typeKeyword(typeToken);
    result->isGlobal = isGlobal;
    do {
        const MelToken name = take();
        if (name.kind != MelToken::Kind::Variable) {
            fail(name);
        }
        auto declarator = node(Kind::Declarator, name);
        declarator->text = name.text;
        std::unique_ptr<MelNode> size;
        if (takePunct("[")) {
            declarator->isArray = true;
            if (!peekPunct("]")) {
                size = expression();
            }
            expectPunct("]");
        }
        declarator->children.push_back(std::move(size));
        if (takePunct("=")) {
            declarator->children.push_back(expression());
        }
        result->children.push_back(std::move(declarator));
    } while (takePunct(","));
    terminator();
    return result;
}

std::unique_ptr<MelNode> MelParser::procedure(bool isGlobal, const MelToken& start) {
    const MelToken procToken = take();
    if (inProcedure_) {
        fail(procToken);  // procedures do not nest
    }
    auto result = node(Kind::ProcedureDefinition, start);
    result->isGlobal = isGlobal;
    if (typeKeyword(peek()) != MelType::None) {
        result->type = typeKeyword(take());
        if (takePunct("[")) {
            expectPunct("]");
            result->type = MelValue::arrayType(result->type);
        }
    } else if (peek().isName("matrix")) {
        fail(peek(), "Syntax error: matrix variables are not supported by this host");
    }
    const MelToken name = take();
    if (name.kind != MelToken::Kind::Name || isReserved(name.text)) {
        fail(name);
    }
    result->text = name.text;
    expectPunct("(");
    if (!peekPunct(")")) {
        do {
            const MelToken typeToken = take();
            const MelType type = typeKeyword(typeToken);
            if (type == MelType::None) {
                fail(typeToken);
            }
            const MelToken parameterName = take();
            if (parameterName.kind != MelToken::Kind::Variable) {
                fail(parameterName);
            }
            auto parameter = node(Kind::Parameter, parameterName);
            parameter->text = parameterName.text;
            parameter->type = type;
            if (takePunct("[")) {
                expectPunct("]");
                parameter->type = MelValue::arrayType(type);
                parameter->isArray = true;
            }
            result->children.push_back(std::move(parameter));
        } while (takePunct(","));
    }
    expectPunct(")");
    if (!peekPunct("{")) {
        fail(peek());
    }
    inProcedure_ = true;
    procedureReturnsValue_ = result->type != MelType::None;
    const int loops = loopDepth_;
    const int switches = switchDepth_;
    loopDepth_ = 0;
    switchDepth_ = 0;
    result->children.push_back(block());
    loopDepth_ = loops;
    switchDepth_ = switches;
    inProcedure_ = false;
    procedureReturnsValue_ = false;
    return result;
}

std::unique_ptr<MelNode> MelParser::ifStatement() {
    auto result = node(Kind::If, take());
    expectPunct("(");
    result->children.push_back(expression());
    expectPunct(")");
    result->children.push_back(statement());
    if (peek().isName("else")) {
        take();
        result->children.push_back(statement());
    }
    return result;
}

std::unique_ptr<MelNode> MelParser::loopBody() {
    ++loopDepth_;
    auto body = statement();
    --loopDepth_;
    return body;
}

std::unique_ptr<MelNode> MelParser::whileStatement() {
    auto result = node(Kind::While, take());
    expectPunct("(");
    result->children.push_back(expression());
    expectPunct(")");
    result->children.push_back(loopBody());
    return result;
}

std::unique_ptr<MelNode> MelParser::doStatement() {
    auto result = node(Kind::DoWhile, take());
    result->children.push_back(loopBody());
    const MelToken whileToken = take();
    if (!whileToken.isName("while")) {
        fail(whileToken);
    }
    expectPunct("(");
    result->children.push_back(expression());
    expectPunct(")");
    terminator();
    return result;
}

std::unique_ptr<MelNode> MelParser::forStatement() {
    const MelToken forToken = take();
    expectPunct("(");
    const MelToken first = peek();
    if (first.kind == MelToken::Kind::Variable &&
        lexer_.next(first.end, Mode::Expression).isName("in")) {
        auto result = node(Kind::ForIn, forToken);
        result->children.push_back(variable(take()));
        take();  // in
        result->children.push_back(expression());
        expectPunct(")");
        result->children.push_back(loopBody());
        return result;
    }
    auto result = node(Kind::For, forToken);
    auto init = node(Kind::ExpressionList, first);
    if (!peekPunct(";")) {
        do {
            init->children.push_back(expression());
        } while (takePunct(","));
    }
    expectPunct(";");
    std::unique_ptr<MelNode> condition;
    if (!peekPunct(";")) {
        condition = expression();
    }
    expectPunct(";");
    auto step = node(Kind::ExpressionList, peek());
    if (!peekPunct(")")) {
        do {
            step->children.push_back(expression());
        } while (takePunct(","));
    }
    expectPunct(")");
    result->children.push_back(std::move(init));
    result->children.push_back(std::move(condition));
    result->children.push_back(std::move(step));
    result->children.push_back(loopBody());
    return result;
}

std::unique_ptr<MelNode> MelParser::switchStatement() {
    auto result = node(Kind::Switch, take());
    expectPunct("(");
    result->children.push_back(expression());
    expectPunct(")");
    if (!peekPunct("{")) {
        fail(peek());
    }
    take();
    ++blockDepth_;
    ++switchDepth_;
    while (!peekPunct("}")) {
        const MelToken t = peek();
        if (t.isName("case")) {
            take();
            auto label = node(Kind::CaseLabel, t);
            label->children.push_back(ternary());
            expectPunct(":");
            result->children.push_back(std::move(label));
        } else if (t.isName("default")) {
            take();
            expectPunct(":");
            result->children.push_back(node(Kind::DefaultLabel, t));
        } else {
            result->children.push_back(statement());
        }
    }
    take();
    --switchDepth_;
    --blockDepth_;
    return result;
}

std::unique_ptr<MelNode> MelParser::returnStatement() {
    const MelToken returnToken = take();
    if (!inProcedure_) {
        fail(returnToken);
    }
    auto result = node(Kind::Return, returnToken);
    if (atTerminator()) {
        if (procedureReturnsValue_) {
            // Maya's wording is not documented for this one; the host's own.
            fail(returnToken, "This procedure must return a value.");
        }
        terminator();
        return result;
    }
    if (!procedureReturnsValue_) {
        fail(returnToken, "This procedure has no return value.");
    }
    result->children.push_back(expression());
    terminator();
    return result;
}

std::unique_ptr<MelNode> MelParser::sourceStatement() {
    auto result = node(Kind::Source, take());
    const MelToken file = take(Mode::Command);
    if (file.kind != MelToken::Kind::String && file.kind != MelToken::Kind::Word) {
        fail(file);
    }
    result->text = file.text;
    terminator();
    return result;
}

std::unique_ptr<MelNode> MelParser::callStatement() {
    auto result = node(Kind::ExpressionStatement, peek());
    result->children.push_back(call(false));
    terminator();
    return result;
}

std::unique_ptr<MelNode> MelParser::call(bool inBackticks) {
    struct State {
        std::size_t pos;
        int nesting, blockDepth, loopDepth, switchDepth, backtickDepth;
        bool inProcedure, returnsValue;
    };
    const State saved{pos_,         nesting_,       blockDepth_,  loopDepth_,
                      switchDepth_, backtickDepth_, inProcedure_, procedureReturnsValue_};
    const auto restore = [&] {
        pos_ = saved.pos;
        nesting_ = saved.nesting;
        blockDepth_ = saved.blockDepth;
        loopDepth_ = saved.loopDepth;
        switchDepth_ = saved.switchDepth;
        backtickDepth_ = saved.backtickDepth;
        inProcedure_ = saved.inProcedure;
        procedureReturnsValue_ = saved.returnsValue;
    };
    const MelToken name = take();
    std::size_t functionFailedAt = 0;
    std::string functionFailure;
    if (peekPunct("(")) {
        // Function syntax when `name(...)` is the whole statement; otherwise the parentheses
        // are the first argument of a command-syntax call, as in `setAttr ($n + ".x") -5;`.
        restore();
        try {
            auto result = functionCall(take());
            if (inBackticks ? peekPunct("`") : atTerminator()) {
                return result;
            }
            functionFailedAt = peek().begin;
            functionFailure = "Syntax error";
        } catch (const Error& error) {
            functionFailedAt = error.offset;
            functionFailure = error.message;
        }
        restore();
        take();
    }
    try {
        auto result = node(Kind::Call, name);
        result->text = name.text;
        result->commandSyntax = true;
        while (true) {
            const MelToken t = peek(Mode::Command);
            if (t.kind == MelToken::Kind::End || t.isPunct(";") ||
                (t.isPunct("`") && backtickDepth_ > 0)) {
                break;
            }
            result->children.push_back(commandArgument());
        }
        return result;
    } catch (const Error& error) {
        // Report whichever reading got further: it is the likelier intent.
        if (!functionFailure.empty() && functionFailedAt > error.offset) {
            throw Error{functionFailedAt, functionFailure};
        }
        throw;
    }
}

std::unique_ptr<MelNode> MelParser::commandArgument() {
    const MelToken t = peek(Mode::Command);
    switch (t.kind) {
        case MelToken::Kind::Flag:
        case MelToken::Kind::Word:
        case MelToken::Kind::String: {
            take(Mode::Command);
            auto result = node(Kind::StringLiteral, t);
            result->text = t.text;
            if (t.kind != MelToken::Kind::String) {
                result->word =
                    t.kind == MelToken::Kind::Flag ? MelNode::Word::Flag : MelNode::Word::Bare;
            }
            return result;
        }
        case MelToken::Kind::Int: {
            take(Mode::Command);
            auto result = node(Kind::IntLiteral, t);
            result->intValue = t.intValue;
            result->text = t.text;
            return result;
        }
        case MelToken::Kind::Float: {
            take(Mode::Command);
            auto result = node(Kind::FloatLiteral, t);
            result->floatValue = t.floatValue;
            result->text = t.text;
            return result;
        }
        case MelToken::Kind::Variable: {
            take(Mode::Command);
            auto result = variable(t);
            // An index or component must touch the variable: `$a[0]`, `$v.x`.
            while (true) {
                const MelToken next = peek();
                if (next.spaceBefore || (!next.isPunct("[") && !next.isPunct("."))) {
                    break;
                }
                result = postfix(std::move(result));
                if (result->kind == Kind::Increment) {
                    fail(next);
                }
            }
            return result;
        }
        case MelToken::Kind::Punct:
            if (t.isPunct("(")) {
                take();
                const int backticks = backtickDepth_;
                backtickDepth_ = 0;
                auto result = expression();
                backtickDepth_ = backticks;
                expectPunct(")");
                return result;
            }
            if (t.isPunct("`")) {
                return backtick();
            }
            if (t.isPunct("{")) {
                return arrayLiteral(take());
            }
            break;
        default:
            break;
    }
    fail(t);
}

std::unique_ptr<MelNode> MelParser::backtick() {
    const MelToken open = take();
    const Nesting nesting(*this, open);
    auto result = node(Kind::Backtick, open);
    const MelToken name = peek();
    if (name.kind != MelToken::Kind::Name || isReserved(name.text)) {
        fail(name);
    }
    ++backtickDepth_;
    result->children.push_back(call(true));
    --backtickDepth_;
    expectPunct("`");
    return result;
}

// ---- expressions ----------------------------------------------------------------------------

std::unique_ptr<MelNode> MelParser::expression() {
    auto left = ternary();
    const MelToken t = peek();
    if (!isAssignmentOperator(t)) {
        return left;
    }
    requireAssignable(*left, t);
    take();
    auto result = node(Kind::Assign, t);
    result->line = left->line;
    result->column = left->column;
    result->text = t.text;
    result->children.push_back(std::move(left));
    result->children.push_back(expression());
    return result;
}

std::unique_ptr<MelNode> MelParser::ternary() {
    auto condition = binary(0);
    const MelToken t = peek();
    if (!t.isPunct("?")) {
        return condition;
    }
    take();
    auto result = node(Kind::Ternary, t);
    result->children.push_back(std::move(condition));
    result->children.push_back(expression());
    expectPunct(":");
    result->children.push_back(ternary());
    return result;
}

std::unique_ptr<MelNode> MelParser::binary(int level) {
    const auto& levels = binaryLevels();
    if (level >= static_cast<int>(levels.size())) {
        return unary();
    }
    auto left = binary(level + 1);
    int chained = 0;
    while (true) {
        const MelToken t = peek();
        bool matched = false;
        for (const char* op : levels[static_cast<std::size_t>(level)]) {
            matched = matched || t.isPunct(op);
        }
        if (!matched) {
            return left;
        }
        if (++chained > kMaxChain) {
            fail(t, "Syntax error: expression too long");
        }
        take();
        auto result = node(Kind::Binary, t);
        result->text = t.text;
        result->children.push_back(std::move(left));
        result->children.push_back(binary(level + 1));
        left = std::move(result);
    }
}

std::unique_ptr<MelNode> MelParser::unary() {
    const MelToken t = peek();
    const Nesting nesting(*this, t);
    if (t.isPunct("!") || t.isPunct("-") || t.isPunct("+")) {
        take();
        auto result = node(Kind::Unary, t);
        result->text = t.text;
        result->children.push_back(unary());
        return result;
    }
    if (t.isPunct("++") || t.isPunct("--")) {
        take();
        auto result = node(Kind::Increment, t);
        result->text = t.text;
        result->isPrefix = true;
        result->children.push_back(unary());
        requireAssignable(*result->children.front(), t);
        return result;
    }
    if (t.isPunct("(")) {
        const MelToken type = lexer_.next(t.end, Mode::Expression);
        if (typeKeyword(type) != MelType::None &&
            lexer_.next(type.end, Mode::Expression).isPunct(")")) {
            take();
            take();
            take();
            auto result = node(Kind::Cast, t);
            result->type = typeKeyword(type);
            result->children.push_back(unary());
            return result;
        }
    }
    return postfix(primary());
}

std::unique_ptr<MelNode> MelParser::postfix(std::unique_ptr<MelNode> operand) {
    while (true) {
        const MelToken t = peek();
        if (t.isPunct("[")) {
            if (operand->kind != Kind::Variable) {
                fail(t);  // there are no arrays of arrays
            }
            take();
            auto result = node(Kind::Index, t);
            result->line = operand->line;
            result->column = operand->column;
            result->children.push_back(std::move(operand));
            result->children.push_back(expression());
            expectPunct("]");
            operand = std::move(result);
        } else if (t.isPunct(".") && !t.spaceBefore) {
            take();
            const MelToken component = take();
            if (component.spaceBefore ||
                !(component.isName("x") || component.isName("y") || component.isName("z"))) {
                fail(component);
            }
            auto result = node(Kind::Component, t);
            result->text = component.text;
            result->children.push_back(std::move(operand));
            operand = std::move(result);
        } else if (t.isPunct("++") || t.isPunct("--")) {
            requireAssignable(*operand, t);
            take();
            auto result = node(Kind::Increment, t);
            result->text = t.text;
            result->children.push_back(std::move(operand));
            return result;
        } else {
            return operand;
        }
    }
}

std::unique_ptr<MelNode> MelParser::primary() {
    const MelToken t = peek();
    switch (t.kind) {
        case MelToken::Kind::Int: {
            take();
            auto result = node(Kind::IntLiteral, t);
            result->intValue = t.intValue;
            result->text = t.text;
            return result;
        }
        case MelToken::Kind::Float: {
            take();
            auto result = node(Kind::FloatLiteral, t);
            result->floatValue = t.floatValue;
            result->text = t.text;
            return result;
        }
        case MelToken::Kind::String: {
            take();
            auto result = node(Kind::StringLiteral, t);
            result->text = t.text;
            return result;
        }
        case MelToken::Kind::Variable:
            return variable(take());
        case MelToken::Kind::Punct:
            if (t.isPunct("(")) {
                take();
                const int backticks = backtickDepth_;
                backtickDepth_ = 0;
                auto result = expression();
                backtickDepth_ = backticks;
                expectPunct(")");
                return result;
            }
            if (t.isPunct("{")) {
                return arrayLiteral(take());
            }
            if (t.isPunct("<<")) {
                return vectorLiteral(take());
            }
            if (t.isPunct("`")) {
                return backtick();
            }
            break;
        case MelToken::Kind::Name: {
            const int boolean = booleanKeyword(t);
            if (boolean >= 0) {
                take();
                auto result = node(Kind::IntLiteral, t);
                result->intValue = boolean;
                result->text = t.text;
                return result;
            }
            const bool callFollows = lexer_.next(t.end, Mode::Expression).isPunct("(");
            if (typeKeyword(t) != MelType::None && callFollows) {
                take();
                take();
                auto result = node(Kind::Cast, t);
                result->type = typeKeyword(t);
                result->children.push_back(expression());
                expectPunct(")");
                return result;
            }
            if (!isReserved(t.text) && callFollows) {
                return functionCall(take());
            }
            break;
        }
        default:
            break;
    }
    fail(t);
}

std::unique_ptr<MelNode> MelParser::variable(const MelToken& token) {
    auto result = node(Kind::Variable, token);
    result->text = token.text;
    return result;
}

void MelParser::expressionList(MelNode& into, const char* close) {
    // Inside the brackets a backtick opens a new substitution, not the end of an outer one.
    const int backticks = backtickDepth_;
    backtickDepth_ = 0;
    if (!peekPunct(close)) {
        do {
            into.children.push_back(expression());
        } while (takePunct(","));
    }
    backtickDepth_ = backticks;
    expectPunct(close);
}

std::unique_ptr<MelNode> MelParser::functionCall(const MelToken& name) {
    auto result = node(Kind::Call, name);
    result->text = name.text;
    expectPunct("(");
    expressionList(*result, ")");
    return result;
}

std::unique_ptr<MelNode> MelParser::arrayLiteral(const MelToken& open) {
    auto result = node(Kind::ArrayLiteral, open);
    expressionList(*result, "}");
    return result;
}

std::unique_ptr<MelNode> MelParser::vectorLiteral(const MelToken& open) {
    auto result = node(Kind::VectorLiteral, open);
    const int backticks = backtickDepth_;
    backtickDepth_ = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            expectPunct(",");
        }
        result->children.push_back(ternary());
    }
    backtickDepth_ = backticks;
    expectPunct(">>");
    return result;
}

void MelParser::requireAssignable(const MelNode& target, const MelToken& at) const {
    const bool assignable = target.kind == Kind::Variable ||
                            (target.kind == Kind::Index && target.child(0) != nullptr &&
                             target.child(0)->kind == Kind::Variable);
    if (!assignable) {
        fail(at);
    }
}

}  // namespace mayahost
