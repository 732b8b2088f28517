// netdump FILE: prints the netlist file as the simulator's reader understood it.
#include "host/commandline.h"
#include "host/netdump/dump.h"

#include <cstdio>

int main(int argc, char** argv)
{
    static const char usage[]
        = "usage: netdump [-h] NETLIST\n"
          "Prints the netlist file as the simulator reads it (the format:\n"
          "simulator/kernel/NETLIST.md). Exit status: 0 printed, 1 the file cannot be read or\n"
          "is no netlist, 2 a usage error.\n"
          "example: netdump amplifier.net\n";
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "netdump", usage, {}, 1, 1, &line); code >= 0)
        return code;
    std::string text;
    std::string error;
    if (!dumpnetlist(line.files[0], text, error)) {
        fprintf(stderr, "netdump: cannot read '%s': %s\n", line.files[0], error.c_str());
        return 1;
    }
    fputs(text.c_str(), stdout);
    return 0;
}
