#pragma once

// Rounding to the preferred numbers of a decade series: the neighbour boundary is the geometric
// mean of two table values, and a value exactly on it goes up.

// The E12 value closest to x; NaN when x is not above 0, infinite or not a number.
double rounde12(double x);
// The E24 value closest to x; NaN when x is not above 0, infinite or not a number.
double rounde24(double x);
// The value of a caller's series closest to x. table holds n + 1 ascending values from 1.0 to
// 10.0 (n intervals). NaN when x is not above 0, infinite or not a number, n < 1, table is null, or the
// mantissa lies above the last table value.
double roundtoseries(double x, const double* table, int n);
