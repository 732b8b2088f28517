#pragma once

// Annotation: references "R?" and "U?:A" become numbered ones ("R1", "U1:A") counted per prefix
// among the parts of a board (of every board that shares its count, BOARD::localids). Parts of
// several elements are filled first: an element joins the lowest-numbered part of the same prefix
// and value that has its letter (or, with a packaging, any letter) free.
//
// Modes: 0 total (every reference in reach is numbered afresh from the start count), 1 incremental
// (references keep their numbers; a new one takes the lowest number free from the start count), 2
// pasted (as incremental, but new numbers follow the highest in use, so that a pasted block is
// numbered in one run). A sheet's own initial count (SHEET::anninit) raises the start count of its
// elements.
// Callers: the schematic's design (placing, pasting, selecting a sheet, the annotator command) and
// the component dialog's "New".

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class CDBCORE;
struct ELEMENT;
struct MODULE;
struct SHEET;

class ANNOTATOR {
public:
    static constexpr int TOTAL = 0;
    static constexpr int INCREMENTAL = 1;
    static constexpr int PASTED = 2;

    // Takes the references in use on the sheet's board; prefix (null or empty: each reference's
    // own) is the one process gives new references until the next initialize.
    void initialize(const char* prefix, SHEET* sheet);
    // Rewrites a reference (CDBNAMESIZE bytes) of an object whose annotation name (its value) and
    // element count (0: the device fixes the letter) are given. A reference that is not one (no
    // '?' or number after its prefix) is left alone, and so is a numbered one except in mode 0.
    void process(char* reference, const char* name, int elements, int mode);
    // Annotates the elements of a sheet, or of every sheet of a module and below, in the database;
    // the objects of the current sheet take the new names when it is loaded.
    void localannotate(SHEET* sheet, int mode, int start);
    void globalannotate(MODULE* module, int mode, int start);
    // The name of the next new part of the initialised prefix, "U4:A", into out; 0 without one.
    int nextfreename(char* out, int size);

private:
    struct OPENPART {
        int capacity; // letters the part has room for
        uint32_t used; // bit 0 for A
    };
    struct COUNT {
        std::set<int> used;
        int highest = 0;
        std::unordered_map<int, int> cursor; // by start count: every number from it up to here is used
    };

    void collect(CDBCORE* core, const SHEET* sheet);
    void annotate(CDBCORE* core, SHEET* first, std::vector<ELEMENT*>& elements, int mode, int start);
    // The reference for an element of prefix and value; letter -1 when it has no place yet.
    std::string assign(const std::string& prefix, int letter, const std::string& name, int elements,
        int mode, int start);
    int freenumber(const std::string& prefix, int mode, int start);
    void use(const std::string& prefix, int number, const std::string& name, int letter, int capacity);

    std::string prefix;
    std::unordered_map<std::string, COUNT> counts; // by upper-cased prefix
    // By upper-cased prefix and value: parts with letters free, by number.
    std::unordered_map<std::string, std::map<int, OPENPART>> open;
};
