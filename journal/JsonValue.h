#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The JSON the sidecar needs: null, booleans, numbers, strings, arrays and objects. Parsing
// refuses anything malformed, nests at most 32 deep and never reads past the text's end.
class JsonValue {
public:
    enum class Type { Null, Boolean, Number, String, Array, Object };

    JsonValue() = default;
    static JsonValue boolean(bool value);
    static JsonValue number(double value);
    static JsonValue string(std::string value);
    static JsonValue array();
    static JsonValue object();

    Type type() const { return mType; }
    bool asBoolean() const { return mBoolean; }
    double asNumber() const { return mNumber; }
    const std::string& asString() const { return mString; }
    const std::vector<JsonValue>& items() const { return mItems; }
    // Object members in name order; a name given twice keeps its last value.
    const std::map<std::string, JsonValue>& members() const { return mMembers; }
    // The member, or null when there is none (also when this is not an object).
    const JsonValue* find(const std::string& name) const;

    void append(JsonValue value) { mItems.push_back(std::move(value)); }
    void set(const std::string& name, JsonValue value) { mMembers[name] = std::move(value); }

    // Indented text; numbers with the digits that read back to the same double.
    std::string text() const;
    // False, with a reason naming the byte offset, when `text` is not one JSON value.
    static bool parse(const std::string& text, JsonValue& out, std::string& error);

private:
    void write(std::string& out, int indent) const;

    Type mType = Type::Null;
    bool mBoolean = false;
    double mNumber = 0.0;
    std::string mString;
    std::vector<JsonValue> mItems;
    std::map<std::string, JsonValue> mMembers;
};
