// Feeds arbitrary bytes to the netlist reader. Run: build-fuzz/bin/netlist_fuzzer on a copy of
// simulator/kernel/tests/damaged.
#include "simulator/kernel/netlist.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!stream)
        return 0;
    SDF_NETLIST netlist;
    netlist.read(stream);
    fclose(stream);
    return 0;
}
