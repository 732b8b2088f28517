#pragma once

// The component database of a project as the main program uses it: the boards of the project
// (its root modules, one of them current, each with an id, a name and the file stem of its layout
// entry) and the assembly variant that is active. It is kept in the project file as one entry,
// written in this text form and read back bounded against damage:
//
//   VKTCDB 1
//   name "ROOT.CDB"
//   variant A
//   legacyvariants 1
//   board 1 "ROOT" "Main board"
//   current 1
//
// "variant" is 'b' (the base design) or a letter 'A' to 'Z'; "legacyvariants" marks a database
// carried over from files whose variants were kept the older way; texts are double-quoted with
// '\\' and '"' escaped. A later version of the form, or any line that does not read, refuses
// the whole entry and leaves the database empty.
// Callers: the project of the main program.

#include <string>
#include <vector>

class APPLNPROJECT;
class VFILE;

struct CDBBOARD {
    unsigned long id;
    std::string stem; // the layout entry is the stem with the extension "LYT"
    std::string name; // may be empty
};

class CDBCORE {
public:
    static constexpr int VERSION = 1;

    CDBCORE() = default;
    CDBCORE(const CDBCORE&) = delete;
    CDBCORE& operator=(const CDBCORE&) = delete;
    virtual ~CDBCORE() = default;

    virtual void setowner(APPLNPROJECT* project) { owner = project; }
    APPLNPROJECT* getowner() const { return owner; }
    // Empties the database and names it.
    virtual void newdatabase(const char* name);
    // No boards, the base design, no name.
    virtual void zap();
    // 1 when every byte went into the file.
    virtual int save(VFILE& file);
    // 1 when the file held a whole database of a version this reads; else 0 with the database
    // empty.
    virtual int load(VFILE& file);

    // 1 once for a database that holds variants of the older kind: they count as migrated after.
    virtual int migratelegacyvariants();
    // A letter outside 'A' to 'Z' selects the base design 'b'.
    virtual void selectvariant(char variant);
    char getvariant() const { return variant; }

    // A first board for the design when there is none yet; the layout of a new board lies in the
    // same board.
    virtual void newdesign();
    virtual void newlayout() { newdesign(); }
    int numboards() const { return static_cast<int>(boards.size()); }
    const CDBBOARD* getboard(int index) const;
    // The current board, null when there is none.
    const CDBBOARD* currentboard() const { return getboard(current); }
    int currentboardindex() const { return current; }

    // Drops the clips no design refers to any longer; the database holds no clips so far.
    virtual void tidysnippets() { }

    const char* getname() const { return name.c_str(); }
    int ismodified() const { return modified; }
    void setmodified(int flag) { modified = flag; }

private:
    APPLNPROJECT* owner = nullptr; // borrowed
    std::string name;
    std::vector<CDBBOARD> boards;
    int current = -1;
    char variant = 'b';
    int legacyvariants = 0;
    int modified = 0;
};

// A new empty database, released with releasecdb.
CDBCORE* createcdb();
void releasecdb(CDBCORE* database);
