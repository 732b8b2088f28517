#include "simulator/kernel/component.h"

#include "core/text/format.h"
#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "core/text/values.h"
#include "engines/contract/instance.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "platform/hulvane/results/partition.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

constexpr unsigned HEADERCOLOUR = 0x400000;
constexpr unsigned LABELCOLOUR = 0;
constexpr unsigned VALUECOLOUR = 0x4000;
constexpr unsigned CONTENTIONCOLOUR = 0xFF;

bool readsnet(SDF_PINTYPE type)
{
    return type == PIN_PS || type == PIN_IP || type == PIN_IO;
}

bool drivesnet(SDF_PINTYPE type)
{
    return type == PIN_PS || type == PIN_OP || type == PIN_IO || type == PIN_TS || type == PIN_PU || type == PIN_PD;
}

const char* statename(STATE state)
{
    switch (state & 0x1F) {
    case STATE_FLT:
        return "FLT";
    case STATE_WUD:
        return "WUD";
    case STATE_WLO:
        return "WLO";
    case STATE_WHI:
        return "WHI";
    case STATE_SUD:
        return "SUD";
    case STATE_SLO:
        return "SLO";
    case STATE_SHI:
        return "SHI";
    case STATE_ILO:
        return "ILO";
    case STATE_IHI:
        return "IHI";
    case STATE_PLO:
        return "PLO";
    case STATE_PHI:
        return "PHI";
    default:
        return "UND";
    }
}

// The voltage of a net in the solution; false when the net is not among the nodes.
bool netvoltage(const char* net, const DPA* nodes, const double* values, double* voltage)
{
    if (!net || !nodes)
        return false;
    for (int i = 0; i < nodes->count; ++i) {
        const char* node = static_cast<const char*>(nodes->items[i]);
        if (node && strcmp(node, net) == 0) {
            *voltage = i == 0 || !values ? 0.0 : values[i];
            return true;
        }
    }
    return false;
}

}  // namespace

COMPONENT::COMPONENT(const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model, const PROPLIST* list)
    : SDF_COMPONENT(partname, nullptr)
    , row(primitive)
{
    if (model) {
        properties.grow(model->properties.count + (list ? list->count : 0));
        properties.merge(model->properties);
    }
    if (list)
        properties.merge(*list);
    lookupspicetype(row);
}

COMPONENT::~COMPONENT() = default;

int COMPONENT::pinnumber(char letter) const
{
    int number = 1;
    for (const char* p = row ? row->pinorder : nullptr; p && *p; ++p) {
        if (*p == ';') {
            number = 1;
            continue;
        }
        if (*p == letter)
            return number;
        ++number;
    }
    return 0;
}

SDF_PIN* COMPONENT::addpin(const char* pinname, SDF_PINTYPE type, char* net)
{
    char mapped[PINNAMESIZE];
    const char* name = pinname;
    if (row && row->pinorder && *row->pinorder && pinname[0] && !pinname[1]) {
        if (int number = pinnumber(static_cast<char>(toupper(static_cast<unsigned char>(pinname[0]))))) {
            snprintf(mapped, sizeof mapped, "%d", number);
            name = mapped;
        }
    }
    SDF_PIN* pin = SDF_COMPONENT::addpin(name, type, net);
    strnzcpy(pin->netlistname, pinname, PINNAMESIZE - 1);
    classifypin(pin);
    return pin;
}

void COMPONENT::classifypin(SDF_PIN* pin)
{
    uint32_t bits = NET_USED;
    if (isanalogpin(pin)) {
        bits |= NET_ANALOG;
    } else if (isdigitalpin(pin)) {
        if (readsnet(pin->type))
            bits |= NET_READ;
        if (drivesnet(pin->type))
            bits |= NET_DRIVEN;
    }
    if (pin->net)
        netflags(pin->net) |= bits;
}

int COMPONENT::isanalogpin(SDF_PIN*)
{
    return 0;
}

int COMPONENT::isdigitalpin(SDF_PIN*)
{
    return 0;
}

int COMPONENT::isdualpin(SDF_PIN*)
{
    return 0;
}

uint32_t COMPONENT::geteid()
{
    if (!circuit)
        return 0;
    auto eidof = [](const SDF_COMPONENT* part) {
        return static_cast<uint32_t>(getdefhex(part->getproperty("EID"), 0));
    };
    uint32_t eid = eidof(this);
    std::string owner = name;
    while (eid == 0) {
        SDF_COMPONENT* found = nullptr;
        while (!found) {
            size_t cut = owner.rfind('_');
            if (cut == std::string::npos)
                return 0;
            owner.resize(cut);
            found = circuit->findpart(owner.c_str());
        }
        eid = eidof(found);
    }
    return eid;
}

void COMPONENT::expand(void*) { }

void COMPONENT::bindmodel(INPtables*, IFcircuit*) { }

void COMPONENT::bindpins(IFcircuit*) { }

void COMPONENT::bindmoddata(const DPA* list, DIDX*)
{
    char* p = const_cast<char*>(getproperty("MODDATA"));
    if (!p || !list || list->count == 0)
        return;
    int32_t offset = 0;
    int32_t length = 0;
    skippast(&p, ',');
    getint(&p, &offset);
    skippast(&p, ',');
    getint(&p, &length);
    const auto* block = static_cast<const MODDATABLOCK*>(list->items[0]);
    if (!block || offset < 0 || length < 0 || offset > block->length || length > block->length - offset)
        return;
    moddata = static_cast<const char*>(block->data) + offset;
    moddatalength = length;
}

int COMPONENT::powerinterface(COMPONENT**)
{
    return 0;
}

int COMPONENT::setlink(COMPONENT* part)
{
    link = dynamic_cast<IINSTANCE*>(part);
    return 0;
}

int COMPONENT::claimpins(uint32_t mask, uint32_t exclude)
{
    auto dual = [this](SDF_PIN* pin) { return pin->net && !isanalogpin(pin) && !isdigitalpin(pin) && isdualpin(pin); };
    if (std::none_of(pins.begin(), pins.end(), [&](SDF_PIN* pin) { return dual(pin) && (netflags(pin->net) & mask); }))
        return 0;
    int changed = 0;
    for (SDF_PIN* pin : pins) {
        if (dual(pin) && !(netflags(pin->net) & (mask | exclude))) {
            netflags(pin->net) |= mask;
            changed = 1;
        }
    }
    return changed;
}

void COMPONENT::addpinnets(DIDX* index, const char* except, const char* group)
{
    for (SDF_PIN* pin : pins) {
        if (group && !strchr(group, '0' + (pins.find(pin) + 1)))
            continue;
        if (pin->net && pin->net != except)
            index->add(pin->net);
    }
}

void COMPONENT::adddcpaths(int all, DIDX* index, char* net)
{
    const char* text = getproperty("DCPATH");
    if (!text)
        text = row ? row->dcpaths : nullptr;
    if (!text || !index)
        return;
    bool onnet = std::any_of(pins.begin(), pins.end(), [net](SDF_PIN* pin) { return pin->net == net; });
    if (*text == 'G') {
        if (all)
            addpinnets(index, net, nullptr);
        return;
    }
    if (*text == '*') {
        if (onnet)
            addpinnets(index, net, nullptr);
        return;
    }
    for (int n = 1; n <= 9 && n <= pins.count; ++n) {
        if (nthpin(n)->net != net)
            continue;
        for (const char* group = text; *group;) {
            size_t length = strspn(group, "0123456789");
            std::string digits(group, length);
            if (digits.find(static_cast<char>('0' + n)) != std::string::npos) {
                addpinnets(index, net, digits.c_str());
                break;
            }
            group += length;
            if (*group)
                ++group;
        }
    }
}

void COMPONENT::countpins(char* net, int kind, int32_t* count)
{
    const char* wanted = kind == 0 ? "BATTERY" : kind == 1 ? "INDUCTOR" : nullptr;
    if (!wanted || !row || !row->name || strcasecmp(row->name, wanted) != 0)
        return;
    *count += static_cast<int32_t>(std::count_if(pins.begin(), pins.end(), [net](SDF_PIN* pin) { return pin->net == net; }));
}

void COMPONENT::initialise(CIRCUIT* owner, void*)
{
    circuit = owner;
}

void COMPONENT::setreference(const char*, IFcircuit*) { }

void COMPONENT::limitsteps(double*, double*) { }

int32_t COMPONENT::getbranch(IFcircuit*, const char*)
{
    return 0;
}

int COMPONENT::joinnoise(char*, int32_t)
{
    return 0;
}

int COMPONENT::joinplot(IFuid*, int32_t, int32_t)
{
    return 0;
}

void COMPONENT::writereal(double, const double*, int32_t) { }

void COMPONENT::writecomplex(double, const IFcomplex*, int32_t) { }

void COMPONENT::writenoise(double, const double*, int32_t, int32_t, int32_t) { }

void COMPONENT::watchpopup(const DPA* nodes, const double* values, IFcircuit* spice, PARTITION* partition)
{
    partition->beginrecord(name);
    watchterminals(nodes, values, spice, partition);
    watchparameters(spice, partition);
    partition->endrecord();
}

void COMPONENT::watchterminals(const DPA* nodes, const double* values, IFcircuit*, PARTITION* partition)
{
    if (pins.count > MAXWATCHPINS) {
        partition->recordprintf("{C=%X,F=b,W=10,X=10,Y=10}<TOO MANY PINS TO DUMP>\n{H}\n", HEADERCOLOUR);
        return;
    }
    size_t longest = 8;
    for (SDF_PIN* pin : pins)
        longest = std::max(longest, strlen(pin->name));
    int width = static_cast<int>(static_cast<double>(longest) * 1.4);

    bool probe = row && (row->kind == KIND_VPROBE || row->kind == KIND_IPROBE);
    int listed = probe ? std::min(pins.count, 1) : pins.count;
    auto label = [this](SDF_PIN* pin, char* buffer) -> const char* {
        if (strcmp(pin->name, "*") == 0)
            return "Voltage";
        if (isdigit(static_cast<unsigned char>(pin->name[0])) && row && row->pinorder) {
            int position = atoi(pin->name);
            size_t first = strcspn(row->pinorder, ";");
            if (position >= 1 && static_cast<size_t>(position) <= first) {
                buffer[0] = row->pinorder[position - 1];
                buffer[1] = 0;
                return buffer;
            }
        }
        return pin->name;
    };

    bool voltages = false;
    for (int i = 0; i < listed; ++i) {
        SDF_PIN* pin = pins.ptr(i);
        bool shown = isanalogpin(pin) || (!isdigitalpin(pin) && pin->net && (netflags(pin->net) & (NET_ANALOG | NET_POWER)));
        double voltage;
        if (!shown || !netvoltage(pin->net, nodes, values, &voltage))
            continue;
        if (!voltages)
            partition->recordprintf(
                "{C=%X,F=b,W=%d,X=10,Y=10,U}TERMINAL VOLTAGES{U}\n{H}\n", HEADERCOLOUR, width);
        voltages = true;
        char letter[2];
        partition->recordprintf("{C=%X}%s\t{C=%X}%sV\n", LABELCOLOUR, label(pin, letter), VALUECOLOUR,
            fmtval(voltage, 4, 0, nullptr));
    }

    bool states = false;
    for (int i = 0; i < listed; ++i) {
        SDF_PIN* pin = pins.ptr(i);
        bool shown = isdigitalpin(pin) || (!isanalogpin(pin) && pin->net && (netflags(pin->net) & NET_DIGITAL));
        if (!shown || !pin->net)
            continue;
        if (!states)
            partition->recordprintf("%s{C=%X,F=b,W=%d,X=10,Y=10,U}TERMINAL LOGIC STATES{U}\n{H}\n",
                voltages ? "\n" : "", HEADERCOLOUR, width);
        states = true;
        STATE* live = nullptr;
        STATE state = pallex_linknet(pin->net, &live) && live ? *live : 0;
        char letter[2];
        if (state & STATE_CONTENTION)
            partition->recordprintf(
                "{C=%X}%s\t{C=%X}CONTENTION\n", LABELCOLOUR, label(pin, letter), CONTENTIONCOLOUR);
        else
            partition->recordprintf(
                "{C=%X}%s\t{C=%X}%s\n", LABELCOLOUR, label(pin, letter), VALUECOLOUR, statename(state));
    }

    if (!row || !row->watch)
        return;
    std::string entries(row->watch, strcspn(row->watch, ";"));
    bool relative = false;
    for (size_t start = 0; start <= entries.size();) {
        size_t end = entries.find(',', start);
        if (end == std::string::npos)
            end = entries.size();
        std::string entry = entries.substr(start, end - start);
        start = end + 1;
        size_t equals = entry.find('=');
        std::string quantity = entry.substr(0, equals);
        for (char& c : quantity)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        if (quantity.empty() || quantity[0] != 'V' || (quantity.size() != 1 && quantity.size() != 3))
            continue;
        auto pinat = [this](char c) -> SDF_PIN* {
            int number = isdigit(static_cast<unsigned char>(c)) ? c - '0' : pinnumber(c);
            char key[12];
            snprintf(key, sizeof key, "%d", number);
            return number > 0 ? findpin(key) : nullptr;
        };
        SDF_PIN* plus = quantity.size() == 1 ? pinat('1') : pinat(quantity[1]);
        SDF_PIN* minus = quantity.size() == 1 ? pinat('2') : pinat(quantity[2]);
        double high;
        double low;
        if (!plus || !minus || !netvoltage(plus->net, nodes, values, &high)
            || !netvoltage(minus->net, nodes, values, &low))
            continue;
        std::string text = equals != std::string::npos ? entry.substr(equals + 1)
            : quantity == "V"                        ? std::string("Voltage")
                                                     : quantity;
        if (!relative)
            partition->recordprintf("\n{C=%X,U}RELATIVE VOLTAGES{U}\n{H}\n", HEADERCOLOUR);
        relative = true;
        partition->recordprintf("{C=%X}%s\t{C=%X}%sV\n", LABELCOLOUR, text.c_str(), VALUECOLOUR,
            fmtval(high - low, 4, 0, nullptr));
    }
}

void COMPONENT::watchparameters(IFcircuit*, PARTITION*) { }

void COMPONENT::setrunmode(int32_t) { }

void COMPONENT::userevent(int32_t, double, int32_t) { }

bool COMPONENT::primitiveis(const char* word) const
{
    const char* text = getproperty("PRIMITIVE");
    if (!text)
        return false;
    size_t length = strcspn(text, ",");
    return length == strlen(word) && strncasecmp(text, word, length) == 0;
}

int COMPONENT::activeevents(double, DPA*)
{
    return 0;
}

void DUMMY::classifypin(SDF_PIN*) { }

SCRIPTDUMMY::SCRIPTDUMMY(
    const char* partname, PRIMITIVE* primitive, const PROPLIST* list, COMPONENT* scriptmodel)
    : COMPONENT(partname, primitive, nullptr, list)
    , model(scriptmodel)
{
}

SDF_PIN* SCRIPTDUMMY::addpin(const char* pinname, SDF_PINTYPE, char* net)
{
    return model->addpin(pinname, PIN_IO, net);
}

std::string relativename(const char* part, const char* name)
{
    const char* cut = std::strrchr(part, '_');
    return std::string(part, cut ? static_cast<std::size_t>(cut - part + 1) : 0) + name;
}
