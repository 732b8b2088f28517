#pragma once

#include "engines/mavro/mavro.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The parser's symbol table: the names the kernel enters (nodes and what cards refer to by name),
// each once, with the node of the names entered as nodes; the nodes that cards make are the engine's
// alone. Names are entered by exact spelling, so the kernel's nets "clk" and "CLK" stay two. Names
// read from cards are looked up exactly first, then without regard to ASCII case (the first name
// entered of a folded spelling wins), so a lower-cased deck finds the kernel's nets. The table also
// keeps what the parser hands the engine by reference (vector values, parse trees) until INPtabEnd.
// Its memory is a few tens of bytes a name: decks of a million nodes are usual.
struct INPtables {
    struct Entry {
        char* name;
        IFnode* node = nullptr; // set once the name was entered as a node
    };

    explicit INPtables(std::size_t size);

    // The entry of a name read from a card: exact spelling first, then without case; null when absent.
    Entry* find(std::string_view name) { return lookup(name, false); }
    // As find, among the names entered as nodes only, so an instance "R1" never hides a node "r1".
    Entry* findnode(std::string_view name) { return lookup(name, true); }
    // The entry of exactly this spelling, entered (with a copy of it) when absent; *added tells which.
    Entry* enter(std::string_view name, bool* added = nullptr);
    // Makes the entry a node's name.
    void setnode(Entry* entry, IFnode* node) { entry->node = node; }

    // Keeps the values alive as long as the table; returns their address.
    template <class T> T* keep(std::vector<T> values)
    {
        auto owned = std::make_shared<std::vector<T>>(std::move(values));
        kept_.push_back(owned);
        return owned->data();
    }
    template <class T> T* keep(std::unique_ptr<T> object)
    {
        std::shared_ptr<T> owned = std::move(object);
        kept_.push_back(owned);
        return owned.get();
    }

private:
    // An entry's place in the index: its number from 1 (0: empty) and the hash of its name
    // without case, by which the index places it.
    struct Slot {
        uint32_t entry = 0;
        uint32_t hash = 0;
    };
    Entry* lookup(std::string_view name, bool nodes);
    char* copy(std::string_view name);
    void grow();

    std::deque<Entry> entries_; // in the order entered
    std::vector<std::unique_ptr<char[]>> text_; // the names, in blocks that never move
    char* textnext_ = nullptr; // the free end of the last block
    std::size_t textleft_ = 0;
    std::vector<Slot> index_;
    std::vector<std::shared_ptr<void>> kept_;
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

// The node a card names: the engine's node of that name (descriptor findNode), else a node of that
// name in the table (exact spelling first, then without case), else one made through slot 5 ("0"
// through slot 6) and left out of the table, since the engine keeps the name. A descriptor without
// findNode gets the table's node, made as INPtermInsert does. 0, or the engine's error (*node null).
int cardnode(IFcircuit* ckt, std::string_view name, INPtables* table, IFnode** node);

} // namespace mavro
