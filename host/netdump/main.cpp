// netdump FILE: prints the netlist file as the simulator's reader understood it.
#include "host/netdump/dump.h"

#include <cerrno>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "Usage: netdump NETLIST\n");
        return 2;
    }
    FILE* stream = fopen(argv[1], "r");
    if (!stream) {
        fprintf(stderr, "netdump: cannot open '%s': %s\n", argv[1], strerror(errno));
        return 1;
    }
    std::string text = dumpnetlist(stream);
    fclose(stream);
    fputs(text.c_str(), stdout);
    return 0;
}
