#include "MelValue.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace mayahost {

namespace {

double magnitude(const MelVector& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Length of the number at the start of `text` (0 if none), and whether it is an integer.
std::size_t numberLength(const std::string& text, bool& isInteger) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t digitsFrom = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    bool digits = i > digitsFrom;
    isInteger = true;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        if (digits || j > i + 1) {
            digits = true;
            isInteger = false;
            i = j;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            isInteger = false;
            i = j;
        }
    }
    return i;
}

template <typename T>
void growTo(std::vector<T>& elements, std::size_t size) {
    if (elements.size() < size) {
        elements.resize(size);
    }
}

}  // namespace

MelValue MelValue::ofInt(int value) {
    return MelValue(Data(std::in_place_index<1>, value));
}

MelValue MelValue::ofFloat(double value) {
    return MelValue(Data(std::in_place_index<2>, value));
}

MelValue MelValue::ofString(std::string value) {
    return MelValue(Data(std::in_place_index<3>, std::move(value)));
}

MelValue MelValue::ofVector(const MelVector& value) {
    return MelValue(Data(std::in_place_index<4>, value));
}

MelValue MelValue::ofInts(std::vector<int> values) {
    return MelValue(Data(std::in_place_index<5>, std::move(values)));
}

MelValue MelValue::ofFloats(std::vector<double> values) {
    return MelValue(Data(std::in_place_index<6>, std::move(values)));
}

MelValue MelValue::ofStrings(std::vector<std::string> values) {
    return MelValue(Data(std::in_place_index<7>, std::move(values)));
}

MelValue MelValue::ofVectors(std::vector<MelVector> values) {
    return MelValue(Data(std::in_place_index<8>, std::move(values)));
}

MelValue MelValue::zero(MelType type) {
    switch (type) {
        case MelType::None:
            return MelValue();
        case MelType::Int:
            return ofInt(0);
        case MelType::Float:
            return ofFloat(0.0);
        case MelType::String:
            return ofString(std::string());
        case MelType::Vector:
            return ofVector(MelVector());
        case MelType::IntArray:
            return ofInts({});
        case MelType::FloatArray:
            return ofFloats({});
        case MelType::StringArray:
            return ofStrings({});
        case MelType::VectorArray:
            return ofVectors({});
    }
    return MelValue();
}

int MelValue::asInt() const {
    switch (type()) {
        case MelType::Int:
            return std::get<int>(data_);
        case MelType::Float:
            return truncate(std::get<double>(data_));
        case MelType::String:
            return truncate(leadingNumber(std::get<std::string>(data_)));
        case MelType::Vector:
            return truncate(magnitude(std::get<MelVector>(data_)));
        default:
            return 0;
    }
}

double MelValue::asFloat() const {
    switch (type()) {
        case MelType::Int:
            return std::get<int>(data_);
        case MelType::Float:
            return std::get<double>(data_);
        case MelType::String:
            return leadingNumber(std::get<std::string>(data_));
        case MelType::Vector:
            return magnitude(std::get<MelVector>(data_));
        default:
            return 0.0;
    }
}

std::string MelValue::asString() const {
    switch (type()) {
        case MelType::Int:
            return std::to_string(std::get<int>(data_));
        case MelType::Float:
            return formatFloat(std::get<double>(data_));
        case MelType::String:
            return std::get<std::string>(data_);
        case MelType::Vector: {
            const MelVector& v = std::get<MelVector>(data_);
            return formatFloat(v.x) + " " + formatFloat(v.y) + " " + formatFloat(v.z);
        }
        default:
            return std::string();
    }
}

MelVector MelValue::asVector() const {
    switch (type()) {
        case MelType::Int:
        case MelType::Float: {
            const double value = asFloat();
            return MelVector{value, value, value};
        }
        case MelType::String:
            // "3.14" reads as <<3.14, 0, 0>>.
            return MelVector{leadingNumber(std::get<std::string>(data_)), 0.0, 0.0};
        case MelType::Vector:
            return std::get<MelVector>(data_);
        default:
            return MelVector();
    }
}

std::size_t MelValue::size() const {
    switch (type()) {
        case MelType::IntArray:
            return ints().size();
        case MelType::FloatArray:
            return floats().size();
        case MelType::StringArray:
            return strings().size();
        case MelType::VectorArray:
            return vectors().size();
        default:
            return 0;
    }
}

MelValue MelValue::element(std::size_t index) const {
    if (!isArray()) {
        return MelValue();
    }
    if (index >= size()) {
        return zero(elementType(type()));
    }
    switch (type()) {
        case MelType::IntArray:
            return ofInt(ints()[index]);
        case MelType::FloatArray:
            return ofFloat(floats()[index]);
        case MelType::StringArray:
            return ofString(strings()[index]);
        default:
            return ofVector(vectors()[index]);
    }
}

void MelValue::setElement(std::size_t index, const MelValue& value) {
    switch (type()) {
        case MelType::IntArray: {
            auto& elements = std::get<std::vector<int>>(data_);
            growTo(elements, index + 1);
            elements[index] = value.asInt();
            break;
        }
        case MelType::FloatArray: {
            auto& elements = std::get<std::vector<double>>(data_);
            growTo(elements, index + 1);
            elements[index] = value.asFloat();
            break;
        }
        case MelType::StringArray: {
            auto& elements = std::get<std::vector<std::string>>(data_);
            growTo(elements, index + 1);
            elements[index] = value.asString();
            break;
        }
        case MelType::VectorArray: {
            auto& elements = std::get<std::vector<MelVector>>(data_);
            growTo(elements, index + 1);
            elements[index] = value.asVector();
            break;
        }
        default:
            break;
    }
}

void MelValue::append(const MelValue& value) {
    setElement(size(), value);
}

void MelValue::clearElements() {
    if (isArray()) {
        *this = zero(type());
    }
}

std::string MelValue::printed() const {
    if (!isArray()) {
        return asString();
    }
    std::string text;
    for (std::size_t i = 0; i < size(); ++i) {
        text += element(i).asString();
        text += '\n';
    }
    return text;
}

bool MelValue::convert(const MelValue& from, MelType to, MelValue& out, std::string& error) {
    const MelType fromType = from.type();
    if (fromType == to) {
        out = from;
        return true;
    }
    if (fromType == MelType::None || to == MelType::None || from.isArray() != isArrayType(to)) {
        error =
            "Cannot convert data of type " + typeName(fromType) + " to type " + typeName(to) + ".";
        return false;
    }
    if (!from.isArray()) {
        switch (to) {
            case MelType::Int:
                out = ofInt(from.asInt());
                break;
            case MelType::Float:
                out = ofFloat(from.asFloat());
                break;
            case MelType::String:
                out = ofString(from.asString());
                break;
            default:
                out = ofVector(from.asVector());
                break;
        }
        return true;
    }
    MelValue converted = zero(to);
    for (std::size_t i = 0; i < from.size(); ++i) {
        converted.setElement(i, from.element(i));
    }
    out = std::move(converted);
    return true;
}

bool MelValue::isArrayType(MelType type) {
    return type == MelType::IntArray || type == MelType::FloatArray ||
           type == MelType::StringArray || type == MelType::VectorArray;
}

MelType MelValue::elementType(MelType arrayType) {
    switch (arrayType) {
        case MelType::IntArray:
            return MelType::Int;
        case MelType::FloatArray:
            return MelType::Float;
        case MelType::StringArray:
            return MelType::String;
        case MelType::VectorArray:
            return MelType::Vector;
        default:
            return arrayType;
    }
}

MelType MelValue::arrayType(MelType elementType) {
    switch (elementType) {
        case MelType::Int:
            return MelType::IntArray;
        case MelType::Float:
            return MelType::FloatArray;
        case MelType::String:
            return MelType::StringArray;
        case MelType::Vector:
            return MelType::VectorArray;
        default:
            return elementType;
    }
}

std::string MelValue::typeName(MelType type) {
    switch (type) {
        case MelType::None:
            return "void";
        case MelType::Int:
            return "int";
        case MelType::Float:
            return "float";
        case MelType::String:
            return "string";
        case MelType::Vector:
            return "vector";
        case MelType::IntArray:
            return "int[]";
        case MelType::FloatArray:
            return "float[]";
        case MelType::StringArray:
            return "string[]";
        case MelType::VectorArray:
            return "vector[]";
    }
    return "void";
}

std::string MelValue::formatFloat(double value) {
    if (value == 0.0) {
        return "0";  // also for -0.0
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

double MelValue::leadingNumber(const std::string& text, bool* isInteger) {
    bool integer = true;
    const std::size_t length = numberLength(text, integer);
    if (isInteger != nullptr) {
        *isInteger = integer;
    }
    if (length == 0) {
        return 0.0;
    }
    return std::strtod(text.substr(0, length).c_str(), nullptr);
}

bool MelValue::parseNumber(const std::string& text, double& value, bool& isInteger) {
    const std::size_t length = numberLength(text, isInteger);
    if (length == 0 || length != text.size()) {
        return false;
    }
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

int MelValue::truncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

int MelValue::wrap(long long value) {
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

bool operator==(const MelVector& a, const MelVector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool operator==(const MelValue& a, const MelValue& b) {
    return a.data_ == b.data_;
}

}  // namespace mayahost
