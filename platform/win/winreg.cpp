#include "platform/win/winreg.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win/regstore.h"
#include "platform/win/winerror.h"

using regstore::Hive;
using regstore::Key;

// An open key: the hive, the key's path in it and the rights it was opened with. Keys are found
// by path on every call, so a handle stays valid while other processes rewrite the hive.
struct RegistryKey {
    Hive hive;
    std::string path;
    REGSAM rights;
};

namespace {

constexpr REGSAM writeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK;
constexpr REGSAM machineRights = KEY_READ;

struct Target {
    Hive hive = Hive::user;
    std::vector<std::string> levels;
    REGSAM rights = 0;
    bool predefined = false;
};

LONG resolve(HKEY key, const char* subkey, Target& target)
{
    if (key == HKEY_CURRENT_USER) {
        target = { Hive::user, {}, KEY_ALL_ACCESS, true };
    } else if (key == HKEY_LOCAL_MACHINE) {
        target = { Hive::machine, {}, machineRights, true };
    } else if (!key) {
        return ERROR_INVALID_HANDLE;
    } else {
        target = { key->hive, regstore::splitpath(key->path), key->rights, false };
    }
    if (subkey)
        for (auto& level : regstore::splitpath(subkey))
            target.levels.push_back(std::move(level));
    return ERROR_SUCCESS;
}

std::string joinlevels(const std::vector<std::string>& levels)
{
    std::string path;
    for (const auto& level : levels)
        path += (path.empty() ? "" : "\\") + level;
    return path;
}

// Runs reader on the key that target names; ERROR_KEY_DELETED when it is gone.
LONG readkey(const Target& target, const std::function<LONG(const Key&)>& reader)
{
    return regstore::read(target.hive, [&](const Key& root) {
        const Key* key = regstore::findkey(root, target.levels);
        return key ? reader(*key) : ERROR_KEY_DELETED;
    });
}

LONG changekey(const Target& target, const std::function<LONG(Key&, bool&)>& change)
{
    return regstore::write(target.hive, [&](Key& root, bool& changed) {
        Key* key = regstore::findkey(root, target.levels);
        return key ? change(*key, changed) : ERROR_KEY_DELETED;
    });
}

LONG openhandle(const Target& target, REGSAM rights, HKEY* result)
{
    *result = new RegistryKey { target.hive, joinlevels(target.levels), rights };
    return ERROR_SUCCESS;
}

const char* valuename(const char* value)
{
    return value ? value : "";
}

} // namespace

LONG RegOpenKeyExA(HKEY key, const char* subkey, DWORD, REGSAM rights, HKEY* result)
{
    Target target;
    if (LONG error = resolve(key, subkey, target))
        return error;
    if (target.hive == Hive::machine && (rights & writeRights))
        return ERROR_ACCESS_DENIED;
    LONG found = regstore::read(target.hive, [&](const Key& root) {
        return regstore::findkey(root, target.levels) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (found != ERROR_SUCCESS)
        return found;
    return openhandle(target, rights, result);
}

LONG RegOpenKeyA(HKEY key, const char* subkey, HKEY* result)
{
    Target target;
    if (LONG error = resolve(key, subkey, target))
        return error;
    return RegOpenKeyExA(
        key, subkey, 0, target.hive == Hive::machine ? machineRights : KEY_ALL_ACCESS, result);
}

LONG RegCreateKeyExA(HKEY key, const char* subkey, DWORD, char*, DWORD, REGSAM rights,
    const SECURITY_ATTRIBUTES*, HKEY* result, DWORD* disposition)
{
    Target target;
    if (LONG error = resolve(key, subkey, target))
        return error;
    if (target.hive == Hive::machine)
        return ERROR_ACCESS_DENIED;
    if (target.levels.size() > REG_MAXDEPTH)
        return ERROR_INVALID_PARAMETER;
    for (const auto& level : target.levels)
        if (level.size() > REG_MAXKEYNAME)
            return ERROR_INVALID_PARAMETER;
    size_t parentLevels = target.predefined ? 0 : regstore::splitpath(key->path).size();
    bool created = false;
    LONG error = regstore::write(target.hive, [&](Key& root, bool& changed) {
        Key* at = &root;
        for (size_t i = 0; i < target.levels.size(); ++i) {
            auto it = at->subkeys.find(target.levels[i]);
            if (it == at->subkeys.end()) {
                if (i < parentLevels)
                    return ERROR_KEY_DELETED;
                it = at->subkeys.emplace(target.levels[i], std::make_unique<Key>()).first;
                created = changed = true;
            }
            at = it->second.get();
        }
        return ERROR_SUCCESS;
    });
    if (error != ERROR_SUCCESS)
        return error;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return openhandle(target, rights, result);
}

LONG RegCloseKey(HKEY key)
{
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (key != HKEY_CURRENT_USER && key != HKEY_LOCAL_MACHINE)
        delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* value, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    Target target;
    if (LONG error = resolve(key, nullptr, target))
        return error;
    if (!(target.rights & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    return readkey(target, [&](const Key& k) {
        auto it = k.values.find(valuename(value));
        if (it == k.values.end())
            return ERROR_FILE_NOT_FOUND;
        const auto& stored = it->second;
        auto length = static_cast<DWORD>(stored.data.size());
        if (type)
            *type = stored.type;
        if (!data) {
            if (size)
                *size = length;
            return ERROR_SUCCESS;
        }
        if (!size)
            return ERROR_INVALID_PARAMETER;
        if (*size < length) {
            *size = length;
            return ERROR_MORE_DATA;
        }
        if (length)
            memcpy(data, stored.data.data(), length);
        *size = length;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExA(HKEY key, const char* value, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    Target target;
    if (LONG error = resolve(key, nullptr, target))
        return error;
    if (!(target.rights & KEY_SET_VALUE) || target.hive == Hive::machine || target.levels.empty())
        return ERROR_ACCESS_DENIED;
    if (strlen(valuename(value)) > REG_MAXVALUENAME || (size && !data))
        return ERROR_INVALID_PARAMETER;
    return changekey(target, [&](Key& k, bool& changed) {
        regstore::Value& stored = k.values[valuename(value)];
        stored.type = type;
        stored.data.assign(data, data + size);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, const char* value)
{
    Target target;
    if (LONG error = resolve(key, nullptr, target))
        return error;
    if (!(target.rights & KEY_SET_VALUE) || target.hive == Hive::machine)
        return ERROR_ACCESS_DENIED;
    return changekey(target, [&](Key& k, bool& changed) {
        if (!k.values.erase(valuename(value)))
            return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKeyA(HKEY key, const char* subkey)
{
    Target target;
    if (LONG error = resolve(key, subkey, target))
        return error;
    if (target.hive == Hive::machine || target.levels.empty())
        return ERROR_ACCESS_DENIED;
    std::string name = target.levels.back();
    target.levels.pop_back();
    return regstore::write(target.hive, [&](Key& root, bool& changed) {
        Key* parent = regstore::findkey(root, target.levels);
        if (!parent)
            return ERROR_FILE_NOT_FOUND;
        auto it = parent->subkeys.find(name);
        if (it == parent->subkeys.end())
            return ERROR_FILE_NOT_FOUND;
        if (!it->second->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        parent->subkeys.erase(it);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD size)
{
    Target target;
    if (LONG error = resolve(key, nullptr, target))
        return error;
    if (!(target.rights & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    return readkey(target, [&](const Key& k) {
        if (index >= k.subkeys.size())
            return ERROR_NO_MORE_ITEMS;
        const std::string& found = std::next(k.subkeys.begin(), index)->first;
        if (!name || found.size() + 1 > size)
            return ERROR_MORE_DATA;
        memcpy(name, found.c_str(), found.size() + 1);
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueA(
    HKEY key, DWORD index, char* name, DWORD* namesize, DWORD*, DWORD* type, BYTE* data, DWORD* datasize)
{
    Target target;
    if (LONG error = resolve(key, nullptr, target))
        return error;
    if (!(target.rights & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!name || !namesize)
        return ERROR_INVALID_PARAMETER;
    return readkey(target, [&](const Key& k) {
        if (index >= k.values.size())
            return ERROR_NO_MORE_ITEMS;
        const auto& [found, stored] = *std::next(k.values.begin(), index);
        if (found.size() + 1 > *namesize)
            return ERROR_MORE_DATA;
        memcpy(name, found.c_str(), found.size() + 1);
        *namesize = static_cast<DWORD>(found.size());
        if (type)
            *type = stored.type;
        auto length = static_cast<DWORD>(stored.data.size());
        if (data && datasize && *datasize < length) {
            *datasize = length;
            return ERROR_MORE_DATA;
        }
        if (data && length)
            memcpy(data, stored.data.data(), length);
        if (datasize)
            *datasize = length;
        return ERROR_SUCCESS;
    });
}
