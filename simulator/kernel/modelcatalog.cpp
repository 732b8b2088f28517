#include "simulator/kernel/modelcatalog.h"

#include "simulator/kernel/primitives.h"

#include <map>

namespace {

// The makers of one signature by kind.
template <class MAKER> std::map<int32_t, MAKER>& makers()
{
    static std::map<int32_t, MAKER> table;
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
    registermodels();
}

// The maker of the kind replaced by `maker`; the one it replaces.
template <class MAKER> MAKER replace(int32_t kind, MAKER maker)
{
    fill();
    MAKER& slot = makers<MAKER>()[kind];
    MAKER previous = slot;
    slot = maker;
    return previous;
}

// The maker registered for the kind; null when none is.
template <class MAKER> MAKER makerof(int32_t kind)
{
    fill();
    auto found = makers<MAKER>().find(kind);
    return found != makers<MAKER>().end() ? found->second : nullptr;
}

} // namespace

MODELMAKER registermodel(int32_t kind, MODELMAKER maker)
{
    return replace(kind, maker);
}

COMPONENT* makemodel(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties)
{
    MODELMAKER maker = makerof<MODELMAKER>(row->kind);
    return maker ? maker(name, row, model, properties) : nullptr;
}

TYPEDMAKER registertypedmodel(int32_t kind, TYPEDMAKER maker)
{
    return replace(kind, maker);
}

COMPONENT* maketypedmodel(
    const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model, const PROPLIST* properties)
{
    TYPEDMAKER maker = makerof<TYPEDMAKER>(row->kind);
    return maker ? maker(name, row, type, model, properties) : nullptr;
}

INTERFACEMAKER registerinterfacemodel(int32_t kind, INTERFACEMAKER maker)
{
    return replace(kind, maker);
}

COMPONENT* makeinterfacemodel(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties, PXlink* link)
{
    INTERFACEMAKER maker = makerof<INTERFACEMAKER>(row->kind);
    return maker ? maker(name, row, model, properties, link) : nullptr;
}
