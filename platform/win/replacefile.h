#pragma once

// Files that are written beside their target and put in its place only when complete, so that a
// run that stops half-way (a fatal error, a crash, a full disk) leaves the old file whole. A target
// that is a symbolic link is saved through: the file it names is replaced, the link stays.
//
// A temporary is named "<target>.tmp<pid>-<serial>". None outlives its process: SIGTERM, SIGINT and
// SIGHUP (where their action is the default one) remove the process's open temporaries before the
// process ends, and one left by a process that was killed outright is removed by the next
// openbeside of the same target, once that process is gone.

#include <cstdio>
#include <string>

// Opens a fresh temporary file beside target for reading and writing, with the target's
// permissions when it exists; its name is stored in temporary. Null when it cannot be made. Stale
// temporaries of the target are removed first.
FILE* openbeside(const std::string& target, std::string& temporary);

// Closes stream and removes temporary; the target stays as it was. errno is kept.
void discardbeside(FILE* stream, const std::string& temporary);

// Flushes, syncs and closes stream, then renames temporary over target. The stream is closed and
// the temporary is gone in every case; false (errno set) when anything failed, the target then
// being left as it was.
bool replacetarget(FILE* stream, const std::string& temporary, const std::string& target);

// Flushes and syncs stream, then renames temporary over target with the stream left open, so that
// what the open holds (a share lock above all) passes to the target with its name: no other open
// ever finds the target without it. False (errno set) when anything failed: the target is left as
// it was, and the stream and its temporary are the caller's to discard (discardbeside).
bool renameopen(FILE* stream, const std::string& temporary, const std::string& target);

// Puts a copy of the whole of stream in the place of target, through a temporary of its own; the
// stream stays open at its position. False (errno set) when anything failed; the target is then
// left as it was.
bool publishcopy(FILE* stream, const std::string& target);

// Replaces target by the size bytes at data, through a temporary beside it. False (errno set) when
// anything failed; the target is then left as it was.
bool replacefilewith(const std::string& target, const void* data, size_t size);

// The same without waiting for the disk, for files that are only copies made again when they
// cannot be read (index caches): after a crash of the system the target may be damaged.
bool replacecopywith(const std::string& target, const void* data, size_t size);
