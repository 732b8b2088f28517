#include "host/deckexpand/flatdeck.h"

#include "simulator/models/spice/decklisting.h"
#include "simulator/models/spice/spicedeck.h"
#include "simulator/models/spice/subcktexpand.h"

bool flattendeck(FILE* stream, std::string& flat)
{
    SPICEDECK deck;
    SPICECARD** tail = &deck.head;
    std::string line;
    int32_t number = 0;
    for (int c = 0; c != EOF;) {
        c = fgetc(stream);
        if (c != '\n' && c != EOF) {
            line += static_cast<char>(c);
            continue;
        }
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) {
            *tail = newcard(number, line);
            deck.last = *tail;
            tail = &(*tail)->next;
        }
        line.clear();
    }
    bool empty = !deck.head;
    listdeck(&deck);
    deck.head = expandsubckts(deck.head);
    deck.last = nullptr;
    flat.clear();
    for (const SPICECARD* card = deck.head; card; card = card->next) {
        flat.append(card->text).append("\n");
        deck.last = const_cast<SPICECARD*>(card);
    }
    return empty || deck.head;
}
