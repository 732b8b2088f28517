#include "simulator/kernel/circuitdeck.h"

#include "core/text/ascii.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/spicedeck/relabel.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "simulator/kernel/spicedeck/subcktexpand.h"

#include <string>
#include <string_view>

SPICECARD* deckhead(const SPICEDECK* deck)
{
    return deck->head;
}

int32_t deckcount(const SPICEDECK* deck)
{
    int32_t count = 0;
    for (const SPICECARD* card = deck->head; card; card = card->next)
        ++count;
    return count;
}

void expanddeck(SPICEDECK* deck)
{
    if (!deck->head)
        return;
    // The expansion takes the chain over: the holder keeps only what it gives back.
    SPICECARD* expanded = expandsubckts(deck->head);
    deck->head = expanded;
    deck->last = nullptr;
    if (!expanded)
        simfatal("Failed to expand subcircuits.");
    bool unresolved = false;
    for (SPICECARD* card = expanded; card; card = card->next) {
        deck->last = card;
        const char* text = card->text;
        while (asciispace(*text))
            ++text;
        if (*text == 'X' || *text == 'x') {
            std::string_view words(text);
            std::string instance(words.substr(0, words.find_first_of(" \t")));
            std::string subckt(lastword(text));
            TRACE_SPICELINK.warning(
                "SUBCKT '%s' used in '%s' but not found.", subckt.c_str(), instance.c_str());
            unresolved = true;
        }
        for (char* p = card->text; *p; ++p)
            *p = static_cast<char>(asciilower(*p));
    }
    if (unresolved)
        simfatal("Failed to expand subcircuits.");
}

void freedeck(SPICEDECK* deck)
{
    freecards(deck->head);
    deck->head = nullptr;
    deck->last = nullptr;
}
