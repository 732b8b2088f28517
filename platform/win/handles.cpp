#include "platform/win/handles.h"

#include <mutex>
#include <unordered_set>

#include "platform/win/winerror.h"

namespace {

std::mutex tableMutex;

std::unordered_set<const void*>& table()
{
    static std::unordered_set<const void*> live;
    return live;
}

} // namespace

KernelObject::KernelObject()
{
    std::lock_guard<std::mutex> guard(tableMutex);
    table().insert(this);
}

KernelObject::~KernelObject()
{
    std::lock_guard<std::mutex> guard(tableMutex);
    table().erase(this);
}

KernelObject* KernelObject::fromhandle(HANDLE handle)
{
    std::lock_guard<std::mutex> guard(tableMutex);
    return table().count(handle) ? static_cast<KernelObject*>(handle) : nullptr;
}

BOOL CloseHandle(HANDLE handle)
{
    KernelObject* object = KernelObject::fromhandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete object;
    return TRUE;
}
