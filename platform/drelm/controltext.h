#pragma once

// Texts of controls: UTF-8 copies into callers' buffers, key names of key edits, colour swatches
// of colour buttons and the numbers of value edits. Not for callers outside the library.

#include <string>

class CONTROL;

namespace drelm {

// The property of a key edit or colour button that holds its value.
constexpr const char* VALUEPROPERTY = "drelmvalue";
// A value edit's properties: its kind letter ('A' a plain number, shown as "%g"; 'V' a value with
// an engineering multiplier, shown by the core's fmtval with "digits" significant digits, 3 by
// default), and the unit shown after a 'V' value.
constexpr const char* VALUEKINDPROPERTY = "valuekind";
constexpr const char* UNITPROPERTY = "unit";
constexpr const char* DIGITSPROPERTY = "digits";

// Copies text into buffer: at most size - 1 bytes, never part of a character, and a terminator.
// The bytes copied; 0 for no buffer.
int copyutf8(const std::string& text, char* buffer, int size);

// The name a key edit shows for a key code: the modifiers and key ("Ctrl+Shift+F5"), or
// "<No Key Set>" for 0.
std::string keyname(unsigned long key);
// Stores the value of a key edit or colour button and shows it (key name, colour swatch).
void setvaluetext(CONTROL& control, long value);

// A value edit's text for the value.
std::string formatvalue(const CONTROL& control, double value);
// Reads a value edit's text with the core's value reader: a number with an optional engineering
// multiplier and unit letters ("4k7", "10Hz", "45°"); false for text that is no number or has a
// further number, sign or point after it.
bool readvalue(const std::string& text, double& value);

} // namespace drelm
