#pragma once

// The design database: the boards of a project (its root modules, one of them current), the sheet
// hierarchy below them (sheets drawing circuits, child modules placed on sheets, their sheets), the
// elements that drawn objects bind to and the parts that group elements under one reference, the
// project clips, and the assembly variant that is active. The project keeps it in its file as one
// image (cdbimage.cpp); the schematic synchronises its sheets with it and annotates through it.
//
// Synchronising a sheet: beginsyncsheet, one bindelement or bindmodule per bound object in the
// order of the sheet's object list, endsyncsheet. The core takes the objects' data into its records
// at endsyncsheet and savesheet, and gives the records back to the objects at loadsheet. When a
// sheet is selected (modes 1 and 2) an element that exists keeps its name, so that each sheet of a
// circuit drawn on several sheets keeps its own references; in the other modes the drawing wins.
// An element whose reference clashes with a part that holds that place already, or whose device
// differs from the part's, is unannotated. A bound object must live until its sheet is next
// synchronised or saved.
// Callers: the project (boards, variants, clips, its file), the schematic's design, binding,
// annotation, netlist, clips and undo frames.

#include "platform/hulvane/cdbrecords.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class APPLNPROJECT;
class ANNOTATOR;
class VFILE;

// The state of one walk over sheets or modules; the walker empties it before each walk.
class CDBWALKQ {
public:
    void clear();

private:
    friend class CDBCORE;
    std::deque<uint32_t> pending; // sheet or module ids, nearest first
    uint32_t last = 0; // the id given last; its children join the queue at the next step
    int32_t descend = 0;
    int32_t modules = 0; // walking modules rather than sheets
};

class CDBCORE {
public:
    static constexpr int VERSION = 2;

    CDBCORE() = default;
    CDBCORE(const CDBCORE&) = delete;
    CDBCORE& operator=(const CDBCORE&) = delete;
    ~CDBCORE();

    void setowner(APPLNPROJECT* project) { owner = project; }
    APPLNPROJECT* getowner() const { return owner; }
    // Empties the database and names it.
    void newdatabase(const char* name);
    // No records, the base design, no name.
    void zap();
    // Writes the image; 1 when every byte went into the file.
    int save(VFILE& file);
    // Reads an image from the file's position: 1 with the database replaced by it; 0 when the file
    // holds no whole image of a version this reads, the database then left as it was. reason
    // (may be null) says what was wrong.
    int load(VFILE& file, std::string* reason = nullptr);

    // Variants.
    // 1 once for a database that holds variants of the older kind: they count as migrated after.
    int migratelegacyvariants();
    // A letter outside 'A' to 'Z' selects the base design 'b'.
    void selectvariant(char variant);
    char getvariant() const { return variant; }

    // Boards: the root modules in the order they were added.
    // Starts a new design: drops the sheets, elements, parts, child modules and clips, keeps the
    // boards and makes a first board when there is none.
    void newdesign();
    // A first board for the layout when there is none yet.
    void newlayout();
    // Adds a board (a root module, marked new) and makes it current.
    BOARD* addboard();
    int numboards() const { return static_cast<int>(roots.size()); }
    BOARD* getboard(int index) const;
    // The board of a module's root module; null without one.
    BOARD* getboard(const MODULE* module) const;
    BOARD* currentboard() const { return current ? current->board : nullptr; }
    int currentboardindex() const;
    // Makes the board of the index current; nothing for an index that names none.
    void selectboard(int index);
    // Removes the board of the index with its root module (as removemodule).
    void removeboard(int index);
    void setlocalids(BOARD* board, int flag);

    // The current root module; null when there is no board.
    MODULE* getroot() const { return current; }
    // Makes a root module current; nothing for a module that is not one.
    void selectroot(MODULE* module);
    // Tells the owner that the current root changed (flag 1) and marks the database modified.
    void refresh(int flag);
    std::function<void(int)> onrefresh;

    // Structure.
    // A sheet of module drawing circuit; with no module the master sheet (one per database: an
    // existing one is given back with its circuit and title set).
    SHEET* addsheet(MODULE* module, uint32_t circuit, const char* title, int flags);
    // A sheet of the current root module, making a board first when there is none.
    SHEET* addrootsheet(uint32_t circuit, const char* title, int flags);
    // A child module on parent under the object id (older designs name their modules so).
    MODULE* addmodule(SHEET* parent, uint32_t objectid, const char* name);
    // An element of sheet read from an older design; overrides holds count entries.
    ELEMENT* addelement(SHEET* sheet, uint32_t objectid, uint32_t value, const char* name,
        const PINOVERRIDE* overrides, int count, const void* data, int size);
    // Removes the sheet with its elements and child modules; the master sheet too.
    void removesheet(SHEET* sheet, int flags);
    // Removes the module with its sheets; a root module takes its board along (the first board
    // left becomes current when it was).
    void removemodule(MODULE* module, int flags);
    // Appends the sheets of module (null: the root sheets of the current root module) to list;
    // their number.
    int getchildsheets(MODULE* module, std::vector<SHEET*>& list) const;
    SHEET* getmastersheet() const { return master; }
    // Appends the root modules to list; their number.
    int getrootmodules(std::vector<MODULE*>& list) const;
    // The child module bound on sheet under the object id; null when none.
    MODULE* getmodule(SHEET* sheet, uint32_t objectid, int flags) const;
    SHEET* getsheet(uint32_t id) const;
    // 0 for a root module, one more for each level below.
    int getmoduledepth(const MODULE* module) const;
    // The first element called name (ignoring case) on a sheet of module or below it (null: the
    // whole design).
    ELEMENT* findelement(MODULE* module, const char* name) const;
    // The element of that id; with a sheet, the element bound there under that object id.
    ELEMENT* getelement(uint32_t id, SHEET* sheet = nullptr) const;
    PART* getpart(uint32_t id) const;
    // The named part of the board that counts sheet's references; null when none.
    PART* findpart(const SHEET* sheet, const char* name) const;
    int getdeviceinstances(ICDBDEVICE* device) const;
    void replacedevice(ICDBDEVICE* olddevice, ICDBDEVICE* newdevice);
    void cleartags();
    int tagelement(uint32_t id);
    // Drops parts without elements and clips without a sheet.
    void killorphans();
    // Moves an element to another place (name "U2:B"): an element there already takes the moved
    // one's old place. 1 when done, 0 for a name that is not annotated.
    int rebindelement(ELEMENT* element, const char* name);
    // Renames a part and its elements; a part of that name already there is unannotated. 1 when
    // done, 0 for a name that is not annotated.
    int renamepart(PART* part, const char* name);
    // Sets a property of the element's part (and its element's text); 1 when set.
    int setelementproperty(ELEMENT* element, const char* name, const char* value, int flags);

    // Walks. Option 1 puts the master sheet first; descend takes every module below; a null
    // module walks every board. Sheets and modules removed during a walk are skipped.
    SHEET* walkfirstsheet(CDBWALKQ& queue, int option, int descend, MODULE* module);
    SHEET* walknextsheet(CDBWALKQ& queue);
    MODULE* walkfirstmodule(CDBWALKQ& queue, MODULE* module, int descend);
    MODULE* walknextmodule(CDBWALKQ& queue);

    // Synchronisation (above). Modes: 0 put away, 1 and 2 selected, 3 after a cut, 4 after a
    // paste, where an identifier already used elsewhere is replaced.
    void beginsyncsheet(SHEET* sheet, int mode);
    // The element of the object, made when there is none; *id is rewritten for a new element
    // or one that another object of the sheet holds already.
    ELEMENT* bindelement(SHEET* sheet, uint32_t* id, ICDBELEMENT* object);
    MODULE* bindmodule(SHEET* sheet, uint32_t* id, ICDBMODULE* object);
    // Takes the bound objects' data, drops what no object holds any longer; 1 when an element of
    // the sheet waits for annotation.
    int endsyncsheet(SHEET* sheet);
    // Takes the objects' data once more when storeflag is set, then lets the objects go.
    void savesheet(SHEET* sheet, int storeflag);
    // Gives the records to the bound objects.
    void loadsheet(SHEET* sheet);

    // Project clips.
    // A new clip on sheet; placed from the same file as sibling (may be null), it joins its group.
    SNIPPET* addsnippet(SHEET* sheet, SNIPPET* sibling = nullptr);
    // Groups the tagged elements of the clip's sheet into it; 0 with the reason written to errors
    // when the schematic part is wanted and nothing is tagged or an element is another clip's.
    int bindsnippet(SNIPPET* clip, int schematic, int layout, std::ostream& errors);
    // The clip's element map: names and ids.
    int savebindings(SNIPPET* clip, VFILE& file);
    int loadbindings(SNIPPET* clip, VFILE& file);
    // Appends the other clips of its group; their number.
    int getsiblings(SNIPPET* clip, std::vector<SNIPPET*>& list) const;
    int getsnippetelements(SNIPPET* clip, std::vector<ELEMENT*>& list) const;
    void removesnippet(SNIPPET* clip, int flags);
    // Drops the clips that group no element and hold no part of their own.
    void tidysnippets();
    int numsnippets() const { return static_cast<int>(snippets.size()); }

    const char* getname() const { return name.c_str(); }
    int ismodified() const { return modified; }
    void setmodified(int flag) { modified = flag; }
    // Counts, for reports and tests.
    int numelements() const { return static_cast<int>(elements.size()); }
    int numparts() const { return static_cast<int>(parts.size()); }

private:
    friend class ANNOTATOR;
    friend struct CDBIMAGE;

    // Exchanges every record and count (not the owner) with other.
    void swapwith(CDBCORE& other);
    uint32_t newid() { return nextid++; }
    void noteid(uint32_t id);
    MODULE* newmodule(SHEET* parent, uint32_t objectid);
    SHEET* newsheet(MODULE* module, uint32_t circuit, const char* title);
    void numbersheets(MODULE* module);
    void dropelement(ELEMENT* element);
    void dropmodule(MODULE* module);
    void dropsheet(SHEET* sheet);
    void clearhierarchy();
    BOARD* boardof(const SHEET* sheet) const;
    uint32_t scopeof(const SHEET* sheet) const;
    static std::string partkey(uint32_t scope, const std::string& name);
    // A part of the element's own, with no name.
    PART* newpart(ELEMENT* element, uint32_t scope);
    void indexpart(PART* part);
    void unindexpart(PART* part);
    bool isindexed(const PART* part) const;
    // Takes the element out of its part; a part left empty goes.
    void detach(ELEMENT* element);
    // Gives the element a part of its own with the data of the one it leaves.
    void detachkeeping(ELEMENT* element);
    // The element is in the part its name gives.
    bool isplaced(const ELEMENT* element) const;
    // Moves an element in a part of its own to the part its name gives: 0 when that place is
    // taken by another element or the part is of another device (object, when given, decides).
    int place(ELEMENT* element, ICDBELEMENT* object);
    void setelementname(ELEMENT* element, const std::string& newname);
    // The record-side unannotation: the name loses its number, the element its part.
    void unannotate(ELEMENT* element);
    void storeobject(ELEMENT* element, int keepname, int& due);
    void loadobject(ELEMENT* element);
    SHEET* sheetnext(CDBWALKQ& queue);
    MODULE* modulenext(CDBWALKQ& queue);
    void queuesheetsof(CDBWALKQ& queue, const MODULE* module) const;

    APPLNPROJECT* owner = nullptr; // borrowed
    std::string name;
    char variant = 'b';
    int32_t legacyvariants = 0;
    int32_t modified = 0;
    uint32_t nextid = 1; // elements, modules, parts and clips
    uint32_t nextsheet = 1;
    uint32_t nextboard = 1;
    uint32_t nextgroup = 1;

    std::vector<MODULE*> roots; // root modules, boards in order
    MODULE* current = nullptr;
    SHEET* master = nullptr;
    std::unordered_map<uint32_t, std::unique_ptr<SHEET>> sheets;
    std::unordered_map<uint32_t, std::unique_ptr<MODULE>> modules;
    std::unordered_map<uint32_t, std::unique_ptr<BOARD>> boards;
    std::unordered_map<uint32_t, std::unique_ptr<ELEMENT>> elements;
    std::unordered_map<uint32_t, std::unique_ptr<PART>> parts;
    std::vector<std::unique_ptr<SNIPPET>> snippets;
    // (sheet id, object id) to the record bound there.
    std::unordered_map<uint64_t, ELEMENT*> elementsbyobject;
    std::unordered_map<uint64_t, MODULE*> modulesbyobject;
    // Named parts by scope and upper-cased name.
    std::unordered_map<std::string, PART*> partsbyname;

    // The synchronisation under way.
    SHEET* syncsheet = nullptr;
    int32_t syncmode = 0;
    std::vector<ELEMENT*> boundelements;
    std::vector<MODULE*> boundmodules;
    std::unordered_set<const void*> bound;
    std::unordered_set<const ELEMENT*> fresh; // made in this synchronisation
};

// The process's design database: the first call makes it, each call holds it once more.
CDBCORE* createcdb();
// Lets one hold go; the last deletes it.
void releasecdb(CDBCORE* database);
// The database createcdb gave out; null when none is held.
CDBCORE* getcdb();

// The mask of an assembly variant letter 'A' to 'Z' (bit 0 for 'A'); 0 for the base design.
uint32_t varianttomask(char variant);
// The variant of a position in the project's variant list: 0 the base design 'b', i the letter
// 'A' + i - 1.
char indextovariant(int index);
int varianttoindex(char variant);
