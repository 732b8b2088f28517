#pragma once

// The C run time's and the system's file controls that the autosave uses on its share-mode
// streams: cutting a file to a length, and the critical-error mode it sets around its scan.
// Callers to come: the autosave (issue 51).

#include "platform/win/scalars.h"

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;

// Cuts or extends the file open on descriptor fd to size bytes: 0, or -1 with errno set (EINVAL
// for a negative size). Callers to come: the autosave, which cuts its file (issue 51).
int _chsize(int fd, long size);
// Sets the process's error mode and answers the previous one. Nothing on this system shows a
// critical-error box, so the mode is only kept for the callers that read it back. Callers to
// come: the autosave's scan of earlier files (issue 51).
UINT SetErrorMode(UINT mode);
