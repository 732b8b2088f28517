#include "host/deckexpand/flatdeck.h"

#include "platform/win/boundedread.h"
#include "simulator/kernel/spicedeck/decklisting.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "simulator/kernel/spicedeck/subcktexpand.h"

#include <algorithm>
#include <string_view>

bool flattendeck(const char* path, std::string& flat, std::string& error)
{
    flat.clear();
    error.clear();
    std::string text;
    if (!readbounded(path, text, error))
        return false;
    SPICEDECK deck;
    SPICECARD** tail = &deck.head;
    int32_t number = 0;
    for (std::string_view rest = text; !rest.empty();) {
        size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // The first line is the title, blank or not.
        if (number == 1 || line.find_first_not_of(" \t") != std::string_view::npos) {
            *tail = newcard(number, line);
            deck.last = *tail;
            tail = &(*tail)->next;
        }
    }
    bool empty = !deck.head;
    listdeck(&deck);
    deck.head = expandsubckts(deck.head);
    deck.last = nullptr;
    for (const SPICECARD* card = deck.head; card; card = card->next) {
        flat.append(card->text).append("\n");
        deck.last = const_cast<SPICECARD*>(card);
    }
    return empty || deck.head;
}
