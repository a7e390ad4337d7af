#include "MelOperators.h"

#include <climits>
#include <cmath>

namespace mayahost {

namespace {

bool unusable(const std::string& op, const MelValue& value, std::string& error) {
    // Maya's wording for an operator on an unsuitable type is not documented; this is ours.
    error = "Operator \"" + op + "\" cannot be used with data of type " +
            MelValue::typeName(value.type()) + ".";
    return false;
}

MelVector combine(const MelVector& a, const MelVector& b, char op) {
    switch (op) {
        case '+':
            return {a.x + b.x, a.y + b.y, a.z + b.z};
        case '-':
            return {a.x - b.x, a.y - b.y, a.z - b.z};
        case '*':
            return {a.x * b.x, a.y * b.y, a.z * b.z};
        default:
            return {a.x / b.x, a.y / b.y, a.z / b.z};
    }
}

bool compare(const std::string& op, int order, MelValue& out) {
    bool result = false;
    if (op == "==") {
        result = order == 0;
    } else if (op == "!=") {
        result = order != 0;
    } else if (op == "<") {
        result = order < 0;
    } else if (op == "<=") {
        result = order <= 0;
    } else if (op == ">") {
        result = order > 0;
    } else {
        result = order >= 0;
    }
    out = MelValue::ofInt(result ? 1 : 0);
    return true;
}

template <typename T>
int order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool isComparison(const std::string& op) {
    return op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=";
}

bool comparison(const std::string& op, const MelValue& a, const MelValue& b, MelValue& out,
                std::string& error) {
    const MelType ta = a.type();
    const MelType tb = b.type();
    if (ta == MelType::String && tb == MelType::String) {
        // Case-sensitive, by content; < and > order bytewise (Maya leaves them undocumented).
        const int c = a.asString().compare(b.asString());
        return compare(op, c < 0 ? -1 : (c > 0 ? 1 : 0), out);
    }
    if (ta == MelType::Vector || tb == MelType::Vector) {
        if (op != "==" && op != "!=") {
            return unusable(op, ta == MelType::Vector ? a : b, error);
        }
        return compare(op, a.asVector() == b.asVector() ? 0 : 1, out);
    }
    // A string against a number reads as the number it starts with (the host's choice).
    if (ta == MelType::Float || tb == MelType::Float || ta == MelType::String ||
        tb == MelType::String) {
        if ((ta == MelType::String || tb == MelType::String) && ta != MelType::Float &&
            tb != MelType::Float) {
            return compare(op, order(a.asInt(), b.asInt()), out);
        }
        return compare(op, order(a.asFloat(), b.asFloat()), out);
    }
    return compare(op, order(a.asInt(), b.asInt()), out);
}

bool vectorArithmetic(const std::string& op, const MelValue& a, const MelValue& b, MelValue& out,
                      std::string& error) {
    const bool bothVectors = a.type() == MelType::Vector && b.type() == MelType::Vector;
    const MelVector va = a.asVector();
    const MelVector vb = b.asVector();
    if (op == "^") {
        if (!bothVectors) {
            return unusable(op, a.type() == MelType::Vector ? b : a, error);
        }
        out = MelValue::ofVector(
            {va.y * vb.z - va.z * vb.y, va.z * vb.x - va.x * vb.z, va.x * vb.y - va.y * vb.x});
        return true;
    }
    if (op == "*" && bothVectors) {
        out = MelValue::ofFloat(va.x * vb.x + va.y * vb.y + va.z * vb.z);  // dot product
        return true;
    }
    if (op == "%") {
        return unusable(op, a.type() == MelType::Vector ? a : b, error);
    }
    out = MelValue::ofVector(combine(va, vb, op[0]));
    return true;
}

bool intArithmetic(const std::string& op, int a, int b, MelValue& out, std::string& error) {
    const long long la = a;
    const long long lb = b;
    if (op == "+") {
        out = MelValue::ofInt(MelValue::wrap(la + lb));
    } else if (op == "-") {
        out = MelValue::ofInt(MelValue::wrap(la - lb));
    } else if (op == "*") {
        out = MelValue::ofInt(MelValue::wrap(la * lb));
    } else if (op == "/" || op == "%") {
        if (b == 0) {
            error = "Division by zero.";  // Maya's text is not documented; this is ours
            return false;
        }
        out = MelValue::ofInt(MelValue::wrap(op == "/" ? la / lb : la % lb));
    } else {
        return unusable(op, MelValue::ofInt(a), error);
    }
    return true;
}

bool floatArithmetic(const std::string& op, double a, double b, MelValue& out, std::string& error) {
    if (op == "+") {
        out = MelValue::ofFloat(a + b);
    } else if (op == "-") {
        out = MelValue::ofFloat(a - b);
    } else if (op == "*") {
        out = MelValue::ofFloat(a * b);
    } else if (op == "/") {
        out = MelValue::ofFloat(a / b);
    } else if (op == "%") {
        out = MelValue::ofFloat(std::fmod(a, b));
    } else {
        return unusable(op, MelValue::ofFloat(a), error);
    }
    return true;
}

}  // namespace

bool MelOperators::binary(const std::string& op, const MelValue& a, const MelValue& b,
                          MelValue& out, std::string& error) {
    for (const MelValue* operand : {&a, &b}) {
        if (operand->isArray() || operand->isNone()) {
            return unusable(op, *operand, error);
        }
    }
    if (isComparison(op)) {
        return comparison(op, a, b, out, error);
    }
    const bool anyString = a.type() == MelType::String || b.type() == MelType::String;
    if (op == "+" && anyString) {
        out = MelValue::ofString(a.asString() + b.asString());
        return true;
    }
    if (anyString) {
        return unusable(op, a.type() == MelType::String ? a : b, error);
    }
    if (a.type() == MelType::Vector || b.type() == MelType::Vector) {
        return vectorArithmetic(op, a, b, out, error);
    }
    if (a.type() == MelType::Float || b.type() == MelType::Float) {
        return floatArithmetic(op, a.asFloat(), b.asFloat(), out, error);
    }
    return intArithmetic(op, a.asInt(), b.asInt(), out, error);
}

bool MelOperators::negate(const MelValue& a, MelValue& out, std::string& error) {
    switch (a.type()) {
        case MelType::Int:
            out = MelValue::ofInt(MelValue::wrap(-static_cast<long long>(a.asInt())));
            return true;
        case MelType::Float:
            out = MelValue::ofFloat(-a.asFloat());
            return true;
        case MelType::Vector: {
            const MelVector v = a.asVector();
            out = MelValue::ofVector({-v.x, -v.y, -v.z});
            return true;
        }
        default:
            return unusable("-", a, error);
    }
}

bool MelOperators::truth(const MelValue& a, bool& out, std::string& error) {
    switch (a.type()) {
        case MelType::Int:
            out = a.asInt() != 0;
            return true;
        case MelType::Float:
        case MelType::Vector:
            out = a.asFloat() != 0.0;
            return true;
        case MelType::String:
            // A string tests as the number it starts with, as in a conversion to int.
            out = MelValue::leadingNumber(a.asString()) != 0.0;
            return true;
        default: {
            MelValue unused;
            return MelValue::convert(a, MelType::Int, unused, error);
        }
    }
}

}  // namespace mayahost
