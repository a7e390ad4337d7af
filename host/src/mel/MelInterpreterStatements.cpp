// MelInterpreter: statements, declarations and procedure definitions.
#include <string>
#include <utility>

#include "MelInterpreter.h"
#include "MelOperators.h"

namespace mayahost {

namespace {

using Kind = MelNode::Kind;

// Arrays may not grow past this: a stray huge index fails instead of exhausting memory.
constexpr std::size_t kMaxArraySize = std::size_t{1} << 24;

}  // namespace

MelInterpreter::Flow MelInterpreter::run(const MelNode& statement) {
    switch (statement.kind) {
        case Kind::Block:
            return runBlock(statement);
        case Kind::Empty:
            return Flow::Normal;
        case Kind::Declaration:
            declare(statement);
            return Flow::Normal;
        case Kind::ProcedureDefinition:
            defineProcedure(statement);
            return Flow::Normal;
        case Kind::If:
            if (truth(statement.part(0))) {
                return run(statement.part(1));
            }
            return statement.child(2) != nullptr ? run(statement.part(2)) : Flow::Normal;
        case Kind::While:
            while (truth(statement.part(0))) {
                bool stop = false;
                const Flow flow = runLoop(statement.part(1), stop);
                if (stop) {
                    return flow;
                }
            }
            return Flow::Normal;
        case Kind::DoWhile:
            do {
                bool stop = false;
                const Flow flow = runLoop(statement.part(0), stop);
                if (stop) {
                    return flow;
                }
            } while (truth(statement.part(1)));
            return Flow::Normal;
        case Kind::For:
            return runFor(statement);
        case Kind::ForIn:
            return runForIn(statement);
        case Kind::Switch:
            return runSwitch(statement);
        case Kind::Break:
            return Flow::Break;
        case Kind::Continue:
            return Flow::Continue;
        case Kind::Return:
            if (statement.child(0) != nullptr) {
                MelValue returned = value(statement.part(0));
                frame().returned = std::move(returned);
                frame().returnNode = &statement;
            }
            return Flow::Return;
        case Kind::Source:
            source(statement);
            return Flow::Normal;
        case Kind::ExpressionStatement: {
            MelValue result = evaluate(statement.part(0));
            frame().lastResult = std::move(result);
            return Flow::Normal;
        }
        default:
            fail(statement, "Syntax error");
    }
}

MelInterpreter::Flow MelInterpreter::runBlock(const MelNode& block) {
    const ScopeGuard scope(frame());
    for (const auto& statement : block.children) {
        const Flow flow = run(*statement);
        if (flow != Flow::Normal) {
            return flow;
        }
    }
    return Flow::Normal;
}

// One pass of a loop body. `stop` says the loop ends, with the flow to hand on (Normal for
// break, Return for return).
MelInterpreter::Flow MelInterpreter::runLoop(const MelNode& body, bool& stop) {
    const Flow flow = run(body);
    if (flow == Flow::Break) {
        stop = true;
        return Flow::Normal;
    }
    stop = flow == Flow::Return;
    return flow;
}

MelInterpreter::Flow MelInterpreter::runFor(const MelNode& statement) {
    for (const auto& init : statement.part(0).children) {
        evaluate(*init);
    }
    const MelNode* condition = statement.child(1);
    while (condition == nullptr || truth(*condition)) {
        bool stop = false;
        const Flow flow = runLoop(statement.part(3), stop);
        if (stop) {
            return flow;
        }
        for (const auto& step : statement.part(2).children) {
            evaluate(*step);
        }
    }
    return Flow::Normal;
}

MelInterpreter::Flow MelInterpreter::runForIn(const MelNode& statement) {
    const MelNode& name = statement.part(0);
    const MelValue elements = value(statement.part(1));
    if (!elements.isArray()) {
        fail(statement.part(1), "Cannot convert data of type " +
                                    MelValue::typeName(elements.type()) + " to type " +
                                    MelValue::typeName(MelValue::arrayType(elements.type())) + ".");
    }
    std::shared_ptr<MelVariable> loopVariable = frame().find(name.text);
    if (loopVariable == nullptr) {
        // An undeclared loop variable is declared with the element type, as by assignment.
        loopVariable = std::make_shared<MelVariable>();
        loopVariable->type = MelValue::elementType(elements.type());
        loopVariable->value = MelValue::zero(loopVariable->type);
        frame().bind(name.text, loopVariable);
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        loopVariable->value = convert(elements.element(i), loopVariable->type, name);
        bool stop = false;
        const Flow flow = runLoop(statement.part(2), stop);
        if (stop) {
            return flow;
        }
    }
    return Flow::Normal;
}

MelInterpreter::Flow MelInterpreter::runSwitch(const MelNode& statement) {
    const MelValue subject = value(statement.part(0));
    const ScopeGuard scope(frame());
    const std::size_t count = statement.children.size();
    std::size_t start = count;
    for (std::size_t i = 1; i < count && start == count; ++i) {
        const MelNode& item = *statement.children[i];
        if (item.kind == Kind::CaseLabel &&
            operate("==", subject, value(item.part(0)), item).asInt() != 0) {
            start = i;
        }
    }
    for (std::size_t i = 1; i < count && start == count; ++i) {
        if (statement.children[i]->kind == Kind::DefaultLabel) {
            start = i;
        }
    }
    // From the chosen label on, every statement runs (labels are passed over) until a break.
    for (std::size_t i = start + 1; i < count; ++i) {
        const MelNode& item = *statement.children[i];
        if (item.kind == Kind::CaseLabel || item.kind == Kind::DefaultLabel) {
            continue;
        }
        const Flow flow = run(item);
        if (flow == Flow::Break) {
            return Flow::Normal;
        }
        if (flow != Flow::Normal) {
            return flow;
        }
    }
    return Flow::Normal;
}

void MelInterpreter::declare(const MelNode& declaration) {
    for (const auto& declarator : declaration.children) {
        const MelType type =
            declarator->isArray ? MelValue::arrayType(declaration.type) : declaration.type;
        const std::string& name = declarator->text;
        // Maya's wording for a type clash is not documented; the host's own.
        const std::string clash =
            "Invalid redeclaration of variable \"" + name + "\" as a different type.";
        if (declaration.isGlobal) {
            const auto found = globals_.find(name);
            if (found != globals_.end()) {
                // Declaring an existing global again binds it; its initializer does not run.
                if (found->second->type != type) {
                    fail(*declarator, clash);
                }
                frame().bind(name, found->second);
                continue;
            }
            auto global = std::make_shared<MelVariable>();
            global->type = type;
            global->value = initialValue(type, *declarator);
            globals_[name] = global;
            frame().bind(name, global);
            continue;
        }
        MelValue initial = initialValue(type, *declarator);
        const std::shared_ptr<MelVariable> existing = frame().findInnermost(name);
        if (existing != nullptr && existing->type != type) {
            fail(*declarator, clash);
        }
        // Declaring again in the same scope starts the variable afresh.
        auto local = std::make_shared<MelVariable>();
        local->type = type;
        local->value = std::move(initial);
        frame().bind(name, std::move(local));
    }
}

MelValue MelInterpreter::initialValue(MelType type, const MelNode& declarator) {
    if (declarator.child(1) != nullptr) {
        return convert(value(declarator.part(1)), type, declarator.part(1));
    }
    MelValue initial = MelValue::zero(type);
    if (declarator.child(0) != nullptr) {
        // int $a[5] holds five zeros.
        const std::size_t size = index(declarator.part(0));
        if (size > 0) {
            initial.setElement(size - 1, MelValue::zero(MelValue::elementType(type)));
        }
    }
    return initial;
}

void MelInterpreter::defineProcedure(const MelNode& definition) {
    auto procedure = std::make_shared<MelProcedure>();
    procedure->name = definition.text;
    procedure->isGlobal = definition.isGlobal;
    procedure->returnType = definition.type;
    procedure->definition = &definition;
    procedure->path = frame().unit().path;
    if (definition.isGlobal) {
        // A later definition replaces the earlier one.
        procedure->owner = frame().sharedUnit();
        procedures_[definition.text] = std::move(procedure);
    } else {
        frame().unit().localProcedures[definition.text] = std::move(procedure);
    }
}

void MelInterpreter::source(const MelNode& directive) {
    const std::string path = locator().resolve(scriptFileName(directive.text));
    if (path.empty()) {
        fail(directive, "Cannot find file \"" + directive.text + "\" for source statement.");
    }
    runFile(path, &directive);
}

std::size_t MelInterpreter::index(const MelNode& expression) {
    const MelValue given = convert(value(expression), MelType::Int, expression);
    const int number = given.asInt();
    // Negative and huge indices are not documented; the host refuses them.
    if (number < 0) {
        fail(expression, "Array index " + std::to_string(number) + " is out of range.");
    }
    if (static_cast<std::size_t>(number) >= kMaxArraySize) {
        fail(expression, "Array index " + std::to_string(number) + " is too large for this host.");
    }
    return static_cast<std::size_t>(number);
}

}  // namespace mayahost
