// simrun [--tables] NETLIST...: runs each netlist file through HELIXSIM's batch run as the
// simulation host would and prints the kernel's log lines and the host messages on standard
// output; with --interactive, one netlist through the interactive run, tick by tick. The exit code
// is the last run's result code (0 or 1 success, 2 not completed, 3 failed). --tables prints the
// SPICE engine's tables instead.
#include "host/commandline.h"
#include "host/simrun/interactivehost.h"
#include "host/simrun/simhost.h"

#include "platform/win/modules.h"
#include "simulator/kernel/exports.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

const char usage[]
    = "usage: simrun [-h] NETLIST...\n"
      "       simrun --interactive NETLIST --until TIME [--tick TIME] [--events FILE] [--realtime]\n"
      "       simrun --tables\n"
      "Runs each netlist file (simulator/kernel/NETLIST.md) as the simulation host would\n"
      "and prints the kernel's log and the host's messages on standard output, with the\n"
      "results files each run wrote. --interactive runs one netlist in real-time mode:\n"
      "ticks of --tick (default 1ms) up to --until, with the user events, pauses and\n"
      "snapshots of the --events script (host/simrun/hostscript.h), printing each tick\n"
      "and its active events; --realtime paces the ticks to the wall clock as the host\n"
      "does and ends with the simulated time per wall second and the ticks' latencies.\n"
      "--tables prints the SPICE engine's tables instead. On a terminal, standard error\n"
      "shows how far a long run is. Exit status: the last run's result code (0 or 1\n"
      "success, 2 not completed, 3 failed), also 2 for a usage error.\n"
      "example: simrun amplifier.net\n"
      "example: simrun --interactive rc.net --tick 1ms --until 20ms\n"
      "example: simrun --interactive mesh.net --until 2 --realtime\n";

int usageerror(const char* what)
{
    fprintf(stderr, "simrun: %s\n%s", what, usage);
    return 2;
}

// The plan of an interactive run from the command line; -1 when it reads, else the exit code.
int readplan(const COMMANDLINE& line, INTERACTIVEPLAN& plan)
{
    const char* until = line.value("--until");
    if (!until)
        return usageerror("--interactive needs --until");
    if (!readseconds(until, &plan.until) || plan.until <= 0)
        return usageerror("--until takes a time after 0, such as 20ms");
    const char* tick = line.value("--tick");
    if (tick && (!readseconds(tick, &plan.tick) || plan.tick <= 0))
        return usageerror("--tick takes a time after 0, such as 1ms");
    plan.realtime = line.has("--realtime");
    const char* events = line.value("--events");
    if (!events)
        return -1;
    FILE* script = fopen(events, "r");
    if (!script) {
        fprintf(stderr, "simrun: cannot read the events script %s: %s\n", events, strerror(errno));
        return 1;
    }
    std::string error;
    bool read = readhostscript(script, plan.actions, error);
    fclose(script);
    if (!read) {
        fprintf(stderr, "simrun: %s: %s\n", events, error.c_str());
        return 1;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "simrun", usage, { "--tables", "--interactive", "--realtime" },
            0, INT_MAX, &line, { "--tick", "--until", "--events" });
        code >= 0)
        return code;
    const bool tables = line.has("--tables");
    const bool interactive = line.has("--interactive");
    if (tables && !line.files.empty())
        return usageerror("--tables takes no file");
    if (!tables && line.files.empty())
        return usageerror("a file is missing");
    if (interactive && line.files.size() != 1)
        return usageerror("--interactive runs one file");
    if (!interactive
        && (line.has("--tick") || line.has("--until") || line.has("--events") || line.has("--realtime")))
        return usageerror("--tick, --until, --events and --realtime belong to --interactive");
    INTERACTIVEPLAN plan;
    if (interactive) {
        if (int code = readplan(line, plan); code >= 0)
            return code;
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
    HWND host = createhostwindow(stdout);
    if (!host) {
        fprintf(stderr, "simrun: the host window failed\n");
        return 3;
    }
    // A long run shows how far it is on a terminal; a file or pipe gets the lines alone.
    FILE* progress = isatty(STDERR_FILENO) ? stderr : nullptr;
    if (interactive)
        return runinteractive(module, line.files[0], host, plan, stdout, progress);
    auto run = reinterpret_cast<SIMULATEPROC>(GetProcAddress(module, "simulate"));
    if (!run) {
        fprintf(stderr, "simrun: HELIXSIM has no simulate export\n");
        return 3;
    }
    showprogress(progress);
    int result = 3;
    for (const char* file : line.files) {
        result = run(file, STDOUT_FILENO, host);
        endprogress();
        printf("result: %d\n", result);
    }
    return result;
}
