// deckexpand DECK: prints the SPICE deck as the parser would receive it, with controlled sources
// translated and subcircuits expanded. The deck code's messages go to standard error.
#include "core/files/pathopen.h"
#include "host/deckexpand/flatdeck.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "Usage: deckexpand DECK\n");
        return 2;
    }
    FILE* stream = fopen(argv[1], "r");
    if (!stream) {
        fprintf(stderr, "deckexpand: cannot open '%s': %s\n", argv[1], strerror(errno));
        return 1;
    }
    attachstdout(dup(STDERR_FILENO));
    std::string flat;
    bool expanded = flattendeck(stream, flat);
    fclose(stream);
    fputs(flat.c_str(), stdout);
    return expanded ? 0 : 1;
}
