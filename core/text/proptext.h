#pragma once

#include "core/text/text.h"

#include <cstdint>
#include <iosfwd>

class PROPLIST;
struct PROPITEM;
template <class T> class GDIDX;

// A property text: lines NAME=VALUE grouped into sections that start at header lines "*NAME",
// with comments (';') and parts hidden in braces ("{*NAME}", "{NAME=}VALUE", "NAME={VALUE}",
// "{NAME=VALUE}"). The lines above the first header form the default section, which a null section
// argument names. Names of sections and properties compare without regard to ASCII letter case.
// Every operation reads logical lines (see PROPSCAN): braces taken out, lines joined at a trailing
// backslash, cut to 8191 characters.
class PROPTEXT : public TEXT {
public:
    explicit PROPTEXT(const char* s = nullptr); // the default section name starts empty
    PROPTEXT(const PROPTEXT& other); // copies the text and the default section name
    PROPTEXT& operator=(const PROPTEXT& other);

    // Look-ups; they never change the text. The values returned by operator[] and get live in a
    // buffer of that operation and thread, valid until the next call of the same operation.

    // The value of the first property of that name anywhere in the text, blanks after the '='
    // skipped; null when absent.
    char* operator[](const char* name) const;
    // That value read as a boolean (TRUE, T, ON, YES, 1); 0 when absent.
    int test(const char* name) const;
    // 1 when that value equals value (exact: with letter case), 0 when it differs or is absent.
    int test(const char* name, const char* value, int exact) const;
    // The rest of the line after the '=' (leading blanks kept) of the first property of that name
    // in the section (null: the default section, lines above the first header included); null
    // when absent. A section whose header occurs twice is searched in both places.
    char* get(const char* sec, const char* name) const;
    // 1 when the section holds a property of that name.
    int exists(const char* sec, const char* name) const;

    // Edits. Each reads the whole text once and replaces it, also when nothing changed: every
    // line it leaves alone comes out as stored, each ending in a line feed. Sections match when
    // the current section (the default section's name until the first header, then the name of
    // the last header) equals sec (null: the default section's name) without regard to case.
    // Names and values are written as given, braces included as markup, except that a line feed
    // is written as a blank (no edit can start a line or a header), a name that would not read
    // back whole (empty, with '=', blanks at either end, or a leading '*' or '"') is quoted, and a
    // line whose logical reading ends in a backslash gets a blank after it so it joins no other.

    // Sets every property of that name in the section to value, in place, in the brace form of
    // flags (1: "{NAME=}VALUE", 2: "NAME={VALUE}", 3: "{NAME=VALUE}"; with 4 the braces of the
    // replaced lines are added). An absent property is added at the end of its section, an
    // absent section at the end of the text under "{*SEC}". A null value removes the property;
    // a null name does nothing.
    void add(const char* sec, const char* name, const char* value, uint16_t flags);
    // Drops every property line of that name in the section, with all its stored lines.
    void remove(const char* sec, const char* name);
    // Gives every property of that name in the section the new name, keeping value and braces;
    // a null or empty newname removes it. Nothing is added when it is absent.
    void rename(const char* sec, const char* oldname, const char* newname);
    // Rewrites the property of that name (null: every property of the section but comments) in
    // the brace form of flags & 3, 0 taking all braces away. Properties with an empty value stay.
    void hide(const char* sec, const char* name, uint16_t flags);

    // Reads the section's properties into list (append 0: emptied first), skipping empty values
    // and ';' names; with keeporder they stay in text order. A null sec reads the default section
    // with the lines above the first header; lines are cut to 8191 characters.
    void getprops(const char* sec, PROPLIST& list, int append, int keeporder) const;
    // parseprops over the stored text: records with their brace forms.
    int getprops(const char* sec, GDIDX<PROPITEM>& items, int keeporder) const;

    // Gives the section exactly the properties of list, each written in the form of flags:
    // present ones in place (keepbraces: in the braces of the stored line), new ones at the end
    // of the section (an absent section at the end of the text under "{*SEC}"), and property
    // lines the list lacks, blank lines and free text of the section dropped; comments and every
    // line outside the section stay (a comment holding '=' reads as a property line named ";...").
    // Names match by alnumcmp (with letter case). With an empty list only the section's property
    // lines go. A null sec takes the lines above the first header into the section.
    void setprops(const char* sec, const PROPLIST& list, uint16_t flags, int keepbraces);
    // As above with records, each in its own brace form and matched by the index's comparison.
    void setprops(const char* sec, const GDIDX<PROPITEM>& items, int keepbraces);

    // Blocks: the stored lines from a section's header up to the next header. With an empty
    // section name the block is the lines above the first header while the default section's
    // name is empty too; otherwise only header lines open and close blocks.

    // Writes every block of the section to os as stored, each line ending in a line feed, headers
    // first when withheader; 1 when the section was met, else 0. The text is not changed.
    int getblock(const char* sec, int withheader, std::ostream& os) const;
    // Replaces the section by "{*SEC}" and the content of is, copied byte for byte with a line
    // feed added when it lacks one; at its first place, every later occurrence dropped; an absent
    // section is added at the end of the text (an unnamed block goes above the first header).
    // An empty content leaves the header alone.
    void putblock(const char* sec, std::istream& is);
    void putblock(const char* sec, const char* body); // null body: empty content
    // Drops every block of the section with its header.
    void removeblock(const char* sec);
    // Writes every header of the section as "*NEWNAME". Does nothing (the text unchanged) when
    // either name is null, newname is no identifier (a letter or '_', then letters, digits and
    // '_'), or the section is absent.
    void renameblock(const char* sec, const char* newname);
    // Drops from the section every line that is neither a property nor a comment. A null sec
    // cleans the default section with the lines above the first header.
    void cleanblock(const char* sec);

    char defsection[50]; // the section a null argument names; at most 49 characters
};

// Parses a property text character by character into records of name, value (blanks around it
// cut, possibly empty) and brace form (1 the name stood in braces, 2 the end of the value did),
// added to items under its duplicate mode; items replaced or refused by the index are freed.
// sec null: every section; empty: the lines above the first header; else the sections of that
// name. Single and doubled braces all count as marks; a ';' where a name is expected ends the
// line; a value ends at a line feed or at a '}' outside double quotes. Returns 1, or 0 when a
// value of 1024 characters or more was added as empty. A null text adds nothing and gives 1.
int parseprops(const char* text, const char* sec, GDIDX<PROPITEM>& items, int keeporder);
int parseprops(const char* text, const char* sec, GDIDX<PROPITEM>& items); // keeporder 0
