// A model library for the tests, built several times with different entries (see CMakeLists.txt).
// Its models answer pin names by their first letter (A analog, D digital, X dual, anything else
// neither) and note every call in a text the tests read through the entry "testcalls". A model
// type "NULL" is refused.
#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/models/extmodel/modelentries.h"

#include <cstring>
#include <deque>
#include <string>

namespace {

std::string& noted()
{
    static std::string text;
    return text;
}

void note(const std::string& call)
{
    noted() += call + ";";
}

int side(const char* pin, char own)
{
    if (!pin)
        return 1;
    return pin[0] == own ? 1 : pin[0] == 'X' ? -1 : 0;
}

class Model final : public IMIXEDMODEL {
public:
    explicit Model(std::string kind)
        : kind(std::move(kind))
    {
    }
    int analogpin(const char* pin) override { return side(pin, 'A'); }
    void bindspice(IINSTANCE* instance, ISPICECKT*) override
    {
        note(kind + " bindspice " + instance->getname());
    }
    void runmode(int32_t mode) override { note(kind + " runmode " + std::to_string(mode)); }
    void setstate(double, int32_t data) override { note(kind + " setstate " + std::to_string(data)); }
    int32_t getstate(double, ACTIVEEVENT* record) override
    {
        note(kind + " getstate");
        record->kind = ACTIVEEVENT::KIND_VALUE;
        record->value = 1.5;
        return 1;
    }
    void loaddc(double, uint32_t, const double*, double*) override { }
    void loadac(double, double*, double*) override { }
    void limitstep(double, double*) override { }
    void acceptstep(double, const double*) override { }
    int32_t spiceevent(intptr_t) override { return 0; }
    int digitalpin(const char* pin) override { return side(pin, 'D'); }
    void bindpallex(IINSTANCE* instance, IPALLEXCKT*) override
    {
        note(kind + " bindpallex " + instance->getname());
    }
    void simulate(int64_t, uint32_t) override { }
    void callback(int64_t, intptr_t) override { }
    int32_t pallexevent(intptr_t) override { return 0; }

    std::string kind;
};

[[maybe_unused]] Model* make(const char* kind, const char* type)
{
    note(std::string("create") + kind + " " + type);
    if (std::strcmp(type, "NULL") == 0)
        return nullptr;
#ifdef FAULT
    volatile int* nowhere = nullptr;
    *nowhere = 1;
#endif
#ifdef DELETES
    return new Model(kind);
#else
    // Nobody deletes the models of a library without delete entries: it keeps them itself.
    static std::deque<Model> kept;
    return &kept.emplace_back(kind);
#endif
}

[[maybe_unused]] void remove(const char* kind, void* model)
{
    note(std::string("delete") + kind + " " + static_cast<Model*>(model)->kind);
    delete static_cast<Model*>(model);
}

} // namespace

extern "C" {

const char* testcalls()
{
    return noted().c_str();
}

#ifdef MIXED
IMIXEDMODEL* createmixedmodel(const char* type, void*)
{
    return make("mixed", type);
}
#endif
#ifdef SPICE
ISPICEMODEL* createspicemodel(const char* type, void*)
{
    return make("spice", type);
}
#endif
#ifdef PALLEX
IPALLEXMODEL* createpallexmodel(const char* type, void*)
{
    return make("pallex", type);
}
#endif
#ifdef DELETES
void deletemixedmodel(IMIXEDMODEL* model)
{
    remove("mixed", static_cast<Model*>(model));
}
void deletespicemodel(ISPICEMODEL* model)
{
    remove("spice", static_cast<Model*>(model));
}
void deletepallexmodel(IPALLEXMODEL* model)
{
    remove("pallex", static_cast<Model*>(model));
}
#endif
#ifdef SCRIPTS
void loadprogram(IINSTANCE* instance, const char* script)
{
    note(std::string("loadprogram ") + instance->getname() + " " + instance->getstrval("SCRIPT", "-") + ": "
        + script);
}
#endif
}
