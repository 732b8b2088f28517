// Evaluates any text as an expression, real or complex and with the flags from the first byte, over a text
// allocated to its exact length so that the address sanitizer sees any read past the NUL. No text may crash
// the evaluator or exhaust its stack; the cursor stays inside the text, the error is a known code, a success
// leaves the cursor on the NUL, and a second evaluation gives the same outcome.
#include "core/text/ascii.h"
#include "core/text/evaluator.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

template <class T> GDIDX<VARIABLE<T>>& variables()
{
    static GDIDX<VARIABLE<T>>* vars = [] {
        auto* index = new GDIDX<VARIABLE<T>>;
        index->add(new VARIABLE<T>("VCC", T(5)));
        index->add(new VARIABLE<T>("R1", T(1e3)));
        index->add(new VARIABLE<T>("X", T(0)));
        index->add(new VARIABLE<T>("ABCDEFGHIJKLMNO", T(-1)));
        return index;
    }();
    return *vars;
}

template <class T> struct Outcome {
    T value;
    int error;
    char* stop;
};

template <class T> Outcome<T> evaluateonce(char* text, int tolerant, int chevrons)
{
    EVALUATOR<T> evaluator;
    char* cursor = text;
    T value = evaluator.evaluate(&cursor, variables<T>(), tolerant, chevrons);
    return { value, evaluator.error, cursor };
}

bool samebits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

bool samebits(std::complex<double> a, std::complex<double> b)
{
    return samebits(a.real(), b.real()) && samebits(a.imag(), b.imag());
}

template <class T> Outcome<T> check(char* text, size_t length, int tolerant, int chevrons)
{
    Outcome<T> first = evaluateonce<T>(text, tolerant, chevrons);
    require(first.stop >= text && first.stop <= text + length);
    require(first.error >= 0 && first.error < EVALERRORCOUNT && first.error != EVAL_TOOFEWARGUMENTS);
    require(first.error != EVAL_OK || *first.stop == '\0');
    require(first.error != EVAL_VARIABLENOTFOUND || chevrons || asciialpha(*first.stop));

    Outcome<T> second = evaluateonce<T>(text, tolerant, chevrons);
    require(second.error == first.error && second.stop == first.stop);
    require(samebits(second.value, first.value));
    return first;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    int tolerant = data[0] & 1;
    int chevrons = (data[0] >> 1) & 1;
    size_t length = strnlen(reinterpret_cast<const char*>(data + 1), size - 1);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), data + 1, length);
    text[length] = '\0';

    if (data[0] & 4) {
        check<std::complex<double>>(text.get(), length, tolerant, chevrons);
        return 0;
    }
    Outcome<double> first = check<double>(text.get(), length, tolerant, chevrons);
    if (!tolerant && !chevrons) {
        char* cursor = text.get();
        evaluate(&cursor, variables<double>());
        require(eval_err() == first.error && cursor == first.stop);
    }
    return 0;
}
