#include "simulator/kernel/spicedeck/decklisting.h"

#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "simulator/kernel/spicedeck/decklog.h"
#include "simulator/kernel/spicedeck/sourcetranslate.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>

void listdeck(SPICEDECK* deck)
{
    if (!deck->head)
        return;
    bool listing = decktracelink().tracedetail("SPICE input deck...") != 0;
    for (SPICECARD* card = deck->head; card; card = card->next) {
        if (listing)
            fprintf(modulestdout(), "%s\n", card->text);
        char* first = card->text;
        skipspaces(&first);
        if (*first == 'E' || *first == 'F' || *first == 'G' || *first == 'H')
            translatesource(card);
    }
}
