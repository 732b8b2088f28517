#include "simulator/models/parts/generator.h"

#include "core/text/ascii.h"
#include "core/text/values.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/models/spice/spiceparams.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <strings.h>
#include <utility>

namespace {

constexpr double SQRT2 = 1.4142135623730951;
constexpr double NOLIMIT = std::numeric_limits<double>::infinity();

// Kinds of the generator rows.
constexpr int32_t KIND_DC = 0x2001;
constexpr int32_t KIND_SINE = 0x2002;
constexpr int32_t KIND_PULSE = 0x2003;
constexpr int32_t KIND_EXP = 0x2004;
constexpr int32_t KIND_SFFM = 0x2005;
constexpr int32_t KIND_PWL = 0x2006;

// Positions in the vectors the engine's source takes.
enum SINE { SINE_VO, SINE_VA, SINE_FREQ, SINE_TD, SINE_THETA };
enum PULSE { PULSE_V1, PULSE_V2, PULSE_TD, PULSE_TR, PULSE_TF, PULSE_PW, PULSE_PER };
enum SFFM { SFFM_VO, SFFM_VA, SFFM_FC, SFFM_MDI, SFFM_FS };

bool novalue(const char* text)
{
    return strcmp(text, "?") == 0 || strcasecmp(text, "[NULL]") == 0;
}

// The circuit's transient stop time; false when the circuit has no TSTOP variable.
bool stoptime(const CIRCUIT* circuit, double* tstop)
{
    VARIABLE<double>* variable = circuit->variables["TSTOP"];
    if (!variable)
        return false;
    *tstop = variable->value;
    return true;
}

// Lowers *limit to a positive candidate.
void lower(double* limit, double candidate)
{
    if (candidate > 0 && candidate < *limit)
        *limit = candidate;
}

} // namespace

void GENERATOR::bindpins(IFcircuit* circuit)
{
    if (pins.count == 2) {
        SPICECPT::bindpins(circuit);
        return;
    }
    PININFO* info = analogpins.ptr(0);
    IFnode* net = nullptr;
    IFnode* ground = nullptr;
    if (!info || !info->pin->net || spicesimulator->findNode(circuit, &net, info->pin->net) != 0 || !net)
        return;
    int result = spicesimulator->groundNode(circuit, &ground, nullptr);
    if ((result != 0 && result != E_EXISTS) || !ground)
        return;
    bool voltage = asciiupper(row->device->name[0]) == 'V';
    spicesimulator->bindNode(circuit, spiceinstance, 1, voltage ? net : ground);
    spicesimulator->bindNode(circuit, spiceinstance, 2, voltage ? ground : net);
    info->node = net->number;
}

int GENERATOR::getparam(const char* keys, CIRCUIT* owner, double* out, double def)
{
    std::string list(keys);
    for (size_t start = 0; start <= list.size();) {
        size_t end = std::min(list.find(',', start), list.size());
        std::string key = list.substr(start, end - start);
        start = end + 1;
        const char* text = getproperty(key.c_str());
        if (!text || !*text)
            continue;
        double value = def;
        if (!novalue(text) && owner->evalproperty(key.c_str(), name, text, &value, def)) {
            *out = value;
            return 1;
        }
        warning("Value expected for property '%s' in '%s'", key.c_str(), name);
    }
    *out = def;
    return 0;
}

double GENERATOR::loaddc(CIRCUIT* owner)
{
    double value;
    getparam("DC,VALUE", owner, &value, 1);
    return value;
}

double GENERATOR::amplitude(CIRCUIT* owner)
{
    double value;
    if (getparam("VA,AMP", owner, &value, 1))
        return value;
    if (getparam("PEAK", owner, &value, 1))
        return value * 0.5;
    if (getparam("RMS", owner, &value, 1))
        return value * SQRT2;
    return 1;
}

std::vector<double> GENERATOR::loadsine(CIRCUIT* owner)
{
    std::vector<double> wave(5, 0.0);
    getparam("VO,OFFSET", owner, &wave[SINE_VO], 0);
    wave[SINE_VA] = amplitude(owner);
    double tstop;
    if (stoptime(owner, &tstop)) {
        double value;
        if (getparam("FREQ", owner, &value, 0))
            wave[SINE_FREQ] = value;
        else if (getparam("PER", owner, &value, 0))
            wave[SINE_FREQ] = 1 / value;
        else
            wave[SINE_FREQ] = 1 / tstop;
    }
    double phase;
    if (getparam("PHASE", owner, &phase, 0))
        // Without a frequency there is no period to shift by: the phase is left out.
        wave[SINE_TD] = wave[SINE_FREQ] != 0 ? -(phase / 360) / wave[SINE_FREQ] : 0;
    else
        getparam("TD,DELAY", owner, &wave[SINE_TD], 0);
    getparam("THETA,DAMPING", owner, &wave[SINE_THETA], 0);
    return wave;
}

std::vector<double> GENERATOR::loadpulse(CIRCUIT* owner)
{
    std::vector<double> wave(7, 0.0);
    getparam("V1,LOW", owner, &wave[PULSE_V1], 0);
    getparam("V2,HIGH", owner, &wave[PULSE_V2], 1);
    double tstop;
    double& period = wave[PULSE_PER];
    if (stoptime(owner, &tstop)) {
        double frequency;
        if (!getparam("PER", owner, &period, tstop) && getparam("FREQ", owner, &frequency, 0))
            period = 1 / frequency;
    }
    const char* width = getproperty("PW");
    if (width && strchr(width, '%'))
        wave[PULSE_PW] = getdefdbl(width, 50) * period / 100;
    else
        getparam("PW,WIDTH", owner, &wave[PULSE_PW], period * 0.5);
    getparam("TD", owner, &wave[PULSE_TD], 0);
    double edge = std::max(1e-12, wave[PULSE_PW] / 1000);
    getparam("TR,TRISE", owner, &wave[PULSE_TR], edge);
    getparam("TF,TFALL", owner, &wave[PULSE_TF], edge);
    return wave;
}

std::vector<double> GENERATOR::loadexp(CIRCUIT* owner)
{
    std::vector<double> wave(6, 0.0);
    getparam("V1,LOW", owner, &wave[0], 0);
    getparam("V2,HIGH", owner, &wave[1], 1);
    double tstop;
    if (stoptime(owner, &tstop)) {
        getparam("TD1", owner, &wave[2], 0);
        getparam("TAU1", owner, &wave[3], tstop / 10);
        getparam("TD2", owner, &wave[4], tstop * 0.5 + wave[2]);
        getparam("TAU2", owner, &wave[5], wave[3]);
    }
    return wave;
}

std::vector<double> GENERATOR::loadsffm(CIRCUIT* owner)
{
    std::vector<double> wave(5, 0.0);
    getparam("VO,OFFSET", owner, &wave[SFFM_VO], 0);
    wave[SFFM_VA] = amplitude(owner);
    double tstop;
    if (stoptime(owner, &tstop)) {
        getparam("FC,CARRIER", owner, &wave[SFFM_FC], 1 / tstop);
        getparam("FS,SIGNAL", owner, &wave[SFFM_FS], 1 / tstop);
        getparam("MDI,SPREAD", owner, &wave[SFFM_MDI], 1);
    }
    return wave;
}

std::vector<double> GENERATOR::loadpwl(CIRCUIT* owner)
{
    std::vector<std::pair<double, double>> points { { 0.0, 0.0 } };
    auto read = [&](const char* property, const char* text) {
        double value = 0;
        if (!novalue(text))
            owner->evalproperty(property, name, text, &value, 0);
        return value;
    };
    for (int i = 0; i < properties.count; ++i) {
        const char* key = static_cast<const char*>(properties.items[i]);
        const char* text = key + strlen(key) + 1;
        char letter = static_cast<char>(asciiupper(key[0]));
        if (strcasecmp(key, "VALUE") == 0 || (letter != 'V' && letter != 'I'))
            continue;
        double time = read(key, key + 1);
        double value = read(key, text);
        if (time == 0) {
            points.front().second = value;
            continue;
        }
        auto place = std::find_if(
            points.begin(), points.end(), [time](const auto& point) { return point.first >= time; });
        if (place != points.end() && place->first == time) {
            warning("Specified same time %s twice in %s", key, name);
            place->second = value;
            continue;
        }
        points.insert(place, { time, value });
    }
    std::vector<double> wave;
    wave.reserve(points.size() * 2);
    for (const auto& [time, value] : points) {
        wave.push_back(time);
        wave.push_back(value);
    }
    return wave;
}

void GENERATOR::initialise(CIRCUIT* owner, void* models)
{
    INSTANCE::initialise(owner, models);
    if (!spiceinstance || !owner)
        return;
    const IFdevice* device = row->device;
    IFvalue value {};
    getparam("DC", owner, &value.rValue, 0);
    setinstanceparm(spicesimulator, spice, spiceinstance, device, "dc", &value);

    std::vector<double> wave;
    switch (row->kind) {
    case KIND_DC:
        value.rValue = loaddc(owner);
        break;
    case KIND_SINE:
        wave = loadsine(owner);
        break;
    case KIND_PULSE:
        wave = loadpulse(owner);
        break;
    case KIND_EXP:
        wave = loadexp(owner);
        break;
    case KIND_SFFM:
        wave = loadsffm(owner);
        break;
    case KIND_PWL:
        wave = loadpwl(owner);
        break;
    default:
        return;
    }
    if (row->kind != KIND_DC) {
        value.v.numValue = static_cast<int32_t>(wave.size());
        value.v.vec.rVec = wave.data();
    }
    if (setinstanceparm(spicesimulator, spice, spiceinstance, device, row->valuekeyword, &value) != 0) {
        warning("Failed load generator value");
        return;
    }
    // Moving keeps the buffer the engine now points at.
    coefficients = std::move(wave);
}

void GENERATOR::setreference(const char* reference, IFcircuit* circuit)
{
    if (!reference || strcasecmp(reference, name) != 0 || !spiceinstance)
        return;
    const IFdevice* device = row->device;
    IFvalue value {};
    value.rValue = 1;
    setinstanceparm(spicesimulator, circuit, spiceinstance, device, "acmag", &value);
    value.rValue = 0;
    setinstanceparm(spicesimulator, circuit, spiceinstance, device, "acphase", &value);
    for (int i = 0; i < 2; ++i) {
        value.v.numValue = 1;
        value.v.vec.rVec = &distortion[i];
        setinstanceparm(
            spicesimulator, circuit, spiceinstance, device, i == 0 ? "distof1" : "distof2", &value);
    }
    message("%s selected as frequency reference", name);
}

void GENERATOR::limitsteps(double* tmax, double* minbreak)
{
    double step = NOLIMIT;
    double spacing = NOLIMIT;
    const std::vector<double>& wave = coefficients;
    switch (row->kind) {
    case KIND_SINE:
        if (wave.size() == 5)
            step = (1 / wave[SINE_FREQ]) / 30;
        break;
    case KIND_SFFM:
        if (wave.size() == 5)
            step = std::min(1 / wave[SFFM_FC], 1 / wave[SFFM_FS]) / 30;
        break;
    case KIND_PULSE:
        if (wave.size() == 7)
            spacing = 0.5 * std::min(wave[PULSE_TR], wave[PULSE_TF]);
        break;
    case KIND_PWL:
        for (size_t i = 2; i + 1 < wave.size(); i += 2)
            spacing = std::min(spacing, (wave[i] - wave[i - 2]) / 2);
        break;
    default:
        break;
    }
    lower(tmax, step);
    lower(minbreak, spacing);
}
