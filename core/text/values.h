#pragma once

#include <cstdint>

// Readers of integers, circuit values and boolean words. Cursor forms read at a parse cursor as the
// scanners of core/text/scan.h do (p and *p not null; blanks, case and results alike); default
// forms (getdef...) read from the start of a whole string, skip leading blanks, ignore whatever
// follows the value and give def for a null string or no value. Integers are 32-bit and wrap
// modulo 2^32 on overflow. None reads past the text's NUL.

// After blanks, an unsigned decimal number; on failure 0, *v = 0, blanks consumed.
int getint(char** p, int32_t* v);
// After blanks, a decimal number with a sign directly before its digits; on failure 0, *v = 0,
// blanks consumed (a sign without a digit after it stays unread).
int getsint(char** p, int32_t* v);
// After blanks, binary digits; on failure 0, *v = 0, blanks consumed.
int getbin(char** p, int32_t* v);
// After blanks, hexadecimal digits, no 0x prefix; on failure 0, *v = 0, blanks consumed.
int gethex(char** p, int32_t* v);
// A number with a radix prefix at the cursor itself (0x, 0X or $ hexadecimal; 0b, 0B or % binary;
// blanks may follow the prefix), else a signed decimal after blanks; on failure 0 with the cursor
// and *v unchanged.
int getradixint(char** p, int32_t* v);
// Two hexadecimal numbers separated by a minus sign; 0 when either number or the minus is missing
// (lo and hi then hold what was read, 0 for a missing number; cursor as far as read) or p is null.
int gethexrange(char** p, int32_t* lo, int32_t* hi);

// After blanks, a real number with an optional engineering or unit letter (4k7, 100n, 2.2u, 3.3V;
// M is mega, m milli, f farad); the letters that follow it directly are skipped (10Hz, 2Meg).
// Non-zero when the value is finite; *v = the value read, NaN after a syntax error (infinity when
// it overflows); the cursor stays as far as read.
int getval(char** p, double* v);
// As getval with sep as the decimal separator, and no letters skipped after the number.
int getval(char** p, double* v, char sep);

// A boolean word (TRUE, T, ON, YES or the digit 1; FALSE, F, OFF, NO or 0); on failure 0 with the
// cursor restored and *v unchanged.
int getbool(char** p, int* v);

int getdefint(const char* s, int def); // as getsint
int32_t getdefhex(const char* s, int32_t def); // as gethex: 0x1F gives 0
int getdefradixint(const char* s, int def); // as getradixint, prefix tested at the first character
double getdefdbl(const char* s, double def); // as getval; def when the value is not finite
int getdefbool(const char* s, int def); // as getbool

// The fields of a real number as the readers collect them, for readers of values with units of
// their own: value() = sign * (m * 10^d + f) * multiplier * 10^(esign * e).
struct REALFIELDS {
    double sign = 1;
    uint32_t m = 0; // integer part, nine significant digits
    int32_t d = 0; // integer digits dropped after the ninth
    double f = 0; // fraction
    double fscale = 1; // 10^k of the k-th fraction digit read
    double multiplier = 1; // from a suffix letter
    int esign = 1;
    int32_t e = 0; // exponent; no larger than 9999, so that 1000 or more can be told apart

    void intdigit(char digit);
    void fracdigit(char digit);
    void expdigit(char digit);
    double value() const;
};
