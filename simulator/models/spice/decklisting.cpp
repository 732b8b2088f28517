#include "simulator/models/spice/decklisting.h"

#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "simulator/models/spice/decklog.h"
#include "simulator/models/spice/sourcetranslate.h"
#include "simulator/models/spice/spicedeck.h"

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
