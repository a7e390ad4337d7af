// MelInterpreter: the commands every MEL has, implemented through the same command framework
// as Maya's and the plug-in's commands.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "MelInterpreter.h"
#include "MelText.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned kCreate = MelFlag::kCreate;

MelResult number(double value) {
    return MelResult::success(MelValue::ofFloat(value));
}

MelResult text(std::string value) {
    return MelResult::success(MelValue::ofString(std::move(value)));
}

MelResult integer(int value) {
    return MelResult::success(MelValue::ofInt(value));
}

std::string positionalText(const MelInvocation& call, std::size_t index) {
    return call.positionals()[index].asString();
}

// A numeric argument of a math command; arrays and text are refused.
bool numeric(const MelValue& value, const std::string& command, std::string& error) {
    if (value.isNumber()) {
        return true;
    }
    error =
        "Cannot use data of type " + MelValue::typeName(value.type()) + " with " + command + ".";
    return false;
}

}  // namespace

void MelInterpreter::addBuiltin(MelSyntax syntax, MelCommand::Handler handler) {
    builtins_.insert(syntax.name());
    commands_.add(std::move(syntax), std::move(handler));
}

void MelInterpreter::registerBuiltins() {
    // ---- output and errors
    addBuiltin(MelSyntax("print").setPositionals(1, 1),
               [](const MelInvocation& call, MelContext& context) {
                   context.print(call.positionals()[0].printed());
                   return MelResult::success();
               });
    addBuiltin(MelSyntax("warning")
                   .addFlag("noContext", "n")
                   .addFlag("showLineNumber", "sl", {Arg::Bool})
                   .setPositionals(1, 1, Arg::String),
               [this](const MelInvocation& call, MelContext&) {
                   const std::string message = positionalText(call, 0);
                   const std::string where =
                       call.has("noContext") ? std::string() : context(site_, Framing::Line);
                   output().warning(message, "// Warning: " + where + message + " //");
                   return MelResult::success();
               });
    addBuiltin(MelSyntax("error")
                   .addFlag("noContext", "n")
                   .addFlag("showLineNumber", "sl", {Arg::Bool})
                   .setPositionals(1, 1, Arg::String),
               [](const MelInvocation& call, MelContext&) {
                   return MelResult::failure(positionalText(call, 0), !call.has("noContext"));
               });

    // ---- running MEL
    addBuiltin(MelSyntax("eval").setPositionals(1, MelSyntax::kUnlimited, Arg::String),
               [this](const MelInvocation& call, MelContext&) {
                   std::string script;
                   for (const MelValue& word : call.positionals()) {
                       script += (script.empty() ? "" : " ") + word.asString();
                   }
                   return MelResult::success(evalText(script));
               });
    addBuiltin(MelSyntax("exists").setPositionals(1, 1, Arg::String),
               [this](const MelInvocation& call, MelContext&) {
                   return integer(exists(positionalText(call, 0)) ? 1 : 0);
               });
    addBuiltin(MelSyntax("whatIs").setPositionals(1, 1, Arg::String),
               [this](const MelInvocation& call, MelContext&) {
                   return text(whatIs(positionalText(call, 0)));
               });

    // ---- strings and arrays
    addBuiltin(MelSyntax("size").setPositionals(1, 1), [](const MelInvocation& call, MelContext&) {
        const MelValue& given = call.positionals()[0];
        const std::size_t size = given.isArray() ? given.size() : given.asString().size();
        return integer(static_cast<int>(size));
    });
    addBuiltin(
        MelSyntax("format")
            .addFlag("stringArg", "s", {Arg::String}, kCreate, true)
            .setPositionals(1, 1, Arg::String),
        [](const MelInvocation& call, MelContext&) {
            return text(MelText::format(positionalText(call, 0), call.stringValues("stringArg")));
        });
    addBuiltin(MelSyntax("gmatch").setPositionals(2, 2, Arg::String), [](const MelInvocation& call,
                                                                         MelContext&) {
        return integer(MelText::glob(positionalText(call, 0), positionalText(call, 1)) ? 1 : 0);
    });
    addBuiltin(MelSyntax("match").setPositionals(2, 2, Arg::String), [](const MelInvocation& call,
                                                                        MelContext&) {
        std::string found;
        std::string error;
        if (!MelText::match(positionalText(call, 0), positionalText(call, 1), found, error)) {
            return MelResult::failure(error);
        }
        return text(found);
    });
    addBuiltin(MelSyntax("substitute").setPositionals(3, 3, Arg::String),
               [](const MelInvocation& call, MelContext&) {
                   std::string replaced;
                   std::string error;
                   if (!MelText::substitute(positionalText(call, 0), positionalText(call, 1),
                                            positionalText(call, 2), replaced, error)) {
                       return MelResult::failure(error);
                   }
                   return text(replaced);
               });
    addBuiltin(MelSyntax("strcmp").setPositionals(2, 2, Arg::String),
               [](const MelInvocation& call, MelContext&) {
                   const int order = positionalText(call, 0).compare(positionalText(call, 1));
                   return integer(order < 0 ? -1 : (order > 0 ? 1 : 0));
               });
    addBuiltin(MelSyntax("toupper").setPositionals(1, 1, Arg::String),
               [](const MelInvocation& call, MelContext&) {
                   std::string result = positionalText(call, 0);
                   for (char& c : result) {
                       c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                   }
                   return text(result);
               });
    addBuiltin(MelSyntax("tolower").setPositionals(1, 1, Arg::String),
               [](const MelInvocation& call, MelContext&) {
                   std::string result = positionalText(call, 0);
                   for (char& c : result) {
                       c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                   }
                   return text(result);
               });
    addBuiltin(MelSyntax("substring").setPositionals(3, 3),
               [](const MelInvocation& call, MelContext&) {
                   // 1-based and inclusive; the range is clipped to the string.
                   const std::string whole = positionalText(call, 0);
                   const long first = std::max(1, call.positionals()[1].asInt());
                   const long last = std::min(static_cast<long>(whole.size()),
                                              static_cast<long>(call.positionals()[2].asInt()));
                   if (last < first) {
                       return text(std::string());
                   }
                   return text(whole.substr(static_cast<std::size_t>(first - 1),
                                            static_cast<std::size_t>(last - first + 1)));
               });

    // ---- math
    addBuiltin(MelSyntax("abs").setPositionals(1, 1), [](const MelInvocation& call, MelContext&) {
        const MelValue& given = call.positionals()[0];
        if (given.type() == MelType::Int) {
            const long long magnitude = std::llabs(given.asInt());
            return integer(MelValue::wrap(magnitude));
        }
        if (given.type() == MelType::Vector) {
            const MelVector v = given.asVector();
            return MelResult::success(
                MelValue::ofVector({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)}));
        }
        std::string error;
        if (!numeric(given, "abs", error)) {
            return MelResult::failure(error);
        }
        return number(std::fabs(given.asFloat()));
    });
    for (const char* name : {"min", "max"}) {
        const bool isMin = std::string(name) == "min";
        addBuiltin(MelSyntax(name).setPositionals(2, 2),
                   [isMin, name](const MelInvocation& call, MelContext&) {
                       const MelValue& a = call.positionals()[0];
                       const MelValue& b = call.positionals()[1];
                       std::string error;
                       if (!numeric(a, name, error) || !numeric(b, name, error)) {
                           return MelResult::failure(error);
                       }
                       if (a.type() == MelType::Int && b.type() == MelType::Int) {
                           return integer(isMin ? std::min(a.asInt(), b.asInt())
                                                : std::max(a.asInt(), b.asInt()));
                       }
                       return number(isMin ? std::min(a.asFloat(), b.asFloat())
                                           : std::max(a.asFloat(), b.asFloat()));
                   });
    }
    addBuiltin(MelSyntax("pow").setPositionals(2, 2, Arg::Float), [](const MelInvocation& call,
                                                                     MelContext&) {
        return number(std::pow(call.positionals()[0].asFloat(), call.positionals()[1].asFloat()));
    });
    addBuiltin(MelSyntax("sqrt").setPositionals(1, 1, Arg::Float),
               [](const MelInvocation& call, MelContext&) {
                   return number(std::sqrt(call.positionals()[0].asFloat()));
               });
    addBuiltin(MelSyntax("floor").setPositionals(1, 1, Arg::Float),
               [](const MelInvocation& call, MelContext&) {
                   return number(std::floor(call.positionals()[0].asFloat()));
               });
    addBuiltin(MelSyntax("ceil").setPositionals(1, 1, Arg::Float),
               [](const MelInvocation& call, MelContext&) {
                   return number(std::ceil(call.positionals()[0].asFloat()));
               });
    addBuiltin(MelSyntax("mag").setPositionals(1, 1), [](const MelInvocation& call, MelContext&) {
        const MelVector v = call.positionals()[0].asVector();
        return number(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
    });
    addBuiltin(MelSyntax("dot").setPositionals(2, 2), [](const MelInvocation& call, MelContext&) {
        const MelVector a = call.positionals()[0].asVector();
        const MelVector b = call.positionals()[1].asVector();
        return number(a.x * b.x + a.y * b.y + a.z * b.z);
    });
    addBuiltin(MelSyntax("cross").setPositionals(2, 2), [](const MelInvocation& call, MelContext&) {
        const MelVector a = call.positionals()[0].asVector();
        const MelVector b = call.positionals()[1].asVector();
        return MelResult::success(MelValue::ofVector(
            {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}));
    });
}

MelValue MelInterpreter::evalText(const std::string& script) {
    // eval'd text runs at top level: it sees globals only, and its errors stop the caller.
    return runUnit(parse(script, std::string()), site_);
}

bool MelInterpreter::exists(const std::string& name) {
    return procedures_.count(name) != 0 || commands_.contains(name) || isIntrinsic(name) ||
           !locator().resolve(name + ".mel").empty();
}

std::string MelInterpreter::whatIs(const std::string& name) {
    if (!name.empty() && name[0] == '$') {
        std::shared_ptr<MelVariable> found = frames_.empty() ? nullptr : frame().find(name);
        if (found == nullptr) {
            const auto global = globals_.find(name);
            found = global != globals_.end() ? global->second : nullptr;
        }
        return found != nullptr ? MelValue::typeName(found->type) + " variable" : "Unknown";
    }
    const auto procedure = procedures_.find(name);
    if (procedure != procedures_.end()) {
        return procedure->second->path.empty()
                   ? "Mel procedure entered interactively."
                   : "Mel procedure found in: " + procedure->second->path;
    }
    if (commands_.contains(name) || isIntrinsic(name)) {
        return "Command";
    }
    const std::string script = locator().resolve(name + ".mel");
    if (!script.empty()) {
        return "Script found in: " + script;
    }
    return "Unknown";
}

}  // namespace mayahost
