#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace nerith {

// Texts kept as long as the arena, packed one after the other in blocks that never move: the names
// of a circuit's nodes and branches, millions in large decks, without a memory block each.
class TextArena {
public:
    // A copy of the text, terminated by a null character.
    const char* keep(std::string_view text);

private:
    std::vector<std::unique_ptr<char[]>> blocks;
    char* next = nullptr;
    std::size_t left = 0;
};

} // namespace nerith
