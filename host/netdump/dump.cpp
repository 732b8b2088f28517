#include "host/netdump/dump.h"

#include "simulator/kernel/netlist.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace {

const char* pintypename(SDF_PINTYPE type)
{
    static const char* const names[] = { "PS", "IP", "OP", "IO", "TS", "PU", "PD", "PP", "LBL", "GT", "IT", "OT",
        "BT", "PT", "PR", "MP" };
    return type >= PIN_PS && type <= PIN_MP ? names[type] : "?";
}

// Records what the reader did with each entry of each net.
class DUMPNETLIST : public SDF_NETLIST {
public:
    SDF_PIN* addpin(char* net, SDF_COMPONENT* part, const char* pin, SDF_PINTYPE type) override
    {
        SDF_PIN* made = SDF_NETLIST::addpin(net, part, pin, type);
        entries[netid(net)].push_back(made ? std::string("addpin ") + part->name + "." + made->name + " "
                    + pintypename(type)
                                           : std::string("addpin (no part) ") + pin + " " + pintypename(type));
        return made;
    }
    SDF_PIN* connect(char* net, const char* name, SDF_PINTYPE type) override
    {
        entries[netid(net)].push_back(
            std::string("connect \"") + name + "\" " + pintypename(type) + " (" + std::to_string(type) + ")");
        return nullptr;
    }
    std::map<int32_t, std::vector<std::string>> entries;
};

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* text = nullptr;
    int n = vasprintf(&text, format, args);
    va_end(args);
    if (n >= 0)
        out.append(text, static_cast<size_t>(n));
    free(text);
}

void appendproperties(std::string& out, const PROPLIST& list, const char* indent)
{
    for (int i = 0; i < list.count; ++i) {
        const char* item = static_cast<const char*>(list.items[i]);
        appendf(out, "%s%s=%s\n", indent, item, item + strlen(item) + 1);
    }
}

}  // namespace

bool dumpnetlist(const char* path, std::string& out, std::string& error)
{
    out.clear();
    DUMPNETLIST netlist;
    if (!netlist.readfile(path, error))
        return false;
    // A file in which the reader found nothing at all is not a netlist, whatever else it holds.
    if (!*netlist.getdesignname() && netlist.properties.count == 0 && netlist.models.count == 0
        && netlist.scripts.count == 0 && netlist.parts.count == 0 && netlist.netcount() == 0) {
        error = "no design line and no netlist section (*PROPERTIES, *MODELDEFS, *SCRIPT, *PARTLIST, *NETLIST): "
                "not a netlist file";
        return false;
    }
    appendf(out, "design: %s\n", netlist.getdesignname());
    appendf(out, "properties: %d\n", netlist.properties.count);
    appendproperties(out, netlist.properties, "  ");
    appendf(out, "models: %d\n", netlist.models.count);
    for (SDF_MODEL* model : netlist.models) {
        appendf(out, "  %s\n", model->name);
        appendproperties(out, model->properties, "    ");
    }
    appendf(out, "scripts: %d\n", netlist.scripts.count);
    for (SDF_SCRIPT* script : netlist.scripts) {
        appendf(out, "  %s\n", script->name);
        for (const char* line = script->text; *line;) {
            const char* end = strchr(line, '\n');
            appendf(out, "    |%.*s\n", static_cast<int>(end - line), line);
            line = end + 1;
        }
    }
    appendf(out, "parts: %d\n", netlist.parts.count);
    for (SDF_COMPONENT* part : netlist.parts) {
        appendf(out, "  %s\n", part->name);
        appendproperties(out, part->properties, "    ");
        for (SDF_PIN* pin : part->pins)
            appendf(out, "    pin %s (%s) %s on %s\n", pin->name, pin->netlistname, pintypename(pin->type), pin->net);
    }
    appendf(out, "nets: %d\n", netlist.netcount());
    for (int32_t id = 0; id < netlist.netcount(); ++id) {
        char* net = netlist.netbyid(id);
        appendf(out, "  %s\n", net);
        appendproperties(out, netproperties(net), "    ");
        for (const std::string& entry : netlist.entries[id])
            appendf(out, "    %s\n", entry.c_str());
    }
    return true;
}
