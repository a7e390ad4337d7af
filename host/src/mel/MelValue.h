#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "MelType.h"
#include "MelVector.h"

namespace mayahost {

// A MEL value: a scalar (int, float, string, vector), an array of one of them, or nothing.
// MEL's int is 32 bits and wraps; its float is a double here.
class MelValue {
public:
    MelValue() = default;
    static MelValue ofInt(int value);
    static MelValue ofFloat(double value);
    static MelValue ofString(std::string value);
    static MelValue ofVector(const MelVector& value);
    static MelValue ofInts(std::vector<int> values);
    static MelValue ofFloats(std::vector<double> values);
    static MelValue ofStrings(std::vector<std::string> values);
    static MelValue ofVectors(std::vector<MelVector> values);
    // 0, 0.0, "", <<0,0,0>>, or an empty array.
    static MelValue zero(MelType type);

    MelType type() const { return static_cast<MelType>(data_.index()); }
    bool isNone() const { return type() == MelType::None; }
    bool isArray() const { return isArrayType(type()); }
    bool isNumber() const { return type() == MelType::Int || type() == MelType::Float; }

    // Scalar reads with MEL's conversions; an array or nothing reads as the zero value.
    int asInt() const;
    double asFloat() const;
    std::string asString() const;
    MelVector asVector() const;

    // Arrays. Reading past the end gives the element type's zero value; writing past the end
    // grows the array, filling the gap with zero values. `value` must already have the
    // element type.
    std::size_t size() const;
    MelValue element(std::size_t index) const;
    void setElement(std::size_t index, const MelValue& value);
    void append(const MelValue& value);
    void clearElements();

    const std::vector<int>& ints() const { return std::get<std::vector<int>>(data_); }
    const std::vector<double>& floats() const { return std::get<std::vector<double>>(data_); }
    const std::vector<std::string>& strings() const {
        return std::get<std::vector<std::string>>(data_);
    }
    const std::vector<MelVector>& vectors() const {
        return std::get<std::vector<MelVector>>(data_);
    }

    // What `print` shows: scalars as text, a vector as "x y z", an array one element per
    // line (each followed by a newline).
    std::string printed() const;

    // Converts to `to` with MEL's rules: numbers, strings and vectors into each other
    // (a vector becomes its magnitude, a number fills all three components, a string gives its
    // leading number), arrays element by element. An array never becomes a scalar nor the
    // other way round; then `error` gets "Cannot convert data of type X to type Y." and false.
    static bool convert(const MelValue& from, MelType to, MelValue& out, std::string& error);

    static bool isArrayType(MelType type);
    static MelType elementType(MelType arrayType);
    static MelType arrayType(MelType elementType);
    // "int", "float", "string", "vector", "int[]", ...; "void" for None.
    static std::string typeName(MelType type);

    // Float text, the host's choice as Maya's is not documented: up to ten significant
    // digits, no trailing zeros, so 1.0 gives "1" and 1.0/3 gives "0.3333333333".
    static std::string formatFloat(double value);
    // The number a string starts with (sign, digits, fraction, exponent); 0 when it starts
    // with anything else. `isInteger` tells whether it had neither fraction nor exponent.
    static double leadingNumber(const std::string& text, bool* isInteger = nullptr);
    // The whole string is one number (no trailing text). Used where a flag wants a number.
    static bool parseNumber(const std::string& text, double& value, bool& isInteger);
    // Float to int: truncation toward zero, clamped to int's range; NaN gives 0.
    static int truncate(double value);
    // 64-bit result to MEL's 32-bit int, wrapping as two's complement.
    static int wrap(long long value);

    friend bool operator==(const MelValue& a, const MelValue& b);

private:
    using Data =
        std::variant<std::monostate, int, double, std::string, MelVector, std::vector<int>,
                     std::vector<double>, std::vector<std::string>, std::vector<MelVector>>;
    explicit MelValue(Data data) : data_(std::move(data)) {}
    Data data_;
};

bool operator==(const MelVector& a, const MelVector& b);

}  // namespace mayahost
