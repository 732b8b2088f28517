#pragma once

// Reading the files that come from outside (designs, decks, model files and libraries) without
// trusting them. Only a regular file is opened: a device, a folder or a pipe could block the open
// or never end. A file or a line beyond the limits below, which no real design comes near, is
// refused rather than read until memory runs out.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int64_t BOUNDEDFILELIMIT = int64_t { 256 } << 20; // bytes in one file
constexpr size_t BOUNDEDLINELIMIT = size_t { 1 } << 20; // bytes in one line, its line feed not counted

// Opens the file at path (a POSIX path) for reading when it is a regular file of at most limit
// bytes, without waiting on a pipe: the descriptor (close-on-exec), or -1 with the reason in error.
int openbounded(const char* path, std::string& error, int64_t limit = BOUNDEDFILELIMIT);

// The whole file at path into text, opened as openbounded opens it. False, with text empty and the
// reason in error, when it is refused, a read fails, the file grew past limit while it was read,
// or a line is longer than linelimit.
bool readbounded(const char* path, std::string& text, std::string& error, int64_t limit = BOUNDEDFILELIMIT,
    size_t linelimit = BOUNDEDLINELIMIT);

// Reads size bytes at offset of the descriptor whatever its position, going on after short and
// interrupted reads; false on an error or when the file ends first.
bool readat(int fd, void* buffer, size_t size, int64_t offset);
