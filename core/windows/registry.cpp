#include "core/windows/registry.h"

#include <cstdlib>
#include <cstring>

#include "core/text/strutil.h"
#include "platform/win/winerror.h"

namespace {

constexpr size_t pathbuffer = REGISTRY_PATHMAX + 1;
constexpr size_t enumvaluecapacity = 99;

char typeletter(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return 's';
    case REG_BINARY:
        return 'b';
    case REG_DWORD:
        return 'd';
    case REG_MULTI_SZ:
        return 'm';
    default:
        return '?';
    }
}

// Runs operation with the root set to each hive in turn, as the pseudo root asks, and puts the
// pseudo root back.
template <class Operation> auto onhive(REGISTRY& registry, HKEY hive, Operation operation)
{
    registry.setrootkey(hive);
    auto result = operation();
    registry.setrootkey(REGISTRY_USERTHENMACHINE);
    return result;
}

} // namespace

char* joinkeypath(char* dest, const char* base, const char* key)
{
    size_t n = strnlen(base ? base : "", REGISTRY_PATHMAX);
    memmove(dest, base ? base : "", n);
    dest[n] = '\0';
    if (!key)
        return dest;
    if (n && dest[n - 1] != '\\' && n < REGISTRY_PATHMAX)
        dest[n++] = '\\';
    if (*key == '\\')
        ++key;
    strnzcpy(dest + n, key, static_cast<int>(REGISTRY_PATHMAX - n));
    for (size_t end = strlen(dest); end > 1 && dest[end - 1] == '\\';)
        dest[--end] = '\0';
    return dest;
}

REGISTRY::~REGISTRY() = default;

HKEY REGISTRY::setrootkey(HKEY)
{
    return nullptr;
}

int REGISTRY::getstr(const char* key, const char* value, char* buf, DWORD size, const void* def)
{
    return getdata(key, value, REG_SZ, buf, size, def, 0);
}

REGISTRY32::REGISTRY32(HKEY rootkey, const char* path)
    : root(rootkey)
    , basepath(strdup(path ? path : ""))
{
}

REGISTRY32::~REGISTRY32()
{
    if (root)
        closeopenkey();
    closeenumeration();
    free(basepath);
}

void REGISTRY32::initialise(HKEY rootkey, const char* path)
{
    setrootkey(rootkey);
    free(basepath);
    basepath = strdup(path ? path : "");
}

bool REGISTRY32::keypath(char* dest, const char* key) const
{
    size_t needed = strlen(basepath) + (key ? strlen(key) + 1 : 0);
    if (needed > REGISTRY_PATHMAX)
        return false;
    joinkeypath(dest, basepath, key);
    return true;
}

void REGISTRY32::closeopenkey()
{
    if (openedkey)
        RegCloseKey(openedkey);
    openedkey = nullptr;
    openrights = 0;
    opendepth = 0;
}

void REGISTRY32::closeenumeration()
{
    if (enumkey)
        RegCloseKey(enumkey);
    enumkey = nullptr;
}

int REGISTRY32::openkey(const char* key, REGSAM rights)
{
    if (opendepth && (openrights & rights) != rights)
        closeopenkey();
    if (!root)
        return openedkey ? 1 : 0;
    if (root == REGISTRY_USERTHENMACHINE)
        return 0;
    ++opendepth;
    if (!openedkey) {
        char path[pathbuffer];
        LONG error = ERROR_FILENAME_EXCED_RANGE;
        if (keypath(path, key)) {
            error = rights & KEY_WRITE ? RegCreateKeyExA(
                        root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, rights, nullptr, &openedkey, nullptr)
                                       : RegOpenKeyExA(root, path, 0, rights, &openedkey);
        }
        if (error != ERROR_SUCCESS) {
            openedkey = nullptr;
            openrights = 0;
            opendepth = 0;
        }
    }
    return openedkey ? 1 : 0;
}

void REGISTRY32::releasekey()
{
    if (!root || !opendepth)
        return;
    if (--opendepth == 0)
        closeopenkey();
}

HKEY REGISTRY32::setrootkey(HKEY rootkey)
{
    if (root)
        closeopenkey();
    HKEY previous = root;
    root = rootkey;
    return previous;
}

int REGISTRY32::getsize(const char* key, const char* value)
{
    if (root == REGISTRY_USERTHENMACHINE) {
        int size = onhive(*this, HKEY_CURRENT_USER, [&] { return getsize(key, value); });
        if (size == -1)
            size = onhive(*this, HKEY_LOCAL_MACHINE, [&] { return getsize(key, value); });
        return size;
    }
    if (!openkey(key, KEY_QUERY_VALUE))
        return -1;
    DWORD size = 0;
    LONG error = RegQueryValueExA(openedkey, value, nullptr, nullptr, nullptr, &size);
    releasekey();
    return error == ERROR_SUCCESS ? static_cast<int>(size) : -1;
}

int REGISTRY32::getdata(
    const char* key, const char* value, DWORD type, void* buf, DWORD size, const void* def, DWORD defsize)
{
    if (root == REGISTRY_USERTHENMACHINE) {
        int got = onhive(
            *this, HKEY_CURRENT_USER, [&] { return getdata(key, value, type, buf, size, nullptr, 0); });
        if (got == -1)
            got = onhive(*this, HKEY_LOCAL_MACHINE,
                [&] { return getdata(key, value, type, buf, size, def, defsize); });
        return got;
    }
    if (openkey(key, KEY_QUERY_VALUE)) {
        BYTE none;
        DWORD stored = 0;
        DWORD length = buf ? size : 0;
        LONG error = RegQueryValueExA(
            openedkey, value, nullptr, &stored, buf ? static_cast<BYTE*>(buf) : &none, &length);
        releasekey();
        if (error == ERROR_SUCCESS && stored == type && length <= size)
            return static_cast<int>(length);
    }
    if (!def)
        return -1;
    if (!buf || size == 0)
        return 0;
    if (defsize == 0) {
        strnzcpy(static_cast<char*>(buf), static_cast<const char*>(def), static_cast<int>(size - 1));
        return static_cast<int>(strlen(static_cast<char*>(buf)) + 1);
    }
    DWORD n = defsize < size ? defsize : size;
    memcpy(buf, def, n);
    return static_cast<int>(n);
}

int REGISTRY32::putdata(const char* key, const char* value, DWORD type, const void* data, DWORD size)
{
    if (root == REGISTRY_USERTHENMACHINE)
        return onhive(*this, HKEY_CURRENT_USER, [&] { return putdata(key, value, type, data, size); });
    if (!openkey(key, KEY_SET_VALUE))
        return 0;
    LONG error = RegSetValueExA(openedkey, value, 0, type, static_cast<const BYTE*>(data), size);
    releasekey();
    return error == ERROR_SUCCESS ? 1 : 0;
}

int REGISTRY32::removevalue(const char* key, const char* value)
{
    if (root == REGISTRY_USERTHENMACHINE)
        return onhive(*this, HKEY_CURRENT_USER, [&] { return removevalue(key, value); });
    if (!openkey(key, KEY_SET_VALUE))
        return 0;
    LONG error = RegDeleteValueA(openedkey, value);
    releasekey();
    return error == ERROR_SUCCESS ? 1 : 0;
}

int REGISTRY32::removekey(const char* key)
{
    if (root == REGISTRY_USERTHENMACHINE)
        return onhive(*this, HKEY_CURRENT_USER, [&] { return removekey(key); });
    if (!key)
        key = "";
    while (const char* subkey = enumfirst(key, 1)) {
        char joined[pathbuffer];
        if (strlen(key) + strlen(subkey) + 1 > REGISTRY_PATHMAX)
            return 0;
        joinkeypath(joined, key, subkey);
        if (!removekey(joined))
            return 0;
    }
    char path[pathbuffer];
    return keypath(path, key) && RegDeleteKeyA(callroot(), path) == ERROR_SUCCESS ? 1 : 0;
}

char* REGISTRY32::enumfirst(const char* key, int keys)
{
    if (root == REGISTRY_USERTHENMACHINE) {
        char* first = onhive(*this, HKEY_CURRENT_USER, [&] { return enumfirst(key, keys); });
        if (!first)
            first = onhive(*this, HKEY_LOCAL_MACHINE, [&] { return enumfirst(key, keys); });
        return first;
    }
    closeenumeration();
    enummode = keys;
    enumindex = 0;
    char path[pathbuffer];
    if (!keypath(path, key ? key : "") || RegOpenKeyA(callroot(), path, &enumkey) != ERROR_SUCCESS) {
        enumkey = nullptr;
        return nullptr;
    }
    return enumnext();
}

char* REGISTRY32::enumnext()
{
    if (!enumkey)
        return nullptr;
    LONG error;
    if (enummode) {
        error = RegEnumKeyA(enumkey, enumindex++, enumbuffer, sizeof enumbuffer);
    } else {
        DWORD length = enumvaluecapacity;
        DWORD type = REG_NONE;
        error
            = RegEnumValueA(enumkey, enumindex++, enumbuffer + 1, &length, nullptr, &type, nullptr, nullptr);
        enumbuffer[0] = typeletter(type);
    }
    if (error != ERROR_SUCCESS) {
        closeenumeration();
        return nullptr;
    }
    return enumbuffer;
}

int REGISTRY32::createkey(const char* key)
{
    if (root == REGISTRY_USERTHENMACHINE)
        return onhive(*this, HKEY_CURRENT_USER, [&] { return createkey(key); });
    if (!openkey(key, KEY_SET_VALUE))
        return 0;
    releasekey();
    return 1;
}

int REGISTRY32::createsharedkey(const char* key)
{
    if (root == REGISTRY_USERTHENMACHINE)
        return onhive(*this, HKEY_CURRENT_USER, [&] { return createsharedkey(key); });
    // The file-backed hives keep no per-key permissions: every user of the hive may write the key.
    if (!openkey(key, KEY_ALL_ACCESS))
        return 0;
    releasekey();
    return 1;
}
