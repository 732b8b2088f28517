#pragma once

#include "engines/mavro/mavro.h"

#include <string>
#include <string_view>

namespace deckrun {

// A deck read from a file as the parser takes it: one card per line in lower case, continuation
// lines ('+') joined onto their card, ".include" files read in place, ".control" blocks and
// everything after ".end" left out, text after ';' dropped. The deck owns its cards.
class Deck {
public:
    Deck() = default;
    ~Deck();
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    // Reads the file; false with *error when it (or a file it includes) cannot be read or is refused
    // by the bounds of core/files/boundedread.h.
    bool read(const std::string& path, std::string* error);
    // Expands the subcircuits of the cards after the title as the simulator does
    // (simulator/models/spice/subcktexpand.h); false when that failed, its messages written on the
    // module's standard output and error, the cards after the title then gone.
    bool expand();
    // The first card (the title line); null for an empty deck.
    SPICECARD* first() const { return head; }
    // Frees every card: once the parser has read them into the circuit they are not needed.
    void release();

private:
    bool readfile(const std::string& path, int32_t line, int depth, std::string* error);
    void append(int32_t line, std::string_view text);
    void join(int32_t line, std::string_view text, std::string_view rest);
    void finishjoin();

    SPICECARD* head = nullptr;
    SPICECARD* tail = nullptr;
    bool ended = false;
    SPICECARD* lastjoined = nullptr; // the last line joined onto the tail; null when none is pending
    std::string jointext; // the tail's text with the lines joined so far
};

} // namespace deckrun
