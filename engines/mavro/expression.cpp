#include "engines/mavro/expression.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iterator>

namespace mavro {

namespace {

using Function = Expression::Function;
using Op = Expression::Op;

constexpr std::pair<std::string_view, Function> functions[] = { { "abs", Function::Abs },
    { "acos", Function::Acos }, { "acosh", Function::Acosh }, { "asin", Function::Asin },
    { "asinh", Function::Asinh }, { "atan", Function::Atan }, { "atanh", Function::Atanh },
    { "cos", Function::Cos }, { "cosh", Function::Cosh }, { "exp", Function::Exp }, { "ln", Function::Ln },
    { "log", Function::Log }, { "sin", Function::Sin }, { "sinh", Function::Sinh },
    { "sqrt", Function::Sqrt }, { "tan", Function::Tan }, { "tanh", Function::Tanh }, { "u", Function::Step },
    { "uramp", Function::Ramp } };

double apply(Function function, double x)
{
    switch (function) {
    case Function::Abs:
        return std::fabs(x);
    case Function::Acos:
        return std::acos(x);
    case Function::Acosh:
        return std::acosh(x);
    case Function::Asin:
        return std::asin(x);
    case Function::Asinh:
        return std::asinh(x);
    case Function::Atan:
        return std::atan(x);
    case Function::Atanh:
        return std::atanh(x);
    case Function::Cos:
        return std::cos(x);
    case Function::Cosh:
        return std::cosh(x);
    case Function::Exp:
        return std::exp(x);
    case Function::Ln:
        return std::log(x);
    case Function::Log:
        return std::log10(x);
    case Function::Sin:
        return std::sin(x);
    case Function::Sinh:
        return std::sinh(x);
    case Function::Sqrt:
        return std::sqrt(x);
    case Function::Tan:
        return std::tan(x);
    case Function::Tanh:
        return std::tanh(x);
    case Function::Step:
        return x > 0 ? 1 : 0;
    case Function::Ramp:
        return x > 0 ? x : 0;
    }
    return NAN;
}

// The slope of the function at x, given its value y there.
double slope(Function function, double x, double y)
{
    switch (function) {
    case Function::Abs:
        return x > 0 ? 1 : x < 0 ? -1 : 0;
    case Function::Acos:
        return -1 / std::sqrt(1 - x * x);
    case Function::Acosh:
        return 1 / std::sqrt(x * x - 1);
    case Function::Asin:
        return 1 / std::sqrt(1 - x * x);
    case Function::Asinh:
        return 1 / std::sqrt(x * x + 1);
    case Function::Atan:
        return 1 / (1 + x * x);
    case Function::Atanh:
        return 1 / (1 - x * x);
    case Function::Cos:
        return -std::sin(x);
    case Function::Cosh:
        return std::sinh(x);
    case Function::Exp:
        return y;
    case Function::Ln:
        return 1 / x;
    case Function::Log:
        return 1 / (x * std::log(10.0));
    case Function::Sin:
        return std::cos(x);
    case Function::Sinh:
        return std::cosh(x);
    case Function::Sqrt:
        return 0.5 / y;
    case Function::Tan:
        return 1 + y * y;
    case Function::Tanh:
        return 1 - y * y;
    case Function::Step:
        return 0;
    case Function::Ramp:
        return x > 0 ? 1 : 0;
    }
    return NAN;
}

double apply(Op op, double a, double b)
{
    switch (op) {
    case Op::Negate:
        return -a;
    case Op::Add:
        return a + b;
    case Op::Subtract:
        return a - b;
    case Op::Multiply:
        return a * b;
    case Op::Divide:
        return a / b;
    case Op::Power:
        return std::pow(a, b);
    default:
        return NAN;
    }
}

} // namespace

bool Expression::function(std::string_view name, Function* function)
{
    for (const auto& [text, code] : functions) {
        if (text == name) {
            *function = code;
            return true;
        }
    }
    return false;
}

bool Expression::quantity(int32_t i, int32_t* kind, IFvalue* what) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= quantities_.size())
        return false;
    const Quantity& entry = quantities_[static_cast<std::size_t>(i)];
    if (kind)
        *kind = entry.kind;
    if (what)
        *what = entry.what;
    return true;
}

int32_t Expression::constant(double value)
{
    steps_.push_back(Step { Op::Constant, Function::Abs, 0, 0, value });
    return static_cast<int32_t>(steps_.size() - 1);
}

int32_t Expression::quantity(int32_t kind, const IFvalue& what)
{
    int32_t index = 0;
    for (; static_cast<std::size_t>(index) < quantities_.size(); ++index) {
        const Quantity& entry = quantities_[static_cast<std::size_t>(index)];
        if (entry.kind == kind
            && (kind == IF_NODE ? entry.what.nValue == what.nValue : entry.what.uValue == what.uValue))
            break;
    }
    if (static_cast<std::size_t>(index) == quantities_.size())
        quantities_.push_back(Quantity { kind, what });
    steps_.push_back(Step { Op::Quantity, Function::Abs, index, 0, 0 });
    return static_cast<int32_t>(steps_.size() - 1);
}

int32_t Expression::unary(Op op, int32_t operand, Function function)
{
    const auto last = static_cast<int32_t>(steps_.size()) - 1;
    if (operand == last && constantstep(operand)) {
        double a = steps_.back().constant;
        double folded = op == Op::Function ? apply(function, a) : apply(op, a, 0);
        if (std::isfinite(folded)) {
            steps_.back().constant = folded;
            return last;
        }
    }
    steps_.push_back(Step { op, function, operand, 0, 0 });
    return last + 1;
}

int32_t Expression::binary(Op op, int32_t left, int32_t right)
{
    const auto last = static_cast<int32_t>(steps_.size()) - 1;
    if (left == last - 1 && right == last && constantstep(left) && constantstep(right)) {
        double folded = apply(op, steps_[static_cast<std::size_t>(left)].constant, steps_.back().constant);
        if (std::isfinite(folded)) {
            steps_.pop_back();
            steps_.back().constant = folded;
            return left;
        }
    }
    steps_.push_back(Step { op, Function::Abs, left, right, 0 });
    return last + 1;
}

bool Expression::eval(const double* values, double* result, double* derivatives) const
{
    // Most expressions are short: their scratch lives on the stack.
    constexpr std::size_t small = 64;
    if (steps_.size() <= small) {
        std::array<double, small> value;
        std::array<double, small> adjoint;
        return run(values, result, derivatives, value.data(), adjoint.data());
    }
    std::vector<double> value(steps_.size());
    std::vector<double> adjoint(steps_.size());
    return run(values, result, derivatives, value.data(), adjoint.data());
}

bool Expression::run(
    const double* values, double* result, double* derivatives, double* value, double* adjoint) const
{
    const std::size_t count = steps_.size();
    if (count == 0 || !result)
        return false;
    for (std::size_t k = 0; k < count; ++k) {
        const Step& step = steps_[k];
        double v = 0;
        switch (step.op) {
        case Op::Constant:
            v = step.constant;
            break;
        case Op::Quantity:
            v = values[step.left];
            break;
        case Op::Negate:
            v = -value[step.left];
            break;
        case Op::Add:
            v = value[step.left] + value[step.right];
            break;
        case Op::Subtract:
            v = value[step.left] - value[step.right];
            break;
        case Op::Multiply:
            v = value[step.left] * value[step.right];
            break;
        case Op::Divide:
            v = value[step.left] / value[step.right];
            break;
        case Op::Power:
            v = std::pow(value[step.left], value[step.right]);
            break;
        case Op::Function:
            v = apply(step.function, value[step.left]);
            break;
        }
        if (!std::isfinite(v))
            return false;
        value[k] = v;
    }
    *result = value[count - 1];
    if (!derivatives)
        return true;

    std::fill(derivatives, derivatives + quantities_.size(), 0.0);
    std::fill(adjoint, adjoint + count, 0.0);
    adjoint[count - 1] = 1;
    for (std::size_t k = count; k-- > 0;) {
        const Step& step = steps_[k];
        const double g = adjoint[k];
        if (g == 0)
            continue;
        switch (step.op) {
        case Op::Constant:
            break;
        case Op::Quantity:
            derivatives[step.left] += g;
            break;
        case Op::Negate:
            adjoint[step.left] -= g;
            break;
        case Op::Add:
            adjoint[step.left] += g;
            adjoint[step.right] += g;
            break;
        case Op::Subtract:
            adjoint[step.left] += g;
            adjoint[step.right] -= g;
            break;
        case Op::Multiply:
            adjoint[step.left] += g * value[step.right];
            adjoint[step.right] += g * value[step.left];
            break;
        case Op::Divide:
            adjoint[step.left] += g / value[step.right];
            adjoint[step.right] -= g * value[k] / value[step.right];
            break;
        case Op::Power: {
            const double base = value[step.left];
            const double exponent = value[step.right];
            if (!constantstep(step.left) && exponent != 0)
                adjoint[step.left] += g * exponent * std::pow(base, exponent - 1);
            // The slope by the exponent is ln(base) * base^exponent; where the power is 0 it is 0.
            if (!constantstep(step.right) && value[k] != 0)
                adjoint[step.right] += g * std::log(base) * value[k];
            break;
        }
        case Op::Function:
            adjoint[step.left] += g * slope(step.function, value[step.left], value[k]);
            break;
        }
    }
    for (std::size_t i = 0; i < quantities_.size(); ++i) {
        if (!std::isfinite(derivatives[i]))
            return false;
    }
    return true;
}

} // namespace mavro
