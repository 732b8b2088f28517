#pragma once

// The store behind the registry calls: two hives of keys and typed values, each kept in a
// readable, versioned text file.
//
//   VKT registry hive 1
//   [Software\Venthorne Electronics\VKT\Window Positions]
//   "Main"=hex:2c,00,00,00,...
//   "Title"=sz:"Schematic \"A\""
//   @=dword:0000002a
//
// One "[path]" line per key (also for a key without values), followed by its values: "@" names
// the default value; types are sz (text and its terminator), dword (4 bytes, little-endian),
// hex (binary) and hex(N) (any other type N). In names and texts a backslash, a double quote and
// the control characters are escaped ("\\", "\"", "\xHH"); in key paths '%' and the control
// characters are written "%HH".
//
// The user hive is $XDG_CONFIG_HOME/vkt/user.reg (XDG_CONFIG_HOME defaults to ~/.config); the
// machine hive, read only, is <installation>/share/vkt/machine.reg, the installation being the
// folder above the program's. When VKT_REGISTRY_DIR is set, both are files in that folder.
//
// Every read sees the file as it is now (it is re-read when it changed). Every write takes a lock
// file beside the hive, re-reads the hive under it, applies the change and replaces the file by a
// temporary one renamed over it, so that two processes writing at once lose nothing and a reader
// never sees a half-written hive. A hive of a later format version is never overwritten, and one
// with lines that could not be read is kept beside as "<file>.damaged" before it is rewritten.
//
// No real hive comes near the bounds of the store: a regular file of at most HIVELIMIT bytes, keys
// at most REG_MAXDEPTH levels deep (winreg.h), key names of at most HIVEKEYNAME and value names of
// at most HIVEVALUENAME characters, the registry's own limits (the calls write shorter names still,
// so that hand-edited ones stay readable). A file beyond them (or a pipe, a device, a folder) is
// refused whole: it reads as an empty hive, is never written over, and refusal() says why.
// Callers: the registry calls (winreg.h) and the process's start-up, which reports a refusal.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/scalars.h"

namespace regstore {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct Key {
    std::map<std::string, std::unique_ptr<Key>, NoCaseLess> subkeys;
    std::map<std::string, Value, NoCaseLess> values; // "" is the default value
};

enum class Hive { user, machine };

constexpr int formatVersion = 1;
constexpr int64_t HIVELIMIT = int64_t { 16 } << 20;
constexpr size_t HIVEKEYNAME = 255;
constexpr size_t HIVEVALUENAME = 16383;

// The levels of a '\'-separated key path; empty levels are skipped.
std::vector<std::string> splitpath(const std::string& path);
// The key at the levels below root; null when one is missing.
const Key* findkey(const Key& root, const std::vector<std::string>& levels);
Key* findkey(Key& root, const std::vector<std::string>& levels);

// Runs reader on the hive as the file holds it now; an absent or unreadable hive is empty.
LONG read(Hive hive, const std::function<LONG(const Key& root)>& reader);
// Runs change on the user hive under the hive's lock; when it returns ERROR_SUCCESS and sets
// changed, the hive is written back. ERROR_ACCESS_DENIED for the machine hive, ERROR_BADDB for a
// hive file of another format or a refused one, ERROR_WRITE_FAULT when the file cannot be written
// and ERROR_NOT_ENOUGH_MEMORY when the hive would grow past HIVELIMIT (the change is then dropped).
LONG write(Hive hive, const std::function<LONG(Key& root, bool& changed)>& change);

// The file of a hive as the environment names it now.
std::string hivefile(Hive hive);
// Why the hive's file as it is now is not used; "" when it is read (or absent).
std::string refusal(Hive hive);

// The text form of a hive, and back. parse returns the file's version (0 when the text lacks the
// header) and sets damaged when some line could not be read; such lines are left out. A key or a
// name beyond the bounds leaves root empty and says where in refused.
std::string serialise(const Key& root);
int parse(const std::string& text, Key& root, bool& damaged, std::string& refused);

} // namespace regstore
