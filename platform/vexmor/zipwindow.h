#pragma once

// The zip that an open file holds from a position to its end, as a read-only source of the zip
// library: read with pread, so the file's own position and any stream over it stay untouched.
// Bytes that stand before the zip itself (the header of an autosave file, a program in front of
// a self-extracting archive) are passed over: the end-of-central-directory record gives where the
// directory ends relative to the zip, and what lies before that is a prefix. Archives in the
// 64-bit format are handed over as they are. Internal to the reader.

#include <zip.h>

#include <cstdint>

// A source over fd from start to the end of the file (the descriptor stays the caller's and must
// outlive the source); null with error set when the file cannot be read.
zip_source_t* openzipwindow(int fd, int64_t start, zip_error_t* error);
