#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A firmware image as its file gives it, read and checked whole before anything is loaded.

struct IMAGEBLOCK {
    uint32_t address;
    std::vector<uint8_t> bytes; // never runs past address 0xFFFFFFFF
};

struct FIRMWAREIMAGE {
    std::vector<IMAGEBLOCK> blocks; // in file order
    bool hasstart = false;
    uint32_t start = 0;
};

// The largest image file the loaders read.
constexpr size_t MOSTIMAGEBYTES = size_t(256) << 20;

// Each reads the bytes of one image file (the text of the two record formats); false, with a
// message naming the line where there is one ("line 3: wrong checksum"), when the image is damaged
// or runs past its address space.
bool readintelhex(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error);
bool readsrecords(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error);
bool readbinary(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error);
