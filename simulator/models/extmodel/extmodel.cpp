#include "simulator/models/extmodel/extmodel.h"

#include "core/files/pathopen.h"
#include "core/files/paths.h"
#include "core/text/values.h"
#include "engines/nerith/nerith.h"
#include "engines/pallex/pallex.h"
#include "platform/win/modules.h"
#include "platform/win/winerror.h"
#include "simulator/kernel/activemodels.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/extmodel/modelentries.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

// Libraries of an earlier generation of models, which still load.
constexpr const char* OBSOLETE[] = { "DIGMODEL", "ANAMODEL" };

// The help topic that explains the model library entries.
constexpr int32_t ENTRIESTOPIC = 0x3EA;

// The entry's address as its function type.
template <class FUNCTION> FUNCTION* function(void* address)
{
    return reinterpret_cast<FUNCTION*>(address);
}

} // namespace

EXTMODEL::EXTMODEL(const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model,
    const PROPLIST* properties, const char* library)
    : INSTANCE(name, row, model, properties)
{
    uint32_t id = 0;
    if (lookupactivemodel(getproperty("ACTIVE"), &activemodel, &id) == ACTIVEMODEL::UNKNOWN)
        error("The ACTIVE property names the model object %08X, which the host has not registered.", id);
    // A fatal message of the library's code leaves the part unmade: what it got goes back first.
    try {
        load(library);
        createmodels(type ? type : "");
    } catch (...) {
        release();
        throw;
    }
}

EXTMODEL::~EXTMODEL()
{
    release();
}

void EXTMODEL::load(const char* library)
{
    char name[PATHBUFFER];
    addext(name, library ? library : "", "DLL");
    file = name;
    char stem[PATHBUFFER];
    filestem(stem, name);
    for (const char* obsolete : OBSOLETE) {
        if (strcasecmp(stem, obsolete) == 0)
            warning("The model library %s is obsolete: the device must be replaced.", name);
    }

    // The library lies on disk as NAME.so.
    char disk[PATHBUFFER];
    addext(disk, name, "so");
    const char* folders = std::getenv("MODELS");
    std::string list = folders ? folders : "";
    bool found = false;
    for (size_t start = 0; start <= list.size() && !found;) {
        size_t end = list.find(';', start);
        std::string folder = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? list.size() + 1 : end + 1;
        char candidate[PATHBUFFER];
        if (folder.empty() || !*addfilename(candidate, folder.c_str(), disk) || !fileexists(candidate))
            continue;
        found = true;
        module = LoadLibraryA(candidate);
    }
    if (!found)
        module = LoadLibraryA(name);
    if (module)
        return;
    // A file that is there but does not load: the loader says why.
    DWORD code = GetLastError();
    if (found)
        message("%s", moduleloaderror());
    fatal("External model DLL \"%s\" not found. GLE=0x%08lX.", name, static_cast<unsigned long>(code));
}

void* EXTMODEL::entry(const char* name) const
{
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

void EXTMODEL::createmodels(const char* type)
{
    if (activemodel) {
        analog = activemodel->getspicemodel(type);
        digital = activemodel->getpallexmodel(type);
        if (!analog && !digital)
            error("active model did not create electrical model for primitive type '%s'.", type);
        return;
    }
    auto* createmixed = function<decltype(createmixedmodel)>(entry("createmixedmodel"));
    auto* createspice = function<decltype(createspicemodel)>(entry("createspicemodel"));
    auto* createpallex = function<decltype(createpallexmodel)>(entry("createpallexmodel"));
    // The kinds of model the library was asked for and refused.
    std::vector<const char*> refused;
    if (createmixed) {
        mixed = createmixed(type, nullptr);
        if (mixed) {
            analog = mixed;
            digital = mixed;
        } else {
            refused.push_back("MIXED");
        }
    } else {
        if (createspice && !(analog = createspice(type, nullptr)))
            refused.push_back("SPICE");
        if (createpallex && !(digital = createpallex(type, nullptr)))
            refused.push_back("PALLEX");
        if (!createspice && !createpallex) {
            warning("Batch mode model creation function(s) not found in %s.", file.c_str());
            help("WUNO.HLP", ENTRIESTOPIC);
        }
    }
    if (!analog && !digital) {
        for (const char* kind : refused)
            error("%s failed to create %s model for primitive type '%s'.", file.c_str(), kind, type);
    }
}

void EXTMODEL::release()
{
    if (module && !activemodel) {
        if (mixed) {
            if (auto* remove = function<decltype(deletemixedmodel)>(entry("deletemixedmodel")))
                remove(mixed);
            else
                warning("Function 'deletemixedmodel' not found.");
        } else {
            if (analog) {
                if (auto* remove = function<decltype(deletespicemodel)>(entry("deletespicemodel")))
                    remove(analog);
                else
                    warning("Function 'deletespicemodel' not found.");
            }
            if (digital) {
                if (auto* remove = function<decltype(deletepallexmodel)>(entry("deletepallexmodel")))
                    remove(digital);
                else
                    warning("Function 'deletepallexmodel' not found.");
            }
        }
    }
    mixed = nullptr;
    analog = nullptr;
    digital = nullptr;
    if (module)
        FreeLibrary(module);
    module = nullptr;
}

int EXTMODEL::isanalogpin(SDF_PIN* pin)
{
    if (!analog)
        return 0;
    return !pin || analog->analogpin(pin->name) > 0;
}

int EXTMODEL::isdigitalpin(SDF_PIN* pin)
{
    if (!digital)
        return 0;
    return !pin || digital->digitalpin(pin->name) > 0;
}

int EXTMODEL::isdualpin(SDF_PIN* pin)
{
    if (!pin || !analog || !digital)
        return 0;
    return analog->analogpin(pin->name) < 0 || digital->digitalpin(pin->name) < 0;
}

void EXTMODEL::bindmodel(INPtables*, IFcircuit* circuit)
{
    if (analog && analogpins.count > 0)
        bindanalog(circuit);
    if ((digital && digitalpins.count > 0) || alwaysdigital())
        binddigital();
}

void EXTMODEL::bindanalog(IFcircuit* circuit)
{
    spice = circuit;
    if (!circuit || !spicesimulator)
        return;
    const char* modelname = getproperty("MODDLL");
    if (!modelname)
        modelname = file.c_str();
    IFuid uid = const_cast<char*>(modelname);
    int32_t type = row->spiceindex;
    IFmodel* spicemodel = nullptr;
    if (spicesimulator->findModel(circuit, &type, &spicemodel, uid) != 0 || !spicemodel) {
        spicesimulator->newModel(circuit, row->spiceindex, &spicemodel, uid);
        IFvalue value {};
        value.pValue = spicecircuit;
        spicesimulator->setModelParm(circuit, spicemodel, OBJITF_CIRCUIT, &value, nullptr);
        DEBUG_BUILD.trace("Created EXTMODEL %s", modelname);
    }
    if (spicesimulator->newInstance(circuit, spicemodel, &spiceinstance, name) != 0 || !spiceinstance)
        return;
    IFvalue value {};
    value.pValue = static_cast<IINSTANCE*>(this);
    spicesimulator->setInstanceParm(circuit, spiceinstance, OBJITF_INSTANCE, &value, nullptr);
    value.pValue = analog;
    spicesimulator->setInstanceParm(circuit, spiceinstance, OBJITF_MODEL, &value, nullptr);
    DEBUG_BUILD.trace("Created SPICE instance for %s", name);
    for (PININFO* info : analogpins) {
        SDF_PIN* pin = info->pin;
        uint32_t flags = pin->net ? netflags(pin->net) : 0;
        if (!(flags & (NET_ANALOG | NET_POWER))) {
            TRACE_NETTYPES.trace(
                "No SPICE node available for pin %s - net {N:%s} is digital only (flags=%02X)", pin->name,
                pin->net ? pin->net : "", flags);
            continue;
        }
        IFnode* node = nullptr;
        if (spicesimulator->findNode(circuit, &node, pin->net) == 0 && node)
            info->node = node->number;
        else
            warning("SPICE failed to connect pin %s!", pin->name);
    }
}

void EXTMODEL::binddigital()
{
    if (!pallex_create(this, "EXTMODEL", &properties, digital, &pallexinstance))
        return;
    DEBUG_BUILD.trace("Created PALLEX instance for %s", name);
    for (PININFO* info : digitalpins) {
        SDF_PIN* pin = info->pin;
        uint32_t flags = pin->net ? netflags(pin->net) : 0;
        if (!(flags & (NET_DIGITAL | NET_POWER))) {
            TRACE_NETTYPES.trace(
                "No PALLEX pin available for pin %s - net {N:%s} is analogue only (flags=%02X)", pin->name,
                pin->net ? pin->net : "", flags);
            continue;
        }
        if (!pallex_connect(pallexinstance, pin->name, pin->type, pin->net, &info->digital))
            warning("PALLEX failed to connect pin %s!", pin->name);
    }
}

void EXTMODEL::initialise(CIRCUIT* owner, void* argument)
{
    INSTANCE::initialise(owner, argument);
    COMPONENT* holder = owner ? owner->getactive(this) : nullptr;
    eid = holder ? static_cast<uint32_t>(getdefhex(holder->getproperty("EID"), -1)) : 0xFFFFFFFF;
    event.sheet = holder ? static_cast<uint32_t>(getdefhex(holder->getproperty("SHEETID"), -1)) : 0xFFFFFFFF;
    event.first = holder ? static_cast<uint32_t>(getdefhex(holder->getproperty("ACTIVE"), 0)) : 0;
    event.second = static_cast<uint32_t>(getdefint(getproperty("ELEMENT"), 0));
}

void EXTMODEL::setrunmode(int32_t mode)
{
    runmode = mode;
    if (analog)
        analog->runmode(mode);
    else if (digital)
        digital->runmode(mode);
}

void EXTMODEL::userevent(int32_t id, double time, int32_t data)
{
    if (static_cast<uint32_t>(id) != eid)
        return;
    if (analog) {
        analog->setstate(time, data);
        // The model may change its stamps from here: the engine must not step across the change.
        if (spicecircuit)
            spicecircuit->setbreak(time);
    } else if (digital) {
        digital->setstate(time, data);
    }
}

int EXTMODEL::activeevents(double time, DPA* list)
{
    event.kind = -1;
    int32_t flags = analog ? analog->getstate(time, &event) : digital ? digital->getstate(time, &event) : 0;
    bool paused = runmode == 2;
    if (event.kind != -1 && (((flags & 1) && !paused) || ((flags & 2) && paused)))
        list->add(&event, -1);
    return flags != 0;
}

SCRIPTMODEL::SCRIPTMODEL(
    const char* name, const SDF_SCRIPT* block, const SDF_MODEL* model, const PROPLIST* properties)
    : EXTMODEL(name, &ROW_SCRIPT, block ? block->name : "", model, properties, SCRIPTENGINE)
    , script(block)
{
}

const char* SCRIPTMODEL::getstrval(const char* property, const char* def)
{
    if (script && property && strcasecmp(property, "SCRIPT") == 0)
        return script->name;
    return EXTMODEL::getstrval(property, def);
}
