#include "testsupport/deliberate_faults.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdio>

#define UNCHECKED __attribute__((no_sanitize("address", "undefined"), noinline))

namespace vkt::test {

namespace {

int* volatile nowhere = nullptr;
volatile int zero = 0;
volatile int hundred = 100;

UNCHECKED int recurse(int depth)
{
    volatile char frame[512];
    frame[depth % sizeof frame] = 1;
    int (*volatile self)(int) = recurse; // opaque to the optimiser, so the frames stay
    return self(depth + 1) + frame[0];
}

} // namespace

UNCHECKED void writenull()
{
    *nowhere = 1;
}

UNCHECKED void dividebyzero()
{
    fprintf(stderr, "%d", hundred / zero);
}

UNCHECKED void overflowstack()
{
    fprintf(stderr, "%d", recurse(0));
}

UNCHECKED void readnullinclibrary()
{
    // The library's own strlen: a sanitizer puts a checked copy of its own in front of it.
    void* library = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
    auto length = reinterpret_cast<size_t (*)(const char*)>(dlsym(library, "strlen"));
    fprintf(stderr, "%zu", length(reinterpret_cast<const char*>(nowhere)));
}

void trap()
{
    __builtin_trap();
}

} // namespace vkt::test
