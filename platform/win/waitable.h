#pragma once

// Kernel objects that can be waited for: a process is signalled when it has ended.
// Callers: the autosave's watch of its verifier (framework).

#include "platform/win/handles.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/waitcodes.h"


class WaitableObject : public KernelObject {
public:
    // Whether the object is signalled now; never blocks.
    virtual bool signalled() = 0;
};

// WAIT_OBJECT_0 once the object is signalled, WAIT_TIMEOUT when ms milliseconds passed first
// (INFINITE: no limit), WAIT_FAILED (ERROR_INVALID_HANDLE) for a handle that cannot be waited for.
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
