#pragma once

#include "engines/nerith/descriptor.h"

#include <cstdint>

// The SPICE deck parser: the kernel's calls into it. The parser reaches the engine only through the
// descriptor the kernel hands to inpinit (the kernel copies the engine's 40 slots into it before
// the first pass and replaces slots 5 and 6 by its node hooks before the second). Texts the parser
// allocates (tokens, error texts) are C heap: INPfree or free() releases them.

// One card of a deck, as the kernel's deck holder links them. The kernel owns the cards; text and
// error are C heap strings.
struct SPICECARD {
    int32_t line;       // line number in its source (from 1; 0 for cards the kernel adds)
    char* text;         // the card
    char* error;        // the parser's messages for the card, lines joined by '\n'; null when none
    SPICECARD* next;    // the next card; null at the end of the deck
    SPICECARD* joined;  // the physical lines this card was joined from; null when it was not joined
};

struct INPtables;  // a symbol table: node, instance and model names, interned once

// A ".model" card the first pass read.
struct INPmodel {
    IFuid name;         // the model's name as interned in the table
    int32_t type;       // device type index in the engine's descriptor
    IFmodel* model;     // the engine model, made on the first INPgetMod; null before
    SPICECARD* card;    // the card it was read from
};

extern "C" {

// Keeps the front-end table and the kernel's parser descriptor (read at every later call, never
// copied). 0.
int inpinit(IFfrontEnd* frontend, IFsimulator* descriptor);
// A new, empty symbol table sized for about `size` names (any size works); null when out of memory.
INPtables* INPtabInit(int32_t size);
// Frees the table, its names and the parse trees made with it; a null table does nothing.
void INPtabEnd(INPtables* table);
// Frees the models the first pass read.
void INPkillMods();
// First pass: reads the ".model" cards of the deck (deck null: an empty deck); makes no engine call.
// Cards it cannot read get an error text, reported through the front end; returns their number.
int INPpas1(IFcircuit* ckt, SPICECARD* deck, INPtables* table);
// Second pass: the device cards, their nodes (through descriptor slots 5 and 6), models and
// parameters, and ".options" cards on `options` (may be null). Cards it cannot read get an error
// text, reported through the front end; returns their number. The card forms are in CONTRACT.md.
int INPpas2(IFcircuit* ckt, SPICECARD* deck, INPtables* table, IFtask* task, IFjob* options);
// Enters a node name: *name becomes the table's copy and *node the node, made through descriptor
// slot 5 the first time. 0 when the node was made, E_EXISTS when the name was a node already, or
// the engine's error (*node null). Names are entered by their exact spelling (names on cards are
// looked up exactly first, then without regard to case). The caller's text is never kept or freed.
int INPtermInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node);
// As INPtermInsert for the ground node, made through descriptor slot 6.
int INPgndInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node);
// Enters an instance or other name: *name becomes the table's copy. 0 when new, E_EXISTS when it
// was there. The caller's text is never kept or freed.
int INPinsert(char** name, INPtables* table);
// The next token of *line in a new string *token; *line moves past it and, when `gobble` is
// non-zero, past the white space and commas after it. Separators before a token (white space, ',',
// '=', '(' and ')') are skipped; a token ends at the next one. 0; at the end of the line *token is
// an empty string and the result E_NOTFOUND; E_NOMEM with *token null. Never reads past the NUL.
int INPgetTok(char** line, char** token, int gobble);
// The next token of *line read as a number: a sign, digits with a decimal point, an exponent, then
// a scale suffix (T G MEG K M MIL U N P F, any case); what follows in the token is a unit and
// ignored. *line moves past it as INPgetTok does and *error is 0; when the token is no number (or
// overflows) *error is non-zero, *line unchanged and the result 0. Never reads past the NUL.
double INPevaluate(char** line, int* error, int gobble);
// Frees a text the parser allocated; null does nothing.
void INPfree(void* text);
// The model of that (lower-case) name: null and *model when the first pass read it (its engine
// model is made and its parameters set on this first request), else an allocated error text.
char* INPgetMod(IFcircuit* ckt, char* name, INPmodel** model, INPtables* table);
// The LEVEL given on a ".model" card's text in *level (1 when none): null, or an allocated warning
// when the level does not read (then *level is 1).
char* INPfindLev(char* line, int* level);
// Parses the whole text at *line as a behavioural expression (CONTRACT.md) into *tree, owned by the
// table; *line moves to its end. 0, or E_SYNTAX (or the engine's code for a node it refused) with
// *tree null and *line unchanged.
int INPgetTree(char** line, IFparseTree** tree, IFcircuit* ckt, INPtables* table);
// The text of a result code; never null.
const char* inperrmsg(int code);

}
