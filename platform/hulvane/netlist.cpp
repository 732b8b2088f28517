#include "platform/hulvane/netlist.h"

#include "platform/hulvane/cdbrecords.h"
#include "platform/hulvane/refname.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

const char* const net_nc = "NC";

namespace {

const char* const typenames[ET_COUNT] = { "PS", "IP", "OP", "IO", "TS", "PU", "PD", "PP", "LBL", "GT", "IT", "OT",
    "BT", "PT", "PR", "MP", nullptr, "NC" };

bool isglobal(int type)
{
    return type == ET_GLOBAL || type == ET_POWERTERM || type == ET_POWERRAIL;
}

// How strongly a label names its net: power first, then global names, wire labels, terminals.
int rank(int type)
{
    switch (type) {
    case ET_POWERRAIL:
    case ET_POWERTERM:
        return 4;
    case ET_GLOBAL:
        return 3;
    case ET_LABEL:
        return 2;
    case ET_INPUTTERM:
    case ET_OUTPUTTERM:
    case ET_BIDIRTERM:
        return 1;
    default:
        return 0; // ports and no-connects name nothing
    }
}

// The board instance above a module instance; null for the one board of a netlist without them.
const NET_MODULE* boardof(const NET_MODULE* module)
{
    while (module && !module->toplevel)
        module = module->parent;
    return module;
}

} // namespace

const char* electypename(int type)
{
    return type >= 0 && type < ET_COUNT && typenames[type] ? typenames[type] : "??";
}

int electypeof(const char* name)
{
    for (int type = 0; type < ET_COUNT; ++type) {
        if (typenames[type] && name && strcasecmp(name, typenames[type]) == 0)
            return type;
    }
    return -1;
}

std::string pathmerge(const NET_MODULE* module, const char* name)
{
    return module && !module->path.empty() ? module->path + '.' + name : std::string(name);
}

std::string firstname(const char* list)
{
    std::string text = list ? list : "";
    text = text.substr(0, text.find(','));
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

int getbusrange(const char* name, int* first, int* count)
{
    const char* open = name ? std::strchr(name, '[') : nullptr;
    int low = 0;
    int high = 0;
    int used = 0;
    if (!open || std::sscanf(open, "[%d..%d]%n", &low, &high, &used) != 2 || open[used] != '\0' || low < 0
        || high < 0)
        return 0;
    *first = low;
    *count = (high > low ? high - low : low - high) + 1;
    return 1;
}

NETLIST::NETLIST(std::ostream* output)
    : log(output)
{
}

NETLIST::~NETLIST() = default;

void NETLIST::setcdbroot(CDBCORE* database, MODULE* module)
{
    core = database;
    root = module;
}

void NETLIST::setdsnprops(
    const char* title, const char* docno, const char* author, const char* rev, const char* mdate, const char* cdate)
{
    const std::pair<const char*, const char*> items[] = { { "DTITLE", title }, { "DOCNO", docno },
        { "AUTHOR", author }, { "REV", rev }, { "MDATE", mdate }, { "CDATE", cdate } };
    for (const auto& [name, value] : items) {
        if (value && *value)
            dprops.add(name, value);
    }
    if (title && *title && designname.empty())
        designname = title;
}

void NETLIST::setdsnstats(int kindword, int optionword, int word, std::deque<MODULE*>* modules, const PROPLIST* props)
{
    kind = kindword;
    options = optionword;
    netword = word;
    queue = modules;
    if (props)
        dprops.merge(*props);
}

void NETLIST::setshtstats(SHEET* which, int, int)
{
    sheet = which;
    current = which && which->module ? instanceof(which->module) : nullptr;
}

void NETLIST::fmtdprop(const char* name, const char* fmt, ...)
{
    char text[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    dprops.add(name, text);
}

NET_MODULE* NETLIST::instanceof(MODULE* module)
{
    if (const auto at = bymodule.find(module); at != bymodule.end())
        return at->second;
    return addboardinstance(module, nullptr);
}

NET_MODULE* NETLIST::addboardinstance(MODULE* module, const char* name)
{
    auto instance = std::make_unique<NET_MODULE>();
    instance->index = static_cast<int32_t>(instances.size());
    instance->toplevel = 1;
    instance->name = name ? name : module ? module->name : "";
    instance->module = module;
    current = instance.get();
    if (module)
        bymodule[module] = current;
    instances.push_back(std::move(instance));
    return current;
}

NET_MODULE* NETLIST::addmodule(const char* name, const PROPLIST& props, MODULE* module)
{
    auto instance = std::make_unique<NET_MODULE>();
    instance->index = static_cast<int32_t>(instances.size());
    instance->name = name ? name : "";
    instance->path = pathmerge(current, instance->name.c_str());
    instance->props = props;
    instance->module = module;
    instance->parent = current;
    if (module) {
        bymodule[module] = instance.get();
        if (queue)
            queue->push_back(module);
    }
    instances.push_back(std::move(instance));
    return instances.back().get();
}

NET_PART* NETLIST::addelement(const char* name, const char* device, const PROPLIST& props, void* object, uint32_t id)
{
    auto part = std::make_unique<NET_PART>();
    part->id = id;
    part->name = pathmerge(current, name ? name : "");
    part->device = device ? device : "";
    part->props = props;
    part->object = object;
    part->module = current;
    NET_PART* added = part.get();
    if (!byname.try_emplace(upperkey(added->name), added).second)
        log.logerror("Duplicate reference '%s'.", added->name.c_str());
    if (object)
        byobject[object] = added;
    parts.push_back(std::move(part));
    return added;
}

int NETLIST::addmoddata(NET_PART* element, const void* data, int size)
{
    if (!element || size < 0)
        return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> copy(bytes, bytes + size);
    if (copy == element->moddata)
        return 0;
    element->moddata = std::move(copy);
    return 1;
}

NET_SCRIPT* NETLIST::addscript(const char* name, const char* text, int lines, void* object, int start, int end)
{
    auto script = std::make_unique<NET_SCRIPT>();
    script->name = name ? name : "";
    script->text = text ? text : "";
    script->lines = lines;
    script->object = object;
    script->start = start;
    script->end = end;
    scriptlist.push_back(std::move(script));
    return scriptlist.back().get();
}

void NETLIST::newnet()
{
    if (open)
        log.logerror("A net was opened inside another.");
    open = std::make_unique<NET>();
    open->module = current;
}

void NETLIST::addnet()
{
    if (!open)
        return;
    if (!open->pins.empty() || !open->labels.empty()) {
        open->number = nextnumber++;
        netlist.push_back(std::move(open));
    }
    open.reset();
}

NET_PIN* NETLIST::addpin(NET_PART* element, const char* name, const char* number, int type, int extra)
{
    if (!open || !element) {
        log.logerror("Pin '%s' outside a net.", name ? name : "");
        return nullptr;
    }
    NET_PIN& pin = open->pins.emplace_back();
    pin.part = element;
    pin.name = name ? name : "";
    pin.number = number ? number : "";
    pin.type = type;
    pin.extra = extra;
    return &pin;
}

void NETLIST::addlabel(NET_MODULE* module, void* object, const char* name, int type)
{
    if (!open) {
        log.logerror("Label '%s' outside a net.", name ? name : "");
        return;
    }
    open->labels.push_back({ module, object, name ? name : "", type });
}

void NETLIST::addnprop(const char* name, const char* value)
{
    if (open)
        open->props.add(name, value);
}

void NETLIST::addptr(void* object)
{
    if (open)
        open->objects.push_back(object);
}

void NETLIST::addwire(void* wire, int isbus)
{
    if (!open)
        return;
    open->wires.push_back(wire);
    open->buses += isbus ? 1 : 0;
}

NET* NETLIST::find(NET* net)
{
    NET* top = net;
    while (parent.at(top) != top)
        top = parent.at(top);
    while (parent.at(net) != top) {
        NET* next = parent.at(net);
        parent[net] = top;
        net = next;
    }
    return top;
}

void NETLIST::join(NET* a, NET* b)
{
    a = find(a);
    b = find(b);
    if (a == b)
        return;
    // The earlier piece stays the set's head, so that joined nets keep the order they were made in.
    if (b->number < a->number)
        std::swap(a, b);
    parent[b] = a;
}

std::string NETLIST::labelname(const NET& net, const NET_LABEL& label) const
{
    return isglobal(label.type) ? label.text : pathmerge(net.module, label.text.c_str());
}

int NETLIST::validate()
{
    if (open)
        addnet();
    parent.clear();
    for (const auto& net : netlist)
        parent[net.get()] = net.get();
    // Pieces meet through a key: a global name on its board, a local name in its module instance.
    std::unordered_map<std::string, NET*> bykey;
    for (const auto& net : netlist) {
        for (const NET_LABEL& label : net->labels) {
            if (label.type == ET_NC || label.text.empty())
                continue;
            std::string key;
            if (isglobal(label.type))
                key = "G" + std::to_string(boardof(net->module) ? boardof(net->module)->index : -1);
            else if (label.type == ET_MODULEPORT)
                key = "L" + std::to_string(label.module ? label.module->index : -1);
            else
                key = "L" + std::to_string(net->module ? net->module->index : -1);
            key += '\n' + upperkey(label.text);
            const auto [at, added] = bykey.try_emplace(key, net.get());
            if (!added)
                join(at->second, net.get());
        }
    }
    std::vector<std::unique_ptr<NET>> joined;
    std::unordered_map<NET*, NET*> heads;
    for (auto& net : netlist) {
        NET* head = find(net.get());
        if (head == net.get()) {
            heads[head] = net.get();
            joined.push_back(std::move(net));
            continue;
        }
        NET* into = heads.at(head);
        into->pins.insert(into->pins.end(), net->pins.begin(), net->pins.end());
        into->labels.insert(into->labels.end(), net->labels.begin(), net->labels.end());
        into->objects.insert(into->objects.end(), net->objects.begin(), net->objects.end());
        into->wires.insert(into->wires.end(), net->wires.begin(), net->wires.end());
        into->buses += net->buses;
        into->props.merge(net->props);
    }
    netlist = std::move(joined);
    parent.clear();

    std::unordered_map<std::string, NET*> bynetname;
    for (auto& net : netlist) {
        const NET_LABEL* best = nullptr;
        for (const NET_LABEL& label : net->labels) {
            // Among names of one rank the least wins, so that the name does not hang on the order
            // the pieces were drawn in.
            const int order = best ? rank(label.type) - rank(best->type) : rank(label.type);
            if (order > 0 || (order == 0 && best && (upperkey(label.text) + label.text) < (upperkey(best->text) + best->text)))
                best = &label;
        }
        char number[16];
        std::snprintf(number, sizeof number, "#%05d", net->number);
        net->named = best ? 1 : 0;
        net->name = best ? labelname(*net, *best) : number;
        if (!bynetname.try_emplace(upperkey(net->name), net.get()).second) {
            log.logwarning("Net name '%s' names two nets; the second is called '%s'.", net->name.c_str(), number);
            net->name = number;
            net->named = 0;
        }
    }
    return log.errors();
}

NET* NETLIST::netptr(const char* name) const
{
    for (const auto& net : netlist) {
        if (name && strcasecmp(net->name.c_str(), name) == 0)
            return net.get();
    }
    return nullptr;
}

NET_PART* NETLIST::elementptr(const char* name) const
{
    const auto at = byname.find(upperkey(name ? name : ""));
    return at == byname.end() ? nullptr : at->second;
}

NET_PART* NETLIST::elementof(const void* object) const
{
    const auto at = byobject.find(object);
    return at == byobject.end() ? nullptr : at->second;
}
