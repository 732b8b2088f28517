#include "simulator/kernel/spicesources.h"

#include "simulator/kernel/circuit.h"
#include "simulator/kernel/modellibrary.h"

#include <strings.h>

CIRCUITSOURCES::CIRCUITSOURCES(CIRCUIT& circuit, MLIBMANAGER* libraries)
    : circuit(circuit)
    , libraries(libraries)
{
}

std::vector<char*> CIRCUITSOURCES::spicescripts()
{
    std::vector<char*> texts;
    for (SDF_SCRIPT* script : circuit.scripts) {
        if (strcasecmp(script->name, "SPICE") == 0)
            texts.push_back(script->text);
    }
    return texts;
}

int32_t CIRCUITSOURCES::partcount()
{
    return circuit.parts.count;
}

const char* CIRCUITSOURCES::partproperty(int32_t part, const char* key)
{
    return static_cast<COMPONENT*>(circuit.parts.begin()[part])->getproperty(key);
}

void CIRCUITSOURCES::expandpart(int32_t part, SPICEDECK* deck)
{
    static_cast<COMPONENT*>(circuit.parts.begin()[part])->expand(deck);
}

char* CIRCUITSOURCES::findmodel(const char* model, const char* library)
{
    return libraries ? libraries->findmodel(model, library) : nullptr;
}
