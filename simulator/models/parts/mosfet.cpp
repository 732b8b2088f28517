#include "simulator/models/parts/mosfet.h"

#include "core/text/ascii.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int32_t LEVELS = 7;

constexpr int32_t SOURCE = 3;
constexpr int32_t BULK = 4;

// A LEVEL property's decimal integer replaces the level; an absent one leaves it.
void readlevel(const PROPLIST& list, int32_t* level)
{
    if (const char* text = list["LEVEL"])
        *level = static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

} // namespace

int32_t MOSFET::level(INPtables* table, IFcircuit* circuit)
{
    int32_t found = 1;
    if (const char* text = getstrval("SPICEMODEL", nullptr)) {
        std::string key(text, strcspn(text, ","));
        for (char& c : key)
            c = static_cast<char>(asciilower(c));
        INPmodel* parsed = nullptr;
        if (char* error = INPgetMod(circuit, key.data(), &parsed, table)) {
            warning("[SPICE] - %s", error);
            INPfree(error);
        } else if (parsed && parsed->card && parsed->card->text) {
            int read = 1;
            if (char* problem = INPfindLev(parsed->card->text, &read)) {
                warning("[SPICE] - %s", problem);
                INPfree(problem);
            }
            found = read;
        }
    }
    if (model)
        readlevel(model->properties, &found);
    readlevel(properties, &found);
    if (found < 1 || found > LEVELS) {
        warning("Invalid level %d specified for MOSFET %s", found, name);
        found = 1;
    }
    return found;
}

void MOSFET::bindmodel(INPtables* table, IFcircuit* circuit)
{
    if (row && !row->spicetype && circuit && spicesimulator) {
        row += level(table, circuit);
        lookupspicetype(row);
    }
    SPICECPT::bindmodel(table, circuit);
}

void MOSFET::bindpins(IFcircuit* circuit)
{
    SPICECPT::bindpins(circuit);
    if (pins.count != 3 || !spiceinstance)
        return;
    IFnode* source = nullptr;
    if (spicesimulator->instToNode(circuit, spiceinstance, SOURCE, &source, nullptr) == 0 && source)
        spicesimulator->bindNode(circuit, spiceinstance, BULK, source);
}
