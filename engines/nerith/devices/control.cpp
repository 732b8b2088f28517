#include "engines/nerith/devices/control.h"

#include "engines/nerith/report.h"

#include <cstring>

namespace nerith {

int32_t sourcebranch(IFcircuit& ckt, IFinstance& source)
{
    const IFdevice& device = devicekinds()[static_cast<std::size_t>(source.type)]->description;
    for (int32_t i = 0; i < device.numInstanceParms; ++i) {
        const IFparm& parm = device.instanceParms[i];
        if (std::strcmp(parm.keyword, "branch") != 0 || !(parm.dataType & IF_ASK))
            continue;
        IFvalue value {};
        if (ckt.families[static_cast<std::size_t>(source.type)]->askinstance(ckt, source, parm.id, value) == 0
            && value.iValue > 0)
            return value.iValue;
    }
    return 0;
}

int controlbranch(
    IFcircuit& ckt, const char* what, const IFinstance& user, const std::string& name, int32_t* branch)
{
    if (name.empty())
        return fail(E_BADDEVICE, "%s %s names no controlling source", what, user.name);
    IFinstance* source = ckt.instancenames.find(name);
    if (!source)
        return fail(E_BADDEVICE, "%s %s: its controlling source %s does not exist", what, user.name,
            name.c_str());
    if (int32_t found = sourcebranch(ckt, *source)) {
        *branch = found;
        return 0;
    }
    return fail(E_BADDEVICE,
        "%s %s: its controlling device %s is no voltage source, so it has no current to read", what,
        user.name, name.c_str());
}

} // namespace nerith
