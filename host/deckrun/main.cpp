// The deck runner: a SPICE deck in, its printed vectors out (engines/README.md).
#include "core/files/pathopen.h"
#include "host/deckrun/runner.h"
#include "host/commandline.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    static const char usage[]
        = "usage: deckrun [-h] [--statistics] DECK\n"
          "Runs the SPICE deck's .tran or .op analysis and prints the vectors of its .print\n"
          "cards on standard output; messages go to standard error. --statistics ends with the\n"
          "processor time and peak memory of reading, building and running the deck on standard\n"
          "error. Exit status: 0 done, 1 the run failed, 2 a usage error.\n"
          "example: deckrun engines/nerith/bench/rlc_tank.cir\n";
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "deckrun", usage, { "--statistics" }, 1, 1, &line); code >= 0)
        return code;
    // The deck code's messages go to standard error, away from the printed vectors.
    attachstdout(dup(STDERR_FILENO));
    return deckrun::run(line.files[0], stdout, stderr, line.has("--statistics"));
}
