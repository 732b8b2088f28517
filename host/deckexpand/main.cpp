// deckexpand DECK: prints the SPICE deck as the parser would receive it, with controlled sources
// translated and subcircuits expanded. The deck code's messages go to standard error.
#include "core/files/pathopen.h"
#include "host/deckexpand/flatdeck.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "Usage: deckexpand DECK\n");
        return 2;
    }
    attachstdout(dup(STDERR_FILENO));
    std::string flat;
    std::string error;
    bool expanded = flattendeck(argv[1], flat, error);
    if (!error.empty()) {
        fprintf(stderr, "deckexpand: cannot read '%s': %s\n", argv[1], error.c_str());
        return 1;
    }
    fputs(flat.c_str(), stdout);
    return expanded ? 0 : 1;
}
