// Evaluates any text as an expression, with the flags from the first byte, over a text allocated to
// its exact length so that the address sanitizer sees any read past the NUL. No text may crash the
// evaluator or exhaust its stack; the cursor stays inside the text, the error is a known code, a
// success leaves the cursor on the NUL, and a second evaluation gives the same outcome.
#include "core/text/ascii.h"
#include "core/text/evaluator.h"

#include <cmath>
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

GDIDX<VARIABLE<double>>& variables()
{
    static GDIDX<VARIABLE<double>>* vars = [] {
        auto* index = new GDIDX<VARIABLE<double>>;
        index->add(new VARIABLE<double>("VCC", 5));
        index->add(new VARIABLE<double>("R1", 1e3));
        index->add(new VARIABLE<double>("X", 0));
        index->add(new VARIABLE<double>("ABCDEFGHIJKLMNO", -1));
        return index;
    }();
    return *vars;
}

struct Outcome {
    double value;
    int error;
    char* stop;
};

Outcome evaluateonce(char* text, int tolerant, int chevrons)
{
    EVALUATOR<double> evaluator;
    char* cursor = text;
    double value = evaluator.evaluate(&cursor, variables(), tolerant, chevrons);
    return { value, evaluator.error, cursor };
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

    Outcome first = evaluateonce(text.get(), tolerant, chevrons);
    require(first.stop >= text.get() && first.stop <= text.get() + length);
    require(first.error >= 0 && first.error < EVALERRORCOUNT && first.error != EVAL_TOOFEWARGUMENTS);
    require(first.error != EVAL_OK || *first.stop == '\0');
    require(first.error != EVAL_VARIABLENOTFOUND || chevrons || asciialpha(*first.stop));

    Outcome second = evaluateonce(text.get(), tolerant, chevrons);
    require(second.error == first.error && second.stop == first.stop);
    require(std::memcmp(&second.value, &first.value, sizeof first.value) == 0
        || (std::isnan(first.value) && std::isnan(second.value)));

    if (!tolerant && !chevrons) {
        char* cursor = text.get();
        evaluate(&cursor, variables());
        require(eval_err() == first.error && cursor == first.stop);
    }
    return 0;
}
