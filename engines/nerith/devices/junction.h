#pragma once

#include "engines/nerith/parameters.h"

#include <cstdint>

namespace nerith {

struct Node;

// Physical constants of the junction equations (SI units).
inline constexpr double Boltzmann = 1.38064852e-23;
inline constexpr double ElectronCharge = 1.6021766208e-19;
inline constexpr double KelvinOffset = 273.15;
// The temperature at which the energy gap's reference values hold (K).
inline constexpr double ReferenceTemperature = 300.15;

// kT/q at `kelvin`.
double thermalvoltage(double kelvin);

// Newton limiting of a pn-junction voltage: keeps the step from `old` to `proposed` on the
// exponential within a few thermal voltages, so the current cannot overflow. `vt` is the junction's
// n kT/q and `critical` the voltage above which the step is limited. Sets `limited` when it changed
// the value.
double pnjlim(double proposed, double old, double vt, double critical, bool& limited);

// The voltage above which a junction of saturation current `is` needs limiting.
double criticalvoltage(double vt, double is);

// Newton limiting of a field-effect gate voltage around the threshold `vto`.
double fetlim(double proposed, double old, double vto);

// Newton limiting of a field-effect drain-source voltage.
double limvds(double proposed, double old);

// Newton limiting of a MOSFET's gate-source and drain-source voltages against the last iterate's:
// the gate against the end that acts as the source, the drain by limvds. With `limitreversed`
// false a reversed device's drain goes unlimited (the older limiting, option OLDLIMIT).
void limitgatedrain(double& vgs, double& vds, double oldvgs, double oldvds, double von, bool limitreversed);

// Newton limiting of a MOSFET's bulk-source voltage as the junction that leads: the source's, or
// the drain's when `vds` is below 0. Sets `limited` when it changed the value.
double limitbulk(double vbs, double vds, double oldvbs, double oldvds, double vt, double sourcevcrit,
    double drainvcrit, bool& limited);

// The charge and small-signal capacitance of a depletion layer of zero-bias capacitance `cj0`,
// built-in potential `vj` and grading `m`, continued linearly in capacitance above `fc` * vj.
struct Depletion {
    double charge = 0;
    double capacitance = 0;
};
Depletion depletion(double v, double cj0, double vj, double m, double fc);

// How a junction's built-in potential and zero-bias capacitance change from `tnom` to `kelvin`.
struct JunctionTemperature {
    double potential = 0;
    double capacitance = 0;
};
JunctionTemperature junctiontemperature(double vj, double cj0, double m, double tnom, double kelvin);

// The silicon-like energy gap (eV) at `kelvin`.
double energygap(double kelvin);

// A saturation current scaled from `tnom` to `kelvin` with gap `eg`, exponent `xti` and emission
// coefficient `n`.
double saturationtemperature(double is, double eg, double xti, double n, double tnom, double kelvin);

// The temperature (K) a device runs at: its own TEMP when given, else the circuit's; 0 when that
// is no temperature.
double devicekelvin(const IFcircuit& ckt, bool given, double celsius);

// The temperature (K) a model's parameters were measured at: its TNOM when given, else the
// circuit's; 0 when that is no temperature.
double nominalkelvin(const IFcircuit& ckt, bool given, double celsius);

// The current into the node `node`.
struct TerminalCurrent {
    double current = 0;
    int32_t node = 0;
};

// The power a three-terminal device takes at the last solution from the currents `a` and `b`, which
// leave through the node `common`; 0 for a device not `bound` to the circuit's equations.
double terminalpower(const IFcircuit& ckt, bool bound, TerminalCurrent a, TerminalCurrent b, int32_t common);

// The checks every junction device makes first: 0 when `nominal`, the model's TNOM in K, is a
// temperature, `unusable`, the fault the model's parameters were found to have, is null and the
// device's `area` is positive; else E_BADDEVICE with a message naming the `kind` of device, the
// `device` and the `model`.
int junctionfault(const char* kind, const char* device, const char* model, double nominal,
    const char* unusable, double area);

// The equation number of the internal node `suffix` of `owner`, made on first use and kept in
// `node`; the equation belongs to the instance, so a renumbering drops it with the instance's cells.
int32_t internalnode(IFcircuit& ckt, IFinstance& owner, Node*& node, const char* suffix);

// The set of a model's type flag (NPN, PNP, NJF, ...): 1 makes the model of `Polarity`, 0 leaves
// it as it is.
template <class Model, int32_t Polarity> int setpolarity(Model& m, const IFvalue& v)
{
    if (v.iValue != 0 && v.iValue != 1)
        return E_BADTYPE;
    if (v.iValue)
        m.polarity = Polarity;
    return 0;
}

// The conductance of a model's series resistance `Resistance`, 0 where it has none.
template <auto Resistance, class Model = typename MemberOf<decltype(Resistance)>::Owner>
double seriesconductance(IFcircuit&, const Model& m)
{
    const double r = m.*Resistance;
    return r > 0 ? 1 / r : 0;
}

// The set of a vector of one or two initial voltages into `First` and `Second`; E_BADVALUE for
// another count.
template <auto First, auto Second, class Instance = typename MemberOf<decltype(First)>::Owner>
int setinitialpair(Instance& owner, const IFvalue& v)
{
    if (v.v.numValue < 1 || v.v.numValue > 2 || !v.v.vec.rVec)
        return E_BADVALUE;
    owner.*First = v.v.vec.rVec[0];
    if (v.v.numValue == 2)
        owner.*Second = v.v.vec.rVec[1];
    return 0;
}

} // namespace nerith
