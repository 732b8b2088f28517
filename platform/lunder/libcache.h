#pragma once

// The index cache of one library file, format version 1: what opening the library needs (its
// directory and the keywords of its entries) in one small file, so that a set of libraries opens
// without reading them. Little-endian; strings as in the library file (libfile.h). The cache of
// the library of libfile.h's example:
//
//   offset  bytes                        field
//   0       "VKT IDX" 1A                 magic
//   8       01 00                        format version
//   10      B3 00 00 00 00 00 00 00      the library's size when indexed (179)
//   18      00 E4 0B 54 02 00 00 00      its modification time, nanoseconds since 1970
//   26      07 00 00 00                  its serial
//   30      00 01 00 00                  its capacity
//   34      3B 00 00 00                  its data offset
//   38      01                           1: keywords were read
//   39      01 00 00 00                  entry count
//   43      0F 00 "C:\LIBS\TTL.LIB" 00   the library's path as it was opened
//   61      0E 00 "DEVICE LIBRARY" 00    its kind
//   78      04 00 "7400" 00              entries: the directory record of the library (name,
//   85      80 64 5A 66 01                 created, mode,
//   90      78 00 00 00                    length),
//   94      01                             classes (1 a model, 2 a packaging),
//   95      05 00 "LOGIC" 00 ...           CAT, TYPE, SUBCAT, MFR, CODE and DESC, each a string
//                                          (empty when absent)
//
// The entries' rules are the library's; the file ends with the last entry. A cache is only ever
// a copy: one that cannot be read, is of another version, or describes another state of its
// library (path, size or time differ) is not used, and the library is indexed again.
// Callers: DLIB (dlib.h).

#include "platform/lunder/libfile.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t LIBCACHEVERSION = 1;

struct LIBCACHE {
    std::string library; // the library's path
    uint64_t size = 0;
    int64_t time = 0;
    LIBFILEHEAD head; // serial, capacity, count and data offset of the library
    uint8_t indexing = 0;
    std::string kind;
    LIBENTRIES entries;
};

// The cache in bytes; false, with a message naming file in error, when it cannot be used.
bool readlibcache(const uint8_t* bytes, size_t size, const char* file, LIBCACHE& cache, std::string& error);
// The cache file for entries (in index order; their offsets follow from the head's data offset).
std::vector<uint8_t> writelibcache(const LIBCACHE& cache, const std::vector<DLIB_INDEX_ENTRY*>& entries);
// The cache's file in the Windows path folder for the library at the Windows path library:
// "<library's file name>-<16 hex digits of a hash of its path>.IDX"; empty when too long.
std::string libcachename(const char* folder, const char* library);
