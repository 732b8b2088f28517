#pragma once

#include <istream>
#include <streambuf>

class TEXT;

// Open modes of a TEXTSTREAM; other bits have no lasting effect.
constexpr int TEXTSTREAM_ATEND = 0x08; // open at the append position
constexpr int TEXTSTREAM_RAW = 0x20; // no brace escapes, no joining of lines

// A position in the stored characters of a TEXT. With escapes a single brace is a mark that is
// stepped over, a doubled brace is one character (the cursor stands on its first brace), and the
// cursor only ever stands on the start of such a character. cur is null at the end.
class TEXTCURSOR {
public:
    void start(TEXT* t, int escapes); // on the first character; null for an empty text
    void finish(TEXT* t, int escapes); // on the last character; null for an empty text
    int next(); // one character on (from null: the first one); 0 when it ran off the end
    int prev(); // one character back (from null: the last one); 0 when it ran off the start
    // The stored width of the character at cur: 2 for a doubled brace, else 1.
    int width() const;
    // Moves the pointers with the text's storage after a resize.
    void relocate(char* newbase);

    TEXT* text = nullptr;
    int escapes = 0;
    char* base = nullptr;
    char* end = nullptr; // the terminating NUL; null when the text is null
    char* cur = nullptr;

private:
    void skipmarks(); // steps over single braces to the right
};

// The stream buffer of a TEXTSTREAM. It reads the text in place, one line at a time into its own
// buffer (a line of any length is delivered whole), and writes by overwriting from the cursor,
// growing the text when a write passes its end; it never inserts and never cuts the rest.
// Reading and writing alternate freely: each switch puts the cursor where the other stopped.
class TEXTBUF : public std::streambuf {
public:
    TEXTBUF();
    TEXTBUF(const TEXTBUF&) = delete;
    TEXTBUF& operator=(const TEXTBUF&) = delete;
    ~TEXTBUF() override; // frees the line buffer; does not flush

    // Flushes pending output into the text attached before, then attaches t with the mode's
    // bits (the cursor is placed by the seek that follows).
    void attach(TEXT* t, int mode);
    // Writes all pending output into the text and forgets the reading and writing state.
    // 0, or -1 when the text could not grow (the pending characters are then lost).
    int flushall();

    TEXT* text = nullptr;
    TEXTCURSOR cursor;
    char* buffer;
    int size;
    int flags = 0;

protected:
    int_type overflow(int_type c) override;
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir way, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
    int sync() override;

private:
    int escapes() const { return (flags & TEXTSTREAM_RAW) ? 0 : 1; }
    bool outputpending() const;
};

// A standard stream over a TEXT. Unless the mode has TEXTSTREAM_RAW, single braces in the stored
// text are not delivered, doubled braces deliver one, a backslash directly before a line feed
// reads as one blank joining the two lines, and every brace written is stored doubled. The
// stream never owns the text; while attached, the text must change only through the stream.
class TEXTSTREAM : public std::iostream {
public:
    explicit TEXTSTREAM(TEXT* t = nullptr, int mode = 0);
    ~TEXTSTREAM() override; // closes

    // Attaches t (pending output goes to the text attached before) from its start, or from its
    // end with TEXTSTREAM_ATEND. The state becomes good, or badbit when t is null.
    TEXTSTREAM& open(TEXT* t, int mode);
    // Writes pending output into the text; the state becomes badbit alone when the text could
    // not grow. The text stays attached and the stream usable.
    TEXTSTREAM& close();

    TEXTBUF buf;
};
