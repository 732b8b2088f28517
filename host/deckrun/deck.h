#pragma once

#include "engines/mavro/mavro.h"
#include "host/deckrun/params.h"
#include "simulator/kernel/spicedeck/deckread.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace deckrun {

// A deck read from a file through the simulator's reader (simulator/kernel/spicedeck/deckread.h)
// with the options of outside decks: cards in lower case, the deck's first line its title, text
// after ';' dropped, everything after ".end" left out, ".include" and ".inc" files read in place
// from the folder of the file naming them. Comments are left out; of a ".control" block the
// analysis commands become analysis cards, as the reference's batch mode runs them.
//
// The POLY and VALUE forms of E, F, G and H cards become behavioural (B) cards as the simulator
// translates them (simulator/kernel/spicedeck/sourcetranslate.h) when a card is handed out.
//
// The deck keeps its cards as text and hands them out as the parser's card lists: a deck with
// subcircuits as one list to expand, other decks as the list of every card but the device cards,
// then the device cards a part at a time, so that a deck of millions of devices never holds a card
// object for each.
class Deck : private DECKREADER {
public:
    Deck();
    ~Deck() override;
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    // Reads the file; false with *error when it (or a file it includes) cannot be read or is refused
    // by the bounds of platform/win/boundedread.h.
    bool read(const std::string& path, std::string* error);
    // Whether the deck defines subcircuits: its cards are then read as one expanded list.
    bool hierarchical() const { return subcircuits; }
    // Every card as one list, its subcircuits expanded as the simulator does
    // (simulator/kernel/spicedeck/subcktexpand.h); null when the deck is empty or the expansion failed,
    // its messages written on the module's standard output and error. The deck owns the list.
    SPICECARD* expanded();
    // Every card but the device cards, in order, the title first; the deck owns the list.
    SPICECARD* controls();
    // The next `count` device cards (fewer at the end, null after the last) as a list of the
    // caller's, freed with freecards() (simulator/kernel/spicedeck/spicedeck.h). Each stretch of
    // the deck is given back to the system once its cards are handed out, so take controls() or
    // expanded() first.
    SPICECARD* nextdevices(std::size_t count);
    // Frees every list the deck owns and its text.
    void release();
    // What did not read in the cards handed out: ".param" values and braced expressions that do
    // not evaluate ("line %d: ...").
    const std::vector<std::string>& unread() const { return problems; }
    // Warnings of the reading ("line %d: ..."): the control commands left out.
    const std::vector<std::string>& warnings() const { return notes; }

    // The deck is kept in mappings of this size (larger for a card that does not fit), each one
    // unmapped whole: freed heap blocks would stay resident.
    static constexpr std::size_t StretchBytes = std::size_t { 4 } << 20;

private:
    // A card: its text follows the text of the card before it in its stretch.
    struct Card {
        uint32_t length = 0;
        int32_t line = 0;
    };
    // A mapping of the deck: the texts of its cards from its start, their records from its end down.
    struct Stretch {
        char* base = nullptr;
        std::size_t size = 0;
        std::size_t used = 0; // bytes of text
        std::size_t count = 0; // cards

        Card& card(std::size_t k) const
        {
            return reinterpret_cast<Card*>(base + size)[-1 - static_cast<std::ptrdiff_t>(k)];
        }
        std::size_t room() const { return size - used - count * sizeof(Card); }
    };

    void card(int32_t line, std::string_view text, DECKLINE kind) override;
    void join(int32_t line, std::string_view text, std::string_view rest) override;
    void control(int32_t line, std::string_view text);
    void include(int32_t line, const std::string& name) override;

    bool readfile(const std::string& path);
    SPICECARD* make(int32_t line, std::string_view text, bool device);
    void store(int32_t line, std::string_view text);
    char* room(std::size_t bytes, bool continuing);
    SPICECARD* list(bool devicestoo);
    bool isdevice(std::size_t stretch, std::size_t card, std::string_view text) const;
    // Whether a card other than the title is a device's.
    static bool isdevicetext(std::string_view text);
    static void unmap(Stretch& stretch);

    std::vector<Stretch> stretches;
    std::size_t handed = 0; // the stretch where the device cards handed out end
    std::size_t handedcards = 0; // cards of that stretch handed out
    std::size_t handedbytes = 0; // and their text
    bool subcircuits = false;
    bool titled = false; // the first card is the title
    bool joinable = false; // the last card kept is the one continuation lines join
    std::vector<std::string> files; // the deck and the files being read inside it, outermost first
    int32_t includeline = 0; // the deck's line of the ".include" card being read; 0 in the deck
    std::string failure; // why reading stopped
    Params params;
    std::vector<std::string> problems;
    std::vector<std::string> notes;
    SPICECARD* owned = nullptr; // the list handed out last
};

} // namespace deckrun
