#pragma once

// Numbers and texts on C streams as the program's own binary files hold them: a number as 32 bits,
// little-endian; a text as its length in such a number followed by its bytes, without terminator.
// Callers: the autosave file (shell).

#include <cstddef>
#include <cstdio>

extern "C" {

// 1 when the number (its low 32 bits) was written, else 0.
int fputl(long value, FILE* stream);
// 1 when the length and the text were written, else 0.
int fputlstr(const char* text, FILE* stream);
// Reads a text that fputlstr wrote into buffer (size bytes, always terminated when size is not 0):
// its length, or -1 when the stream ends early or the text would not fit in size - 1 bytes; a text
// that does not fit is not read past its length, so no stored length makes the reader overrun.
long fgetlstr(char* buffer, size_t size, FILE* stream);
}
