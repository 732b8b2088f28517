#pragma once

class DPKB;
class VFILE;

// An owned, NUL-terminated text on the C heap (null when there is none), which stores itself in
// packed records. A text written to a file is one record: a 32-bit length word counting itself,
// then the text and its NUL (the word alone for a null text).
class TEXT {
public:
    explicit TEXT(const char* s = nullptr);
    TEXT(const TEXT& other); // copies the text
    TEXT& operator=(const TEXT& other); // copies the text; safe for self-assignment
    virtual ~TEXT();

    // Replaces the text by a copy of s (null: no text); s may point into the old text.
    virtual void settext(const char* s);
    // Resizes the block to n + 1 bytes and returns it; null (old text kept) when n < 0 or the
    // block cannot be resized. Bytes beyond the old NUL are not initialised.
    virtual char* resize(int n);
    // Loads a text stored by write. 0 when the record was damaged or cut short: the text then
    // holds what the record held up to the damage (null when nothing).
    virtual int read(VFILE& f);
    // 1 when the record was written whole.
    virtual int write(VFILE& f);
    // Appends a length word L and L bytes: the text with its NUL (L = 0 for no text). The word
    // is 16-bit in a DPKB_WORD16 buffer, which takes texts of at most 65,534 characters: longer
    // ones pack nothing and give 0.
    virtual int pack(DPKB& b);
    // Reads what pack appended; the copy stops at the first NUL and never passes the buffer's
    // end. 0 when the record ended early: the text then holds what was there.
    virtual int unpack(DPKB& b);

    char* text;
};
