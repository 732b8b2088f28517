// netdump FILE: prints the netlist file as the simulator's reader understood it.
#include "host/netdump/dump.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "Usage: netdump NETLIST\n");
        return 2;
    }
    std::string text;
    std::string error;
    if (!dumpnetlist(argv[1], text, error)) {
        fprintf(stderr, "netdump: cannot read '%s': %s\n", argv[1], error.c_str());
        return 1;
    }
    fputs(text.c_str(), stdout);
    return 0;
}
