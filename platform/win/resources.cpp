#include "platform/win/resources.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win/modules.h"
#include "platform/win/textcase.h"
#include "platform/win/winerror.h"

namespace {

using Table = std::pair<const RESOURCEENTRY*, size_t>;

std::mutex& tablesMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Function-local so that registrations during static set-up find it constructed.
std::map<HMODULE, std::vector<Table>>& tables()
{
    static std::map<HMODULE, std::vector<Table>> byModule;
    return byModule;
}

bool samename(const char* a, const char* b)
{
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    return win::equalnocase(a, b);
}

} // namespace

void registerresources(HMODULE module, const RESOURCEENTRY* entries, size_t count)
{
    std::lock_guard<std::mutex> guard(tablesMutex());
    tables()[module].emplace_back(entries, count);
}

void unregisterresources(HMODULE module, const RESOURCEENTRY* entries)
{
    std::lock_guard<std::mutex> guard(tablesMutex());
    auto it = tables().find(module);
    if (it == tables().end())
        return;
    std::erase_if(it->second, [&](const Table& table) { return table.first == entries; });
    if (it->second.empty())
        tables().erase(it);
}

HRSRC FindResourceA(HMODULE module, const char* name, const char* type)
{
    if (!module)
        module = GetModuleHandleA(nullptr);
    std::lock_guard<std::mutex> guard(tablesMutex());
    auto it = tables().find(module);
    if (it == tables().end()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool typeFound = false;
    for (const auto& [entries, count] : it->second) {
        for (size_t i = 0; i < count; ++i) {
            if (!samename(entries[i].type, type))
                continue;
            typeFound = true;
            if (samename(entries[i].name, name))
                return &entries[i];
        }
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return resource ? const_cast<void*>(resource->data) : nullptr;
}

void* LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? resource->size : 0;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

RESOURCEMODULE::RESOURCEMODULE(const RESOURCEENTRY* table, size_t count)
    : module(modulefromaddress(this))
    , entries(table)
{
    registerresources(module, entries, count);
}

RESOURCEMODULE::~RESOURCEMODULE()
{
    unregisterresources(module, entries);
}
