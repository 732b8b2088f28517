#pragma once

#include "core/containers/didx.h"

#include <cstdint>

class PROPTEXT;
class VFILE;

// A list of named property values, kept in alphanumeric order of the names without regard to
// case (R2 before R10). Each item is one block: the name, a NUL, the value, a NUL; the block is
// also its key. The replace flag decides whether setting a name that is present replaces its value
// (set) or keeps the first one (clear).
//
// Stored form (32-bit little-endian integers): the item count n, then n times the block length L
// (name and value lengths + 2) and the block.
class PROPLIST : public DIDX {
public:
    PROPLIST(int step, int replace); // step 0 means 100
    // The NAME=VALUE list of text (see addlist) with the replace flag set; null gives no items.
    explicit PROPLIST(const char* text);
    // Copies every item in other's order; the step is other's count, the replace flag other's.
    PROPLIST(const PROPLIST& other);
    // Copies every item of other in its order; keeps this list's replace flag. Self-assignment
    // changes nothing.
    PROPLIST& operator=(const PROPLIST& other);
    ~PROPLIST() override; // deletes every item

    // The value of name, pointing into its item (valid until the item is replaced or removed);
    // null when absent.
    char* operator[](const char* name) const;
    // 1 when name is present with a value equal to value ignoring case.
    int test(const char* name, const char* value) const;
    // 1 when the value begins with T, t or 1, or is "ON" in any case; 0 otherwise or when absent.
    int getbool(const char* name) const;
    // 1 when both lists hold the same names with byte-identical values.
    int equals(const PROPLIST& other) const;

    // Sets name to value; a null value removes the name. The index the item stands at, or -1 when
    // nothing was stored (removal, a null name, or a present name kept with the replace flag clear).
    int add(const char* name, const char* value);
    // Deletes the item at index; 1, or 0 when index is out of range.
    int remove(int index);
    // Sets name to a text of at most 255 characters: printf formatting, except for the whole
    // formats "%b" ("Yes" when the low 16 bits of the argument are set, else "No"), "%rh" and
    // "%ri" (a colour, red in the low byte, as "(0xRR,0xGG,0xBB)" or "(r,g,b)"). 0 when name
    // already had exactly that value, else 1 (also when the replace flag kept the old value).
    int format(const char* name, const char* fmt, ...);
    // Sets name to two upper-case hexadecimal digits per byte of data; results as format.
    int addhex(const char* name, const void* data, unsigned int length);
    // Adds every item of other in its order, by the rules of add.
    void merge(const PROPLIST& other);
    // Adds NAME=VALUE entries separated by commas (a value is quoted, or ends at a comma or line
    // feed; after a line feed the list resumes behind the next comma). Names of at most 63
    // characters, values of at most 1023. Parsing ends at the first unreadable entry.
    void addlist(const char* text);
    // Adds at most n (-1: any number of) keyword entries separated by commas: KWD=VALUE, or KWD
    // alone for KWD=KWD. Keywords of at most 255 characters. Every entry added so far stays in
    // list order in the locked head, ahead of names added later.
    void addkwdlist(const char* text, int n);
    // Adds the NAME=VALUE lines of one section of a property text (a name compared with the whole
    // rest of the header line, ignoring case); a null section reads the lines above the first
    // header. Lines are cut to 4095 characters; empty values and ';' names are skipped.
    void add(const PROPTEXT& text, const char* section);

    // 1 when every byte was written.
    int write(VFILE& f) const;
    // Replaces the items by those stored in f. 0 when the stored list was damaged or cut short:
    // the items read before the damage are kept, nothing after it.
    int read(VFILE& f);

    int32_t replace;
};
