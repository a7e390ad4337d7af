#include "JsonValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxDepth = 32;

void writeString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

class Parser {
public:
    explicit Parser(const std::string& text) : mText(text) {}

    bool parseDocument(JsonValue& out) {
        if (!value(out, 0)) {
            return false;
        }
        skipBlanks();
        return mAt == mText.size() || fail("text after the value");
    }

    std::string error() const { return mError + " at byte " + std::to_string(mAt); }

private:
    bool fail(const char* why) {
        if (mError.empty()) {
            mError = why;
        }
        return false;
    }
    void skipBlanks() {
        while (mAt < mText.size() && std::strchr(" \t\r\n", mText[mAt]) != nullptr) {
            ++mAt;
        }
    }
    bool literal(const char* word) {
        const std::size_t length = std::strlen(word);
        if (mText.compare(mAt, length, word) != 0) {
            return fail("an unknown word");
        }
        mAt += length;
        return true;
    }
    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) {
            return fail("values nested too deep");
        }
        skipBlanks();
        if (mAt >= mText.size()) {
            return fail("the text ends where a value should be");
        }
        const char c = mText[mAt];
        if (c == '{') {
            return object(out, depth);
        }
        if (c == '[') {
            return array(out, depth);
        }
        if (c == '"') {
            std::string text;
            if (!string(text)) {
                return false;
            }
            out = JsonValue::string(std::move(text));
            return true;
        }
        if (c == 't' || c == 'f') {
            const bool truth = c == 't';
            out = JsonValue::boolean(truth);
            return literal(truth ? "true" : "false");
        }
        if (c == 'n') {
            out = JsonValue();
            return literal("null");
        }
        return number(out);
    }
    bool number(JsonValue& out) {
        const std::size_t start = mAt;
        while (mAt < mText.size() && std::strchr("+-0123456789.eE", mText[mAt]) != nullptr) {
            ++mAt;
        }
        if (start == mAt) {
            return fail("an unexpected character");
        }
        const std::string digits = mText.substr(start, mAt - start);
        char* end = nullptr;
        const double parsed = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str() + digits.size() || !std::isfinite(parsed)) {
            mAt = start;
            return fail("a malformed number");
        }
        out = JsonValue::number(parsed);
        return true;
    }
    bool string(std::string& out) {
        ++mAt;  // the opening quote
        while (mAt < mText.size()) {
            const char c = mText[mAt++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return fail("a control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (mAt >= mText.size()) {
                break;
            }
            const char e = mText[mAt++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    if (mText.size() - mAt < 4) {
                        return fail("a short \\u escape");
                    }
                    char* end = nullptr;
                    const std::string hex = mText.substr(mAt, 4);
                    const long code = std::strtol(hex.c_str(), &end, 16);
                    if (end != hex.c_str() + 4) {
                        return fail("a malformed \\u escape");
                    }
                    mAt += 4;
                    // Only what the writer escapes is read back as itself.
                    out += code < 0x80 ? static_cast<char>(code) : '?';
                    break;
                }
                default:
                    return fail("an unknown escape");
            }
        }
        return fail("a string without its closing quote");
    }
    bool array(JsonValue& out, int depth) {
        ++mAt;
        out = JsonValue::array();
        skipBlanks();
        if (mAt < mText.size() && mText[mAt] == ']') {
            ++mAt;
            return true;
        }
        for (;;) {
            JsonValue item;
            if (!value(item, depth + 1)) {
                return false;
            }
            out.append(std::move(item));
            skipBlanks();
            if (mAt >= mText.size()) {
                return fail("an array without its closing bracket");
            }
            const char c = mText[mAt++];
            if (c == ']') {
                return true;
            }
            if (c != ',') {
                return fail("an array item not followed by a comma");
            }
        }
    }
    bool object(JsonValue& out, int depth) {
        ++mAt;
        out = JsonValue::object();
        skipBlanks();
        if (mAt < mText.size() && mText[mAt] == '}') {
            ++mAt;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (mAt >= mText.size() || mText[mAt] != '"') {
                return fail("an object member without a quoted name");
            }
            std::string name;
            if (!string(name)) {
                return false;
            }
            skipBlanks();
            if (mAt >= mText.size() || mText[mAt] != ':') {
                return fail("a member name not followed by a colon");
            }
            ++mAt;
            JsonValue member;
            if (!value(member, depth + 1)) {
                return false;
            }
            out.set(name, std::move(member));
            skipBlanks();
            if (mAt >= mText.size()) {
                return fail("an object without its closing brace");
            }
            const char c = mText[mAt++];
            if (c == '}') {
                return true;
            }
            if (c != ',') {
                return fail("an object member not followed by a comma");
            }
        }
    }

    const std::string& mText;
    std::size_t mAt = 0;
    std::string mError;
};

}  // namespace

JsonValue JsonValue::boolean(bool value) {
    JsonValue v;
    v.mType = Type::Boolean;
    v.mBoolean = value;
    return v;
}

JsonValue JsonValue::number(double value) {
    JsonValue v;
    v.mType = Type::Number;
    v.mNumber = value;
    return v;
}

JsonValue JsonValue::string(std::string value) {
    JsonValue v;
    v.mType = Type::String;
    v.mString = std::move(value);
    return v;
}

JsonValue JsonValue::array() {
    JsonValue v;
    v.mType = Type::Array;
    return v;
}

JsonValue JsonValue::object() {
    JsonValue v;
    v.mType = Type::Object;
    return v;
}

const JsonValue* JsonValue::find(const std::string& name) const {
    const auto found = mMembers.find(name);
    return mType == Type::Object && found != mMembers.end() ? &found->second : nullptr;
}

std::string JsonValue::text() const {
    std::string out;
    write(out, 0);
    out += '\n';
    return out;
}

void JsonValue::write(std::string& out, int indent) const {
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    switch (mType) {
        case Type::Null:
            out += "null";
            break;
        case Type::Boolean:
            out += mBoolean ? "true" : "false";
            break;
        case Type::Number: {
            char digits[32];
            std::snprintf(digits, sizeof(digits), "%.17g", std::isfinite(mNumber) ? mNumber : 0.0);
            out += digits;
            break;
        }
        case Type::String:
            writeString(out, mString);
            break;
        case Type::Array: {
            out += '[';
            for (std::size_t i = 0; i < mItems.size(); ++i) {
                out += i == 0 ? "" : ", ";
                mItems[i].write(out, indent + 2);
            }
            out += ']';
            break;
        }
        case Type::Object: {
            out += "{";
            bool first = true;
            for (const auto& [name, value] : mMembers) {
                out += first ? "\n" : ",\n";
                first = false;
                out += inner;
                writeString(out, name);
                out += ": ";
                value.write(out, indent + 2);
            }
            out += "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "}";
            break;
        }
    }
}

bool JsonValue::parse(const std::string& text, JsonValue& out, std::string& error) {
    Parser parser(text);
    if (!parser.parseDocument(out)) {
        error = parser.error();
        return false;
    }
    return true;
}
