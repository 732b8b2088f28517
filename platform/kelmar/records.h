#pragma once

// The fields of kelmar's records, little-endian, on the library's field cursor and writer
// (platform/lunder/libbytes.h): placements, styles as casq stores them (styles.h) behind a u8
// length, and texts. Every record opens with its length and a version byte, so that a reader
// can refuse a record of a later version and step over one it does not read:
//   in a packed buffer (DPKB): a length word of the buffer's width counting itself;
//   in a file (VFILE): a u32 length counting what follows it, at most RECORDMAX.
// Callers: the labels, text blocks, primitives and symbols of this folder.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/lunder/libbytes.h"

class DPKB;
class VFILE;
struct CTS;
struct GSTYLE;
struct POINT;
struct TSTYLE;
template <class T> struct XSTYLE_ENTRY;

constexpr uint8_t RECORDVERSION = 1;

void putpoint(LIBWRITER& out, POINT point);
bool takepoint(LIBCURSOR& in, POINT& point);
void putcts(LIBWRITER& out, const CTS& cts);
bool takects(LIBCURSOR& in, CTS& cts);
void putstyle(LIBWRITER& out, const GSTYLE& style);
bool takestyle(LIBCURSOR& in, GSTYLE& style);
void putstyle(LIBWRITER& out, const TSTYLE& style);
bool takestyle(LIBCURSOR& in, TSTYLE& style);
// A named style: the name (LIBWRITER::str, at most XSTYLENAMEMAX characters), then the style.
template <class T> void putnamed(LIBWRITER& out, const XSTYLE_ENTRY<T>& entry);
template <class T> bool takenamed(LIBCURSOR& in, XSTYLE_ENTRY<T>& entry);
// A text of any length: u32 length, then the bytes without a NUL; at most max bytes, no NUL in it.
void puttext(LIBWRITER& out, const std::string& text);
bool taketext(LIBCURSOR& in, std::string& text, size_t max);

// A record in a file behind its u32 length; 1 when written whole.
int writerecord(VFILE& file, const LIBWRITER& record);
// Reads one record written by writerecord into bytes; false when the file ends first or the
// length is above RECORDMAX.
bool readrecord(VFILE& file, std::vector<uint8_t>& bytes);
// The version byte that opens every record: false for another version than RECORDVERSION.
bool takeversion(LIBCURSOR& in);
