#pragma once

#include <string>

// Writers of the expression of a POLY controlled source. The cursor stands after the keyword POLY;
// the writers read "(n)", the controlling quantities (n node pairs for the voltage form, n
// voltage-source names for the current form) and the coefficients, and append the polynomial to
// out: "V(p,q)", "V(p)" (q is node 0) or "-V(q)" (p is node 0) factors, or "I(name)" factors, with
// the coefficients in the SPICE2 order (constant, x1, x2, x1*x1, x2*x1, x2*x2, x1*x1*x1, ...).
// No term, or only zero coefficients, gives "0.0".
//
// Bounds: terms of at most 19 factors. A polynomial whose coefficients reach a longer term, one
// without "(", and one with more than the constant coefficient but no dimension of 1 or more are
// not written: the result is then the reason (out is left as it was); otherwise null.

constexpr int MAXPOLYDEGREE = 19;

const char* writepolyvoltage(char** cursor, std::string& out);
const char* writepolycurrent(char** cursor, std::string& out);
