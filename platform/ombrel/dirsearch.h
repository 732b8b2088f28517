#pragma once

// Folder search: the entries of one folder whose names match a pattern ('*' any run, '?' one
// character, ASCII case ignored; every other character, brackets included, stands for itself).
// findfirst reads the whole folder at once, so a folder that changes or vanishes while it is read
// gives either a whole listing or none; the current entry's name, time and size stay valid until
// the next call.

#include <cstdint>
#include <string>
#include <vector>

class DIRSEARCH {
public:
    // Longest folder or pattern taken, as the path buffers of the core (longer ones find nothing).
    static constexpr size_t maxpath = 516;

    struct ENTRY {
        std::string name;
        int64_t time; // last write, nanoseconds since 1970 UTC
        int64_t size;
        bool isfolder;
    };

    DIRSEARCH() = default;
    DIRSEARCH(const DIRSEARCH&) = default;
    DIRSEARCH& operator=(const DIRSEARCH&) = default;
    ~DIRSEARCH() = default;

    // Lists folder for pattern (a name pattern, no folder part) in the folder's own order and
    // makes the first match current: 1, or 0 when nothing matched, the folder cannot be read
    // whole, or an argument is null, too long or the pattern holds a separator.
    int findfirst(const char* folder, const char* pattern);
    // Makes the next match current; 0 at the end.
    int findnext();
    // Orders the matches by time, oldest first, keeping the folder's order among equal times, and
    // makes the oldest current; 0 when there are none.
    int sortbytime();

    // The current match; only valid after findfirst, findnext or sortbytime answered 1.
    const ENTRY& entry() const { return entries[current]; }
    const char* name() const { return entries[current].name.c_str(); }
    int64_t time() const { return entries[current].time; }

private:
    std::vector<ENTRY> entries;
    size_t current = 0;
};

// 1 when name matches pattern as the folder search matches: '*' and '?' wild, ASCII case ignored.
int dirsearchmatch(const char* pattern, const char* name);
