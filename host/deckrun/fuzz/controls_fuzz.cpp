// The runner's control cards from arbitrary text, one card a line.
#include "host/deckrun/controls.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<SPICECARD> cards;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start).c_str());
        start = end + 1;
    }
    cards.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        cards[i] = SPICECARD { static_cast<int32_t>(i + 1), lines[i].data(), nullptr,
            i + 1 < lines.size() ? &cards[i + 1] : nullptr, nullptr };
    }
    std::vector<std::string> errors;
    deckrun::readcontrols(cards.empty() ? nullptr : cards.data(), &errors);
    for (SPICECARD& card : cards)
        std::free(card.error);
    return 0;
}
