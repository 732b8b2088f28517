#pragma once

// Finding a file by name in the current folder or along a search list of folders separated by
// ';' (tried from the left; a ';' at the end and empty elements are passed over), opening it with
// the C library's streams, existence and size tests, and the module's standard streams.
//
// Bound: search specs are formed in 517-byte buffers (516 characters and the NUL); a candidate
// that would be longer counts as not existing (pathfind cuts instead, as described there).

#include <cstdint>
#include <cstdio>

#include "core/files/paths.h"

// The spec that the calling thread's last pathopen found, or last tried; read it right after the
// call. A Windows path text: the file lies on disk under it in any case.
extern thread_local char pathopen_filespec[PATHBUFFER];

// Looks for name as given, then in each folder of paths (folder, '\' unless it ends in '\' or ':',
// name). Found: with a null mode the process's standard output as a marker (not to be written or
// closed; the spec tells where), else the stream fopen opens, or null when that fails. Not found:
// with create, the stream of name as given opened with mode; else null. The spec goes to
// pathopen_filespec: what was found, else the last candidate tried (name when paths held none).
FILE* pathopen(const char* paths, const char* name, const char* mode, int create);
// pathopen with the spec going to the caller's spec buffer (517 bytes).
FILE* pathopenspec(const char* paths, const char* name, const char* mode, int create, char* spec);
// The same search, nothing opened: 1 with the spec in found (517 bytes), 0 with the last
// candidate tried there. A folder longer than 516 characters is tried as its first 516 characters
// alone, the rest up to the next ';' as the next folder; a candidate is cut to 516 characters.
int pathfind(const char* paths, const char* name, char* found);
// Non-zero when a file or folder of that name exists; the further arguments are not used.
int fileexists(const char* name, void* unused1 = nullptr, void* unused2 = nullptr);
// The size in bytes of the file (the first match when name holds wildcards), 0x7FFFFFFF for a
// file of 2 GiB or more; -1 when nothing matches.
int32_t filesize(const char* name);

// The module's own standard output and standard error: the streams its log lines go to. Until a
// handle is attached they write to the process's descriptors 1 and 2. The streams stay the same
// objects for the module's life, so code that holds one keeps writing to it.
FILE* modulestdout();
FILE* modulestderr();
// Makes the descriptor handle (taken over) the module's standard output or error, unbuffered;
// when handle is no open descriptor, later writes to the stream fail.
void attachstdout(intptr_t handle);
void attachstderr(intptr_t handle);
