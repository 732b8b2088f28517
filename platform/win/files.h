#pragma once

// The file calls of the Windows C run time and system that the core's path, search and folder
// functions make, over POSIX. Every path argument is a Windows path text; it is converted at the
// path boundary (pathboundary.h), and an existing file is found without regard to case.
// Callers: files, folders and paths (core), crash reports and model libraries (simulator).

#include <cstdio>

#include "platform/win/handles.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

constexpr int MAX_PATH = 260;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};

// 0 when the path exists (mode 0; a folder passes too) or grants the access asked for (2 write,
// 4 read, 6 both); -1 otherwise.
int _access(const char* path, int mode);
// 0 when the folder was created; -1 when it exists already (in any case) or cannot be made.
int _mkdir(const char* path);
// 0 when the empty folder was removed; -1 otherwise.
int _rmdir(const char* path);
// 0 when the file was deleted; a link is deleted itself, never what it points to. -1 otherwise.
int _unlink(const char* path);
// Renames a file or folder found in any case; FALSE when it is missing or newname exists already.
BOOL MoveFileA(const char* existing, const char* newname);
// fopen on a Windows path: reading opens the existing file in any case, writing replaces a file
// that exists in another case. Null when the open fails, also for a folder.
FILE* fopenpath(const char* path, const char* mode);

// Lists the entries of a folder that match the last level of pattern ('*' and '?', ASCII case
// folded; "*.*" matches every name, "." and ".." included). Entries are described as lstat sees
// them: a link is never followed and carries FILE_ATTRIBUTE_REPARSE_POINT, not the folder bit.
// INVALID_HANDLE_VALUE when the folder cannot be read or nothing matches.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
// FALSE after the last match.
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

// The full path of name in Windows form: relative names are taken from the current folder, "."
// and ".." levels are resolved; the file need not exist. Returns the length written (without the
// terminator), the size needed (with it) when buffer holds fewer than that, 0 on failure.
// filepart, when not null, receives the start of the last level (null when the path ends in '\').
DWORD GetFullPathNameA(const char* name, DWORD size, char* buffer, char** filepart);
