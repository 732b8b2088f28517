#pragma once

// Property definitions: how a component's properties are named, typed, edited and shown, with
// their defaults. A device keeps them in its property text, the defaults of every library in the
// file "PROPDEFS.INI" found along the library folders; both hold two blocks:
//
//   *PROPDEFS
//   TOL="Tolerance",KEYEDIT:2:1,3,1%,5%,10%    name="description",type[:edit mode[:visibility]][,arguments]
//   PACKAGE="PCB Package",PACKAGE,1,DIL14
//   *COMPONENT
//   TOL=5%                                      the defaults
//
// The arguments are the rest of the line: a keyword count and the keywords (keyword types and
// packages), the limits "PNZ", "POZ", "NNZ", "NOZ" or "min,max" (integers and floats), or the
// initial folder and "description/extension" (file names). A line may stand in braces.
// Callers: the component dialogs, the device tools, the schematic's netlist (trace modes) and the
// command that edits the default definitions.

#include <iosfwd>
#include <string>
#include <vector>

struct PROPDEF {
    enum TYPE {
        STRING,
        CHECKBOX,
        HIGHLOW,
        YESNO,
        TRUEFALSE,
        KEYWORD,
        KEYEDIT,
        INTEGER,
        FLOAT,
        FILENAME,
        STATE,
        PACKAGE,
        TRACE,
        TYPES
    };
    static constexpr int MOSTNAME = 49;
    static constexpr int MOSTDESCRIPTION = 99;
    static constexpr int INDEXMODE = 4; // the edit mode of an index property
    // The trace modes' names, entries 1 to 3 (0 is none).
    static const char* const tracemodenames[4];

    std::string name;
    std::string description;
    int type = STRING;
    int editmode = 0; // 0 normal, 1 read only, 2 advanced, 3 hidden, 4 index
    int visibility = 0; // 0 name and value shown, 1 name hidden, 2 value hidden, 3 both hidden
    std::string value; // the default
    std::string args;

    // The keyword count and the keyword text; 0 for another type.
    int getkwdargs(int& count, std::string& text) const;
    void setkwdargs(int count, const char* text);
    // The limits of an integer or float; 0 (the whole range given) without limits.
    int getintlimits(int& low, int& high) const;
    int getfplimits(double& low, double& high) const;
    // A file name's initial folder, description and extension; 0 for another type.
    int getfnargs(std::string& folder, std::string& description, std::string& extension) const;
    void setfnargs(const char* folder, const char* description, const char* extension, int flags);
};

// The keyword of a type ("STRING" ... "TRACE"); -1 for a name that is none.
const char* propdeftypename(int type);
int propdeftypeof(const char* name);

// Reads the PROPDEFS and COMPONENT blocks of a property text into defs, in their order; a default
// without a definition is defined with defaulttype ("STRING"). 1, or 0 with defs left as they were
// and the reason ("line 4, column 9: ...") written to messages (may be null).
int parse_propdefs(const std::string& text, const char* defaulttype, std::vector<PROPDEF>& defs,
    std::ostream* messages);
// The two blocks of defs, as parse_propdefs reads them.
std::string format_propdefs(const std::vector<PROPDEF>& defs);
// The default definitions from "PROPDEFS.INI" along the library folders; 0 with the reason.
int load_defaultdefs(std::vector<PROPDEF>& defs, std::string& error);
// Writes them back in its place (its other lines kept), whole or not at all; 0 when it cannot be
// written.
int save_defaultdefs(const std::vector<PROPDEF>& defs);
