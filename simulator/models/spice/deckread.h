#pragma once

#include "engines/mavro/mavro.h"

#include <cstdint>
#include <optional>
#include <string>

// Reading SPICE text (model files, ".include" files, netlist scripts, library models) into the
// load's deck, one line a card. Every letter a to z becomes upper case. A source's first line is
// its title unless it begins with '.'; a later line beginning with '+' (after blanks) continues the
// card before it that is neither blank nor a comment ('#', '$' or '*'), whose text becomes both
// joined by a blank and which keeps the lines it was joined from.

class VFILE;
struct SPICEDECK;

// The next line of the stream that is not empty, in upper case, without its line feed (a carriage
// return stays) and without NUL bytes; nullopt at the end. *line (counting the stream's lines from 1) becomes
// the line's number. No length limit of its own: files come through readsourcefile, which bounds them.
std::optional<std::string> readdeckline(VFILE& stream, int32_t* line);

// Reads the stream to its end. The cards go after *end when end is given (and *end becomes the
// last of them), else at the end of the deck. A line ".include <file>" (any case) stays in the deck
// and is followed by the cards of the file, looked for as it stands and then in the folders of the
// MODELS variable; "cannot open SPICE source file %s" when none has it, the error of readsourcefile
// when it is refused, ".include filename missing." without a name, and a file that would include
// itself is not read again. A continuation line with no card to continue keeps its place with the
// error text "Illegal continuation line: ignored.". Returns the first card read; null when the stream held no
// line.
SPICECARD* readdeck(SPICEDECK* deck, VFILE& stream, SPICECARD** end);

// The whole SPICE source file that spec (a Windows path, found in any case) names, through the
// bounded reader (platform/win/boundedread.h): false, with an error on the simulation log ("SPICE
// source file %s cannot be read: <reason>"), when it is no regular file, too large, holds too long a
// line or cannot be read.
bool readsourcefile(const char* spec, std::string& text);

// The variable's value; empty when it is not set.
std::string getenvcopy(const char* name);
