// deckexpand DECK: prints the SPICE deck as the parser would receive it, with controlled sources
// translated and subcircuits expanded. The deck code's messages go to standard error.
#include "core/files/pathopen.h"
#include "host/commandline.h"
#include "host/deckexpand/flatdeck.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    static const char usage[]
        = "usage: deckexpand [-h] DECK\n"
          "Prints the SPICE deck as the parser receives it, controlled sources translated and\n"
          "subcircuits expanded; messages go to standard error. Exit status: 0 expanded, 1\n"
          "the deck cannot be read or did not expand, 2 a usage error.\n"
          "example: deckexpand amplifier.cir\n";
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "deckexpand", usage, {}, 1, 1, &line); code >= 0)
        return code;
    attachstdout(dup(STDERR_FILENO));
    std::string flat;
    std::string error;
    bool expanded = flattendeck(line.files[0], flat, error);
    if (!error.empty()) {
        fprintf(stderr, "deckexpand: cannot read '%s': %s\n", line.files[0], error.c_str());
        return 1;
    }
    fputs(flat.c_str(), stdout);
    return expanded ? 0 : 1;
}
