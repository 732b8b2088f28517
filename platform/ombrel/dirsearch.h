#pragma once

// Folder search over the window layer's FindFirstFileA: the entries of one folder whose names match
// a pattern ('*' any run, '?' one character, ASCII case ignored; every other character, brackets
// included, stands for itself). findfirst takes the whole listing at once, so the matches stay put
// while the caller deletes or renames files between findnext calls.

#include <cstdint>
#include <string>
#include <vector>

class DIRSEARCH {
public:
    // Longest folder or pattern taken, as the path buffers of the core (longer ones find nothing).
    static constexpr size_t maxpath = 516;

    struct ENTRY {
        std::string name;
        uint64_t time; // last write, in 100 ns steps since 1601 (a FILETIME)
        int64_t size;
        bool isfolder;
    };

    DIRSEARCH() = default;
    DIRSEARCH(const DIRSEARCH&) = default;
    DIRSEARCH& operator=(const DIRSEARCH&) = default;
    ~DIRSEARCH() = default;

    // Lists the Windows path folder for pattern (a name pattern, no folder part) in the folder's
    // own order, "." and ".." left out, and makes the first match current: 1, or 0 when nothing
    // matched, the folder cannot be read, or an argument is null, too long or the pattern holds a
    // separator.
    int findfirst(const char* folder, const char* pattern);
    // Makes the next match current; 0 at the end.
    int findnext();
    // Orders the matches by time, oldest first, keeping the folder's order among equal times, and
    // makes the oldest current; 0 when there are none.
    int sortbytime();

    // The current match; only valid after findfirst, findnext or sortbytime answered 1.
    const ENTRY& entry() const { return entries[current]; }
    const char* name() const { return entries[current].name.c_str(); }
    uint64_t time() const { return entries[current].time; }

private:
    std::vector<ENTRY> entries;
    size_t current = 0;
};
