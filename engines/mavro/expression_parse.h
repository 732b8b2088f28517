#pragma once

#include "engines/mavro/expression.h"
#include "engines/mavro/symtab.h"

#include <memory>
#include <string>
#include <string_view>

namespace mavro {

struct ParseError {
    int code = 0; // E_SYNTAX, or the engine's code when a node could not be made
    std::string message; // what is wrong, with the column (from 1) where it was found
};

// Parses the whole of `text` as a behavioural expression: numbers with scale suffixes, + - * / ^ (and
// **), unary signs, parentheses, the functions of Expression::function (ln natural, log base 10),
// v(node), v(node,node), i(source), time, names quoted ("Net Name") to keep blanks and case. Nodes are
// found or made as card nodes are; source names are entered in the table. Null with *error set when
// the text does not read (*error untouched otherwise).
std::unique_ptr<Expression> parseexpression(
    std::string_view text, IFcircuit* ckt, INPtables* table, ParseError* error);

} // namespace mavro
