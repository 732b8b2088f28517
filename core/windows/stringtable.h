#pragma once

// Numbered and named texts loaded from string-table resources of a module, looked up by number or
// by name, optionally translated as they are loaded.
//
// Resource layout (RCDATA; integers little-endian, unaligned): records opened by a tag byte.
//   tag 0: 16-bit number, 32-bit flags, text and NUL      numbered entry (flag 8: context marker)
//   tag 2                                                 end of the table
//   other: name and NUL, 32-bit value, text and NUL       named entry
// Numbers order and compare as signed 16-bit values; names compare without regard to ASCII case
// on their first 31 characters.

#include <cstdint>

#include "platform/win/handletypes.h"

// Translates user-visible texts: each operation answers a heap copy (released with free) of the
// translation of text within context, or null when there is none.
class ITRANSLATE {
public:
    virtual ~ITRANSLATE() = default;
    virtual char* translate(const char* text, const char* context) = 0;
    virtual char* translate(const char* text, const char* context, const char* comment) = 0;
};

class STRINGTABLE {
public:
    static constexpr uint32_t CONTEXTMARKER = 8;
    static constexpr uint16_t UNTRANSLATED = 0xFFFF;

    // report: show a message box for every resource that load cannot find.
    explicit STRINGTABLE(int report = 0);
    STRINGTABLE(const STRINGTABLE& other); // copies every entry and text
    STRINGTABLE& operator=(const STRINGTABLE& other); // likewise; self-assignment changes nothing
    ~STRINGTABLE();

    // Adds the entries of each resource of the comma-separated names (199 characters at most; an
    // empty name ends the list) of module, by default the calling thread's context's resource
    // module (else its module). 1 when every resource was found and read whole; 0 when one was
    // missing (with a box when reporting) or damaged (its entries up to the damage are kept), or
    // when there is no module. The others are loaded all the same.
    int load(const char* names, HINSTANCE module = nullptr);
    // The text of a number (id below 0x10000) or of a name (id is then a const char*); "" when
    // absent, never null. flag is not used.
    const char* string(unsigned long id, int flag = 0) const;
    // Splits the text of id at sep into at most max fields, each copied into out[n] cut to len
    // characters when len is positive (out[n] holds the field and its NUL). The fields stored; 0
    // for an absent id.
    int split(unsigned long id, char** out, int len, int max, char sep) const;
    // Copies, from an entry numbered id on in number order, the texts of the entries whose numbers
    // hold every bit of id, stopping at the first that does not; at most max, each cut to len
    // characters (out[n] holds len + 1 bytes). The texts stored; 0 for an absent id.
    int getgroup(unsigned long id, char** out, int max, int len) const;
    // Empties both lists and frees every text; the translation context stays.
    void zap();
    // Later loads translate numbered texts with translator (not owned; null: none) within context;
    // a null context makes each resource start in the context "Unknown" and its context markers
    // switch to the marker's text.
    void settranslator(ITRANSLATE* translator, const char* context);
    // The number and text of the numbered entry at index, in number order; 0 past the last.
    int item(int index, unsigned long* id, const char** text) const;
    // Likewise in the order the resources hold the entries (a menu's titles, say).
    int itemasread(int index, unsigned long* id, const char** text) const;

private:
    struct NUMBERED {
        int16_t number;
        uint32_t flags;
        char* text; // owned
        int sequence; // where it stood among the numbered entries read
    };
    struct NAMED {
        char name[32];
        uint32_t value;
        char* text; // owned
    };
    template <class T> struct LIST {
        int last = -1; // index of the last entry, -1 when empty
        int highest = -1; // highest index the storage holds, -1 when none
        T* entries = nullptr;
        T* begin() const { return entries; }
        // The count is added whole: an empty list's entries may be null.
        T* end() const { return entries + (last + 1); }
    };

    // False (nothing added) when the record runs past the end of the resource.
    bool readnumbered(const uint8_t*& at, const uint8_t* end);
    bool readnamed(const uint8_t*& at, const uint8_t* end);
    char* textfor(const char* text, int16_t number, uint32_t flags);
    template <class T> static bool append(LIST<T>& list, const T& entry);
    const NUMBERED* findnumber(int16_t number) const;
    void copyfrom(const STRINGTABLE& other);
    void release();

    int report;
    LIST<NUMBERED> numbered;
    LIST<NAMED> named;
    char* contextname = nullptr; // owned
    int contextmode = 0;
    ITRANSLATE* translator = nullptr;
};
