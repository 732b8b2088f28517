#include "simulator/models/parts/passives.h"

#include "core/text/ascii.h"
#include "simulator/kernel/circuit.h"

#include <cmath>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

// The resistance a leakage resistor keeps once the part has no leakage: it conducts nothing the
// solution sees.
constexpr double NOLEAKAGE = 1e30;

constexpr char MUTUALPREFIX[] = "MUTUAL_";
constexpr size_t MUTUALPREFIXLENGTH = sizeof MUTUALPREFIX - 1;

// The row of the couplings of inductors; no netlist part names it.
PRIMITIVE mutualrow
    = { "MUTUAL", "Mutual", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };

} // namespace

void CAPACITOR::initialise(CIRCUIT* owner, void* models)
{
    SPICECPT::initialise(owner, models);
    if (!spiceinstance || !circuit)
        return;
    const double resistance = leakageresistance();
    if (resistance > 0 && std::isfinite(resistance))
        leakage.set(spice, spiceinstance, name, resistance);
    else if (leakage.exists())
        leakage.set(spice, spiceinstance, name, NOLEAKAGE);
}

double CAPACITOR::leakageresistance() const
{
    double value = 0;
    if (circuit->evalproperty("RLEAK", name, getproperty("RLEAK"), &value, 0))
        return value;
    if (circuit->evalproperty("GLEAK", name, getproperty("GLEAK"), &value, 0))
        return 1 / value;
    if (circuit->getoption("GLEAK", &value))
        return 1 / value;
    return 0;
}

void INDUCTOR::bindmodel(INPtables* table, IFcircuit* circuit)
{
    SPICECPT::bindmodel(table, circuit);
    const char* colon = strrchr(name, ':');
    if (!colon || !asciialpha(colon[1]))
        return;
    const size_t letter = static_cast<size_t>(colon + 1 - name);
    for (int i = 0; i < properties.count; ++i) {
        const char* key = static_cast<const char*>(properties.items[i]);
        if (strncasecmp(key, MUTUALPREFIX, MUTUALPREFIXLENGTH) != 0 || !asciialpha(key[MUTUALPREFIXLENGTH]))
            continue;
        const char other = key[MUTUALPREFIXLENGTH];
        std::string partner = name;
        partner[letter] = other;
        const std::string coupling = name + std::string(1, other);
        PROPLIST list(0, 1);
        list.add("INDUCTOR1", name);
        list.add("INDUCTOR2", partner.c_str());
        list.add("K", key + strlen(key) + 1);
        auto part = std::make_unique<SPICECPT>(coupling.c_str(), &mutualrow, nullptr, &list);
        part->bindmodel(table, circuit);
        couplings.push_back(std::move(part));
    }
}

void INDUCTOR::initialise(CIRCUIT* owner, void* models)
{
    SPICECPT::initialise(owner, models);
    for (const auto& coupling : couplings)
        coupling->initialise(owner, models);
}
