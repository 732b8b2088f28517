#pragma once

// Netlists built through the netlist's interface as the schematic builds them, for the netlist's
// tests and the simulator's.

#include "platform/hulvane/netlist.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace hulvanetest {

inline PROPLIST props(const char* text)
{
    return PROPLIST(text);
}

// The RC low-pass as a schematic gives it: the output net drawn as two pieces that a wire label
// joins, the ground through a power terminal on each piece. reversed builds the elements and
// nets in the opposite order. The same circuit as host/simrun/tests/fixtures/rc.net.
inline void buildrc(NETLIST& netlist, bool reversed, const char* partition = "RC")
{
    netlist.setdesignname("RC");
    netlist.fmtdprop("SIMTYPE", "%s", "TRANSIENT");
    netlist.fmtdprop("PARTITION", "%s", partition);
    netlist.fmtdprop("TSTOP", "%s", "5m");
    netlist.fmtdprop("NUMSTEPS", "%d", 500);
    netlist.fmtdprop("TRACE_PERFORMANCE", "%d", 2);
    struct ELEMENTDEF {
        const char* name;
        const char* device;
        const char* props;
    } defs[] = {
        { "V1", "VPULSE", "VALUE=,PRIMITIVE=ANALOG,V1=0,V2=1,TD=0,TR=1n,TF=1n,PW=1,PER=2" },
        { "R1", "RESISTOR", "VALUE=1k,PRIMITIVE=ANALOG" },
        { "C1", "CAPACITOR", "VALUE=1u,PRIMITIVE=ANALOG" },
        { "VOUT", "VPROBE", "VALUE=OUT,PRIMITIVE=ANALOG,OUTTOL=0" },
    };
    NET_PART* parts[4];
    for (int i = 0; i < 4; ++i) {
        const ELEMENTDEF& def = defs[reversed ? 3 - i : i];
        parts[reversed ? 3 - i : i] = netlist.addelement(def.name, def.device, props(def.props), nullptr, 0);
    }
    NET_PART *v1 = parts[0], *r1 = parts[1], *c1 = parts[2], *vout = parts[3];
    auto pieces = std::vector<std::function<void()>> {
        [&] {
            netlist.newnet();
            netlist.addpin(v1, "+", nullptr, ET_PASSIVE, 0);
            netlist.addpin(r1, "1", nullptr, ET_PASSIVE, 0);
            netlist.addnet();
        },
        [&] {
            netlist.newnet();
            netlist.addpin(r1, "2", nullptr, ET_PASSIVE, 0);
            netlist.addlabel(nullptr, nullptr, "OUT", ET_LABEL);
            netlist.addnet();
        },
        [&] {
            netlist.newnet();
            netlist.addpin(c1, "1", nullptr, ET_PASSIVE, 0);
            netlist.addpin(vout, "1", nullptr, ET_PASSIVE, 0);
            netlist.addlabel(nullptr, nullptr, "out", ET_LABEL);
            netlist.addnet();
        },
        [&] {
            netlist.newnet();
            netlist.addpin(v1, "-", nullptr, ET_PASSIVE, 0);
            netlist.addlabel(nullptr, nullptr, "GND", ET_POWERTERM);
            netlist.addnet();
        },
        [&] {
            netlist.newnet();
            netlist.addpin(c1, "2", nullptr, ET_PASSIVE, 0);
            netlist.addlabel(nullptr, nullptr, "GND", ET_POWERTERM);
            netlist.addnet();
        },
    };
    for (size_t i = 0; i < pieces.size(); ++i)
        pieces[reversed ? pieces.size() - 1 - i : i]();
    EXPECT_EQ(netlist.validate(), 0);
}

} // namespace hulvanetest
