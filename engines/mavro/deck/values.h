#pragma once

#include "engines/mavro/deck/cards.h"
#include "engines/mavro/symtab.h"

#include <functional>
#include <string>
#include <string_view>

namespace mavro {

// What values read from a card need: the circuit their nodes belong to and the table that keeps
// names, vectors and parse trees for the engine.
struct Scope {
    IFcircuit* ckt;
    INPtables* table;
};

struct ParmTable {
    const IFparm* parms;
    int32_t count;
};

// The parameter of that keyword (compared without case); null when none.
const IFparm* findparm(ParmTable table, std::string_view keyword);

// The index of the device type of that name (compared without case) in the parser's descriptor; -1
// when the descriptor has none.
int32_t finddevice(std::string_view name);

// Reads the value of `parm` at the reader, in the form its kind takes on a card: a flag alone or
// "=0"/"=1", a number with its scale suffix, a node, a name, an expression to the end of the card,
// a vector as "(v v ...)" or as the numbers that follow. Vectors and trees are kept by the table; a
// string is a C heap copy for the receiver. False with *message when the value does not read (the
// offending token is consumed).
bool readvalue(
    CardReader& reader, const IFparm& parm, const Scope& scope, IFvalue* value, std::string* message);

// Steps over the value of a keyword that is not read: "= value", "(...)" or the numbers that follow.
void skipvalue(CardReader& reader);

// Reads "keyword [=] value" items to the end of the card and hands each to `set`, which returns the
// engine's code. `special` may take a keyword first (true when it read it). Bare values, unknown
// keywords (named as `what`: "parameter", "option"), values that do not read and refusals of the
// engine are reported on the card; the items after them are still read.
void readparameters(CardReader& reader, ParmTable table, const Scope& scope, CardReport& report,
    const char* what, const std::function<int(const IFparm&, IFvalue*)>& set,
    const std::function<bool(std::string_view keyword)>& special = {});

} // namespace mavro
