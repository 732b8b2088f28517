#pragma once

// Settings in the registry, below one base key path of the application. A REGISTRY32 hides the
// hive (the pseudo root REGISTRY_USERTHENMACHINE reads the user's hive and falls back to the
// machine's, and writes only the user's), the base path and the opening and closing of keys.
// Key arguments are relative to the base path ("Window Positions"); a null key names the base key
// itself. Results: reads answer -1 (sizes, data) or null (enumerations) when a key or value is
// missing, of another type or larger than the buffer, unless a default takes its place; writes
// and deletions answer 1 or 0. One object serves one thread at a time.

#include <cstddef>

#include "platform/win/colour.h"
#include "platform/win/winreg.h"

class PROPLIST;

// Reads the user's hive, then the machine's; writes the user's.
inline const HKEY REGISTRY_USERTHENMACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7fffffff));

// Joined key paths are at most this long; operations on longer paths fail.
constexpr size_t REGISTRY_PATHMAX = 1023;

// dest holding base, then (for a non-null key) a '\' unless dest is empty or ends in one, key
// without one leading '\', and no trailing '\'. Bound: dest holds 1024 bytes; the text is cut to
// REGISTRY_PATHMAX characters.
char* joinkeypath(char* dest, const char* base, const char* key);

class REGISTRY {
public:
    virtual ~REGISTRY();
    // The first value (keys 0) or subkey (keys non-zero) of key; null when there is none.
    virtual char* enumfirst(const char* key, int keys) = 0;
    // The next one: a subkey's bare name, or a value's name behind its type letter ('s' text,
    // 'b' binary, 'd' number, 'm' text list, '?' other). Null at the end. Overwritten by the next call.
    virtual char* enumnext() = 0;
    virtual int removevalue(const char* key, const char* value) = 0;
    // Removes key with every subkey below it; 0 (key left) when a subkey cannot be removed.
    virtual int removekey(const char* key) = 0;
    // The previous root; the base class changes nothing and answers null.
    virtual HKEY setrootkey(HKEY root);
    // The value's size in bytes; -1 when missing.
    virtual int getsize(const char* key, const char* value) = 0;
    // The bytes delivered into buf (size bytes); when the value is missing, of another type or
    // larger than size: -1 for a null def, a text def (defsize 0) copied as at most size - 1
    // characters (answering its length + 1; 0 and nothing copied for size 0), else defsize bytes
    // of def (at most size) answering the count copied.
    virtual int getdata(
        const char* key, const char* value, DWORD type, void* buf, DWORD size, const void* def, DWORD defsize)
        = 0;
    virtual int putdata(const char* key, const char* value, DWORD type, const void* data, DWORD size) = 0;

    // A text value, or the text def when it is missing (null def: -1); results as getdata.
    int getstr(const char* key, const char* value, char* buf, DWORD size, const void* def);
};

class REGISTRY32 : public REGISTRY {
public:
    // root: a hive, an open key, REGISTRY_USERTHENMACHINE, or null to work on the key held in the
    // open-key field, which the object then never opens or closes. path: the base key path.
    REGISTRY32(HKEY root, const char* path);
    ~REGISTRY32() override;
    REGISTRY32(const REGISTRY32&) = delete;
    REGISTRY32& operator=(const REGISTRY32&) = delete;

    // Sets the root and replaces the base path.
    void initialise(HKEY root, const char* path);

    char* enumnext() override;
    int removevalue(const char* key, const char* value) override;
    int removekey(const char* key) override;
    HKEY setrootkey(HKEY root) override;
    // Creates key (and the keys above it) when missing; 1, or 0 when it cannot be created.
    int createkey(const char* key);
    // Creates key and gives the built-in Users group full control of it; 1 when that was set.
    int createsharedkey(const char* key);

private:
    char* enumfirst(const char* key, int keys) override;
    int getsize(const char* key, const char* value) override;
    int getdata(const char* key, const char* value, DWORD type, void* buf, DWORD size, const void* def,
        DWORD defsize) override;
    int putdata(const char* key, const char* value, DWORD type, const void* data, DWORD size) override;

    // 1 when the key is open with the rights (opened here, created when any write right is asked
    // for); with the pseudo root nothing is opened. Every successful call is paired with releasekey.
    int openkey(const char* key, REGSAM rights);
    void releasekey();
    void closeopenkey();
    void closeenumeration();
    // The root that calls go to: the root, or the open key for a null root.
    HKEY callroot() const { return root ? root : openedkey; }
    // The joined path of key below the base path; false when it would pass REGISTRY_PATHMAX.
    bool keypath(char* dest, const char* key) const;

    HKEY root;
    HKEY openedkey = nullptr;
    DWORD openrights = 0;
    DWORD opendepth = 0;
    char* basepath = nullptr; // malloc'ed
    char enumbuffer[100] = {};
    HKEY enumkey = nullptr;
    int enummode = 0;
    DWORD enumindex = 0;
};

// The registry object of the calling thread's context answers these; without one, reads answer
// -1 and writes 0 (and nothing is touched).
int reg_putstr(const char* key, const char* value, const char* text);
int reg_getstr(const char* key, const char* value, char* buf, int size);
int reg_getbin(const char* key, const char* value, void* buf, int size);
int reg_getsize(const char* key, const char* value);
int reg_removekey(const char* key);
// Adds the text values of key to list; the number added.
int reg_getproplist(const char* key, PROPLIST& list);
// Replaces key's values by the items of list (the key is deleted first, so names no longer in the
// list disappear); the number of values written.
int reg_putproplist(const char* key, PROPLIST& list);

// The rest of the family, built on the operations above. Numbers, flags and colours are stored as
// REG_DWORD values (flags 0 or 1; colours red in the low byte); a value of another type or size
// counts as missing.
DWORD reg_getdw(const char* key, const char* value, DWORD def);
int reg_getbool(const char* key, const char* value, int def);
COLORREF reg_getrgb(const char* key, const char* value, COLORREF def);
// Non-zero, with *result set, only when the number exists.
int reg_getval(const char* key, const char* value, unsigned long* result);
int reg_putval(const char* key, const char* value, DWORD number);
int reg_putbool(const char* key, const char* value, int flag);
int reg_putbin(const char* key, const char* value, const void* data, int size);
int reg_removevalue(const char* key, const char* value);
// The value's size in bytes; 0 when missing.
int reg_size(const char* key, const char* value);
char* reg_enumfirst(const char* key, int keys);
char* reg_enumnext();
// The previous root of the context's registry object; null without one.
HKEY reg_setrootkey(HKEY root);
// Gives the calling thread's context a registry object on root and path (or re-roots the one it
// has); 1, or 0 when it cannot be made. reg_term destroys it.
int reg_init(HKEY root, const char* path);
void reg_term();
