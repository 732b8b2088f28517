#include "platform/hulvane/netgen.h"

#include "platform/hulvane/netlist.h"
#include "platform/hulvane/refname.h"
#include "platform/win/replacefile.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A field of a record: line ends would start a record of their own, so they become blanks; a
// comma would end the field, so the field is quoted.
std::string field(const std::string& text)
{
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    if (out.find(',') != std::string::npos)
        out = '"' + out + '"';
    return out;
}

std::vector<std::pair<std::string, std::string>> items(const PROPLIST& list)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0; i < list.count; ++i) {
        const char* name = static_cast<const char*>(list.items[i]);
        out.emplace_back(name, name + std::strlen(name) + 1);
    }
    return out;
}

void writepairs(std::ostream& out, const PROPLIST& list, const char* skip)
{
    for (const auto& [name, value] : items(list)) {
        if (!skip || upperkey(name) != skip)
            out << ',' << field(name) << '=' << field(value);
    }
}

bool written(const NET_LABEL& label)
{
    return label.type >= ET_LABEL && label.type <= ET_POWERRAIL;
}

void writesdf(const NETLIST& netlist, std::ostream& out)
{
    const std::string& name = netlist.getdesignname();
    out << "TAVI NETLIST FILE\n" << (name.empty() ? "Netlist" : field(name)) << "\nDesign: "
        << field(name) << '\n';
    out << "*PROPERTIES," << netlist.dprops.count << '\n';
    for (const auto& [key, value] : items(netlist.dprops))
        out << field(key) << '=' << field(value) << '\n';
    for (const auto& script : netlist.scripts()) {
        out << "*SCRIPT " << field(script->name) << '\n' << script->text;
        if (!script->text.empty() && script->text.back() != '\n')
            out << '\n';
        out << "*ENDSCRIPT\n";
    }
    out << "*PARTLIST," << netlist.elements().size() << '\n';
    for (const auto& part : netlist.elements()) {
        const char* value = part->props["VALUE"];
        out << field(part->name) << ',' << field(part->device) << ',' << field(value ? value : "");
        writepairs(out, part->props, "VALUE");
        out << '\n';
    }
    out << "*NETLIST," << netlist.nets().size() << '\n';
    for (const auto& net : netlist.nets()) {
        const auto labels = std::count_if(net->labels.begin(), net->labels.end(), written);
        out << field(net->name) << ',' << net->pins.size() + static_cast<size_t>(labels);
        writepairs(out, net->props, nullptr);
        out << '\n';
        for (const NET_PIN& pin : net->pins) {
            const int type = pin.type >= ET_PASSIVE && pin.type <= ET_POWER ? pin.type : ET_PASSIVE;
            out << field(pin.part->name) << ',' << electypename(type) << ','
                << field(pin.number.empty() ? pin.name : pin.number) << '\n';
        }
        for (const NET_LABEL& label : net->labels) {
            if (written(label))
                out << field(label.text) << ',' << electypename(label.type) << ',' << field(label.text) << '\n';
        }
        out << '\n';
    }
}

template <class T, class Key> void sortby(std::vector<T>& list, Key key)
{
    std::stable_sort(list.begin(), list.end(), [&](const T& a, const T& b) { return key(a) < key(b); });
}

void writedump(const NETLIST& netlist, std::ostream& out)
{
    out << "design '" << netlist.getdesignname() << "'\n";
    for (const auto& [key, value] : items(netlist.dprops))
        out << "property " << key << '=' << value << '\n';
    std::vector<const NET_MODULE*> modules;
    for (const auto& module : netlist.modules())
        modules.push_back(module.get());
    sortby(modules, [](const NET_MODULE* m) { return m->path + '\n' + m->name; });
    for (const NET_MODULE* module : modules)
        out << "module '" << module->name << "' path '" << module->path << "'" << (module->toplevel ? " top" : "")
            << '\n';
    std::vector<const NET_PART*> parts;
    for (const auto& part : netlist.elements())
        parts.push_back(part.get());
    sortby(parts, [](const NET_PART* p) { return upperkey(p->name); });
    for (const NET_PART* part : parts) {
        out << "element " << part->name << ' ' << part->device;
        for (const auto& [key, value] : items(part->props))
            out << ' ' << key << '=' << value;
        out << '\n';
    }
    // A net without a name of its own is numbered in the order it was made: the dump calls it "#"
    // and places it by its first pin.
    std::vector<std::pair<std::string, std::string>> nets;
    for (const auto& net : netlist.nets()) {
        std::vector<std::string> lines;
        for (const NET_PIN& pin : net->pins)
            lines.push_back("  pin " + pin.part->name + '.' + pin.name + (pin.number.empty() ? "" : "/" + pin.number)
                + ' ' + electypename(pin.type) + '\n');
        for (const NET_LABEL& label : net->labels)
            lines.push_back("  label " + label.text + ' ' + electypename(label.type)
                + (label.module ? " into '" + label.module->path + "'" : "") + '\n');
        std::sort(lines.begin(), lines.end());
        std::ostringstream text;
        text << "net " << (net->named ? net->name : "#");
        for (const auto& [key, value] : items(net->props))
            text << ' ' << key << '=' << value;
        text << '\n';
        for (const std::string& line : lines)
            text << line;
        nets.emplace_back(upperkey(net->named ? net->name : "#") + '\n' + text.str(), text.str());
    }
    std::sort(nets.begin(), nets.end());
    for (const auto& net : nets)
        out << net.second;
    for (const auto& script : netlist.scripts())
        out << "script '" << script->name << "'\n" << script->text << (script->text.ends_with('\n') ? "" : "\n");
}

} // namespace

const char* netformatextension(int format)
{
    switch (format) {
    case NETFORMAT_SDF:
        return "SDF";
    case NETFORMAT_DUMP:
        return "TXT";
    default:
        return nullptr;
    }
}

int net_gen(const NETLIST& netlist, std::ostream& out, int format)
{
    if (format == NETFORMAT_SDF)
        writesdf(netlist, out);
    else if (format == NETFORMAT_DUMP)
        writedump(netlist, out);
    else
        return 0;
    return out.good() ? 1 : 0;
}

int net_gen(const NETLIST& netlist, const char* path, int format)
{
    std::ostringstream text;
    if (!path || !net_gen(netlist, text, format))
        return 0;
    const std::string bytes = text.str();
    return replacefilewith(path, bytes.data(), bytes.size()) ? 1 : 0;
}

int net_erc(const NETLIST& netlist, std::ostream& out)
{
    int errors = 0;
    int warnings = 0;
    for (const auto& net : netlist.nets()) {
        int outputs = 0;
        int drivers = 0;
        int inputs = 0;
        std::string names;
        for (const NET_PIN& pin : net->pins) {
            outputs += pin.type == ET_OUTPUT || pin.type == ET_POWER;
            inputs += pin.type == ET_INPUT;
            drivers += pin.type != ET_INPUT;
            names += (names.empty() ? "" : ", ") + pin.part->name + '.' + pin.name;
        }
        const bool powered = std::any_of(net->labels.begin(), net->labels.end(), [](const NET_LABEL& label) {
            return label.type == ET_POWERTERM || label.type == ET_POWERRAIL || label.type == ET_INPUTTERM
                || label.type == ET_BIDIRTERM;
        });
        if (outputs > 1) {
            out << "ERROR: Net '" << net->name << "' has " << outputs << " outputs driving it: " << names << ".\n";
            ++errors;
        } else if (inputs && !drivers && !powered) {
            out << "ERROR: Net '" << net->name << "' has inputs but nothing drives it: " << names << ".\n";
            ++errors;
        } else if (net->pins.size() == 1 && net->labels.empty()) {
            out << "WARNING: Net '" << net->name << "' has one pin only: " << names << ".\n";
            ++warnings;
        }
    }
    out << "ERC: " << errors << " error(s), " << warnings << " warning(s).\n";
    return errors;
}
