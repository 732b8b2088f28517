// simrun [--tables] NETLIST...: runs each netlist file through HELIXSIM's batch run as the
// simulation host would and prints the kernel's log lines and the host messages on standard
// output. The exit code is the last run's result code (0 or 1 success, 2 not completed, 3 failed).
// --tables prints the SPICE engine's tables instead.
#include "host/simrun/simhost.h"

#include "platform/win/modules.h"
#include "simulator/kernel/exports.h"

#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    bool tables = argc > 1 && strcmp(argv[1], "--tables") == 0;
    int first = tables ? 2 : 1;
    if (!tables && argc < 2) {
        fprintf(stderr, "Usage: simrun NETLIST...\n       simrun --tables\n");
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
    for (int i = first; i < argc; ++i) {
        result = run(argv[i], STDOUT_FILENO, host);
        printf("result: %d\n", result);
    }
    return result;
}
