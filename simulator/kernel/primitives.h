#pragma once

#include "simulator/kernel/component.h"

#include <cstdint>

// The primitive type table: one row per type of part the kernel simulates, found by name, and the
// builder's own rows, which the factory and the circuit builder use by reference and never find by
// name. Rows are shared by every part of their type; each circuit looks their SPICE device types up
// afresh in the engine's device list (resetprimitives), once per row.

// Kinds of row: the class a part of the row becomes. The kind with its low 8 bits cleared is the
// group; a kind inside a known group that no class serves makes no part.
constexpr int32_t KIND_SPICECPT = 0x1000;
constexpr int32_t KIND_CAPACITOR = 0x1001;
constexpr int32_t KIND_INDUCTOR = 0x1002;
constexpr int32_t KIND_MOSFET = 0x1003;
constexpr int32_t KIND_CCSOURCE = 0x1004;
constexpr int32_t KIND_ARBSOURCE = 0x1005;
constexpr int32_t KIND_POLYSOURCE = 0x1006;
constexpr int32_t KIND_GENERATOR = 0x2000; // 0x2001 dc to 0x2006 pwl
constexpr int32_t KIND_GENERATORLAST = 0x2006;
constexpr int32_t KIND_BATTERY = 0x5001;
constexpr int32_t KIND_ADC = 0x5002;
constexpr int32_t KIND_DAC = 0x5003;
constexpr int32_t KIND_PWRITF = 0x5004;
constexpr int32_t KIND_VSWITCH = 0x5005;
constexpr int32_t KIND_CSWITCH = 0x5006;
constexpr int32_t KIND_DSWITCH = 0x5007;
constexpr int32_t KIND_FILEGEN = 0x6001;
constexpr int32_t KIND_WAVEGEN = 0x6002;
constexpr int32_t KIND_TAPE = 0x6003;
constexpr int32_t KIND_SUBCKT = 0x7000;
constexpr int32_t KIND_PALLEXCPT = 0x8000;
constexpr int32_t KIND_DIGITALPART = 0x8001;
constexpr int32_t KIND_RTSWITCH = 0xA001;
constexpr int32_t KIND_RTVPROBE = 0xA002;
constexpr int32_t KIND_RTIPROBE = 0xA003;
constexpr int32_t KIND_RTVBREAK = 0xA004;
constexpr int32_t KIND_RTIBREAK = 0xA005;
constexpr int32_t KIND_RTVCHECK = 0xA006;
constexpr int32_t KIND_RTICHECK = 0xA007;
constexpr int32_t KIND_RTPPROBE = 0xA008;
constexpr int32_t KIND_RTWPROBE = 0xA009;
constexpr int32_t KIND_RTDSTATE = 0xB001;
constexpr int32_t KIND_RTDPROBE = 0xB002;
constexpr int32_t KIND_RTDBREAK = 0xB003;
constexpr int32_t KIND_EXTMODEL = 0xC000;
constexpr int32_t KIND_SCRIPTMODEL = 0xD000;
constexpr int32_t KIND_DUMMY = 0xFF00;

constexpr int32_t kindgroup(int32_t kind)
{
    return kind & ~0xFF;
}

// The 99 rows found by name, then an all-null row.
constexpr int PRIMITIVECOUNT = 99;
extern PRIMITIVE primitivetable[PRIMITIVECOUNT + 1];

// The builder's rows.
extern PRIMITIVE ROW_PWR; // "PWR!": a DC voltage source to ground (supply generators)
extern PRIMITIVE ROW_RESISTOR; // "RESISTOR": the ground resistors of nets without a DC path
extern PRIMITIVE ROW_POWER; // "POWER": parts whose PRIMITIVE is POWER
extern PRIMITIVE ROW_ADC; // "ADC!": interface objects reading a mixed net
extern PRIMITIVE ROW_DAC; // "DAC!": interface objects driving a mixed net
extern PRIMITIVE ROW_DIGITAL; // "DIGITAL": every digital primitive
extern PRIMITIVE ROW_EXTMODEL; // "EXTMODEL": parts with a model library (MODDLL)
extern PRIMITIVE ROW_SCRIPT; // "SCRIPT": parts with a SCRIPT property
extern PRIMITIVE ROW_DUMMY; // "DUMMY": parts with no model

// The first of the 99 rows whose name equals `name` without regard to case; null when none does
// (or name is null).
PRIMITIVE* findprimitive(const char* name);

// Forgets every row's SPICE device type, so that the next part of each row looks it up again.
void resetprimitives();

// The SPICE engine's device type of that name, compared without regard to case (every lookup of
// the engine's device table goes through here), with its position in *index; null (and *index -1)
// when the engine has no such type or no engine is signed on.
const IFdevice* findspicedevice(const char* name, int32_t* index);

// Looks the row's SPICE device type up when it has one that was not looked up yet; a type the
// engine does not have is fatal ("SPICE object type %s not found!").
void lookupspicetype(PRIMITIVE* row);
