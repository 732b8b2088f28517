#pragma once

#include "engines/mavro/mavro.h"

#include <deque>
#include <map>
#include <string>

// The recording fake of the deck parser: the exports of mavro.h, each recorded
// (engines/fakes/recorder.h). The symbol table, the tokenizer and the number reader are the real
// parser's; the passes read nothing and answer what a test scripted, INPgetMod answers the models a
// test put in, INPgetTree gives a tree that remembers its text.
namespace fakes {

class ExpressionTree final : public IFparseTree {
public:
    explicit ExpressionTree(std::string text)
        : text(std::move(text))
    {
    }
    int32_t quantities() const override { return 0; }
    bool quantity(int32_t, int32_t*, IFvalue*) const override { return false; }
    bool eval(const double*, double* result, double*) const override
    {
        *result = 0;
        return true;
    }
    std::string text;
};

struct Parser {
    std::map<std::string, INPmodel> models;  // INPgetMod's answers by name
    std::deque<ExpressionTree> trees;        // INPgetTree's trees, in order
};

Parser& parser();
// Restores the fake as loaded (called by fakes::reset).
void resetparser();

}  // namespace fakes
