#pragma once

// The library file, format version 1. Little-endian; a string is a u16 length, that many bytes and
// a NUL. A device library holding one entry, "7400", of 120 bytes:
//
//   offset  bytes                        field
//   0       "VKT LIB" 1A                 magic
//   8       01 00                        format version
//   10      07 00 00 00                  serial: one more with every write of the file
//   14      00 01 00 00                  capacity: the most entries the library takes (256)
//   18      01 00 00 00                  entry count
//   22      3B 00 00 00                  data offset (59): the directory ends here
//   26      0E 00 "DEVICE LIBRARY" 00    kind
//   43      04 00 "7400" 00              directory, one record per entry: name,
//   50      80 64 5A 66                    created (seconds since 1970: 2024-06-01),
//   54      01                             packing mode (0 16-bit length words, 1 32-bit),
//   55      78 00 00 00                    length of its data (120)
//   59      78 00 00 00 ...              the data of the entries in directory order, each the
//                                        record its owner packed (a DPKB, which opens with its
//                                        own length word)
//
// Names hold 1 to 63 characters and stand in strictly rising order by alnumicmp (so no two differ
// only in case); a length is at least its mode's length word and at most 65,535 in mode 0; the
// count is at most the capacity, the capacity at most LIBMAXCAPACITY; the data fill the file to
// its end. A reader refuses a file of a later version without reading further, and a file that
// breaks any rule as damaged. The index cache (libcache.h) repeats the directory records.
// Callers: DLIB (dlib.h), the index cache.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class LIBCURSOR;
struct DLIB_INDEX_ENTRY;

constexpr uint16_t LIBFILEVERSION = 1;
constexpr size_t LIBHEADSIZE = 26;
constexpr uint32_t LIBMAXCAPACITY = 1000000;
constexpr size_t LIBKINDMAX = 63;

struct LIBFILEHEAD {
    uint32_t serial = 0;
    uint32_t capacity = 0;
    uint32_t count = 0;
    uint32_t dataoffset = 0;
};

// One entry to write: its data is the record as packed, its length word set.
struct LIBFILEENTRY {
    const char* name;
    uint32_t created;
    uint8_t mode;
    const uint8_t* data;
    uint32_t length;
};

using LIBENTRIES = std::vector<std::unique_ptr<DLIB_INDEX_ENTRY>>;

// The head from the first bytes of a file of filesize bytes (size: what was read of it, at most
// LIBHEADSIZE needed). False, with a message naming file in error, when the file is too short,
// lacks the magic, is of a later version, or its data offset lies outside it.
bool readlibhead(const uint8_t* bytes, size_t size, uint64_t filesize, const char* file, LIBFILEHEAD& head,
    std::string& error);
// Kind and directory from the file's first head.dataoffset bytes; the entries' offsets follow from
// the data offset and the lengths. False, with a message naming file, on any broken rule.
bool readlibindex(const uint8_t* bytes, const LIBFILEHEAD& head, uint64_t filesize, const char* file,
    std::string& kind, LIBENTRIES& entries, std::string& error);

// One directory record (name, created, mode, length) into entry, checked against the previous
// name (null for the first); false with the broken rule in fault.
bool readlibrecord(LIBCURSOR& cursor, const char* previous, DLIB_INDEX_ENTRY& entry, std::string& fault);
// Whether the data of an entry agree with its directory record: the record's own length word.
bool checkrecord(const uint8_t* data, uint32_t length, uint8_t mode);
// Whether a record of that length can be stored in that mode.
bool storablerecord(uint32_t length, uint8_t mode);

// The whole file for entries, given in index order.
std::vector<uint8_t> writelibfile(
    const char* kind, uint32_t capacity, uint32_t serial, const std::vector<LIBFILEENTRY>& entries);
