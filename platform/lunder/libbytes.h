#pragma once

// The fields of the library files, their index caches and the library streams of designs and
// clipboards: little-endian numbers, and strings stored as a u16 length, that many bytes and a
// NUL. The cursor never reads past the bytes it was given; the writer makes the same fields.
// Callers: the library file, index cache and library stream readers and writers of this folder.

#include <cstddef>
#include <cstdint>
#include <vector>

class DPKB;

// The longest record of an entry.
constexpr uint32_t RECORDMAX = 16u << 20;

class LIBCURSOR {
public:
    LIBCURSOR(const uint8_t* data, size_t size)
        : data(data)
        , size(size)
    {
    }

    // Each takes one field and moves past it. False when the field does not fit in what remains
    // (or, for a string, is longer than max characters, holds a NUL or lacks its terminator): the
    // cursor then stays put and fault says what was wrong.
    bool u8(uint8_t& value);
    bool u16(uint16_t& value);
    bool u32(uint32_t& value);
    bool u64(uint64_t& value);
    // value points into the data, NUL-terminated; length is its character count.
    bool str(const char*& value, uint16_t& length, size_t max);
    bool skip(size_t n);

    size_t offset() const { return position; }
    size_t remaining() const { return size - position; }
    const uint8_t* here() const { return data + position; }

    const char* fault = "";

private:
    bool take(size_t n);

    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

class LIBWRITER {
public:
    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value);
    void u32(uint32_t value);
    void u64(uint64_t value);
    // s (null: empty) with its length and NUL; the caller keeps it within 65,535 characters.
    void str(const char* s);
    void raw(const void* p, size_t n);
    // Writes value into the u32 field at offset, written before.
    void patch32(size_t offset, uint32_t value);

    std::vector<uint8_t> bytes;
};

// An entry's record in a packed buffer sits behind a length word of the buffer's width that counts
// itself. Appends the record; 0 when its length does not fit the buffer's word.
int packrecord(DPKB& buffer, const LIBWRITER& record);
// The record at the buffer's cursor: its bytes after the length word, checked against what the
// buffer holds; the cursor moves past it. False, the cursor at the end, when the length word is
// shorter than itself or longer than what remains.
bool unpackrecord(DPKB& buffer, LIBCURSOR& record);
