#pragma once

// Names of key codes for menus and the key-map file. A key code carries the virtual key in bits
// 0-7, the extended-key bit 8 and the modifiers in bits 12-15 and again in bits 16-19 (Shift 1,
// Ctrl 2, Alt 4, Windows 8 in each set; either set counts). The answers are per-thread buffers,
// valid until the next call of the same function on the thread.
// Callers: the key translator and the key settings (framework).

// The name of the key without its modifiers: "A", "5", "F1", "Page Up", "Num 7", ";"; a key
// without a name gives "#" and its two hexadecimal digits.
const char* getkeytext(unsigned long key);
// The modifiers of key in the order of letters (W Windows, C Ctrl, A Alt, S Shift; other letters
// are passed over), each name followed by separator: ("Ctrl+Shift+" for Ctrl+Shift+X with "+" and
// "WCAS"); "" without modifiers.
const char* getshiftkeytext(unsigned long key, const char* separator, const char* letters);
