#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The lines of a text image and the hexadecimal byte pairs of a record, shared by the HEX and
// S-record readers.

struct RECORDLINE {
    int number; // from 1
    std::string text; // without the line end and trailing blanks
};

// The non-empty lines of text; false when one is longer than any record can be.
bool splitrecordlines(const char* text, size_t size, std::vector<RECORDLINE>& lines, std::string& error);
// The bytes of pairs of hexadecimal digits; false on a digit that is none or an odd count.
bool hexbytes(const std::string& digits, std::vector<uint8_t>& bytes);
// The number of `count` bytes (at most 4), most significant first.
uint32_t bigendian(const uint8_t* bytes, int count);
// "line <n>: <what>"
std::string lineerror(int number, const std::string& what);
