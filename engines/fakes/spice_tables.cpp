// The fake SPICE engine's device, analysis and node-parameter tables: the names, keywords and ids
// the kernel looks up, with the kinds of value each takes.
#include "engines/fakes/spice.h"

#include "engines/nerith/nerith.h"

#include <iterator>

namespace fakes {

namespace {

constexpr int32_t SETREAL = IF_REAL | IF_SET;
constexpr int32_t SETFLAG = IF_FLAG | IF_SET;
constexpr int32_t SETINT = IF_INTEGER | IF_SET;
constexpr int32_t SETVECTOR = IF_REAL | IF_VECTOR | IF_SET;
constexpr int32_t ASKREAL = IF_REAL | IF_ASK;

const IFparm resistor[] = { { "resistance", RES_RESISTANCE, SETREAL | IF_ASK, "Resistance" },
    { "i", 10, ASKREAL, "Current" }, { "p", 11, ASKREAL, "Power" } };
const IFparm resistormodel[] = { { "rsh", 1, SETREAL, "Sheet resistance" },
    { "tc1", 2, SETREAL, "First order temperature coefficient" },
    { "tc2", 3, SETREAL, "Second order temperature coefficient" } };
const IFparm capacitor[] = { { "capacitance", 1, SETREAL | IF_ASK, "Capacitance" },
    { "ic", 2, SETREAL, "Initial voltage" }, { "i", 10, ASKREAL, "Current" } };
const IFparm capacitormodel[] = { { "cj", 1, SETREAL, "Junction capacitance per area" } };
const IFparm inductor[] = { { "inductance", 1, SETREAL | IF_ASK, "Inductance" },
    { "ic", 2, SETREAL, "Initial current" }, { "i", 10, ASKREAL, "Current" } };
const IFparm mutual[] = { { "inductor1", 1, IF_INSTANCE | IF_SET, "First inductor" },
    { "inductor2", 2, IF_INSTANCE | IF_SET, "Second inductor" }, { "k", 3, SETREAL, "Coupling factor" } };
const IFparm diode[] = { { "area", 1, SETREAL, "Area factor" }, { "id", 10, ASKREAL, "Current" },
    { "p", 11, ASKREAL, "Power" }, { "cd", 12, ASKREAL, "Capacitance" } };
const IFparm diodemodel[] = { { "is", 1, SETREAL, "Saturation current" }, { "n", 2, SETREAL, "Emission coefficient" },
    { "rs", 3, SETREAL, "Series resistance" }, { "cjo", 4, SETREAL, "Junction capacitance" } };
const IFparm bjt[] = { { "area", 1, SETREAL, "Area factor" }, { "ib", 10, ASKREAL, "Base current" },
    { "ic", 11, ASKREAL, "Collector current" }, { "ie", 12, ASKREAL, "Emitter current" },
    { "p", 13, ASKREAL, "Power" } };
const IFparm bjtmodel[] = { { "npn", 1, SETFLAG, "NPN type" }, { "pnp", 2, SETFLAG, "PNP type" },
    { "is", 3, SETREAL, "Saturation current" }, { "bf", 4, SETREAL, "Forward beta" },
    { "br", 5, SETREAL, "Reverse beta" } };
const IFparm fet[] = { { "area", 1, SETREAL, "Area factor" }, { "ig", 10, ASKREAL, "Gate current" },
    { "id", 11, ASKREAL, "Drain current" }, { "is", 12, ASKREAL, "Source current" }, { "p", 13, ASKREAL, "Power" } };
const IFparm jfetmodel[] = { { "njf", 1, SETFLAG, "N channel" }, { "pjf", 2, SETFLAG, "P channel" },
    { "vto", 3, SETREAL, "Threshold voltage" }, { "beta", 4, SETREAL, "Transconductance" } };
const IFparm mesmodel[] = { { "nmf", 1, SETFLAG, "N channel" }, { "pmf", 2, SETFLAG, "P channel" },
    { "vto", 3, SETREAL, "Pinch-off voltage" }, { "beta", 4, SETREAL, "Transconductance" } };
const IFparm mos[] = { { "l", 1, SETREAL, "Length" }, { "w", 2, SETREAL, "Width" },
    { "ad", 3, SETREAL, "Drain area" }, { "as", 4, SETREAL, "Source area" }, { "ig", 10, ASKREAL, "Gate current" },
    { "id", 11, ASKREAL, "Drain current" }, { "is", 12, ASKREAL, "Source current" }, { "p", 13, ASKREAL, "Power" } };
const IFparm mosmodel[] = { { "nmos", 1, SETFLAG, "N channel" }, { "pmos", 2, SETFLAG, "P channel" },
    { "vto", 3, SETREAL, "Threshold voltage" }, { "kp", 4, SETREAL, "Transconductance" } };
const IFparm tranline[] = { { "z0", 1, SETREAL, "Characteristic impedance" }, { "td", 2, SETREAL, "Delay" },
    { "f", 3, SETREAL, "Frequency" }, { "nl", 4, SETREAL, "Normalised length" } };
const IFparm ltramodel[] = { { "r", 1, SETREAL, "Resistance per length" }, { "l", 2, SETREAL, "Inductance per length" },
    { "g", 3, SETREAL, "Conductance per length" }, { "c", 4, SETREAL, "Capacitance per length" },
    { "len", 5, SETREAL, "Length" } };
const IFparm urc[] = { { "l", 1, SETREAL, "Length" } };
const IFparm urcmodel[] = { { "k", 1, SETREAL, "Propagation constant" }, { "fmax", 2, SETREAL, "Maximum frequency" },
    { "rperl", 3, SETREAL, "Resistance per length" }, { "cperl", 4, SETREAL, "Capacitance per length" } };
const IFparm source[] = { { "dc", 1, SETREAL, "DC value" }, { "sine", 2, SETVECTOR, "Sine source" },
    { "pulse", 3, SETVECTOR, "Pulse source" }, { "exp", 4, SETVECTOR, "Exponential source" },
    { "sffm", 5, SETVECTOR, "Single frequency FM source" }, { "pwl", 6, SETVECTOR, "Piecewise linear source" },
    { "acmag", 7, SETREAL, "AC magnitude" }, { "acphase", 8, SETREAL, "AC phase" },
    { "distof1", 9, SETVECTOR, "Distortion input f1" }, { "distof2", 10, SETVECTOR, "Distortion input f2" },
    { "branch", 20, IF_INTEGER | IF_ASK, "Branch equation" }, { "i", 21, ASKREAL, "Current" },
    { "p", 22, ASKREAL, "Power" } };
const IFparm currentsource[] = { { "dc", 1, SETREAL, "DC value" }, { "sine", 2, SETVECTOR, "Sine source" },
    { "pulse", 3, SETVECTOR, "Pulse source" }, { "exp", 4, SETVECTOR, "Exponential source" },
    { "sffm", 5, SETVECTOR, "Single frequency FM source" }, { "pwl", 6, SETVECTOR, "Piecewise linear source" },
    { "acmag", 7, SETREAL, "AC magnitude" }, { "acphase", 8, SETREAL, "AC phase" },
    { "distof1", 9, SETVECTOR, "Distortion input f1" }, { "distof2", 10, SETVECTOR, "Distortion input f2" },
    { "p", 22, ASKREAL, "Power" } };
const IFparm voltagecontrolled[] = { { "gain", 1, SETREAL, "Gain" }, { "i", 10, ASKREAL, "Current" },
    { "p", 11, ASKREAL, "Power" } };
const IFparm currentcontrolled[] = { { "gain", 1, SETREAL, "Gain" },
    { "control", 2, IF_INSTANCE | IF_SET, "Controlling source" }, { "i", 10, ASKREAL, "Current" },
    { "p", 11, ASKREAL, "Power" } };
const IFparm asrc[] = { { "v", 1, IF_PARSETREE | IF_SET, "Voltage expression" },
    { "i", 2, IF_PARSETREE | IF_SET, "Current expression" }, { "p", 11, ASKREAL, "Power" } };
const IFparm switchmodel[] = { { "vt", 1, SETREAL, "Threshold voltage" }, { "vh", 2, SETREAL, "Hysteresis voltage" },
    { "ron", 3, SETREAL, "On resistance" }, { "roff", 4, SETREAL, "Off resistance" } };
const IFparm cswitch[] = { { "control", CSW_CONTROL, IF_INSTANCE | IF_SET, "Controlling source" } };
const IFparm cswitchmodel[] = { { "it", 1, SETREAL, "Threshold current" }, { "ih", 2, SETREAL, "Hysteresis current" },
    { "ron", 3, SETREAL, "On resistance" }, { "roff", 4, SETREAL, "Off resistance" } };
const IFparm objitf[] = { { "instance", OBJITF_INSTANCE, IF_POINTER | IF_SET, "The part's services" },
    { "model", OBJITF_MODEL, IF_POINTER | IF_SET, "The part's analog model" } };
const IFparm objitfmodel[] = { { "circuit", OBJITF_CIRCUIT, IF_POINTER | IF_SET, "Circuit handed to the models" } };

template <std::size_t N>
constexpr int32_t count(const IFparm (&)[N])
{
    return static_cast<int32_t>(N);
}

#define DEVICE(name, text, terminals, parms, modelparms) \
    IFdevice { name, text, terminals, count(parms), parms, count(modelparms), modelparms }
#define SIMPLEDEVICE(name, text, terminals, parms) IFdevice { name, text, terminals, count(parms), parms, 0, nullptr }

const IFdevice devicetable[] = {
    DEVICE("Resistor", "Simple linear resistor", 2, resistor, resistormodel),
    DEVICE("Capacitor", "Fixed capacitor", 2, capacitor, capacitormodel),
    SIMPLEDEVICE("Inductor", "Inductor", 2, inductor),
    SIMPLEDEVICE("Mutual", "Mutual inductors", 0, mutual),
    DEVICE("Diode", "Junction diode", 2, diode, diodemodel),
    DEVICE("BJT", "Bipolar junction transistor", 4, bjt, bjtmodel),
    DEVICE("JFET", "Junction field effect transistor", 3, fet, jfetmodel),
    DEVICE("MES", "GaAs MESFET", 3, fet, mesmodel),
    DEVICE("MOS1", "Level 1 MOSFET", 4, mos, mosmodel),
    DEVICE("MOS2", "Level 2 MOSFET", 4, mos, mosmodel),
    DEVICE("MOS3", "Level 3 MOSFET", 4, mos, mosmodel),
    DEVICE("MOS6", "Level 6 MOSFET", 4, mos, mosmodel),
    DEVICE("BSIM1", "Short channel MOSFET model 1", 4, mos, mosmodel),
    DEVICE("BSIM2", "Short channel MOSFET model 2", 4, mos, mosmodel),
    DEVICE("BSIM3", "Short channel MOSFET model 3", 4, mos, mosmodel),
    SIMPLEDEVICE("Tranline", "Lossless transmission line", 4, tranline),
    IFdevice { "LTRA", "Lossy transmission line", 4, 0, nullptr, count(ltramodel), ltramodel },
    DEVICE("URC", "Uniform RC line", 3, urc, urcmodel),
    SIMPLEDEVICE("Vsource", "Independent voltage source", 2, source),
    SIMPLEDEVICE("Isource", "Independent current source", 2, currentsource),
    SIMPLEDEVICE("VCCS", "Voltage controlled current source", 4, voltagecontrolled),
    SIMPLEDEVICE("VCVS", "Voltage controlled voltage source", 4, voltagecontrolled),
    SIMPLEDEVICE("CCCS", "Current controlled current source", 2, currentcontrolled),
    SIMPLEDEVICE("CCVS", "Current controlled voltage source", 2, currentcontrolled),
    SIMPLEDEVICE("ASRC", "Arbitrary source", 2, asrc),
    IFdevice { "Switch", "Voltage controlled switch", 4, 0, nullptr, count(switchmodel), switchmodel },
    DEVICE("Cswitch", "Current controlled switch", 2, cswitch, cswitchmodel),
    DEVICE("OBJITF", "Interface of built-in and library models", 0, objitf, objitfmodel),
};

const IFparm options[] = { { "abstol", 1, SETREAL, "Absolute current tolerance" },
    { "chgtol", 2, SETREAL, "Charge tolerance" }, { "pivtol", 3, SETREAL, "Absolute pivot tolerance" },
    { "reltol", 4, SETREAL, "Relative tolerance" }, { "vntol", 5, SETREAL, "Voltage tolerance" },
    { "pivrel", 6, SETREAL, "Relative pivot tolerance" }, { "gmin", 7, SETREAL, "Minimum conductance" },
    { "trangmin", 8, SETREAL, "Minimum conductance in transient" }, { "rshunt", 9, SETREAL, "Shunt resistance" },
    { "defad", 10, SETREAL, "Default drain area" }, { "defas", 11, SETREAL, "Default source area" },
    { "defl", 12, SETREAL, "Default length" }, { "defw", 13, SETREAL, "Default width" },
    { "badmos3", 14, SETFLAG, "Old level 3 MOSFET" }, { "oldlimit", 15, SETFLAG, "Old limiting" },
    { "srcsteps", 16, SETINT, "Source steps" }, { "gminsteps", 17, SETINT, "Conductance steps" },
    { "itl1", 18, SETINT, "Operating point iteration limit" }, { "itl2", 19, SETINT, "DC sweep iteration limit" },
    { "itl4", 20, SETINT, "Transient iteration limit" }, { "noopiter", 21, SETFLAG, "No operating point iteration" },
    { "iterations", OPT_ITERATIONS, IF_INTEGER | IF_ASK, "Newton iterations" },
    { "steps", OPT_STEPS, IF_INTEGER | IF_ASK, "Time steps" },
    { "goodsteps", OPT_GOODSTEPS, IF_INTEGER | IF_ASK, "Accepted time steps" },
    { "badsteps", OPT_BADSTEPS, IF_INTEGER | IF_ASK, "Rejected time steps" },
    { "method", 26, IF_STRING | IF_SET, "Integration method" }, { "maxord", 27, SETINT, "Maximum order" },
    { "trytocompact", 28, SETFLAG, "Compact lossy lines" }, { "bypass", 29, SETFLAG, "Bypass unchanged devices" },
    { "temp", 30, SETREAL, "Temperature" }, { "tnom", 31, SETREAL, "Nominal temperature" },
    { "trtol", 32, SETREAL, "Truncation error factor" }, { "tmin", 33, SETREAL, "Smallest time step" },
    { "gleak", 34, SETREAL, "Leakage conductance" }, { "minbreak", OPT_MINBREAK, SETREAL, "Break point spacing" } };
const IFparm transient[] = { { "tstart", TRAN_TSTART, SETREAL, "Output start" }, { "tstop", 2, SETREAL, "Stop time" },
    { "tstep", 3, SETREAL, "Step" }, { "tmax", TRAN_TMAX, SETREAL, "Largest step" }, { "uic", 6, SETFLAG, "Use initial conditions" } };
const IFparm ac[] = { { "fstart", 1, SETREAL, "Start frequency" }, { "fstop", 2, SETREAL, "Stop frequency" },
    { "dec", 3, SETFLAG, "Points per decade" }, { "oct", 4, SETFLAG, "Points per octave" },
    { "lin", 5, SETFLAG, "Linear points" }, { "numsteps", 6, SETINT, "Number of points" } };
const IFparm dc[] = { { "name1", 1, IF_INSTANCE | IF_SET, "First source" }, { "start1", 2, SETREAL, "Start" },
    { "stop1", 3, SETREAL, "Stop" }, { "step1", 4, SETREAL, "Step" }, { "name2", 5, IF_INSTANCE | IF_SET, "Second source" },
    { "start2", 6, SETREAL, "Start" }, { "stop2", 7, SETREAL, "Stop" }, { "step2", 8, SETREAL, "Step" } };
const IFparm noise[] = { { "output", 1, IF_NODE | IF_SET, "Output node" }, { "outputref", 2, IF_NODE | IF_SET, "Reference node" },
    { "input", 3, IF_INSTANCE | IF_SET, "Input source" }, { "ptspersum", 4, SETINT, "Points per summary" },
    { "fstart", 5, SETREAL, "Start frequency" }, { "fstop", 6, SETREAL, "Stop frequency" },
    { "dec", 7, SETFLAG, "Points per decade" }, { "oct", 8, SETFLAG, "Points per octave" },
    { "lin", 9, SETFLAG, "Linear points" }, { "numsteps", 10, SETINT, "Number of points" } };
const IFparm disto[] = { { "start", 1, SETREAL, "Start frequency" }, { "stop", 2, SETREAL, "Stop frequency" },
    { "dec", 3, SETFLAG, "Points per decade" }, { "oct", 4, SETFLAG, "Points per octave" },
    { "lin", 5, SETFLAG, "Linear points" }, { "numsteps", 6, SETINT, "Number of points" },
    { "f2overf1", 7, SETREAL, "Frequency ratio" } };

const IFanalysis analysistable[] = {
    { "options", "Task options", count(options), options },
    { "OP", "Operating point", 0, nullptr },
    { "TRAN", "Transient analysis", count(transient), transient },
    { "AC", "Small signal analysis", count(ac), ac },
    { "DC", "DC transfer curve", count(dc), dc },
    { "NOISE", "Noise analysis", count(noise), noise },
    { "DISTO", "Distortion analysis", count(disto), disto },
};

const IFparm nodeparms[] = { { "ic", 1, SETREAL, "Initial condition" }, { "nodeset", 2, SETREAL, "Suggested voltage" } };

const IFdevice* devicelist[std::size(devicetable)];
const IFanalysis* analysislist[std::size(analysistable)];
const char* signals[] = { "time", "frequency" };

}  // namespace

const IFsimulator& descriptortables()
{
    static IFsimulator tables = [] {
        for (std::size_t i = 0; i < std::size(devicetable); ++i)
            devicelist[i] = &devicetable[i];
        for (std::size_t i = 0; i < std::size(analysistable); ++i)
            analysislist[i] = &analysistable[i];
        IFsimulator t {};
        t.name = "fake";
        t.description = "Recording fake of the SPICE engine";
        t.version = "0";
        t.numDevices = static_cast<int32_t>(std::size(devicetable));
        t.devices = devicelist;
        t.numAnalyses = static_cast<int32_t>(std::size(analysistable));
        t.analyses = analysislist;
        t.numNodeParms = count(nodeparms);
        t.nodeParms = nodeparms;
        t.numSpecSigs = static_cast<int32_t>(std::size(signals));
        t.specSigs = signals;
        return t;
    }();
    return tables;
}

}  // namespace fakes
