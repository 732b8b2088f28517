#pragma once

#include <cstdint>

// Readers of lengths with units, colour triples and hexadecimal byte blocks. Cursor forms read at
// a parse cursor as the scanners of core/text/scan.h do (p and *p not null); default forms
// (getdef...) read from the start of a whole string and give def for a null string or no value.

// A length: a number with sign, fraction and exponent, then a unit word (m cm mm um nm yd ft in th
// mil, case-insensitive, so M is the metre), a feet mark (optionally followed by inches, 5'6.5")
// or an inch mark; a bare number counts `unit` steps of 10 nm. *v = the length in steps divided
// by div, rounded half away from zero (div 1 keeps steps, 2540 gives thou, 100000 millimetres).
// 1 on success; 0 on a syntax error, an unknown unit word (which is consumed), or a result outside
// the 32-bit range: *v unchanged, the cursor as far as read.
int getdim(char** p, int* v, int unit, int div);
// The length at the start of s as getdim reads it, or def.
int getdefdim(const char* s, int def, int unit, int div);

// A colour "(r,g,b)", each component decimal or 0x hexadecimal (the prefix directly after the
// parenthesis or comma), in the COLORREF layout: r | g << 8 | b << 16, a component above 255
// carrying into the higher bytes. 1 on success; on failure 0 with the cursor and *rgb unchanged.
int getrgb(char** p, uint32_t* rgb);
// The colour at the start of s as getrgb reads it, or def.
uint32_t getdefrgb(const char* s, uint32_t def);

// A byte block from hexadecimal text, two digits per byte, high digit first; an odd last digit is
// ignored and the text ends at the first pair that is not two hexadecimal digits. With hex null
// the block is copied from rawlen bytes at raw instead. *len holds buf's capacity on entry (len
// null: unlimited) and the number of bytes written on return. Returns buf; null with a count of 0
// when hex and raw (or buf) are null.
unsigned char* gethexblock(
    const char* hex, unsigned char* buf, unsigned int* len, const void* raw, unsigned int rawlen);
