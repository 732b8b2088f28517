#pragma once

#include "host/deckrun/controls.h"
#include "engines/nerith/descriptor.h"

#include <stdexcept>
#include <string>

namespace deckrun {

// A problem that ends the run, with the message for standard error.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws Failure "what: <the engine's or the parser's text of the code>" for a code other than 0.
void check(int code, const std::string& what);

// The descriptor of the parameter of that keyword among `count`; null when none has it.
const IFparm* findparm(const IFparm* parms, int32_t count, const char* keyword);

// The index of the engine's analysis of that name; -1 when it has none.
int32_t findanalysis(const IFsimulator* engine, const char* name);

// Adds the engine's analysis of the card to the task, named by the card's kind, with its parameters
// set; throws Failure when the engine refuses one or names the card give are not in the circuit.
void addanalysis(IFsimulator* engine, IFcircuit* ckt, IFtask* task, const AnalysisCard& card);

} // namespace deckrun
