#pragma once

// The byte layout of a results partition file, shared by the writer, the readers and the tools.
// All integers are little-endian, doubles IEEE 754 little-endian. The file is: header, preserved
// block (optional), runs, channel table, and, only when there are more than 100 runs, the run
// table extension.
//
// Header (1248 bytes at 0): signature (32 bytes, the text below with its NUL, then padding),
// int16 version 200, int16 result status, int32 preserved block size, int32 channel table offset,
// int16 channel count, int16 run count, int32[100] run offsets, int32[100] run lengths,
// int32[100] run marker counts.
//
// Data run: items that begin with an int16 tag: -1 a time marker (double follows), -2 the end of
// the run, 0..channels-1 a sample of that channel (its width in bytes follows). A record run holds
// records (int32 byte count, name, NUL, text, NUL) ended by an int32 0; its length slot counts the
// records and its marker slot holds its byte length.
//
// Channel table entry: name and label as counted strings (one length byte, no NUL), int16 kind,
// int16 width.
//
// Run table extension: the header has room for 100 runs. A file of more runs keeps the first 100
// in the header with the header's run count at 100, so that a reader that knows only the header
// sees those 100 whole runs and nothing wrong. Right after the channel table follow the 8 bytes
// "RUNTABLE", int32 total run count (above 100), then int32 offsets, int32 lengths and int32
// marker counts of runs 100 onwards, each as one array. A reader takes the extension only when
// the header's run count is 100, the magic matches and the arrays lie within the file.

#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "partition files are read and written in host order");

namespace partitionformat {

inline constexpr char SIGNATURE[] = "WUNO PARTITION DATA FILE\x1a";  // 25 characters and the NUL
inline constexpr int32_t SIGNATURESIZE = 32;
inline constexpr int16_t VERSION = 200;

inline constexpr int32_t VERSIONAT = 32;
inline constexpr int32_t STATUSAT = 34;
inline constexpr int32_t BLOCKSIZEAT = 36;
inline constexpr int32_t TABLEOFFSETAT = 40;
inline constexpr int32_t CHANNELCOUNTAT = 44;
inline constexpr int32_t RUNCOUNTAT = 46;
inline constexpr int32_t RUNOFFSETSAT = 48;
inline constexpr int32_t RUNLENGTHSAT = 448;
inline constexpr int32_t RUNMARKERSAT = 848;
inline constexpr int32_t HEADERSIZE = 1248;
inline constexpr int32_t HEADERRUNS = 100;

inline constexpr int16_t TAGMARKER = -1;
inline constexpr int16_t TAGEND = -2;
inline constexpr int32_t MAXCHANNELS = 32767;  // sample tags are int16 from 0

inline constexpr char EXTENSIONMAGIC[8] = {'R', 'U', 'N', 'T', 'A', 'B', 'L', 'E'};
inline constexpr int32_t EXTENSIONHEADSIZE = 12;  // magic and total run count

inline constexpr int32_t MAXSTATEWORDS = 32;  // a digital sample holds at most 32 state words
inline constexpr int32_t MAXWIDTH = 4 * MAXSTATEWORDS;
inline constexpr int32_t MAXNAME = 255;  // a counted string holds at most 255 characters

// Host-order values to and from file bytes; the static_assert above makes them plain copies.
template <class T>
inline void store(unsigned char* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

template <class T>
inline T load(const unsigned char* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace partitionformat
