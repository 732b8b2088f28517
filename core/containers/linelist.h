#pragma once

#include <cstdint>

#include "core/containers/dlist.h"

// A list of text lines: splits a text into lines and joins them back, loads and saves a text
// file, and keeps for every line a display width that insertions and removals widen (a line's
// extent is its width when non-zero, else its text length). Blank placeholders (null text) only
// arise at the tail, from remove(); they are not lines of the text and never written out.
// The list owns its lines.
class LINELIST : public DLIST_BASE {
public:
    struct LINE : DLINK_BASE {
        LINE(const char* source, int length, int32_t lineWidth); // null source: a placeholder
        ~LINE();
        LINE(const LINE&) = delete;
        LINE& operator=(const LINE&) = delete;

        char* text; // C heap; null for a blank placeholder
        int32_t width;
    };

    LINELIST() = default;
    explicit LINELIST(const char* text); // the lines of text as settext() makes them
    ~LINELIST();
    LINELIST(const LINELIST&) = delete;
    LINELIST& operator=(const LINELIST&) = delete;

    // Replaces every line by the lines of text: each newline ends a line, a non-empty rest after
    // the last newline is a last line. A null or empty text leaves no lines.
    void settext(const char* text);
    // Writes each line and a newline, then a NUL. max is the buffer size in bytes, or -1 for no
    // limit (then textsize() bytes are needed); a line that would not fit is left out and the
    // next one tried. Nothing is written for a null buffer or a max below 1 other than -1.
    void gettext(char* buffer, int max) const;
    // Number of lines and length of the longest; both 0 for an empty list.
    void getextent(int* lines, int* longest) const;
    // Buffer size gettext() needs with no limit: at least 1.
    int textsize() const;
    // Number of lines before the first placeholder.
    int count() const;
    // A new line holding a copy of text (null counts as empty) before `before` (at the tail when
    // null), widening the lines from it to the tail; returns the new line.
    LINE* insert(const char* text, LINE* before);
    // Unlinks and deletes line (nothing when null), widening the lines after it; with placeholder
    // non-zero a blank placeholder is first appended to keep the row count.
    void remove(LINE* line, int placeholder);
    // Appends the lines of a text file (a line end is LF or CR LF; longer lines come in pieces of
    // 8191 characters; NUL bytes are dropped). Returns 0 when the file cannot be read, leaving
    // the list as it was, else 1.
    int load(const char* path);
    // Writes every line and a newline into a temporary file beside path, then renames it over
    // path. Returns 1, or 0 when anything failed; the old file is then left whole.
    int save(const char* path) const;

    LINE* first() const { return static_cast<LINE*>(head); }
    static LINE* following(const LINE* line) { return static_cast<LINE*>(line->next); }
};
