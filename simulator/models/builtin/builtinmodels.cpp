#include "simulator/models/builtin/builtinmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/builtin/adc.h"
#include "simulator/models/builtin/controlledswitch.h"
#include "simulator/models/builtin/dac.h"
#include "simulator/models/builtin/dswitch.h"
#include "simulator/models/builtin/filegen.h"
#include "simulator/models/builtin/rtlogic.h"
#include "simulator/models/builtin/rtmeter.h"
#include "simulator/models/builtin/rtswitch.h"
#include "simulator/models/builtin/rtwatch.h"
#include "simulator/models/builtin/rtwire.h"
#include "simulator/models/builtin/supply.h"
#include "simulator/models/builtin/tape.h"
#include "simulator/models/builtin/vprobe.h"
#include "simulator/models/builtin/wavegen.h"
#include "simulator/models/parts/iprobe.h"

namespace {

// The maker of a model class whose constructor takes what tells its variants apart.
template <class CLASS, bool... VARIANT>
COMPONENT* make(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list)
{
    return new CLASS(VARIANT..., name, row, model, list);
}

// The maker of an interface object of a mixed net, with the digital engine's link of it.
template <class CLASS>
COMPONENT* makeinterface(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list, PXlink* link)
{
    return new CLASS(name, row, model, list, link);
}

// An interface object made from a part of the netlist links itself.
template <class CLASS>
COMPONENT* makelinkless(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list)
{
    return new CLASS(name, row, model, list, nullptr);
}

} // namespace

void registerbuiltinmodels()
{
    registermodel(
        KIND_VPROBE, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new VPROBE(name, row, model, list));
        });
    registermodel(
        KIND_IPROBE, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new IPROBE(name, row, model, list));
        });
    registermodel(KIND_BATTERY, make<BATTERY>);
    registermodel(KIND_PWRITF, make<PWRITF>);
    registermodel(KIND_ADC, makelinkless<ADC>);
    registermodel(KIND_DAC, makelinkless<DAC>);
    registerinterfacemodel(KIND_ADC, makeinterface<ADC>);
    registerinterfacemodel(KIND_DAC, makeinterface<DAC>);
    registermodel(KIND_VSWITCH, make<VSWITCH>);
    registermodel(KIND_CSWITCH, make<CSWITCH>);
    registermodel(KIND_DSWITCH, make<DSWITCH>);
    registermodel(KIND_FILEGEN, make<FILEGEN>);
    registermodel(KIND_WAVEGEN, make<WAVEGEN>);
    registermodel(KIND_TAPE, make<TAPE>);
    registermodel(KIND_RTSWITCH, make<RTSWITCH>);
    registermodel(KIND_RTVPROBE, make<RTMETER, false>);
    registermodel(KIND_RTIPROBE, make<RTMETER, true>);
    registermodel(KIND_RTVBREAK, make<RTWATCH, false, false>);
    registermodel(KIND_RTIBREAK, make<RTWATCH, true, false>);
    registermodel(KIND_RTVCHECK, make<RTWATCH, false, true>);
    registermodel(KIND_RTICHECK, make<RTWATCH, true, true>);
    registermodel(KIND_RTPPROBE, make<RTPPROBE>);
    registermodel(KIND_RTWPROBE, make<RTWPROBE>);
    registermodel(KIND_RTDPROBE, make<RTDPROBE>);
    registermodel(KIND_RTDBREAK, make<RTDBREAK>);
}
