#include "simulator/models/parts/mosfet.h"

#include "core/text/ascii.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/netlist.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The rows of levels 1 to 7 follow the generic row in this order.
constexpr int LEVELS = 7;

// The level a LEVEL text gives (a decimal integer); `level` when the text is absent.
int readlevel(const char* text, int level)
{
    return text ? static_cast<int>(strtol(text, nullptr, 10)) : level;
}

} // namespace

void MOSFET::bindmodel(INPtables* table, IFcircuit* circuit)
{
    if (row && !row->spicetype && circuit && spicesimulator) {
        int level = 1;
        if (const char* text = getstrval("SPICEMODEL", nullptr)) {
            // SPICECPT's binding reports a model the parser does not have.
            std::string key(text, strcspn(text, ","));
            for (char& c : key)
                c = static_cast<char>(asciilower(c));
            INPmodel* parsed = nullptr;
            char* problem = INPgetMod(circuit, key.data(), &parsed, table);
            if (!problem && parsed && parsed->card) {
                if (char* warning = INPfindLev(parsed->card->text, &level)) {
                    this->warning("[SPICE] - %s", warning);
                    INPfree(warning);
                }
            }
            INPfree(problem);
        }
        if (model)
            level = readlevel(model->properties["LEVEL"], level);
        level = readlevel(getstrval("LEVEL", nullptr), level);
        if (level < 1 || level > LEVELS) {
            warning("Invalid level %d specified for MOSFET %s", level, name);
            level = 1;
        }
        PRIMITIVE* chosen = row + level;
        int32_t index;
        if (!chosen->device && !findspicedevice(chosen->spicetype, &index)) {
            error("The SPICE engine has no device type %s for MOSFET %s.", chosen->spicetype, name);
            return;
        }
        lookupspicetype(chosen);
        row = chosen;
    }
    SPICECPT::bindmodel(table, circuit);
}

void MOSFET::bindpins(IFcircuit* circuit)
{
    SPICECPT::bindpins(circuit);
    if (analogpins.count != 3 || !spiceinstance)
        return;
    IFnode* source = nullptr;
    IFuid identifier = nullptr;
    if (spicesimulator->instToNode(circuit, spiceinstance, 3, &source, &identifier) != 0 || !source
        || spicesimulator->bindNode(circuit, spiceinstance, 4, source) != 0)
        warning("Failed to tie the bulk of %s to its source.", name);
}
