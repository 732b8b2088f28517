#pragma once

// Runs a shell command line for a test and collects what it printed.

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace vkt::test {

struct COMMANDRUN {
    std::string output;  // standard output and standard error, interleaved
    int exitcode;        // -1 when the command did not exit normally
};

inline COMMANDRUN runcommand(const std::string& line)
{
    COMMANDRUN run { {}, -1 };
    FILE* pipe = popen((line + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exitcode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace vkt::test
