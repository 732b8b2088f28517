#pragma once

#include "engines/mavro/mavro.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reading SPICE text into cards, one line a card: the load's reading of model files, ".include"
// files, netlist scripts and library models, and the deck runner's of outside decks, which takes
// the options below on top of it.

class VFILE;
struct SPICEDECK;

// How a source is read. The defaults are the load's reading.
struct DECKREADING {
    // Letters a to z become upper case; else A to Z become lower case.
    bool upper = true;
    // Every source's first line is its title unless it begins with '.'; else the first line of the
    // deck alone is (whatever it begins with), and included files have none.
    bool sourcetitles = true;
    // Text from a ';' on is left out, but on the title.
    bool semicolons = false;
    // A carriage return ending a line is left out.
    bool carriagereturns = false;
    // ".control" ... ".endc" blocks are no cards: their commands are handed out as CONTROL lines.
    bool controlblocks = false;
    // ".end" ends the deck: what follows it, in any file, is not read (as after stop()).
    bool endcard = false;
    // ".inc" names a file as ".include" does.
    bool shortinclude = false;
};

// What a line of a source is, as the reader hands it out.
enum class DECKLINE : uint8_t {
    TITLE, // a source's first line
    COMMENT, // blank, or beginning with '#', '$' or '*' after leading blanks
    CARD, // any other line, an ".include" card among them
    ORPHAN, // a continuation line with no card before it in its source to continue
    CONTROL, // a command of a ".control" block (DECKREADING::controlblocks), comments left out
};

// The reader: splits a source into lines (empty ones left out, NUL bytes dropped, letters in the
// reading's case, leading characters with codes up to 32 and bytes from 128 up counting as blanks)
// and hands out its cards in order. A line beginning with '+' continues the last card of its own
// source that is neither a title nor a comment: what follows the '+' is handed to join(). A line
// whose first word is ".include" names a file: the card goes out first, then include() with the name
// (the rest of the line without blanks and enclosing quotes), which may read the file with read().
class DECKREADER {
public:
    explicit DECKREADER(const DECKREADING& reading) : reading(reading) { }
    virtual ~DECKREADER() = default;
    DECKREADER(const DECKREADER&) = delete;
    DECKREADER& operator=(const DECKREADER&) = delete;

    // Reads one source: the deck or a file it includes (`included`).
    void read(std::string_view text, bool included);
protected:
    // A line of the source, by its number there (from 1), in the reading's case.
    virtual void card(int32_t line, std::string_view text, DECKLINE kind) = 0;
    // A continuation line (text, whole) of the last CARD handed out in its source; rest follows the '+'.
    virtual void join(int32_t line, std::string_view text, std::string_view rest) = 0;
    // The file an ".include" card names; empty when the card names none.
    virtual void include(int32_t line, const std::string& name) = 0;
    // Ends the reading: nothing more is handed out, in any source.
    void stop() { finished = true; }

    const DECKREADING reading;

private:
    bool finished = false;
};

// Reads the stream to its end as the load reads its sources. The cards go after *end when end is
// given (and *end becomes the last of them), else at the end of the deck. An ".include" card (any
// case) stays in the deck and is followed by the cards of the file, looked for as it stands and
// then in the folders of the MODELS variable; "cannot open SPICE source file %s" when none has it,
// the error of readsourcefile when it is refused, ".include filename missing." without a name, and
// a file that would include itself is not read again. A continuation line with no card to continue
// keeps its place with the error text "Illegal continuation line: ignored."; a card that was
// continued keeps the lines it was joined from, and its text becomes them joined by a blank (the
// '+' left out). Returns the first card read; null when the stream held no line.
SPICECARD* readdeck(SPICEDECK* deck, VFILE& stream, SPICECARD** end);

// The whole SPICE source file that spec (a Windows path, found in any case) names, through the
// bounded reader (platform/win/boundedread.h): false, with an error on the simulation log ("SPICE
// source file %s cannot be read: <reason>"), when it is no regular file, too large, holds too long a
// line or cannot be read.
bool readsourcefile(const char* spec, std::string& text);

// The variable's value; empty when it is not set.
std::string getenvcopy(const char* name);
