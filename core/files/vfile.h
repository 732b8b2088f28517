#pragma once

// One byte-stream interface over disk files (DISKFILE) and memory buffers (RAMFILE), so that the
// same reading and writing code serves both.

class VFILE {
public:
    VFILE() = default;
    VFILE(const VFILE&) = delete;
    VFILE& operator=(const VFILE&) = delete;
    virtual ~VFILE() = default;

    virtual void rewind(); // seek(0, 0)
    virtual int getc() = 0; // the next byte 0..255; -1 at the end or on error
    virtual int putc(int c) = 0; // -1 on failure
    virtual int read(void* buf, int n); // bytes read; 0 when n <= 0 or at the end
    virtual int write(const void* buf, int n); // bytes written; stops at the first failed byte
    virtual int seek(long offset, int origin) = 0; // origin 0 start, 1 current, 2 end
    virtual long tell() = 0;
    // Reads one line into buf (size bytes, always NUL-terminated): the line feed is consumed, not
    // stored; a carriage return stays. 1 when the line ended at a line feed or filled the buffer
    // (the rest stays for the next call), 0 at the end of the file even when bytes were stored.
    // With size below 2 nothing is read and the result is 1.
    virtual int getline(char* buf, int size);
    virtual int puts(const char* s); // characters offered to putc (no line feed added)
    // Formats into a 4096-byte buffer (output cut to 4095 characters) and writes it with puts.
    virtual int printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    virtual int testflags(unsigned mask); // 1 when the flag word shares a bit with mask
    virtual void setflags(unsigned newflags) { flags = newflags; }

    // Format version of the file being read; all ones (-1) until a reader sets it.
    int version = -1;
    unsigned flags = 0; // bits belong to the callers
};

// Writes a counted string: one length byte, then that many characters (no NUL). Strings longer
// than 255 characters are cut to 255; a null string is written as one 0 byte.
void vfputstr(const char* s, VFILE& f);

// Reads a counted string into buf, which must hold 256 bytes; with a null buf the result is a
// malloc'ed block the caller frees. At the end of the file buf is returned untouched (null for a
// null buf); a string cut short by the end of the file is terminated after the bytes read.
// Null also when the block cannot be allocated.
char* vfgetstr(char* buf, VFILE& f);

// Copies src from its position to its end into dst; the number of bytes dst accepted. Bytes that
// dst refuses stay unread in src.
int vfcopy(VFILE& src, VFILE& dst);
