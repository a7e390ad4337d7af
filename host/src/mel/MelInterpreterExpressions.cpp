// MelInterpreter: expressions, variables and assignment.
#include <string>
#include <utility>

#include "MelInterpreter.h"
#include "MelOperators.h"

namespace mayahost {

namespace {

using Kind = MelNode::Kind;

}  // namespace

MelValue MelInterpreter::evaluate(const MelNode& expression) {
    switch (expression.kind) {
        case Kind::IntLiteral:
            return MelValue::ofInt(MelValue::wrap(expression.intValue));
        case Kind::FloatLiteral:
            return MelValue::ofFloat(expression.floatValue);
        case Kind::StringLiteral:
            return MelValue::ofString(expression.text);
        case Kind::VectorLiteral: {
            double components[3] = {0.0, 0.0, 0.0};
            for (std::size_t i = 0; i < 3; ++i) {
                const MelNode& component = expression.part(i);
                components[i] = convert(value(component), MelType::Float, component).asFloat();
            }
            return MelValue::ofVector({components[0], components[1], components[2]});
        }
        case Kind::ArrayLiteral:
            return literalArray(expression);
        case Kind::Variable:
            return variable(expression)->value;
        case Kind::Index:
        case Kind::Component:
            return load(expression);
        case Kind::Unary: {
            MelValue operand = value(expression.part(0));
            if (expression.text == "!") {
                return MelValue::ofInt(truth(expression.part(0), operand) ? 0 : 1);
            }
            if (expression.text == "+") {
                if (!operand.isNumber() && operand.type() != MelType::Vector) {
                    fail(expression, "Operator \"+\" cannot be used with data of type " +
                                         MelValue::typeName(operand.type()) + ".");
                }
                return operand;
            }
            MelValue negated;
            std::string error;
            if (!MelOperators::negate(operand, negated, error)) {
                fail(expression, error);
            }
            return negated;
        }
        case Kind::Increment:
            return increment(expression);
        case Kind::Binary: {
            const std::string& op = expression.text;
            if (op == "&&" || op == "||") {
                // Maya leaves short-circuiting open: the host does either (setShortCircuit).
                const bool left = truth(expression.part(0));
                if (shortCircuit_ && (op == "&&" ? !left : left)) {
                    return MelValue::ofInt(left ? 1 : 0);
                }
                const bool right = truth(expression.part(1));
                return MelValue::ofInt((op == "&&" ? left && right : left || right) ? 1 : 0);
            }
            const MelValue left = value(expression.part(0));
            const MelValue right = value(expression.part(1));
            return operate(op, left, right, expression);
        }
        case Kind::Ternary:
            return truth(expression.part(0)) ? value(expression.part(1))
                                             : value(expression.part(2));
        case Kind::Assign:
            return assign(expression);
        case Kind::Cast:
            return convert(value(expression.part(0)), expression.type, expression);
        case Kind::Call:
            return call(expression);
        case Kind::Backtick:
            return evaluate(expression.part(0));
        default:
            fail(expression, "Syntax error");
    }
}

MelValue MelInterpreter::value(const MelNode& expression) {
    MelValue result = evaluate(expression);
    if (result.isNone()) {
        const MelNode* named = &expression;
        while (named->kind == Kind::Backtick) {
            named = &named->part(0);
        }
        // Maya's wording is not documented; the host's own.
        fail(expression, "The procedure or command \"" + named->text + "\" returns no value.");
    }
    return result;
}

bool MelInterpreter::truth(const MelNode& expression) {
    return truth(expression, value(expression));
}

bool MelInterpreter::truth(const MelNode& at, const MelValue& tested) {
    bool result = false;
    std::string error;
    if (!MelOperators::truth(tested, result, error)) {
        fail(at, error);
    }
    return result;
}

MelValue MelInterpreter::literalArray(const MelNode& literal) {
    std::vector<MelValue> elements;
    elements.reserve(literal.children.size());
    // The element type is the widest given: string over vector over float over int.
    MelType type = MelType::Int;
    for (const auto& child : literal.children) {
        MelValue element = value(*child);
        if (element.isArray()) {
            fail(*child, "Cannot convert data of type " + MelValue::typeName(element.type()) +
                             " to type " +
                             MelValue::typeName(MelValue::elementType(element.type())) + ".");
        }
        if (element.type() == MelType::String || type == MelType::String) {
            type = MelType::String;
        } else if (element.type() == MelType::Vector || type == MelType::Vector) {
            type = MelType::Vector;
        } else if (element.type() == MelType::Float) {
            type = MelType::Float;
        }
        elements.push_back(std::move(element));
    }
    if (literal.children.empty()) {
        type = MelType::String;  // converted on assignment to whatever array it meets
    }
    MelValue array = MelValue::zero(MelValue::arrayType(type));
    for (const MelValue& element : elements) {
        array.append(element);
    }
    return array;
}

MelValue MelInterpreter::operate(const std::string& op, const MelValue& a, const MelValue& b,
                                 const MelNode& at) {
    MelValue result;
    std::string error;
    if (!MelOperators::binary(op, a, b, result, error)) {
        fail(at, error);
    }
    return result;
}

MelValue MelInterpreter::assign(const MelNode& assignment) {
    const MelNode& target = assignment.part(0);
    MelValue assigned = value(assignment.part(1));
    if (assignment.text != "=") {
        const std::string op = assignment.text.substr(0, assignment.text.size() - 1);
        assigned = operate(op, load(target), assigned, assignment);
    }
    return store(target, assigned, assignment);
}

MelValue MelInterpreter::increment(const MelNode& increment) {
    const MelNode& target = increment.part(0);
    const MelValue before = load(target);
    if (!before.isNumber()) {
        fail(increment, "Operator \"" + increment.text + "\" cannot be used with data of type " +
                            MelValue::typeName(before.type()) + ".");
    }
    const MelValue after =
        operate(increment.text == "++" ? "+" : "-", before, MelValue::ofInt(1), increment);
    const MelValue stored = store(target, after, increment);
    return increment.isPrefix ? stored : before;
}

MelValue MelInterpreter::load(const MelNode& target) {
    if (target.kind == Kind::Variable) {
        return variable(target)->value;
    }
    if (target.kind == Kind::Component) {
        const MelValue vector = value(target.part(0));
        if (vector.type() != MelType::Vector) {
            // Maya's wording is not documented; the host's own.
            fail(target, "The component \"." + target.text +
                             "\" needs a vector, not data of type " +
                             MelValue::typeName(vector.type()) + ".");
        }
        const MelVector v = vector.asVector();
        return MelValue::ofFloat(target.text == "x" ? v.x : (target.text == "y" ? v.y : v.z));
    }
    const std::shared_ptr<MelVariable> array = variable(target.part(0));
    const std::size_t at = index(target.part(1));
    if (!array->value.isArray()) {
        fail(target, "\"" + target.part(0).text + "\" is not an array.");
    }
    return array->value.element(at);
}

MelValue MelInterpreter::store(const MelNode& target, const MelValue& assigned, const MelNode& at) {
    if (target.kind == Kind::Variable) {
        const std::shared_ptr<MelVariable> existing = frame().find(target.text);
        if (existing == nullptr) {
            // The first assignment declares the variable with the value's type.
            auto declared = std::make_shared<MelVariable>();
            declared->type = assigned.type();
            declared->value = assigned;
            frame().bind(target.text, std::move(declared));
            return assigned;
        }
        existing->value = convert(assigned, existing->type, at);
        return existing->value;
    }
    const std::shared_ptr<MelVariable> array = variable(target.part(0));
    const std::size_t position = index(target.part(1));
    if (!array->value.isArray()) {
        fail(target, "\"" + target.part(0).text + "\" is not an array.");
    }
    MelValue element = convert(assigned, MelValue::elementType(array->type), at);
    array->value.setElement(position, element);
    return element;
}

std::shared_ptr<MelVariable> MelInterpreter::variable(const MelNode& name) {
    std::shared_ptr<MelVariable> found = frame().find(name.text);
    if (found == nullptr) {
        // Maya's text for this is not documented; this wording is the host's own.
        fail(name, "\"" + name.text + "\" is an undeclared variable.");
    }
    return found;
}

MelValue MelInterpreter::convert(const MelValue& given, MelType type, const MelNode& at) {
    MelValue converted;
    std::string error;
    if (!MelValue::convert(given, type, converted, error)) {
        fail(at, error);
    }
    return converted;
}

}  // namespace mayahost
