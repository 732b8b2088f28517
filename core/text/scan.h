#pragma once

// Readers of NUL-terminated 8-bit text through a parse cursor: the caller's char*, passed by
// address and moved forward over what is consumed. The text is never modified and nothing is read
// past its NUL. Blanks are the "C" locale's white space; letters fold as ASCII only. Results are
// 1 (true) or 0 (false); what a failure leaves in the cursor is given per function. The cursor
// (p and *p) must not be null. A bound of n means n characters plus the NUL: buf needs n + 1 bytes.

// Skips blanks; 1 when a character other than the NUL follows.
int skipspaces(char** p);
// Skips every character that occurs in set (null or empty skips nothing); 1 when text remains.
int skipover(char** p, const char* set);
// Moves just past the next c outside double-quoted stretches; on failure 0 with the cursor on the NUL.
int skippast(char** p, char c);
// Moves onto the next c outside double-quoted stretches; on failure 0 with the cursor on the NUL.
int skipto(char** p, char c);

// After blanks, consumes c when it comes next; on failure 0 with the cursor restored.
int chkchr(char** p, char c);
// After blanks, consumes the text s when it comes next (case-insensitive, followed by anything);
// on failure 0 with the cursor restored.
int chkstr(char** p, const char* s);
// After blanks, consumes the identifier when it equals keyword (case-insensitive; an identifier is
// compared by its first 63 characters); on failure 0 with the cursor restored.
int chktok(char** p, const char* keyword);

// After blanks, copies an identifier to buf, unbounded (buf needs the remaining text's length + 1);
// on failure 0, blanks consumed, buf untouched.
int gettok(char** p, char* buf);
// As gettok with at most n characters copied, the rest unread: buf needs n + 1 bytes (n is taken
// as unsigned, so a negative n does not bound the copy).
int getnztok(char** p, char* buf, int n);

// After blanks, copies a double-quoted string ("" stands for ") or the text up to a character of
// delims (null: to the end; the delimiter stays unread) to buf, unbounded (buf needs the remaining
// text's length + 1); 0 only when the cursor stood on the NUL at entry (buf then empty).
int getstr(char** p, char* buf, const char* delims);
// As getstr with at most n characters copied (buf needs n + 1 bytes); reading stops after the
// n-th. An n below 1 reads nothing, returns 0 and writes an empty buf only when n is 0.
int getnzstr(char** p, char* buf, const char* delims, int n);
// getnzstr up to the line feed with n = 1023: buf needs 1024 bytes.
int getlinestr(char** p, char* buf);

// Reads a field (quoted, or up to term with trailing blanks cut; at most 63 characters, buf needs
// 64 bytes) and steps past term; 1 when term followed a field. An empty unquoted field consumes
// its term and returns 0; otherwise the cursor stays where reading stopped. A NUL term reads
// nothing and returns 0 with buf empty.
int getfield(char** p, char* buf, char term);

namespace scan_detail {
// getdefkwd over a null-terminated keyword table.
int getdefkwd(const char* text, int def, const char* const* keywords);
} // namespace scan_detail

// The position of the first keyword that equals the whole text (case-insensitive), or for a
// keyword NAME=number that the text begins with, that number; def for a null text or no match.
// Callers end the keywords with nullptr; nothing after the first null keyword is looked at, and a
// list without one still ends at its last argument.
template <class... Keywords> int getdefkwd(const char* text, int def, Keywords... keywords)
{
    const char* const table[] = { keywords..., nullptr };
    return scan_detail::getdefkwd(text, def, table);
}

// The position of word among the comma-separated names of list (names quoted or ended by '=',
// ',' or a blank; at most 1023 characters), or the number after NAME=; def for a null word or
// list, or no match.
int getlistkwd(const char* word, const char* list, int def);
