#pragma once

#include <cstddef>

// Stateless conversions of NUL-terminated 8-bit text into caller buffers: XML and HTML escaping,
// quoted-printable and Base64 for mail and web transfer, line-end conventions, thousands
// separators and title case. Only fmtcsn without a buffer uses a (per-thread) static buffer.

// Copies src to dst with XML/HTML references: & < > and the double quote become &amp; &lt; &gt;
// &quot;; characters U+0080 to U+009F become &#128; to &#159;, U+00A0 to U+00FF their HTML 4
// Latin-1 entity names (&nbsp; to &yuml;), characters above U+00FF numeric references. A valid
// UTF-8 sequence counts as one character, any other byte of 0x80 and above as a Latin-1 one, so
// the output is plain ASCII. With keep non-zero an '&' that opens a numeric reference or one of
// the Latin-1 entity names is left as it is. dst holds size bytes: at most size - 1 characters
// and the NUL are written, and output ends at the first reference that does not fit whole.
// Nothing is written when size < 1; a null src gives an empty text. Returns dst.
char* xmlescape(const char* src, char* dst, int size, int keep);

// Writes len bytes of src as quoted-printable text (soft line breaks after column 72, a leading
// '.' or "From " escaped, a space before a line end or at the end as =20) and a NUL.
// dst needs 3 * len + 2 * (3 * len / 73) + 1 bytes. Returns the output length + 1, or -1 when
// src or dst is null.
long qpencode(const unsigned char* src, size_t len, char* dst);

// Encodes the whole file at path in Base64 as MIME lines (a line feed after every 76
// characters). With *out null the buffer is allocated with malloc into *out (the caller frees
// it); otherwise *out is the caller's buffer of size bytes. Returns the output length + 1; 0
// when the file cannot be read, the buffer cannot be allocated or the output does not fit:
// then a caller's buffer holds an empty text (when size >= 1) and *out, when it was null,
// stays null.
size_t base64file(const char* path, char** out, size_t size);

// Line-end conversions from src into dst, which must not overlap src unless said. Each writes a
// NUL and returns the number of characters written before it; a null src counts as empty.
// Each line feed becomes CR LF; dst needs 2 * strlen(src) + 1 bytes.
int lftocrlf(char* dst, const char* src);
// Drops each carriage return directly followed by a line feed; dst may be src.
int crlftolf(char* dst, const char* src);
// Each line feed becomes a backslash and 'n'; reads at most max source characters (max < 0:
// to the end); dst needs twice the characters read + 1 bytes.
int escape_eols(char* dst, const char* src, int max);
// Each backslash and 'n' becomes a line feed, other backslashes stay; reads at most max source
// characters (max < 0: to the end); dst may be src.
int unescape_eols(char* dst, const char* src, int max);

// n in decimal with a comma before each group of three digits (-1,234,567). buf needs 27 bytes;
// with buf null the text goes to a per-thread static buffer that the next such call overwrites.
char* fmtcsn(long n, char* buf);

// Title case in place: letters A to Z are lowered and each letter that starts the text or
// follows a non-letter is raised (MAIN POWER supply: Main Power Supply). With onlyupper non-zero
// a text holding any lower-case letter is left as it is. Returns s (null for null).
char* capitalise(char* s, int onlyupper);
