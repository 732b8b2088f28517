#include "platform/win/waitable.h"

#include <chrono>
#include <thread>

#include "platform/win/winerror.h"

DWORD WaitForSingleObject(HANDLE handle, DWORD ms)
{
    auto* object = dynamic_cast<WaitableObject*>(KernelObject::fromhandle(handle));
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(ms);
    // The objects here are few and short-lived children: a short poll serves.
    while (!object->signalled()) {
        if (ms != INFINITE && std::chrono::steady_clock::now() - start >= limit)
            return WAIT_TIMEOUT;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return WAIT_OBJECT_0;
}
