#pragma once

// Share modes over advisory locks. Windows refuses to open a file that another open has denied to
// it; here every share-mode open takes an open-file-description lock on the whole file (deny-all
// an exclusive one, deny-write a shared one) or checks that none stands in its way (deny-none), so
// share-mode opens of any process exclude each other as on Windows. A lock lives with its open
// file and dies with its process, however that ends. Plain fopen calls do not look at the locks.
// Descriptors are close-on-exec, so a child process never inherits a lock. Callers: the autosave
// (the running instance's file, the verifier's deny-write read), the archive's disk files and
// the backups on save.

#include <cstdio>

#include "platform/win/scalars.h"

constexpr int _SH_DENYRW = 0x10;
constexpr int _SH_DENYWR = 0x20;
constexpr int _SH_DENYNO = 0x40;

constexpr LONG ERROR_SHARING_VIOLATION = 32;
constexpr LONG ERROR_FILE_EXISTS = 80;

// fopen on a Windows path (found as fopenpath finds it) with a share mode. The mode letters of
// fopen are taken, plus 'c' (commit on flush, accepted: a flush hands the data to the system as
// always). "w" empties the file only once the lock is held, so a refused open never harms a file
// in use. A file without write permission opened deny-all for reading gets a shared lock: it keeps
// writers out but not other readers. Null with errno EACCES and the last error
// ERROR_SHARING_VIOLATION when another open denies the access; null with errno set otherwise.
FILE* _fsopen(const char* path, const char* mode, int shflag);

// Takes on an open stream the lock that _fsopen takes with shflag: TRUE, or FALSE with the last
// error ERROR_SHARING_VIOLATION when another open holds a lock against it. For a file opened
// otherwise (a temporary written beside its target) that is to be held like one _fsopen opened.
BOOL locksharemode(FILE* stream, int shflag);

// Copies the file existing over newname (both Windows paths; newname is replaced whole or not at
// all). FALSE with ERROR_FILE_EXISTS when newname exists and failifexists is set, with
// ERROR_SHARING_VIOLATION when an open holds a share lock on newname, with ERROR_FILE_NOT_FOUND
// when existing is no readable file.
BOOL CopyFileA(const char* existing, const char* newname, BOOL failifexists);

// Deletes a file (a link itself, never what it points to) unless an open holds a share lock on it:
// FALSE with ERROR_SHARING_VIOLATION then, ERROR_FILE_NOT_FOUND when it is missing.
BOOL DeleteFileA(const char* path);
