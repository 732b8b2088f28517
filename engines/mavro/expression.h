#pragma once

#include "engines/nerith/values.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mavro {

// A behavioural expression compiled to a flat program of steps, each reading earlier steps only.
// eval runs the program forward for the value and, when derivatives are asked for, once backward
// (reverse mode): every derivative costs one pass however many quantities the expression reads, and
// each is exact, not a difference quotient. Sub-expressions without quantities are folded when
// parsed.
class Expression final : public IFparseTree {
public:
    enum class Op : uint8_t { Constant, Quantity, Negate, Add, Subtract, Multiply, Divide, Power, Function };
    enum class Function : uint8_t {
        Abs,
        Acos,
        Acosh,
        Asin,
        Asinh,
        Atan,
        Atanh,
        Cos,
        Cosh,
        Exp,
        Ln,
        Log,
        Sin,
        Sinh,
        Sqrt,
        Tan,
        Tanh,
        Step,
        Ramp
    };

    int32_t quantities() const override { return static_cast<int32_t>(quantities_.size()); }
    bool quantity(int32_t i, int32_t* kind, IFvalue* what) const override;
    // False when a step's value, the result or a derivative is not finite (ln of 0, a division by
    // zero, sqrt of a negative number, acos at 1 whose slope is infinite, ...). derivatives may be null.
    bool eval(const double* values, double* result, double* derivatives) const override;

    // Building, in postfix order; each returns the new step's index. Operands that are constants are
    // folded into one constant step when the folded value is finite.
    int32_t constant(double value);
    // The step reading a quantity; the same quantity (kind and handle) is entered once.
    int32_t quantity(int32_t kind, const IFvalue& what);
    int32_t unary(Op op, int32_t operand, Function function = Function::Abs);
    int32_t binary(Op op, int32_t left, int32_t right);

    std::size_t size() const { return steps_.size(); }
    // The function of a name (lower case); false when there is none.
    static bool function(std::string_view name, Function* function);

private:
    struct Step {
        Op op;
        Function function;
        int32_t left; // operand step, or the quantity index of a Quantity step
        int32_t right; // second operand step
        double constant;
    };
    struct Quantity {
        int32_t kind;
        IFvalue what;
    };

    bool constantstep(int32_t index) const
    {
        return steps_[static_cast<std::size_t>(index)].op == Op::Constant;
    }
    bool run(const double* values, double* result, double* derivatives, double* value, double* adjoint) const;

    std::vector<Step> steps_;
    std::vector<Quantity> quantities_;
};

} // namespace mavro
