#pragma once

#include <complex>
#include <cstdint>

// The functions that expressions may call (sin(x), pwr(a,b), limit(a,b,c) ...). One table of names
// and argument counts serves every number type of the evaluator; the position of a row selects its
// computation, so each number type keeps its computations in the same row order.

struct EVALFUNC {
    char name[8]; // lowercase, NUL-padded; at most 7 characters
    int32_t argc; // exact number of arguments: 1, 2 or 3
};

// Rows in ascending order of name; the rows behind the used ones are empty.
constexpr int EVALFUNCROWS = 32;
constexpr int EVALFUNCSUSED = 30;
constexpr int EVALFUNCMAXARGS = 3;
extern const EVALFUNC evalfuncs[EVALFUNCROWS];

// The row of the function called name (letters compared without case); -1 when name is no
// function or null.
int findevalfunc(const char* name);

// A computation: the result for the row's argc arguments.
template <class T> using EVALCOMPUTATION = T (*)(const T* args);

// The computation of a row for values of type T; null for a row without one or out of range.
template <class T> EVALCOMPUTATION<T> evalcomputation(int row);

template <> EVALCOMPUTATION<double> evalcomputation<double>(int row);
template <> EVALCOMPUTATION<std::complex<double>> evalcomputation<std::complex<double>>(int row);
