#pragma once

#include "engines/mavro/mavro.h"

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

// The parser's symbol table: every name once, with the node of the names entered as nodes. Names
// are entered by exact spelling, so the kernel's nets "clk" and "CLK" stay two. Names read from
// cards are looked up exactly first, then without regard to ASCII case (the first name entered of a
// folded spelling wins), so a lower-cased deck finds the kernel's nets.
struct INPtables {
    struct Entry {
        char* name;
        IFnode* node = nullptr;  // set once the name was entered as a node
    };

    explicit INPtables(std::size_t size);

    // The entry of a name read from a card: exact spelling first, then without case; null when absent.
    Entry* find(std::string_view name);
    // The entry of exactly this spelling, entered (with a copy of it) when absent; *added tells which.
    Entry* enter(std::string_view name, bool* added = nullptr);

private:
    std::deque<std::string> names_;  // stable storage: entries point into it
    std::deque<Entry> entries_;
    std::unordered_map<std::string_view, Entry*> exact_;
    std::unordered_map<std::string, Entry*> folded_;
};

namespace mavro {

// The front end and the kernel's parser descriptor given to inpinit; null before.
struct Session {
    IFfrontEnd* frontend = nullptr;
    IFsimulator* descriptor = nullptr;
};
Session& session();

// INPtermInsert and INPgndInsert: enters a node name, making the node through descriptor slot 5
// (or 6 for the ground node) the first time.
int insertnode(IFcircuit* ckt, char** name, INPtables* table, IFnode** node, bool ground);

}  // namespace mavro
