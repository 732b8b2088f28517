#pragma once

// Kernel handles: every object behind a HANDLE that CloseHandle releases derives from
// KernelObject and is known to the handle table, so that closing a stale or foreign handle fails
// instead of freeing something else.
// Callers: process support (core).

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

class KernelObject {
public:
    KernelObject();
    virtual ~KernelObject();
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    // The live object behind handle, or null when handle names none.
    static KernelObject* fromhandle(HANDLE handle);
    HANDLE handle() { return this; }
};

// Destroys the object behind handle; FALSE (ERROR_INVALID_HANDLE) when handle names none.
BOOL CloseHandle(HANDLE handle);
