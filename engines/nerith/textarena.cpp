#include "engines/nerith/textarena.h"

#include <algorithm>
#include <cstring>

namespace nerith {

namespace {

// Texts are copied into blocks of this size; a longer one gets a block of its own.
constexpr std::size_t Block = std::size_t { 1 } << 16;

} // namespace

const char* TextArena::keep(std::string_view text)
{
    const std::size_t size = text.size() + 1;
    if (size > left) {
        const std::size_t block = std::max(size, Block);
        blocks.push_back(std::make_unique_for_overwrite<char[]>(block));
        next = blocks.back().get();
        left = block;
    }
    char* kept = next;
    std::memcpy(kept, text.data(), text.size());
    kept[text.size()] = '\0';
    next += size;
    left -= size;
    return kept;
}

} // namespace nerith
