#include "core/files/pathopen.h"
#include "core/files/ramfile.h"
#include "simulator/models/spice/deckread.h"
#include "simulator/models/spice/spicedeck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// The input is read as SPICE text into a deck twice over, as model files and scripts are. Included
// files are looked for in an empty temporary folder only: inputs that name a path are passed over.
// Run: build-fuzz/bin/deckread_fuzzer on a copy of simulator/models/spice/fuzz/deckread_corpus.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        attachstdout(open("/dev/null", O_WRONLY));
        attachstderr(open("/dev/null", O_WRONLY));
        char folder[] = "/tmp/deckread-XXXXXX";
        if (!mkdtemp(folder) || chdir(folder) != 0)
            abort();
        setenv("MODELS", folder, 1);
        return true;
    }();
    (void)ready;
    if (memchr(data, '/', size) || memchr(data, '\\', size))
        return 0;

    SPICEDECK deck;
    for (int pass = 0; pass < 2; ++pass) {
        RAMFILE source(const_cast<uint8_t*>(data), static_cast<int>(size));
        readdeck(&deck, source, nullptr);
    }
    const SPICECARD* last = nullptr;
    for (const SPICECARD* card = deck.head; card; card = card->next)
        last = card;
    if (last != deck.last)
        abort();
    return 0;
}
