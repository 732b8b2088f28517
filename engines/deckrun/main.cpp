// The deck runner: a SPICE deck in, its printed vectors out (engines/README.md).
#include "core/files/pathopen.h"
#include "engines/deckrun/runner.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: %s deck.cir\n", argc > 0 ? argv[0] : "deckrun");
        return 1;
    }
    // The deck code's messages go to standard error, away from the printed vectors.
    attachstdout(dup(STDERR_FILENO));
    return deckrun::run(argv[1], stdout, stderr);
}
