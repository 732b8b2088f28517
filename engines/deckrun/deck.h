#pragma once

#include "engines/mavro/mavro.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace deckrun {

// A deck read from a file as the parser takes it: one card per line in lower case, continuation
// lines ('+') joined onto their card, ".include" files read in place, ".control" blocks and
// everything after ".end" left out, text after ';' dropped.
//
// The POLY and VALUE forms of E, F, G and H cards become behavioural (B) cards as the simulator
// translates them (simulator/models/spice/sourcetranslate.h) when a card is handed out.
//
// The deck keeps its cards as text and hands them out as the parser's card lists: a deck with
// subcircuits as one list to expand, other decks as the list of every card but the device cards,
// then the device cards a part at a time, so that a deck of millions of devices never holds a card
// object for each.
class Deck {
public:
    Deck() = default;
    ~Deck();
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    // Reads the file; false with *error when it (or a file it includes) cannot be read or is refused
    // by the bounds of core/files/boundedread.h.
    bool read(const std::string& path, std::string* error);
    // Whether the deck defines subcircuits: its cards are then read as one expanded list.
    bool hierarchical() const { return subcircuits; }
    // Every card as one list, its subcircuits expanded as the simulator does
    // (simulator/models/spice/subcktexpand.h); null when the deck is empty or the expansion failed,
    // its messages written on the module's standard output and error. The deck owns the list.
    SPICECARD* expanded();
    // Every card but the device cards, in order, the title first; the deck owns the list.
    SPICECARD* controls();
    // The number of device cards.
    std::size_t devices() const { return deviceorder.size(); }
    // Device cards `from` to `from + count` (fewer at the end) as a list of the caller's, freed
    // with freecards().
    SPICECARD* devicecards(std::size_t from, std::size_t count) const;
    static void freecards(SPICECARD* cards);
    // Frees every list the deck owns and its text.
    void release();

private:
    // A card: its text in `text`, its line.
    struct Card {
        std::size_t offset = 0;
        uint32_t length = 0;
        int32_t line = 0;
    };

    bool readfile(const std::string& path, int32_t line, int depth, std::string* error);
    void append(int32_t line, std::string_view text);
    bool isdevice(const Card& card) const;
    SPICECARD* make(const Card& card) const;
    SPICECARD* list(bool devicestoo);

    std::string text; // the cards' texts, one after the other
    std::vector<Card> cards;
    std::vector<uint32_t> deviceorder; // the device cards among `cards`
    bool subcircuits = false;
    bool ended = false;
    SPICECARD* owned = nullptr; // the list handed out last
};

} // namespace deckrun
