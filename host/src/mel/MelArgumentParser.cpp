#include "MelArgumentParser.h"

#include <cctype>
#include <cmath>

namespace mayahost {

namespace {

// Messages Maya does not document word for word are the host's own: "Invalid flag" is
// Maya's, the rest follow its style.

bool looksLikeFlag(const std::string& text) {
    return text.size() > 1 && text[0] == '-' &&
           (std::isalpha(static_cast<unsigned char>(text[1])) != 0 || text[1] == '_');
}

const char* modeName(MelMode mode) {
    switch (mode) {
        case MelMode::Query:
            return "query";
        case MelMode::Edit:
            return "edit";
        default:
            return "create";
    }
}

const char* typeName(MelArgType type) {
    switch (type) {
        case MelArgType::Bool:
            return "a boolean";
        case MelArgType::Int:
            return "an int";
        case MelArgType::Float:
            return "a float";
        case MelArgType::Time:
            return "a time";
        default:
            return "a string";
    }
}

bool isTimeUnit(const std::string& unit) {
    static const char* const kUnits[] = {"hour", "min",  "sec",  "millisec", "game", "film",
                                         "pal",  "ntsc", "show", "palf",     "ntscf"};
    for (const char* known : kUnits) {
        if (unit == known) {
            return true;
        }
    }
    return false;
}

bool isModeFlag(const std::string& name, MelMode& mode) {
    if (name == "q" || name == "query") {
        mode = MelMode::Query;
        return true;
    }
    if (name == "e" || name == "edit") {
        mode = MelMode::Edit;
        return true;
    }
    return false;
}

std::string argumentCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " argument." : " arguments.");
}

}  // namespace

bool MelArgumentParser::convert(const MelValue& value, MelArgType type, const std::string& flagName,
                                MelValue& out, std::string& error) {
    const auto wrong = [&]() {
        if (flagName.empty()) {
            error =
                "Invalid argument \"" + value.asString() + "\": expected " + typeName(type) + ".";
        } else {
            error = "Flag '" + flagName + "' must be passed " + typeName(type) + " argument.";
        }
        return false;
    };
    if (type == MelArgType::Any) {
        out = value;
        return true;
    }
    if (value.isArray() || value.isNone()) {
        const MelType wanted =
            type == MelArgType::Bool || type == MelArgType::Int
                ? MelType::Int
                : (type == MelArgType::Float || type == MelArgType::Time ? MelType::Float
                                                                         : MelType::String);
        return MelValue::convert(value, wanted, out, error);
    }
    const bool isString = value.type() == MelType::String;
    double number = 0.0;
    bool integer = false;
    const bool numeric =
        value.isNumber() || (isString && MelValue::parseNumber(value.asString(), number, integer));
    if (value.isNumber()) {
        number = value.asFloat();
    }
    switch (type) {
        case MelArgType::Bool: {
            const std::string text = value.asString();
            if (isString && (text == "on" || text == "yes" || text == "true")) {
                out = MelValue::ofInt(1);
            } else if (isString && (text == "off" || text == "no" || text == "false")) {
                out = MelValue::ofInt(0);
            } else if (numeric) {
                out = MelValue::ofInt(number != 0.0 ? 1 : 0);
            } else {
                return wrong();
            }
            return true;
        }
        case MelArgType::Int:
            if (!numeric || std::floor(number) != number) {
                return wrong();
            }
            out = MelValue::ofInt(MelValue::truncate(number));
            return true;
        case MelArgType::Float:
            if (!numeric) {
                return wrong();
            }
            out = MelValue::ofFloat(number);
            return true;
        case MelArgType::Time: {
            if (numeric) {
                out = MelValue::ofFloat(number);
                return true;
            }
            // A number with a unit suffix stays as written; the command knows the units.
            const std::string text = value.asString();
            std::size_t unitAt = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
            bool digits = false;
            while (unitAt < text.size() &&
                   (std::isdigit(static_cast<unsigned char>(text[unitAt])) != 0 ||
                    text[unitAt] == '.')) {
                digits = digits || text[unitAt] != '.';
                ++unitAt;
            }
            if (!digits || !isTimeUnit(text.substr(unitAt))) {
                return wrong();
            }
            out = MelValue::ofString(text);
            return true;
        }
        default:  // String, Script
            out = MelValue::ofString(value.asString());
            return true;
    }
}

bool MelArgumentParser::parse(const MelSyntax& syntax, const std::vector<MelWord>& words,
                              MelInvocation& out, std::string& error) {
    out = MelInvocation(syntax.name());
    // The mode first, so that flags before a late -q still read no values.
    bool modeSet = false;
    for (const MelWord& word : words) {
        MelMode mode = MelMode::Create;
        if (word.flagToken && isModeFlag(word.value.asString().substr(1), mode) &&
            syntax.supports(mode)) {
            if (modeSet && out.mode() != mode) {
                error = "The query and edit flags cannot be used together.";
                return false;
            }
            out.setMode(mode);
            modeSet = true;
        }
    }
    std::vector<MelValue> positionals;
    std::vector<const MelFlag*> used;  // parallel to out.flags()
    for (std::size_t i = 0; i < words.size(); ++i) {
        const MelWord& word = words[i];
        const bool isStringWord = word.value.type() == MelType::String;
        const std::string text = isStringWord ? word.value.asString() : std::string();
        const bool candidate = isStringWord && looksLikeFlag(text);
        const std::string name = candidate ? text.substr(1) : std::string();
        MelMode mode = MelMode::Create;
        const MelFlag* flag = candidate ? syntax.findFlag(name) : nullptr;
        if (candidate && flag == nullptr && isModeFlag(name, mode) && syntax.supports(mode)) {
            if (modeSet && out.mode() != mode) {
                error = "The query and edit flags cannot be used together.";
                return false;
            }
            out.setMode(mode);
            modeSet = true;
            continue;
        }
        if (flag == nullptr) {
            if (word.flagToken) {
                error = "Invalid flag '" + text + "'";
                return false;
            }
            positionals.push_back(word.value);
            continue;
        }
        if (!flag->multiUse() && out.has(flag->longName())) {
            error = "Flag '" + text + "' can be used only once.";
            return false;
        }
        MelInvocation::FlagUse use{flag->longName(), text, {}};
        const bool takesValues = out.mode() != MelMode::Query || flag->queryTakesArguments();
        const std::size_t count = takesValues ? flag->arguments().size() : 0;
        for (std::size_t k = 0; k < count; ++k) {
            if (i + 1 >= words.size() || words[i + 1].flagToken) {
                error = "Flag '" + text + "' needs " + argumentCount(count);
                return false;
            }
            MelValue converted;
            if (!convert(words[++i].value, flag->arguments()[k], text, converted, error)) {
                return false;
            }
            use.values.push_back(std::move(converted));
        }
        out.addFlag(std::move(use));
        used.push_back(flag);
    }
    for (std::size_t k = 0; k < used.size(); ++k) {
        if (!used[k]->allows(out.mode())) {
            error = "Flag '" + out.flags()[k].written + "' cannot be used in " +
                    modeName(out.mode()) + " mode.";
            return false;
        }
    }
    // Arrays given where the command reads typed values count one per element, as with
    // `delete $nodes`; a command taking Any receives them whole.
    const bool flatten = syntax.positionalType() != MelArgType::Any;
    std::size_t count = 0;
    for (const MelValue& value : positionals) {
        count += flatten && value.isArray() ? value.size() : 1;
    }
    if (count < syntax.minimumPositionals() || count > syntax.maximumPositionals()) {
        error = "Wrong number of arguments on call to " + syntax.name() + ".";
        return false;
    }
    for (const MelValue& value : positionals) {
        const bool split = flatten && value.isArray();
        const std::size_t elements = split ? value.size() : 1;
        for (std::size_t e = 0; e < elements; ++e) {
            MelValue converted;
            if (!convert(split ? value.element(e) : value, syntax.positionalType(), std::string(),
                         converted, error)) {
                return false;
            }
            out.addPositional(std::move(converted));
        }
    }
    return true;
}

std::vector<std::string> MelArgumentParser::rawWords(const std::vector<MelWord>& words) {
    std::vector<std::string> texts;
    for (const MelWord& word : words) {
        if (word.value.isArray()) {
            for (std::size_t i = 0; i < word.value.size(); ++i) {
                texts.push_back(word.value.element(i).asString());
            }
        } else {
            texts.push_back(word.value.asString());
        }
    }
    return texts;
}

}  // namespace mayahost
