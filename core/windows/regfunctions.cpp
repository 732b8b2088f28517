// The reg_ functions: the registry object of the calling thread's context answers them.
#include "core/windows/registry.h"

#include <cstring>
#include <vector>

#include "core/containers/proplist.h"
#include "core/windows/applncontext.h"

namespace {

REGISTRY* contextregistry()
{
    return getapplncontext()->registry;
}

DWORD bytecount(int size)
{
    return size > 0 ? static_cast<DWORD>(size) : 0;
}

} // namespace

int reg_putstr(const char* key, const char* value, const char* text)
{
    REGISTRY* registry = contextregistry();
    if (!registry)
        return 0;
    if (!text)
        text = "";
    return registry->putdata(key, value, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

int reg_getstr(const char* key, const char* value, char* buf, int size)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->getdata(key, value, REG_SZ, buf, bytecount(size), nullptr, 0) : -1;
}

int reg_getbin(const char* key, const char* value, void* buf, int size)
{
    REGISTRY* registry = contextregistry();
    return registry
        ? registry->getdata(key, value, REG_BINARY, buf, bytecount(size), nullptr, bytecount(size))
        : -1;
}

int reg_getsize(const char* key, const char* value)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->getsize(key, value) : -1;
}

int reg_removekey(const char* key)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->removekey(key) : 0;
}

int reg_getproplist(const char* key, PROPLIST& list)
{
    REGISTRY* registry = contextregistry();
    if (!registry)
        return 0;
    std::vector<char> buffer(1024);
    int count = 0;
    for (char* name = registry->enumfirst(key, 0); name; name = registry->enumnext()) {
        if (name[0] != 's')
            continue;
        int size = registry->getsize(key, name + 1);
        if (size >= static_cast<int>(buffer.size()))
            buffer.resize(static_cast<size_t>(size) + 1);
        // One byte is held back, so that a stored text without its terminator still ends.
        int got = registry->getdata(
            key, name + 1, REG_SZ, buffer.data(), static_cast<DWORD>(buffer.size() - 1), nullptr, 0);
        if (got < 1)
            continue;
        buffer[static_cast<size_t>(got)] = '\0';
        list.add(name + 1, buffer.data());
        ++count;
    }
    return count;
}

int reg_putproplist(const char* key, PROPLIST& list)
{
    REGISTRY* registry = contextregistry();
    if (!registry)
        return 0;
    reg_removekey(key);
    int count = 0;
    for (int i = 0; list.inbounds(i); ++i) {
        const char* name = list.key(i);
        const char* value = name + strlen(name) + 1;
        count += registry->putdata(key, name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
    }
    return count;
}

int reg_getval(const char* key, const char* value, unsigned long* result)
{
    REGISTRY* registry = contextregistry();
    DWORD number = 0;
    if (!registry
        || registry->getdata(key, value, REG_DWORD, &number, sizeof number, nullptr, 0) != sizeof number)
        return 0;
    *result = number;
    return 1;
}

DWORD reg_getdw(const char* key, const char* value, DWORD def)
{
    unsigned long number = 0;
    return reg_getval(key, value, &number) ? static_cast<DWORD>(number) : def;
}

int reg_getbool(const char* key, const char* value, int def)
{
    unsigned long number = 0;
    return reg_getval(key, value, &number) ? (number != 0) : def;
}

COLORREF reg_getrgb(const char* key, const char* value, COLORREF def)
{
    return reg_getdw(key, value, def);
}

int reg_putval(const char* key, const char* value, DWORD number)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->putdata(key, value, REG_DWORD, &number, sizeof number) : 0;
}

int reg_putbool(const char* key, const char* value, int flag)
{
    return reg_putval(key, value, flag ? 1 : 0);
}

int reg_putbin(const char* key, const char* value, const void* data, int size)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->putdata(key, value, REG_BINARY, data, bytecount(size)) : 0;
}

int reg_removevalue(const char* key, const char* value)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->removevalue(key, value) : 0;
}

int reg_size(const char* key, const char* value)
{
    int size = reg_getsize(key, value);
    return size > 0 ? size : 0;
}

char* reg_enumfirst(const char* key, int keys)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->enumfirst(key, keys) : nullptr;
}

char* reg_enumnext()
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->enumnext() : nullptr;
}

HKEY reg_setrootkey(HKEY root)
{
    REGISTRY* registry = contextregistry();
    return registry ? registry->setrootkey(root) : nullptr;
}

int reg_init(HKEY root, const char* path)
{
    APPLNCONTEXT* context = getapplncontext();
    if (auto* existing = dynamic_cast<REGISTRY32*>(context->registry)) {
        existing->initialise(root, path);
        return 1;
    }
    if (context->registry)
        return 0;
    context->registry = new REGISTRY32(root, path);
    return 1;
}

void reg_term()
{
    APPLNCONTEXT* context = getapplncontext();
    delete context->registry;
    context->registry = nullptr;
}
