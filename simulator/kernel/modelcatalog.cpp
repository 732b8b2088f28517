#include "simulator/kernel/modelcatalog.h"

#include "simulator/kernel/primitives.h"

#include <map>

namespace {

std::map<int32_t, MODELMAKER>& makers()
{
    static std::map<int32_t, MODELMAKER> table;
    return table;
}

std::map<int32_t, TYPEDMAKER>& typedmakers()
{
    static std::map<int32_t, TYPEDMAKER> table;
    return table;
}

// The catalog is filled by explicit calls on its first use, not by static registration objects:
// the order of static initialisers across files is unspecified, and a static library drops the
// objects nobody references. The kernel runs on its caller's thread only, so a flag suffices; it
// is set before the calls so that their registrations do not start the filling again.
void fill()
{
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    registerstandins();
    registermodels();
}

} // namespace

MODELMAKER registermodel(int32_t kind, MODELMAKER maker)
{
    fill();
    MODELMAKER& slot = makers()[kind];
    MODELMAKER previous = slot;
    slot = maker;
    return previous;
}

COMPONENT* makemodel(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties)
{
    fill();
    auto found = makers().find(row->kind);
    return found != makers().end() && found->second ? found->second(name, row, model, properties) : nullptr;
}

TYPEDMAKER registertypedmodel(int32_t kind, TYPEDMAKER maker)
{
    fill();
    TYPEDMAKER& slot = typedmakers()[kind];
    TYPEDMAKER previous = slot;
    slot = maker;
    return previous;
}

COMPONENT* maketypedmodel(
    const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model, const PROPLIST* properties)
{
    fill();
    auto found = typedmakers().find(row->kind);
    return found != typedmakers().end() && found->second ? found->second(name, row, type, model, properties)
                                                         : nullptr;
}
