#pragma once

// Alphanumeric orders: a run of digits compares by its numeric value, so "R2" sorts before "R10".
// Each takes two NUL-terminated strings and returns a sign ordering a against b; all serve directly
// as sort and index callbacks. Digit runs of any length compare exactly by value. Case folding
// touches 'A' to 'Z' only and folds down, so "[\]^_`" sort before every letter.

extern "C" {

// Exact bytes (unsigned); only the first difference is judged: a digit run there compares by
// value, equal values by the bytes from the run onwards ("R01" < "R1"). Returns -1, 0 or +1.
int alnumcmp(const char* a, const char* b);

// alnumcmp with letters folded: -1 or +1 when the numbers differ, else the difference of the
// first differing folded bytes (0 when equal).
int alnumicmp(const char* a, const char* b);

// Decimal numbers with '.' or ',' as the point compare by value ("1.5V" equals "1.50V"); after
// equal numbers the comparison goes on behind them. Returns -1, 0 or +1.
int alnumvalcmp(const char* a, const char* b);

// File-name order: from the first difference a '.' sorts before every character but after the
// end ("A" < "A.TXT" < "A1.TXT"), otherwise alnumcmp of the remainders. Returns -1, 0 or +1.
int fnamecmp(const char* a, const char* b);

// fnamecmp with letters folded and alnumicmp on the remainders; results as alnumicmp.
int fnameicmp(const char* a, const char* b);
}
