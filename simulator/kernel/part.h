#pragma once

#include "core/containers/didx.h"
#include "core/containers/proplist.h"
#include "core/text/alnum.h"

#include <cstdint>

// One part of the simulator netlist as the reader builds it: its name, properties and pins. The
// simulated part (COMPONENT) derives from it.

// Pin types of the netlist file (the keywords of a pin line, matched without regard to case).
enum SDF_PINTYPE : int32_t {
    PIN_UNKNOWN = -1,  // any other word
    PIN_PS = 0,        // passive
    PIN_IP = 1,        // input
    PIN_OP = 2,        // output
    PIN_IO = 3,        // bidirectional
    PIN_TS = 4,        // tristate
    PIN_PU = 5,        // pull-up
    PIN_PD = 6,        // pull-down
    PIN_PP = 7,        // power pin of a part
    PIN_LBL = 8,       // label
    PIN_GT = 9,        // generic terminal
    PIN_IT = 10,       // input terminal
    PIN_OT = 11,       // output terminal
    PIN_BT = 12,       // bidirectional terminal
    PIN_PT = 13,       // power terminal
    PIN_PR = 14,       // power rail
    PIN_MP = 15,       // a pin line the reader skips
};

constexpr int PINNAMESIZE = 64;   // pin name fields: at most 63 characters
constexpr int PARTNAMESIZE = 128; // part names: at most 127 characters

struct SDF_PIN {
    char name[PINNAMESIZE];      // the name the part knows the pin by (after pin-name mapping)
    char netlistname[PINNAMESIZE];  // the name as the netlist gave it
    SDF_PINTYPE type;
    char* net;  // the net's handle (its name, see netlist.h); not owned
};

template <>
struct GDIDXKEY<SDF_PIN> : GDIDXINLINEKEY<SDF_PIN> { };

class SDF_COMPONENT {
public:
    // name cut to 127 characters; the properties copied, with the replace flag set.
    SDF_COMPONENT(const char* name, const PROPLIST* properties);
    SDF_COMPONENT(const SDF_COMPONENT&) = delete;
    SDF_COMPONENT& operator=(const SDF_COMPONENT&) = delete;
    // 0: frees the pins and the properties.
    virtual ~SDF_COMPONENT();
    // 1: sets NAME=VALUE (a later value replaces an earlier one); a null value removes the name.
    virtual void setproperty(const char* name, const char* value);
    // 2: a new pin of that name (cut to 63 characters, in both name fields), type and net, added
    // to the pin index; returns it.
    virtual SDF_PIN* addpin(const char* name, SDF_PINTYPE type, char* net);

    // The property's text; null when absent.
    const char* getproperty(const char* name) const { return properties[name]; }

    char name[PARTNAMESIZE];
    PROPLIST properties { 0, 1 };
    // Ordered without regard to case; a repeated pin name is kept beside the first, so no pin a
    // model holds is ever freed before the part.
    GDIDX<SDF_PIN> pins { 0, DIDX::KEEPALL, alnumicmp };
};

template <>
struct GDIDXKEY<SDF_COMPONENT> {
    static char* key(const SDF_COMPONENT* item) { return const_cast<char*>(item->name); }
};
