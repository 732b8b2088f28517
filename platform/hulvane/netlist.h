#pragma once

// A compiled netlist: the design's elements (NET_PART) and the nets that join their pins, with the
// module instances of a hierarchical design, its scripts, design properties and log. The schematic
// fills it sheet by sheet: addelement for each object that is an element, then for each connected
// piece newnet, the pins, labels and wires reached, addnet. validate then joins the pieces that
// labels give the same name (local names within their module instance, global ones everywhere,
// module ports with the net inside the module) and names every net. net_gen (netgen.h) writes it.
// Callers: the schematic's netlist compilation, its objects, the simulator's analysis set-up.

#include "core/containers/proplist.h"
#include "platform/hulvane/netlog.h"
#include "platform/hulvane/refname.h"

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CDBCORE;
struct MODULE;
struct SHEET;

// Electrical types of pins and labels. A pin is of types 0 to 7; a label of 8 and up. The values
// up to 15 are those of the simulator's netlist file (PS to MP).
enum ELECTYPES {
    ET_PASSIVE = 0,
    ET_INPUT = 1,
    ET_OUTPUT = 2,
    ET_BIDIR = 3,
    ET_TRISTATE = 4,
    ET_PULLUP = 5,
    ET_PULLDOWN = 6,
    ET_POWER = 7,
    ET_LABEL = 8, // a net name on a wire: local to its module instance
    ET_GLOBAL = 9, // a hidden pin's net: global
    ET_INPUTTERM = 10,
    ET_OUTPUTTERM = 11,
    ET_BIDIRTERM = 12,
    ET_POWERTERM = 13, // global
    ET_POWERRAIL = 14, // global
    ET_MODULEPORT = 15, // joins the net to the net of that name inside the label's module
    ET_NC = 17, // the no-connect net
    ET_COUNT = 18
};

// The type's short name ("PS", "IP", ... "MP", "NC"); "??" for a value that is no type.
const char* electypename(int type);
// The type of a short name, ignoring case; -1 for none.
int electypeof(const char* name);

// The name of the no-connect net.
extern const char* const net_nc;

// A module instance: the top level of a board, or a child module placed on a sheet.
struct NET_MODULE {
    int32_t index = 0; // its place among the instances
    int32_t toplevel = 0;
    std::string name;
    std::string path; // names from the top, joined by '.'; empty at the top level
    PROPLIST props { 0, 1 };
    MODULE* module = nullptr; // borrowed
    NET_MODULE* parent = nullptr;
};

struct NET_PART {
    uint32_t id = 0; // the element's identifier in the design database; 0 when none
    std::string name; // with its module path
    std::string device;
    PROPLIST props { 0, 1 };
    void* object = nullptr; // borrowed
    NET_MODULE* module = nullptr;
    std::vector<unsigned char> moddata;
};

struct NET_PIN {
    NET_PART* part = nullptr;
    std::string name;
    std::string number; // empty when the pin has none
    int32_t type = ET_PASSIVE;
    int32_t extra = 0;
};

struct NET_LABEL {
    NET_MODULE* module = nullptr; // for a module port, the module instance it enters
    void* object = nullptr; // borrowed; may be null
    std::string text;
    int32_t type = ET_LABEL;
};

struct NET {
    int32_t number = 0; // its place among the nets made
    std::string name; // given by validate: its label's, else "#" and its number
    int32_t named = 0; // a label gave the name
    NET_MODULE* module = nullptr; // the instance it was drawn in
    std::vector<NET_PIN> pins;
    std::vector<NET_LABEL> labels;
    PROPLIST props { 0, 1 };
    std::vector<void*> objects; // borrowed: the objects the net passed
    std::vector<void*> wires; // borrowed
    int32_t buses = 0;
};

// A script block of the design (a SCRIPT object's text, a generator's script).
struct NET_SCRIPT {
    int32_t type = 15;
    std::string name;
    std::string text;
    void* object = nullptr; // borrowed
    int32_t lines = 0;
    int32_t start = 0; // where its text begins and ends in the object's text
    int32_t end = 0;
};

class NETLIST {
public:
    // The log's lines go to output as they come (may be null).
    explicit NETLIST(std::ostream* output = nullptr);
    NETLIST(const NETLIST&) = delete;
    NETLIST& operator=(const NETLIST&) = delete;
    ~NETLIST();

    NETLOG log;

    // Set-up.
    void setcdbroot(CDBCORE* core, MODULE* root);
    void setdsnprops(const char* title, const char* docno, const char* author, const char* rev,
        const char* mdate, const char* cdate);
    // The kind and option words (read back by the objects), the design's netlist word, the queue
    // of modules to compile (addmodule appends to it) and the design's own properties (may be
    // null), which join the design properties.
    void setdsnstats(int kind, int options, int netword, std::deque<MODULE*>* queue, const PROPLIST* props);
    // The sheet whose objects come next: its module instance takes their elements and nets.
    void setshtstats(SHEET* sheet, int flag, int isstart);
    int getkind() const { return kind; }
    int getoptions() const { return options; }
    int getnetword() const { return netword; }
    // The design properties: the first value given to a name stays.
    PROPLIST dprops { 0, 0 };
    // A design property of at most 255 characters, printf formatted.
    void fmtdprop(const char* name, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    const std::string& getdesignname() const { return designname; }
    void setdesignname(const char* text) { designname = text ? text : ""; }

    // Building.
    // A board of a multi-board netlist: its top-level instance, current from now on.
    NET_MODULE* addboardinstance(MODULE* module, const char* name);
    NET_PART* addelement(const char* name, const char* device, const PROPLIST& props, void* object, uint32_t id);
    // A child module instance of the current one; module joins the compile queue.
    NET_MODULE* addmodule(const char* name, const PROPLIST& props, MODULE* module);
    // 1 when the element's module data changed.
    int addmoddata(NET_PART* element, const void* data, int size);
    NET_SCRIPT* addscript(const char* name, const char* text, int lines, void* object, int start, int end);
    void newnet();
    // Closes the net opened by newnet; a net that reached nothing is dropped.
    void addnet();
    // These add to the open net; outside one they are errors in the log.
    NET_PIN* addpin(NET_PART* element, const char* name, const char* number, int type, int extra);
    void addlabel(NET_MODULE* module, void* object, const char* name, int type);
    void addnprop(const char* name, const char* value);
    void addptr(void* object);
    void addwire(void* wire, int isbus);

    // Finishing. Joins and names the nets (above); the error count after it.
    int validate();
    int errors() const { return log.errors(); }

    // Queries.
    const std::vector<std::unique_ptr<NET_PART>>& elements() const { return parts; }
    const std::vector<std::unique_ptr<NET_MODULE>>& modules() const { return instances; }
    // The nets: after validate, the joined ones in the order of their first piece.
    const std::vector<std::unique_ptr<NET>>& nets() const { return netlist; }
    const std::vector<std::unique_ptr<NET_SCRIPT>>& scripts() const { return scriptlist; }
    // The net of that name after validate; null when none.
    NET* netptr(const char* name) const;
    NET_PART* elementptr(const char* name) const;
    // The element the object was entered as; null when none.
    NET_PART* elementof(const void* object) const;
    NET_MODULE* getcurrentmodule() const { return current; }
    // 1 the first time a part is named (its packaging's pins of no element join the nets once).
    int claimpackage(const std::string& part) { return claimed.insert(upperkey(part)).second ? 1 : 0; }
    SHEET* getcurrentsheet() const { return sheet; }
    CDBCORE* getcdb() const { return core; }

private:
    NET_MODULE* instanceof(MODULE* module);
    NET* find(NET* net);
    void join(NET* a, NET* b);
    // The name a label gives, with the module path for a local one.
    std::string labelname(const NET& net, const NET_LABEL& label) const;

    CDBCORE* core = nullptr;
    MODULE* root = nullptr;
    std::string designname;
    int32_t kind = 0;
    int32_t options = 0;
    int32_t netword = 0;
    std::deque<MODULE*>* queue = nullptr;
    SHEET* sheet = nullptr;
    NET_MODULE* current = nullptr;
    std::unique_ptr<NET> open;
    int32_t nextnumber = 1;
    std::vector<std::unique_ptr<NET_PART>> parts;
    std::vector<std::unique_ptr<NET_MODULE>> instances;
    std::vector<std::unique_ptr<NET>> netlist;
    std::vector<std::unique_ptr<NET_SCRIPT>> scriptlist;
    std::unordered_map<const MODULE*, NET_MODULE*> bymodule;
    std::unordered_map<std::string, NET_PART*> byname;
    std::unordered_map<const void*, NET_PART*> byobject;
    std::unordered_map<const NET*, NET*> parent; // validate's sets of joined pieces
    std::unordered_set<std::string> claimed;
};

// The module path joined with a name: "AMP.R1"; the name alone at the top level.
std::string pathmerge(const NET_MODULE* module, const char* name);
// The first name of a comma-separated list, without blanks around it.
std::string firstname(const char* list);
// The place of a bus member's index range in a name "D[0..7]": 1 with first and count, else 0.
int getbusrange(const char* name, int* first, int* count);
