#pragma once

#include "core/containers/didx.h"

#include <cstdint>

// Numeric property values and the circuit's named values.
//
// Until the expression evaluator joins the kernel, a property value reads as a number with an
// engineering suffix (getval) or as the name of a variable; anything else is the error "Numeric
// literal expected". The error codes and texts are the evaluator's.

template <class T>
struct VARIABLE {
    char name[16];  // at most 15 characters
    T value;
    VARIABLE(const char* variablename, T variablevalue);
};

template <class T>
struct GDIDXKEY<VARIABLE<T>> : GDIDXINLINEKEY<VARIABLE<T>> { };

using VARIABLES = GDIDX<VARIABLE<double>>;

// The value of text against the variables: 0 with *value set, else an error code (1 to 13).
int evalexpr(const char* text, const VARIABLES& variables, double* value);
// The text of an error code of evalexpr; "" for 0 or an unknown code.
const char* evalerrortext(int code);
