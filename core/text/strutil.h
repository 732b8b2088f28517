#pragma once

// Plain C-string functions on 8-bit NUL-terminated text. They keep no state and may be called
// from any thread. White space, digits and case folding are those of the "C" locale (ascii.h).
// A bound of n means at most n characters plus the NUL: the destination needs n + 1 bytes.

#include "core/text/alnum.h"

#include <string.h>  // stpcpy(dst, src): unbounded copy returning the NUL written; the C library's

extern "C" {

// Copying and trimming.

// Copies at most n characters of src (n < 0: no bound) and always terminates; null src gives "".
// Bound: dst needs n + 1 bytes.
char* strnzcpy(char* dst, const char* src, int n);
// Appends at most n characters of src behind dst's text (n < 0: no bound); null src appends
// nothing. Bound: n counts appended characters only, dst needs strlen(dst) + n + 1 bytes.
char* strnzcat(char* dst, const char* src, int n);
// Copies src to dst with every `from` replaced by `to`; dst may equal src. Returns dst.
char* charrpl(char* dst, const char* src, char from, char to);
// Removes in place every character of s found in set (null or empty set: nothing). Returns s.
char* killchars(char* s, const char* set);
// Cuts trailing white space in place. Returns s.
char* killendspace(char* s);
// Copies src without leading and trailing white space; dst may equal src. Returns dst.
char* trimspace(char* dst, const char* src);
// The length of the longest start of text (null: "") that has at most n bytes and does not end
// inside a UTF-8 sequence; a byte that opens no valid sequence counts as a character of its own.
size_t utf8prefix(const char* text, size_t n);

// Search and replacement.

// Leftmost occurrence of key in text ignoring the case of ASCII letters; text itself for an
// empty key; null when key is absent or longer than text.
char* stristr(const char* text, const char* key);
// Copies src to dst with every occurrence of find replaced by repl (null repl: empty; empty or
// null find: nothing replaced). dst may equal src (other overlaps are not allowed). A replacement
// is written only when the output then holds at most size - 1 characters, else it and the matched
// text are dropped. Bound: dst needs size + 1 bytes (size < 0 counts as 0). Returns dst, or null
// when dst == src and the work buffer cannot be allocated.
char* strrpl(char* dst, const char* src, const char* find, const char* repl, int casesensitive, int size);
// 0 when s matches the whole pattern: '?' one character, '*' any run (a '*' absorbs the '*' and
// '?' behind it), with escapes '\' makes the next character literal. No backtracking: the text
// after a '*' is taken at its first occurrence, so "*a" does not match "aba". On a mismatch the
// difference pattern minus string character: positive when s ends first or a literal after '*' is
// missing, negative when the pattern ends before s.
int strwccmp(const char* pattern, const char* s, int escapes);
// strwccmp with ASCII letters compared without case.
int strwcicmp(const char* pattern, const char* s, int escapes);

// Tabs, fields and keywords.

// Copies src expanding tabs to fill characters up to the next stop and returns the characters
// written. nstops 1: every stops[0] columns (0 means 8); nstops 0: every 8 columns; more: the
// listed ascending columns, and a tab past the last becomes one space. Bound: reads at most
// srcmax characters of src, writes at most dstmax characters, dst needs dstmax + 1 bytes.
unsigned expandtabs(const char* src, unsigned srcmax, char* dst, unsigned dstmax, const unsigned* stops,
    unsigned nstops, char fill);
// Splits a comma-separated line into n char* buffers passed after n; a field may be quoted with
// '"' (the quote or line feed that ends it is skipped). Fields past the end of the line, or past a
// line feed that ends an unquoted field, come out empty. Bound: none, each buffer must hold the
// longest field of the line (strlen(line) + 1 bytes is always enough).
void getcsvfields(const char* line, int n, ...);
// Index of the first entry of the null-terminated table equal to word ignoring case; -1 when word
// or table is null, the table is empty or nothing matches.
int keywordp(const char* word, const char* const* table);
// keywordp over the keywords passed after word, ended by a null pointer.
int matchkeyword(const char* word, ...);
}

// A C-heap copy of s (free() releases it); null for null s. Throws std::bad_alloc when the heap
// is exhausted, so callers never hold a null copy of a real text.
char* heapstrdup(const char* s);
