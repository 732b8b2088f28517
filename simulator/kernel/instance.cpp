#include "simulator/kernel/instance.h"

#include "core/text/values.h"
#include "core/windows/crashreport.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/simlog.h"

#include <cstdio>

int NETINFO::isanalog()
{
    return netflags(net) & NET_ANALOG;
}

int NETINFO::isdigital()
{
    return (netflags(net) & NET_DIGITAL) != 0;
}

const char* NETINFO::getstrval(const char* property, const char* def)
{
    const char* text = netproperties(net)[property];
    return text ? text : def;
}

double NETINFO::getnumval(const char* property, double def)
{
    return getdefdbl(netproperties(net)[property], def);
}

INSTANCE::~INSTANCE()
{
    analogpins.zap();
    digitalpins.zap();
    nets.zap();
}

SDF_PIN* INSTANCE::addpin(const char* pinname, SDF_PINTYPE type, char* net)
{
    SDF_PIN* pin = COMPONENT::addpin(pinname, type, net);
    bool dual = isdualpin(pin);
    if (isanalogpin(pin) || dual)
        analogpins.add(new PININFO { pin });
    if (isdigitalpin(pin) || dual)
        digitalpins.add(new PININFO { pin });
    return pin;
}

int32_t INSTANCE::getinitval(const char* property, int32_t def)
{
    return ::getinitval(this, property, def);
}

void INSTANCE::sourcelines()
{
    simlog()->source(name, static_cast<int32_t>(geteid()));
}

int INSTANCE::logmessage(int cls, const char* format, va_list args)
{
    char text[LOGBUFFER];
    vsnprintf(text, sizeof text, format ? format : "", args);
    int logged = simlog()->write(cls, text);
    if (logged)
        sourcelines();
    if (cls == 'F')
        throwfatal(crashreport, 1, "FATAL");
    return logged;
}

int INSTANCE::message(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = logmessage('I', format, args);
    va_end(args);
    return logged;
}

int INSTANCE::warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = logmessage('W', format, args);
    va_end(args);
    return logged;
}

int INSTANCE::error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = logmessage('E', format, args);
    va_end(args);
    return logged;
}

void INSTANCE::fatal(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    logmessage('F', format, args);
    va_end(args);
    throwfatal(crashreport, 1, "FATAL");
}

void INSTANCE::help(const char* file, int32_t topic)
{
    simlog()->help(topic, file);
}

void INSTANCE::registertrace(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count, ITRACEOWNER* owner)
{
    simlog()->registerchannels(table, records, count, &properties, owner ? owner : static_cast<ITRACEOWNER*>(this));
}

int INSTANCE::trace(TRACEFLAG* channel, int cls, const char* format, va_list args)
{
    int logged = simlog()->trace(channel, cls, format, args);
    if (logged)
        sourcelines();
    return logged;
}

INETINFO* INSTANCE::getpinnet(const char* pinname)
{
    SDF_PIN* pin = findpin(pinname);
    if (!pin || !pin->net)
        return nullptr;
    NETINFO* info = nets[pin->net];
    if (!info) {
        info = new NETINFO(pin->net);
        nets.add(info);
    }
    return info;
}
