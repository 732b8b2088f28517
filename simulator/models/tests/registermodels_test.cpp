#include "simulator/kernel/tests/factorytesting.h"

#include "engines/fakes/recorder.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/builtin/adc.h"
#include "simulator/models/builtin/controlledswitch.h"
#include "simulator/models/builtin/dac.h"
#include "simulator/models/builtin/dswitch.h"
#include "simulator/models/builtin/rtlogic.h"
#include "simulator/models/builtin/rtmeter.h"
#include "simulator/models/builtin/rtswitch.h"
#include "simulator/models/builtin/rtwatch.h"
#include "simulator/models/builtin/rtwire.h"
#include "simulator/models/builtin/supply.h"
#include "simulator/models/builtin/tape.h"
#include "simulator/models/builtin/vprobe.h"
#include "simulator/models/builtin/wavegen.h"
#include "simulator/models/digital/pallexcpt.h"
#include "simulator/models/digital/rtdstate.h"
#include "simulator/models/parts/arbsource.h"
#include "simulator/models/parts/ccsource.h"
#include "simulator/models/parts/generator.h"
#include "simulator/models/parts/iprobe.h"
#include "simulator/models/parts/mosfet.h"
#include "simulator/models/parts/passives.h"
#include "simulator/models/parts/polysource.h"
#include "simulator/models/parts/subckt.h"

// The component factory with every model library registered: which class each row makes.

namespace {

// The class a part was made as.
std::string classof(COMPONENT* part)
{
    if (dynamic_cast<VPROBE*>(part))
        return "VPROBE";
    if (dynamic_cast<IPROBE*>(part))
        return "IPROBE";
    if (dynamic_cast<GENERATOR*>(part))
        return "GENERATOR";
    if (dynamic_cast<RTSWITCH*>(part))
        return "RTSWITCH";
    if (auto* meter = dynamic_cast<RTMETER*>(part))
        return meter->current ? "RTIPROBE" : "RTVPROBE";
    if (auto* watch = dynamic_cast<RTWATCH*>(part))
        return std::string("RT") + (watch->current ? "I" : "V") + (watch->check ? "CHECK" : "BREAK");
    if (dynamic_cast<RTPPROBE*>(part))
        return "RTPPROBE";
    if (dynamic_cast<RTWPROBE*>(part))
        return "RTWPROBE";
    if (dynamic_cast<RTDPROBE*>(part))
        return "RTDPROBE";
    if (dynamic_cast<RTDBREAK*>(part))
        return "RTDBREAK";
    if (dynamic_cast<ADC*>(part))
        return "ADC";
    if (dynamic_cast<DAC*>(part))
        return "DAC";
    if (dynamic_cast<BATTERY*>(part))
        return "BATTERY";
    if (dynamic_cast<PWRITF*>(part))
        return "PWRITF";
    if (dynamic_cast<VSWITCH*>(part))
        return "VSWITCH";
    if (dynamic_cast<CSWITCH*>(part))
        return "CSWITCH";
    if (dynamic_cast<DSWITCH*>(part))
        return "DSWITCH";
    if (dynamic_cast<WAVEGEN*>(part))
        return "WAVEGEN";
    if (dynamic_cast<TAPE*>(part))
        return "TAPE";
    if (dynamic_cast<FILEGEN*>(part))
        return "FILEGEN";
    if (dynamic_cast<CAPACITOR*>(part))
        return "CAPACITOR";
    if (dynamic_cast<INDUCTOR*>(part))
        return "INDUCTOR";
    if (dynamic_cast<MOSFET*>(part))
        return "MOSFET";
    if (dynamic_cast<CCSOURCE*>(part))
        return "CCSOURCE";
    if (dynamic_cast<ARBSOURCE*>(part))
        return "ARBSOURCE";
    if (dynamic_cast<POLYSOURCE*>(part))
        return "POLYSOURCE";
    if (dynamic_cast<SUBCKT*>(part))
        return "SUBCKT";
    if (dynamic_cast<SPICECPT*>(part))
        return "SPICECPT";
    if (dynamic_cast<RTDSTATE*>(part))
        return "RTDSTATE";
    if (dynamic_cast<PALLEXCPT*>(part))
        return "PALLEXCPT";
    return kernelclass(part);
}

class CatalogTest : public FactoryTest {
protected:
    // Which part lists hold the part: "A" analog, "D" digital.
    std::string lists(COMPONENT* part) const
    {
        return std::string(circuit->analogparts.find(part) >= 0 ? "A" : "")
            + (circuit->digitalparts.find(part) >= 0 ? "D" : "");
    }
};

TEST_F(CatalogTest, RowAndClassFollowThePrimitiveAndItsOverrides)
{
    struct Case {
        const char* device;
        const char* properties;
        const char* row;
        const char* partclass;
        const char* lists;
    } cases[] = {
        { "X", "MODDLL=M.DLL", "DUMMY", "DUMMY", "" },
        { "RESISTOR", "PRIMITIVE=dummy", "DUMMY", "DUMMY", "" },
        { "X", "PRIMITIVE=power", "POWER", "PWRITF", "" },
        { "X", "PRIMITIVE=DIGITAL,PRIMTYPE=NAND", "DIGITAL", "PALLEXCPT", "D" },
        { "X", "PRIMITIVE=digital,PRIMTYPE=RTDPROBE", "RTDPROBE", "RTDPROBE", "D" },
        { "X", "PRIMITIVE=DIGITAL,PRIMTYPE=RTDSTATE", "DIGITAL", "RTDSTATE", "D" },
        { "X", "PRIMITIVE=\"DIGITAL,NPN\"", "NPN", "SPICECPT", "A" },
        { "X", "PRIMITIVE=ANALOG,PRIMTYPE=res", "RES", "SPICECPT", "A" },
        { "capacitor", "PRIMITIVE=ANALOG", "CAPACITOR", "CAPACITOR", "A" },
        { "INDUCTOR", "PRIMITIVE=ANALOG", "INDUCTOR", "INDUCTOR", "A" },
        { "CCVS", "PRIMITIVE=ANALOG", "CCVS", "CCSOURCE", "A" },
        { "ACS", "PRIMITIVE=ANALOG", "ACS", "ARBSOURCE", "A" },
        { "NLICIS", "PRIMITIVE=ANALOG", "NLICIS", "POLYSOURCE", "A" },
        { "NMOS3", "PRIMITIVE=ANALOG", "NMOS3", "MOSFET", "A" },
        { "VSINE", "PRIMITIVE=ANALOG", "VSINE", "GENERATOR", "A" },
        { "IPROBE", "PRIMITIVE=ANALOG", "IPROBE", "IPROBE", "A" },
        { "VPROBE", "PRIMITIVE=ANALOG", "VPROBE", "VPROBE", "AD" },
        { "APROBE", "PRIMITIVE=ANALOG", "APROBE", "VPROBE", "A" },
        { "ADC", "PRIMITIVE=ANALOG", "ADC", "ADC", "AD" },
        { "VCR", "PRIMITIVE=ANALOG", "VCR", "VSWITCH", "A" },
        { "ISWITCH", "PRIMITIVE=ANALOG", "ISWITCH", "CSWITCH", "A" },
        { "DSWITCH", "PRIMITIVE=ANALOG", "DSWITCH", "DSWITCH", "AD" },
        { "AUDIO!", "PRIMITIVE=ANALOG", "AUDIO!", "WAVEGEN", "A" },
        { "SUBCKT", "PRIMITIVE=ANALOG", "SUBCKT", "SUBCKT", "" },
        { "RTSWITCH", "PRIMITIVE=MIXED", "RTSWITCH", "RTSWITCH", "AD" },
        { "WPROBE", "PRIMITIVE=ANALOG", "WPROBE", "RTWPROBE", "AD" },
        { "DIGITAL!", "PRIMITIVE=ANALOG", "DIGITAL", "PALLEXCPT", "D" },
        { "BATTERY", "PRIMITIVE=ANALOG", "BATTERY", "BATTERY", "A" },
        { "VSWITCH", "PRIMITIVE=ANALOG", "VSWITCH", "VSWITCH", "A" },
        { "CSWITCH", "PRIMITIVE=ANALOG", "CSWITCH", "CSWITCH", "A" },
        { "VFILE!", "PRIMITIVE=ANALOG", "VFILE!", "FILEGEN", "A" },
        { "TAPE!", "PRIMITIVE=ANALOG", "TAPE!", "TAPE", "A" },
        { "DAC", "PRIMITIVE=ANALOG", "DAC", "DAC", "AD" },
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "U" + std::to_string(++n);
        COMPONENT* part = make(name.c_str(), c.device, c.properties);
        ASSERT_NE(part, nullptr) << c.properties;
        EXPECT_EQ(part, circuit->findcomponent(name.c_str()));
        EXPECT_STREQ(part->row->name, c.row) << c.device << " " << c.properties;
        EXPECT_EQ(classof(part), c.partclass) << c.device << " " << c.properties;
        EXPECT_EQ(lists(part), c.lists) << c.device << " " << c.properties;
    }
    auto* gate = dynamic_cast<PALLEXCPT*>(circuit->findcomponent("U4"));
    ASSERT_NE(gate, nullptr);
    EXPECT_STREQ(gate->modelname, "NAND");
    EXPECT_STREQ(dynamic_cast<RTDSTATE*>(circuit->findcomponent("U6"))->modelname, "DUMMY");
    // The first digital part started the digital engine, and only it.
    EXPECT_EQ(fakes::callsof("pallex_initialize").size(), 1u);
    EXPECT_TRUE(circuit->hasdigital());
    EXPECT_EQ(circuit->analog, 1);
}

} // namespace
