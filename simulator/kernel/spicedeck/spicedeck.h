#pragma once

#include "engines/mavro/mavro.h"

#include <cstddef>
#include <optional>
#include <string_view>

// The SPICE deck of one circuit load: the cards the parser receives, as a chain of SPICECARD
// records (engines/mavro/mavro.h). Cards, their texts and error texts are C heap blocks made by
// the allocators below; a card's joined lines are a chain of cards of their own.

// The load's deck holder. It owns its cards and frees them when it goes.
struct SPICEDECK {
    SPICECARD* head = nullptr; // first card; null when the deck is empty
    SPICECARD* last = nullptr; // last card; null when the deck is empty

    SPICEDECK() = default;
    SPICEDECK(const SPICEDECK&) = delete;
    SPICEDECK& operator=(const SPICEDECK&) = delete;
    ~SPICEDECK();
};

// A zeroed block of size bytes. When memory is exhausted it writes "malloc: Internal Error: can't
// allocate %d bytes." on the module's standard error and raises the module's out-of-memory fatal
// message (it never returns null).
void* safemalloc(size_t size);
// As safemalloc; a size of 0 gives null without allocating.
void* safealloc(size_t size);
// A heap copy of text made with safemalloc.
char* safecopy(std::string_view text);

// A new card (line number, copy of text, no error, no next card, no joined lines).
SPICECARD* newcard(int32_t line, std::string_view text);
// Deep copy of a chain: every card, its text, its error text and its joined lines; null for null.
SPICECARD* copydeck(const SPICECARD* head);
// Frees a chain: every card with its texts and joined lines; null does nothing.
void freecards(SPICECARD* head);
// Replaces a card's text by a copy of text (the old text is freed).
void settext(SPICECARD* card, std::string_view text);

// The tokenizer of the deck code. Skips white space; nullopt at the end of the text. A token runs
// to the next white space or to a ',' outside parentheses ('(' and ')' belong to the token and
// count levels); it may be empty (a ',' where a token should start). p then moves past the white
// space and commas after it. The view points into the text.
std::optional<std::string_view> nexttoken(const char*& p);
