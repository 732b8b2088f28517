// simrun [--tables] NETLIST...: runs each netlist file through HELIXSIM's batch run as the
// simulation host would and prints the kernel's log lines and the host messages on standard
// output. The exit code is the last run's result code (0 or 1 success, 2 not completed, 3 failed).
// --tables prints the SPICE engine's tables instead.
#include "host/commandline.h"
#include "host/simrun/simhost.h"

#include "platform/win/modules.h"
#include "simulator/kernel/exports.h"

#include <climits>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    static const char usage[]
        = "usage: simrun [-h] NETLIST...\n"
          "       simrun --tables\n"
          "Runs each netlist file (simulator/kernel/NETLIST.md) as the simulation host would\n"
          "and prints the kernel's log and the host's messages on standard output; --tables\n"
          "prints the SPICE engine's tables instead. Exit status: the last run's result code\n"
          "(0 or 1 success, 2 not completed, 3 failed), also 2 for a usage error.\n"
          "example: simrun amplifier.net\n";
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "simrun", usage, { "--tables" }, 0, INT_MAX, &line); code >= 0)
        return code;
    const bool tables = line.has("--tables");
    if (tables != line.files.empty()) {
        fprintf(stderr, "simrun: %s\n%s", tables ? "--tables takes no file" : "a file is missing", usage);
        return 2;
    }
    // The kernel writes straight to the descriptor; unbuffered, the host's lines stay in order.
    setvbuf(stdout, nullptr, _IONBF, 0);
    HMODULE module = LoadLibraryA("HELIXSIM");
    if (!module) {
        fprintf(stderr, "simrun: cannot load HELIXSIM: %s\n", moduleloaderror());
        return 3;
    }
    if (tables) {
        auto dump = reinterpret_cast<DUMPTABLESPROC>(GetProcAddress(module, "dumptables"));
        if (!dump)
            return 3;
        dump(STDOUT_FILENO);
        return 0;
    }
    auto run = reinterpret_cast<SIMULATEPROC>(GetProcAddress(module, "simulate"));
    HWND host = createhostwindow(stdout);
    if (!run || !host) {
        fprintf(stderr, "simrun: HELIXSIM has no simulate export or the host window failed\n");
        return 3;
    }
    int result = 3;
    for (const char* file : line.files) {
        result = run(file, STDOUT_FILENO, host);
        printf("result: %d\n", result);
    }
    return result;
}
