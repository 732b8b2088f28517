#include "simulator/kernel/primitives.h"

#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <strings.h>

// Columns: name, SPICE device type, kind, SPICE type index and descriptor (found on first use),
// value keyword, model flag, pin order, DC paths, watch quantities. Texts exactly as the kernel
// has always stored them; an earlier row wins a name.
PRIMITIVE primitivetable[PRIMITIVECOUNT + 1] = {
    { "RESISTOR", "Resistor", 0x1000, -1, nullptr, "resistance", nullptr, nullptr, "*", "v;i,p" },
    { "CAPACITOR", "Capacitor", 0x1001, -1, nullptr, "capacitance", nullptr, "+-", "*", "v" },
    { "INDUCTOR", "Inductor", 0x1002, -1, nullptr, "inductance", nullptr, nullptr, "*", "i" },
    { "DIODE", "Diode", 0x1000, -1, nullptr, nullptr, nullptr, "AK", "*", "v;id,p,cd=Capacitance" },
    { "NPN", "BJT", 0x1000, -1, nullptr, nullptr, "NPN=TRUE", "CBE", "*", "vce,vcb,vbe;ib,ic,ie,p" },
    { "PNP", "BJT", 0x1000, -1, nullptr, nullptr, "PNP=TRUE", "CBE", "*", "vce,vcb,vbe;ib,ic,ie,p" },
    { "NJFET", "JFET", 0x1000, -1, nullptr, nullptr, "NJF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "NJF", "JFET", 0x1000, -1, nullptr, nullptr, "NJF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "PJFET", "JFET", 0x1000, -1, nullptr, nullptr, "PJF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "PJF", "JFET", 0x1000, -1, nullptr, nullptr, "PJF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "NMESFET", "MES", 0x1000, -1, nullptr, nullptr, "NMF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "PMESFET", "MES", 0x1000, -1, nullptr, nullptr, "PMF=TRUE", "DGS", "*", "vds,vdg,vgs;ig,id,is,p" },
    { "NMOSFET", nullptr, 0x1003, -1, nullptr, nullptr, nullptr, "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NMOS1", "MOS1", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NMOS2", "MOS2", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NMOS3", "MOS3", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NBSIM1", "BSIM1", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NBSIM2", "BSIM2", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NMOS6", "MOS6", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "NBSIM3", "BSIM3", 0x1003, -1, nullptr, nullptr, "NMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PMOSFET", nullptr, 0x1003, -1, nullptr, nullptr, nullptr, "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PMOS1", "MOS1", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PMOS2", "MOS2", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PMOS3", "MOS3", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PBSIM1", "BSIM1", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PBSIM2", "BSIM2", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PMOS6", "MOS6", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "PBSIM3", "BSIM3", 0x1003, -1, nullptr, nullptr, "PMOS=TRUE", "DGSB", "134", "vds,vdg,vgs;ig,id,is,p" },
    { "DELAY", "Tranline", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, "12,34", nullptr },
    { "TRANLINE", "Tranline", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, "12,34", nullptr },
    { "LOSSYLINE", "LTRA", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, "12,34", nullptr },
    { "URCLINE", "URC", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, "12", nullptr },
    { "VSOURCE", "Vsource", 0x1000, -1, nullptr, "dc", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "VSINE", "Vsource", 0x2002, -1, nullptr, "sine", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "VPULSE", "Vsource", 0x2003, -1, nullptr, "pulse", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "VEXP", "Vsource", 0x2004, -1, nullptr, "exp", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "VSFFM", "Vsource", 0x2005, -1, nullptr, "sffm", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "VPWLIN", "Vsource", 0x2006, -1, nullptr, "pwl", nullptr, "+-", "*", "-i=O/P Current,p" },
    { "CSOURCE", "Isource", 0x1000, -1, nullptr, "dc", nullptr, "+-", nullptr, "v;p" },
    { "ISINE", "Isource", 0x2002, -1, nullptr, "sine", nullptr, "+-", nullptr, "v;p" },
    { "IPULSE", "Isource", 0x2003, -1, nullptr, "pulse", nullptr, "+-", nullptr, "v;p" },
    { "IEXP", "Isource", 0x2004, -1, nullptr, "exp", nullptr, "+-", nullptr, "v;p" },
    { "ISFFM", "Isource", 0x2005, -1, nullptr, "sffm", nullptr, "+-", nullptr, "v;p" },
    { "IPWLIN", "Isource", 0x2006, -1, nullptr, "pwl", nullptr, "+-", nullptr, "v;p" },
    { "VCCS", "VCCS", 0x1000, -1, nullptr, "gain", nullptr, "+-PN", nullptr, "v+-=Output,vpn=Control;i,p" },
    { "CCCS", "CCCS", 0x1004, -1, nullptr, "gain", nullptr, "+-PN", "34", "v+-=Output;i=O/P Current,p" },
    { "VCVS", "VCVS", 0x1000, -1, nullptr, "gain", nullptr, "+-PN", "12", "v+-=Output,vpn=Control;i,p" },
    { "CCVS", "CCVS", 0x1004, -1, nullptr, "gain", nullptr, "+-PN", "*", "v+-=Output;i=O/P Current,p" },
    { "AVS", "ASRC", 0x1005, -1, nullptr, "v", nullptr, "+-", "12", "v+-=Output;i=O/P Current,p" },
    { "ACS", "ASRC", 0x1005, -1, nullptr, "i", nullptr, "+-", nullptr, "v+-=Output;i=O/P Current,p" },
    { "VDC!", "Vsource", 0x2001, -1, nullptr, "dc", nullptr, "*", "G", nullptr },
    { "VSINE!", "Vsource", 0x2002, -1, nullptr, "sine", nullptr, "*", "G", nullptr },
    { "VPULSE!", "Vsource", 0x2003, -1, nullptr, "pulse", nullptr, "*", "G", nullptr },
    { "VEXP!", "Vsource", 0x2004, -1, nullptr, "exp", nullptr, "*", "G", nullptr },
    { "VSFFM!", "Vsource", 0x2005, -1, nullptr, "sffm", nullptr, "*", "G", nullptr },
    { "VPWLIN!", "Vsource", 0x2006, -1, nullptr, "pwl", nullptr, "*", "G", nullptr },
    { "IDC!", "Isource", 0x2001, -1, nullptr, "dc", nullptr, nullptr, nullptr, nullptr },
    { "ISINE!", "Isource", 0x2002, -1, nullptr, "sine", nullptr, nullptr, nullptr, nullptr },
    { "IPULSE!", "Isource", 0x2003, -1, nullptr, "pulse", nullptr, nullptr, nullptr, nullptr },
    { "IEXP!", "Isource", 0x2004, -1, nullptr, "exp", nullptr, nullptr, nullptr, nullptr },
    { "ISFFM!", "Isource", 0x2005, -1, nullptr, "sffm", nullptr, nullptr, nullptr, nullptr },
    { "IPWLIN!", "Isource", 0x2006, -1, nullptr, "pwl", nullptr, nullptr, nullptr, nullptr },
    { "DIGITAL!", nullptr, 0x8001, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "VPROBE", nullptr, 0x3000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "APROBE", nullptr, 0x3000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "DPROBE", nullptr, 0x3000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "IPROBE", "Vsource", 0x4000, -1, nullptr, nullptr, nullptr, "+-", "*", "i" },
    { "ADC", "OBJITF", 0x5002, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "DAC", "OBJITF", 0x5003, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { "POWER", "OBJITF", 0x5004, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { "VSWITCH", "Switch", 0x5005, -1, nullptr, nullptr, nullptr, "+-PN", "12", nullptr },
    { "VCR", "OBJITF", 0x5005, -1, nullptr, nullptr, nullptr, "+-PN", "12", nullptr },
    { "CSWITCH", "Cswitch", 0x5006, -1, nullptr, nullptr, nullptr, "+-PN", "12,34", nullptr },
    { "CCR", "OBJITF", 0x5006, -1, nullptr, nullptr, nullptr, "+-PN", "12,34", nullptr },
    { "DSWITCH", "OBJITF", 0x5007, -1, nullptr, nullptr, nullptr, nullptr, "12", nullptr },
    { "VFILE!", "OBJITF", 0x6001, -1, nullptr, nullptr, nullptr, "*", "G", nullptr },
    { "AUDIO!", "OBJITF", 0x6002, -1, nullptr, nullptr, nullptr, "*", "G", nullptr },
    { "TAPE!", "OBJITF", 0x6003, -1, nullptr, nullptr, nullptr, "*", "G", nullptr },
    { "SUBCKT", nullptr, 0x7000, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { "BATTERY", "OBJITF", 0x5001, -1, nullptr, nullptr, nullptr, "+-", "*", "-i=Drain,p" },
    { "RES", "Resistor", 0x1000, -1, nullptr, "resistance", nullptr, nullptr, "*", "v;i,p" },
    { "ISOURCE", "Isource", 0x1000, -1, nullptr, "dc", nullptr, "-+;21", nullptr, "v;i,p" },
    { "VCISOURCE", "ASRC", 0x1006, -1, nullptr, nullptr, nullptr, "+-PN", "12", nullptr },
    { "NLVCIS", "ASRC", 0x1006, -1, nullptr, nullptr, nullptr, "+-", "12", nullptr },
    { "ICISOURCE", "ASRC", 0x1006, -1, nullptr, nullptr, nullptr, "+-", "12", nullptr },
    { "NLICIS", "ASRC", 0x1006, -1, nullptr, nullptr, nullptr, "+-", "12", nullptr },
    { "ISWITCH", "OBJITF", 0x5006, -1, nullptr, nullptr, nullptr, "+-", "12", nullptr },
    { "RTSWITCH", "OBJITF", 0xA001, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { "RTDSTATE", nullptr, 0xB001, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "RTVPROBE", "OBJITF", 0xA002, -1, nullptr, nullptr, nullptr, "+-", "*", nullptr },
    { "RTIPROBE", "OBJITF", 0xA003, -1, nullptr, nullptr, nullptr, "+-", "*", nullptr },
    { "RTDPROBE", nullptr, 0xB002, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "RTVBREAK", "OBJITF", 0xA004, -1, nullptr, nullptr, nullptr, "+-", nullptr, nullptr },
    { "RTIBREAK", "OBJITF", 0xA005, -1, nullptr, nullptr, nullptr, "+-", "*", nullptr },
    { "RTDBREAK", nullptr, 0xB003, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
    { "RTVCHECK", "OBJITF", 0xA006, -1, nullptr, nullptr, nullptr, "+-", nullptr, nullptr },
    { "RTICHECK", "OBJITF", 0xA007, -1, nullptr, nullptr, nullptr, "+-", "*", nullptr },
    { "PPROBE", "OBJITF", 0xA008, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { "WPROBE", "OBJITF", 0xA009, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr },
    { nullptr, nullptr, 0, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr },
};

PRIMITIVE ROW_PWR = { "PWR!", "Vsource", 0x2001, -1, nullptr, "dc", nullptr, nullptr, "G", nullptr };
PRIMITIVE ROW_RESISTOR
    = { "RESISTOR", "Resistor", 0x1000, -1, nullptr, "resistance", nullptr, nullptr, "*", nullptr };
PRIMITIVE ROW_POWER = { "POWER", "OBJITF", 0x5004, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr };
PRIMITIVE ROW_ADC = { "ADC!", "OBJITF", 0x5002, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
PRIMITIVE ROW_DAC = { "DAC!", "OBJITF", 0x5003, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr };
PRIMITIVE ROW_DIGITAL
    = { "DIGITAL", nullptr, 0x8000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
PRIMITIVE ROW_EXTMODEL
    = { "EXTMODEL", "OBJITF", 0xC000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
PRIMITIVE ROW_SCRIPT
    = { "SCRIPT", "OBJITF", 0xD000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
PRIMITIVE ROW_DUMMY = { "DUMMY", nullptr, 0xFF00, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };

namespace {

PRIMITIVE* const builderrows[] = { &ROW_PWR, &ROW_RESISTOR, &ROW_POWER, &ROW_ADC, &ROW_DAC, &ROW_DIGITAL,
    &ROW_EXTMODEL, &ROW_SCRIPT, &ROW_DUMMY };

void forget(PRIMITIVE& row)
{
    row.spiceindex = -1;
    row.device = nullptr;
}

} // namespace

PRIMITIVE* findprimitive(const char* name)
{
    if (!name)
        return nullptr;
    for (int i = 0; i < PRIMITIVECOUNT; ++i)
        if (strcasecmp(primitivetable[i].name, name) == 0)
            return &primitivetable[i];
    return nullptr;
}

void resetprimitives()
{
    for (int i = 0; i < PRIMITIVECOUNT; ++i)
        forget(primitivetable[i]);
    for (PRIMITIVE* row : builderrows)
        forget(*row);
}

const IFdevice* findspicedevice(const char* name, int32_t* index)
{
    *index = -1;
    for (int32_t i = 0; name && spicesimulator && i < spicesimulator->numDevices; ++i) {
        const IFdevice* device = spicesimulator->devices[i];
        if (device && device->name && strcasecmp(device->name, name) == 0) {
            *index = i;
            return device;
        }
    }
    return nullptr;
}

void lookupspicetype(PRIMITIVE* row)
{
    if (!row || !row->spicetype || row->spiceindex != -1)
        return;
    int32_t index;
    const IFdevice* device = findspicedevice(row->spicetype, &index);
    if (!device)
        simfatal("SPICE object type %s not found!", row->spicetype);
    row->spiceindex = index;
    row->device = device;
}
