#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "MelType.h"

namespace mayahost {

// A node of a parsed MEL text. One node type for statements and expressions; `kind` says
// which, and the comment on each kind says what `text` and `children` hold. An absent
// optional child is a null pointer.
class MelNode {
public:
    enum class Kind {
        // ---- statements
        Block,                // children: statements
        Empty,                // a lone ';'
        Declaration,          // type, isGlobal; children: Declarator
        ProcedureDefinition,  // text: name; type: return type (None); isGlobal;
                              // children: Parameter..., Block
        If,                   // children: condition, then, else?
        While,                // children: condition, body
        DoWhile,              // children: body, condition
        For,                  // children: ExpressionList init, condition?, ExpressionList step,
                              // body
        ForIn,                // children: Variable, array expression, body
        Switch,               // children: subject, then CaseLabel, DefaultLabel and statements
                              // in order
        CaseLabel,            // children: value
        DefaultLabel,         //
        Break,                //
        Continue,             //
        Return,               // children: value?
        Source,               // text: the file name as written
        ExpressionStatement,  // children: the expression; its value is the statement's result

        // ---- expressions
        IntLiteral,     // intValue; word: how it was written in command syntax
        FloatLiteral,   // floatValue
        StringLiteral,  // text: the value; word: Bare for a bare word, Flag for -name
        VectorLiteral,  // children: x, y, z
        ArrayLiteral,   // children: elements
        Variable,       // text: name with '$'
        Index,          // children: Variable, index
        Component,      // text: "x", "y" or "z"; children: the vector expression
        Unary,          // text: "-", "+" or "!"; children: operand
        Increment,      // text: "++" or "--"; isPrefix; children: the variable or element
        Binary,         // text: operator, including && and ||; children: left, right
        Ternary,        // children: condition, then, else
        Assign,         // text: "=", "+=", ...; children: Variable or Index, value
        Cast,           // type; children: operand
        Call,           // text: name; commandSyntax; children: arguments
        Backtick,       // children: the Call inside the back quotes

        // ---- parts
        Declarator,     // text: name with '$'; isArray; children: size?, initializer?
        Parameter,      // text: name with '$'; type (array types for $p[])
        ExpressionList  // children: expressions
    };

    // How a command-syntax argument was written, which decides whether it is a flag and
    // whether keywords such as `on` count as numbers.
    enum class Word { None, Bare, Flag };

    // What a Call's name was bound to when its text was compiled; Late when names are looked
    // up as the call runs.
    enum class Binding { Late, Command, Procedure };

    MelNode(Kind k, int atLine, int atColumn, std::size_t atOffset)
        : kind(k), line(atLine), column(atColumn), offset(atOffset) {}

    // An optional child: null when absent.
    MelNode* child(std::size_t index) const {
        return index < children.size() ? children[index].get() : nullptr;
    }
    // A child the parser always provides.
    MelNode& part(std::size_t index) const { return *children.at(index); }

    Kind kind;
    int line;
    int column;
    std::size_t offset;  // where the node starts in its text
    std::string text;
    long long intValue = 0;
    double floatValue = 0.0;
    MelType type = MelType::None;
    bool isGlobal = false;
    bool isArray = false;
    bool isPrefix = false;
    bool commandSyntax = false;
    Word word = Word::None;
    Binding binding = Binding::Late;
    std::vector<std::unique_ptr<MelNode>> children;
};

}  // namespace mayahost
