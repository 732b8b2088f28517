#pragma once

#include "core/text/text.h"

// A property text: lines NAME=VALUE grouped into sections that start at header lines "*NAME",
// with comments (';') and parts hidden in braces ("{*NAME}", "{NAME=}VALUE", "NAME={VALUE}",
// "{NAME=VALUE}"). The lines above the first header form the default section, which a null section
// argument names. Names of sections and properties compare without regard to ASCII letter case.
// Every operation reads logical lines (see PROPSCAN): braces taken out, lines joined at a trailing
// backslash, cut to 8191 characters.
class PROPTEXT : public TEXT {
public:
    explicit PROPTEXT(const char* s = nullptr); // the default section name starts empty
    PROPTEXT(const PROPTEXT& other); // copies the text and the default section name
    PROPTEXT& operator=(const PROPTEXT& other);

    // Look-ups; they never change the text. The values returned by operator[] and get live in a
    // buffer of that operation and thread, valid until the next call of the same operation.

    // The value of the first property of that name anywhere in the text, blanks after the '='
    // skipped; null when absent.
    char* operator[](const char* name) const;
    // That value read as a boolean (TRUE, T, ON, YES, 1); 0 when absent.
    int test(const char* name) const;
    // 1 when that value equals value (exact: with letter case), 0 when it differs or is absent.
    int test(const char* name, const char* value, int exact) const;
    // The rest of the line after the '=' (leading blanks kept) of the first property of that name
    // in the section (null: the default section, lines above the first header included); null
    // when absent. A section whose header occurs twice is searched in both places.
    char* get(const char* sec, const char* name) const;
    // 1 when the section holds a property of that name.
    int exists(const char* sec, const char* name) const;

    char defsection[50]; // the section a null argument names; at most 49 characters
};
