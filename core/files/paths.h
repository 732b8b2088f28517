#pragma once

// Windows path texts taken apart and put together. Paths are 8-bit NUL-terminated texts; only the
// backslash and the drive colon separate levels ('/' is an ordinary character except where said).
// The extension of a name is the text from its last '.' after the last separator ('.cfg' is all
// extension); extensions are passed without their point. A folder argument may be a search list
// of folders separated by ';', of which only the first is used.
//
// Bound: path buffers hold 517 bytes (516 characters and the NUL). The functions that make a
// longer text (addext, adddefext, addfilename, adddefpath, derivefilename) give an empty text
// instead of a cut one, since a cut path names another file: the caller tests for "" once after
// a chain of them, as an empty source stays empty through addext and adddefext. qualifyfilename
// gives null, compactpath keeps to its n bytes; the rest never give more than their source. No
// function touches the disk except qualifyfilename.

#include <cstddef>

constexpr size_t PATHBUFFER = 517;

extern "C" {

// Pointer into path at its file-name part (after the last '\' or ':'); the whole text without one.
char* filename(const char* path);
// Pointer into name at the '.' of its extension, or at its terminator when it has none.
char* dotext(const char* name);
// dst holding the file-name part of src; here the last '\' wins over a later ':' ("C:\d\a:b"
// gives "a:b").
char* copyfilename(char* dst, const char* src);
// dst holding the file-name part of src without its extension.
char* filestem(char* dst, const char* src);
// dst holding src without its extension; dst may be src.
char* stripext(char* dst, const char* src);
// dst holding src with its extension replaced by ext, or with "." and ext appended; dst may be src.
// "" for an empty src.
char* addext(char* dst, const char* src, const char* ext);
// dst holding src, with "." and ext appended only when src has no extension; dst may be src.
// "" for an empty src.
char* adddefext(char* dst, const char* src, const char* ext);
// dst holding the first folder of dir, a '\' unless it ends in '\' or ':', and name; a null or
// empty dir (or first folder) gives name alone. dst may be dir.
char* addfilename(char* dst, const char* dir, const char* name);
// path, given the folder dir when it is a bare name (no '\' and no ':'); "" stays "". "" as well
// when the joined path would not fit.
char* adddefpath(char* path, const char* dir);
// dst holding the folder part of src: up to its last '\' when it has two or more, up to and
// including its only '\' (so "C:\b.txt" gives "C:\"), up to and including its last ':' when it
// has no '\' ("C:b" gives "C:"), else "".
char* pathtrim(char* dst, const char* src);
// dst holding the companion file of path: prefix and path's file name with its extension replaced
// by ext, in path's folder ("C:\d\x.txt", "~", "bak" gives "C:\d\~x.bak"). An empty text when
// path, the new name or the result would pass 516 characters, or the new name is empty.
char* derivefilename(char* dst, const char* path, const char* prefix, const char* ext);
// dst holding the full path of name (from the current folder; the file need not exist); null,
// with dst not to be used, when the full path would pass 516 characters or cannot be formed.
char* qualifyfilename(char* dst, const char* name);
// dst holding a display form of src of fewer than n characters (n is dst's size): src itself when
// short enough, else its first level, "\..." and as many trailing levels as fit, else its file
// name (cut to n - 4 characters and "..."). n 0 leaves dst untouched.
char* compactpath(char* dst, const char* src, unsigned n);
// text with every '"', '*', '/', ':', '?' and '\' replaced by c, in place.
char* safefilename(char* text, char c);
// path with '/' turned into '\', runs of backslashes halved (rounded up) and a pair of enclosing
// double quotes removed, in place.
char* cleanquotedpath(char* path);
}
