#pragma once

// A packaging: which pads of a PCB package each pin of a device's elements (gates) lands on,
// compiled from its pinout script, which the device keeps in its property text:
//
//   *PINOUT DIL14
//   {ELEMENTS=4}
//   {PIN "A" = 1,4,9,12}            one item per element (and per bus member, element by element)
//   {PIN "D[0..3]" = 1,2,3,4}       a bus: its members in the order of its range
//   {PP (VCC) = 14}                 a pin of no element (a type name and the pin): power and the like
//   {NC=5,6}  {PINSWAP=A,B}  {COMMON=GND}  {GATESWAP=TRUE}
//
// An item is pads joined by '/', "*" (the pin is absent from that element) or "?" (no pad given);
// "" is an empty list. Blanks around '=' are optional, and a brace inside a quoted name is doubled.
// Keywords and type names are read in any case; the script ends at its end or at a line that
// begins another block ('*'). Pin names compare without regard to case; a bus member is asked for
// as "D3" or "D[3]". A packaging is an entry of the device libraries: its record (pack) is a
// version byte and the script, compiled again when it is read (unpack).
// Callers: the schematic's components and netlist, the package tool, the automatic device drawing.

#include "platform/lunder/rlibentry.h"

#include <iosfwd>
#include <string>
#include <vector>

class NETLIST;
class PROPLIST;
struct NET_MODULE;
struct NET_PART;

class PINOUT : public RLIB_ENTRY {
public:
    // An empty name takes the one the script's header gives.
    explicit PINOUT(const char* name = "");

    int pack(DPKB& b) override;
    int unpack(DPKB& b) override;
    RLIB_ENTRY* duplicate() override;

    // Compiles the script at the start of text; 1 when it compiled, else 0 with the reasons
    // ("line 3, column 9: ...") written to messages (may be null) and the pinout left empty. Where
    // the script ended is consumed() characters into text.
    int compile(const std::string& text, std::ostream* messages);
    size_t consumed() const { return stop; }

    // The script as compiled, to be stored with the device.
    const std::string& getscript() const { return script; }
    int getelements() const { return elements; }
    // The pads of an element's pin ("3/4"; "*" when the element lacks it; "" when none was given);
    // null for a pin or element the pinout does not have.
    const char* getelementpinnum(int element, const char* pin) const;
    // The names of the pins of no element, in script order.
    void getvirtualpins(std::vector<std::string>& names) const;
    // A pin of no element's type (0 to 7, 17), -1 for any other pin.
    int getpintype(const char* pin) const;
    // The index-th pad of a pin of no element; null past the last.
    const char* getvirtualpinnum(const char* pin, int index) const;
    int isvirtual(const char* pin) const;
    // 1 for a pin named in COMMON or of no element: one pad shared by every element.
    int iscommon(const char* pin) const;
    // The pads no pin uses, as written after NC=.
    const std::string& getncpins() const { return ncpins; }
    // Swap group k (from 1), its names joined by ", "; 0 past the last group.
    int getswappedpins(int k, std::string& names) const;
    int getgateswap() const { return gateswap; }

    // The pads of the named pin of the element a reference names ("U1:B" is element 1); 0 when
    // the pinout has no such pin.
    int getnetinfo(const char* reference, const char* pin, std::string& number, int& type) const;
    // 1 when every name of a PINSWAP property text (names separated by ',' or ';') is a pin here.
    int checkpinswap(const char* text) const;
    // The nets of the pins of no element, once for each part of a netlist: each is joined to the
    // net its name gives (global; a power pin names a power net).
    void netgen(NETLIST& netlist, const char* reference, NET_PART* element, NET_MODULE* module) const;

private:
    struct ROW {
        std::string name; // as written; a bus with its range
        std::string base; // a bus's name without its range
        std::vector<int> members; // a bus's indexes in written order; empty for a plain pin
        int type = -1; // -1 for a pin of the elements
        std::vector<std::string> items; // element by element, member by member
    };
    const ROW* findrow(const char* pin, int* member) const;
    void clear();

    std::string script;
    int elements = 1;
    std::vector<ROW> rows;
    std::string ncpins;
    std::vector<std::vector<std::string>> swaps;
    std::vector<std::string> common;
    int gateswap = 0;
    size_t stop = 0;
    friend class PINOUTCOMPILER;
};

// The element index a reference names after its ':' ("U1:B" gives 1, "J1:3" gives 2); 0 without one.
int getelementidx(const char* reference);
