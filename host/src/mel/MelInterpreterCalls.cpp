// MelInterpreter: calls of procedures, C++ commands and the language's own call forms.
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "MelArgumentParser.h"
#include "MelInterpreter.h"
#include "MelText.h"
#include "MelWord.h"

namespace mayahost {

namespace {

using Kind = MelNode::Kind;

// In command syntax `myProc on` passes the word; a numeric parameter reads it as MEL's
// boolean keyword rather than as a string that starts with no number.
int booleanWord(const MelNode& argument) {
    if (argument.kind != Kind::StringLiteral || argument.word != MelNode::Word::Bare) {
        return -1;
    }
    const std::string& word = argument.text;
    if (word == "true" || word == "on" || word == "yes") {
        return 1;
    }
    if (word == "false" || word == "off" || word == "no") {
        return 0;
    }
    return -1;
}

std::string wrongArgumentCount(const std::string& name) {
    return "Wrong number of arguments on call to " + name + ".";
}

}  // namespace

bool MelInterpreter::isIntrinsic(const std::string& name) const {
    return name == "catch" || name == "catchQuiet" || name == "clear" || name == "tokenize";
}

MelValue MelInterpreter::call(const MelNode& call) {
    const std::string& name = call.text;
    if (name == "catch" || name == "catchQuiet") {
        return catchCall(call, name == "catchQuiet");
    }
    if (name == "clear") {
        return clearCall(call);
    }
    if (name == "tokenize") {
        return tokenizeCall(call);
    }
    if (name == "size" && call.children.size() == 1 && call.children[0]->kind == Kind::Variable &&
        findProcedure(name, call) == nullptr) {
        // Read in place: a loop asks an array's size on every pass, and a copy each time
        // made long loops quadratic.
        const MelValue& given = variable(*call.children[0])->value;
        return MelValue::ofInt(
            static_cast<int>(given.isArray() ? given.size() : given.asString().size()));
    }
    // Held for the whole call: the procedure may be redefined, or the command removed, while
    // it runs. A name bound to a procedure when compiled never reaches a command.
    const auto command =
        call.binding == MelNode::Binding::Procedure ? nullptr : commands_.find(name);
    if (const auto procedure = findProcedure(name, call)) {
        return callProcedure(*procedure, call);
    }
    if (command != nullptr) {
        return callCommand(*command, call);
    }
    if (autoSource(name, call)) {
        if (const auto procedure = findProcedure(name, call)) {
            return callProcedure(*procedure, call);
        }
    }
    fail(call, "Cannot find procedure \"" + name + "\".");
}

std::shared_ptr<const MelProcedure> MelInterpreter::findProcedure(const std::string& name,
                                                                  const MelNode& at) const {
    // A local procedure is visible only in its own text, and only after its definition.
    const auto& locals = frames_.back()->unit().localProcedures;
    const auto local = locals.find(name);
    if (local != locals.end() && local->second->definition->offset < at.offset) {
        return local->second;
    }
    const auto global = procedures_.find(name);
    return global != procedures_.end() ? global->second : nullptr;
}

MelValue MelInterpreter::callProcedure(const MelProcedure& procedure, const MelNode& call) {
    const std::size_t count = procedure.parameterCount();
    if (call.children.size() != count) {
        fail(call, wrongArgumentCount(procedure.name), Framing::LineColumn);
    }
    // Arguments are evaluated in the caller's frame. An array variable of the parameter's
    // type is passed by reference; anything else is converted into a new variable.
    std::vector<std::shared_ptr<MelVariable>> arguments;
    arguments.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const MelNode& parameter = procedure.parameter(i);
        const MelNode& argument = *call.children[i];
        if (parameter.isArray && argument.kind == Kind::Variable) {
            std::shared_ptr<MelVariable> passed = variable(argument);
            if (passed->type == parameter.type) {
                arguments.push_back(std::move(passed));
                continue;
            }
        }
        MelValue given = value(argument);
        const int boolean = booleanWord(argument);
        if (boolean >= 0 && (parameter.type == MelType::Int || parameter.type == MelType::Float)) {
            given = MelValue::ofInt(boolean);
        }
        auto bound = std::make_shared<MelVariable>();
        bound->type = parameter.type;
        bound->value = convert(given, parameter.type, argument);
        arguments.push_back(std::move(bound));
    }
    const FrameGuard guard(*this, procedure.owner ? procedure.owner : frame().sharedUnit(),
                           &procedure, &call);
    for (std::size_t i = 0; i < count; ++i) {
        frame().bind(procedure.parameter(i).text, std::move(arguments[i]));
    }
    runBlock(procedure.body());
    if (procedure.returnType == MelType::None) {
        return MelValue();
    }
    if (frame().returnNode == nullptr) {
        // Falling off the end of a typed procedure gives the zero value (the host's choice).
        return MelValue::zero(procedure.returnType);
    }
    return convert(frame().returned, procedure.returnType, *frame().returnNode);
}

MelValue MelInterpreter::callCommand(const MelCommand& command, const MelNode& call) {
    std::vector<MelWord> words;
    words.reserve(call.children.size());
    for (const auto& argument : call.children) {
        MelWord word;
        word.value = value(*argument);
        word.flagToken =
            argument->kind == Kind::StringLiteral && argument->word == MelNode::Word::Flag;
        word.bareWord = argument->word == MelNode::Word::Bare;
        words.push_back(std::move(word));
    }
    const SiteGuard site(*this, &call);
    MelResult result;
    try {
        if (command.isRaw()) {
            result = command.rawHandler()(MelArgumentParser::rawWords(words), *this);
        } else {
            MelInvocation invocation;
            std::string error;
            if (!MelArgumentParser::parse(command.syntax(), words, invocation, error)) {
                fail(call, error);
            }
            result = command.handler()(invocation, *this);
        }
    } catch (const std::exception& exception) {
        // A C++ command must report failure through its result; an exception is a host bug,
        // shown as the command's error so that the script still stops cleanly.
        fail(call, "Internal error in command \"" + command.name() + "\": " + exception.what());
    }
    if (!result.ok()) {
        if (result.shown()) {
            failShown();
        }
        if (!result.withContext()) {
            failWithoutContext(result.message());
        }
        fail(call, result.message());
    }
    return result.value();
}

bool MelInterpreter::autoSource(const std::string& name, const MelNode& at) {
    const std::string path = locator().resolve(name + ".mel");
    if (path.empty() || autoSourcing_.count(path) != 0) {
        return false;
    }
    autoSourcing_.insert(path);
    struct Forget {
        std::set<std::string>& files;
        const std::string& path;
        ~Forget() { files.erase(path); }
    } forget{autoSourcing_, path};
    runFile(path, &at);
    return true;
}

MelValue MelInterpreter::catchCall(const MelNode& call, bool quiet) {
    if (call.children.size() != 1) {
        fail(call, wrongArgumentCount(call.text), Framing::LineColumn);
    }
    struct Quiet {
        int& depth;
        bool active;
        ~Quiet() { depth -= active ? 1 : 0; }
    } silence{quiet_, quiet};
    quiet_ += quiet ? 1 : 0;
    try {
        evaluate(call.part(0));
    } catch (const Abort&) {
        return MelValue::ofInt(1);
    }
    return MelValue::ofInt(0);
}

MelValue MelInterpreter::clearCall(const MelNode& call) {
    if (call.children.size() != 1) {
        fail(call, wrongArgumentCount(call.text), Framing::LineColumn);
    }
    const MelNode& argument = call.part(0);
    if (argument.kind != Kind::Variable) {
        const MelValue given = value(argument);
        if (!given.isArray()) {
            fail(argument, "Cannot convert data of type " + MelValue::typeName(given.type()) +
                               " to type " + MelValue::typeName(MelValue::arrayType(given.type())) +
                               ".");
        }
        return MelValue();
    }
    const std::shared_ptr<MelVariable> array = variable(argument);
    if (!array->value.isArray()) {
        fail(argument, "\"" + argument.text + "\" is not an array.");
    }
    // Returns nothing, as the current reference page says (an older guide said int 1).
    array->value.clearElements();
    return MelValue();
}

MelValue MelInterpreter::tokenizeCall(const MelNode& call) {
    const std::size_t count = call.children.size();
    if (count != 2 && count != 3) {
        fail(call, wrongArgumentCount(call.text), Framing::LineColumn);
    }
    const std::string text = convert(value(call.part(0)), MelType::String, call.part(0)).asString();
    const std::string separators =
        count == 3 ? convert(value(call.part(1)), MelType::String, call.part(1)).asString()
                   : std::string(" \t\n\r");
    const MelNode& target = *call.children.back();
    if (target.kind != Kind::Variable) {
        fail(target, "Syntax error");
    }
    const std::shared_ptr<MelVariable> array = variable(target);
    const std::vector<std::string> tokens = MelText::tokenize(text, separators);
    array->value = convert(MelValue::ofStrings(tokens), array->type, target);
    return MelValue::ofInt(static_cast<int>(tokens.size()));
}

}  // namespace mayahost
