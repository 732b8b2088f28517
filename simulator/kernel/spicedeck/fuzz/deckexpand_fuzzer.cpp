#include "core/files/pathopen.h"
#include "simulator/kernel/spicedeck/decklisting.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "simulator/kernel/spicedeck/subcktexpand.h"

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <string_view>

// Each line of the input is a card: the deck is listed (controlled sources translated) and then
// expanded, as the task load does. Run: build-fuzz/bin/deckexpand_fuzzer -timeout=60 on a copy of
// simulator/kernel/spicedeck/fuzz/corpus (a deck that fans out up to the expansion's limit of a million
// cards takes seconds under the sanitizers).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        attachstdout(open("/dev/null", O_WRONLY));
        attachstderr(open("/dev/null", O_WRONLY));
        return true;
    }();
    (void)quiet;

    std::string_view input(reinterpret_cast<const char*>(data), size);
    SPICEDECK deck;
    SPICECARD** tail = &deck.head;
    int32_t line = 0;
    while (!input.empty()) {
        size_t end = input.find('\n');
        std::string_view text = input.substr(0, end);
        // A NUL inside a line would end the card's text early; the deck reader never makes one.
        text = text.substr(0, text.find('\0'));
        *tail = newcard(++line, text);
        deck.last = *tail;
        tail = &(*tail)->next;
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    listdeck(&deck);
    deck.head = expandsubckts(deck.head);
    return 0;
}
