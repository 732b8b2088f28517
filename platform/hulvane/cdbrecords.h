#pragma once

// The records of the design database (CDBCORE, cdbcore.h) and the interfaces through which drawn
// objects bind to them. The core owns every record; callers hold borrowed pointers that stay valid
// until the record is removed or the database is loaded, zapped or started anew.
//
// Two identifiers: an object stores the identifier it was bound under (its object id); the record
// has its own, unique in the database, which netlists and other modules carry. They are equal
// unless one circuit stands on several sheets: each sheet then has its own element for the same
// object, so that every instance carries its own reference.
// Callers: the schematic's design, objects, netlist and clips; the project's boards and clips.

#include "core/containers/proplist.h"
#include "core/files/ramfile.h"
#include "platform/ombrel/box.h"
#include "platform/win/handletypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CDBCORE;
class PINOUT;
struct BOARD;
struct ELEMENT;
struct MODULE;
struct PART;
struct SHEET;
struct SNIPPET;

// Room for the names the callbacks write (element and part names, annotation names).
inline constexpr int CDBNAMESIZE = 256;

// One pin's override as the component keeps it, carried whole.
inline constexpr int PINOVERRIDESIZE = 86;
struct PINOVERRIDE {
    char bytes[PINOVERRIDESIZE];
};

// What renumber hands an object: its identifier grows by offset; with flag clear a component loses
// its identifier instead.
struct CDBRENUMBER {
    uint32_t offset;
    int32_t flag;
};

// A library device as the database sees it.
class ICDBDEVICE {
public:
    // Its name, never null.
    virtual const char* getdevicename() = 0;
    // The letter after the last ':' of its name when that is one of A to Z, else 0.
    virtual int getsuffixletter() = 0;
    // Adds the properties of one section of its property text to list.
    virtual void getprops(const char* section, PROPLIST& list) = 0;

protected:
    virtual ~ICDBDEVICE() = default;
};

// A drawn object bound to an ELEMENT (components, qualified terminals, probes). The core calls it
// only while the object's sheet is being synchronised, loaded or saved.
class ICDBELEMENT {
public:
    virtual void getarea(BOX& area) = 0;
    // Object to record; 1 when the element's name changed.
    virtual int storeelement(ELEMENT* element) = 0;
    // The part name (the bound element's name up to ':') into out (CDBNAMESIZE bytes, may be
    // null): 1 when it is an annotated name, 0 when empty or holding '?'.
    virtual int getname(char* out) = 0;
    // Object to part record; 1 when anything changed.
    virtual int storepart(PART* part) = 0;
    // 1 when the object is an instance of the part's device.
    virtual int matchespart(PART* part) = 0;
    // Record to object.
    virtual void loadelement(ELEMENT* element) = 0;
    virtual void loadpart(PART* part) = 0;
    // Takes the annotation back: for the bound element the object's reference returns to its
    // default and the element takes it; for another element only that element's name is reset.
    virtual void unannotate(ELEMENT* element) = 0;
    virtual void renumber(CDBRENUMBER& record) = 0;
    // The object's value text as annotation name (CDBNAMESIZE bytes) and its element count (0:
    // the device fixes the element letter); 1 when the object takes part in annotation.
    virtual int getannotinfo(char* name, int* elements) = 0;

protected:
    virtual ~ICDBELEMENT() = default;
};

// A drawn object bound to a MODULE (components with a child module, sub-circuits).
class ICDBMODULE {
public:
    virtual void getarea(BOX& area) = 0;
    // Object to record: name, circuit name, property text; the module's child flag.
    virtual int storemodule(MODULE* module) = 0;
    // Record to object.
    virtual void setmodule(MODULE* module) = 0;

protected:
    virtual ~ICDBMODULE() = default;
};

struct SHEET {
    uint32_t id = 0;
    uint32_t circuit = 0; // the number of the circuit drawn on it
    MODULE* module = nullptr; // null for the master sheet
    std::string title;
    int32_t instance = 1; // its place among its module's sheets, from 1
    int32_t anninit = 1; // the annotator's initial count for it
    std::vector<ELEMENT*> elements; // in the order of the last synchronisation
    std::vector<MODULE*> children; // child modules placed on it, in the same order
    CDBCORE* core = nullptr;
};

struct MODULE {
    uint32_t id = 0;
    uint32_t objectid = 0;
    SHEET* parent = nullptr; // null for a root module (a board)
    std::string name;
    std::string circuitname;
    std::string props;
    int32_t child = 0; // has child sheets drawn from a circuit
    int32_t separate = 0; // netlisted on its own
    int32_t nonphysical = 0; // "Non-physical sheet"
    std::vector<SHEET*> sheets;
    BOARD* board = nullptr; // root modules only
    ICDBMODULE* object = nullptr; // while its parent sheet is current; borrowed
};

struct BOARD {
    uint32_t id = 0;
    MODULE* module = nullptr; // its root module
    uint32_t lastsheet = 0; // identifier of the sheet last shown
    // Part references count on this board alone; change it through CDBCORE::setlocalids.
    int32_t localids = 0;
    int32_t isnew = 0; // added since the project was last saved
    std::string stem; // the layout entry is the stem with the extension "LYT"
    std::string name; // may be empty
};

struct PART {
    uint32_t id = 0;
    std::string name; // an element not annotated yet has a part of its own with no name
    std::string value;
    std::string device;
    std::string package;
    std::string props;
    uint32_t variants = 0;
    int32_t nopackage = 0;
    int32_t notfitted = 0;
    PINOUT* packaging = nullptr; // borrowed; null after a load until its sheet is synchronised
    // In the order they joined; each at the place its name gives after ':' ("A" of "U1:A"; a
    // name without ':' has the empty place).
    std::vector<ELEMENT*> elements;
    uint32_t scope = 0; // the board whose references it counts among; 0: the shared count
};

struct ELEMENT {
    uint32_t id = 0;
    uint32_t objectid = 0;
    SHEET* sheet = nullptr;
    std::string name; // "R1", "U1:A"; "R?" until annotated
    std::string props;
    std::vector<PINOVERRIDE> overrides;
    std::vector<unsigned char> moddata;
    int32_t tagged = 0;
    uint32_t value = 0; // the word older designs carry with an element, kept as read
    ICDBDEVICE* device = nullptr; // borrowed; null after a load until its sheet is synchronised
    std::string devicename;
    PART* part = nullptr;
    SNIPPET* snippet = nullptr;
    ICDBELEMENT* object = nullptr; // while its sheet is current; borrowed
    // What getannotinfo said at the last synchronisation.
    int32_t annotatable = 0;
    int32_t annotcount = 1;
    std::string annotname;
    // The records changed while no object was bound: they go into the object at the next bind.
    int32_t pending = 0;
};

// A project clip: a piece of a sheet saved on its own, whose elements it groups.
struct SNIPPET {
    uint32_t id = 0;
    uint32_t group = 0; // clips placed from the same file share it
    SHEET* sheet = nullptr;
    BOX area;
    PROPLIST props { 0, 1 };
    RAMFILE section; // the schematic part
    RAMFILE region; // the layout part
    RAMFILE descriptor; // the peripheral descriptor
    // The element map read from a clip file: element name to the element's id where it was made.
    std::vector<std::pair<std::string, uint32_t>> bindings;
    // A picture of the clip the schematic draws for an export, which the export deletes; not kept
    // in the database.
    HBITMAP thumbnail = nullptr;
};
