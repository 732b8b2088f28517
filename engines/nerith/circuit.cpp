#include "engines/nerith/ckt.h"

#include "engines/nerith/report.h"

#include <algorithm>

IFcircuit::IFcircuit()
{
    equations.emplace_back();
    rhs.assign(1, 0.0);
    solution.assign(1, 0.0);
    const auto& kinds = nerith::devicekinds();
    for (std::size_t type = 0; type < kinds.size(); ++type)
        families.push_back(kinds[type]->makefamily(static_cast<int32_t>(type)));
}

nerith::Node& IFcircuit::newnode(std::string_view name)
{
    nerith::Node& node = nodes.emplace_back();
    node.name = names.keep(name);
    node.index = static_cast<uint32_t>(nodes.size() - 1);
    return node;
}

nerith::Node* IFcircuit::terminal(const IFinstance& instance, std::size_t k)
{
    const uint32_t at = instance.terminals[k];
    return at ? &nodes[at - 1] : nullptr;
}

const nerith::Node* IFcircuit::terminal(const IFinstance& instance, std::size_t k) const
{
    const uint32_t at = instance.terminals[k];
    return at ? &nodes[at - 1] : nullptr;
}

void IFcircuit::connect(IFinstance& instance, std::size_t k, const nerith::Node* node)
{
    instance.terminals[k] = node ? node->index + 1 : 0;
}

int32_t IFcircuit::addnode(nerith::Node& node)
{
    const auto number = static_cast<int32_t>(equations.size());
    equations.push_back(nerith::Equation::voltageof(node));
    node.number = number;
    matrix.grow(size());
    return number;
}

int32_t IFcircuit::addbranch(IFinstance* owner, const char* ownername, const char* suffix)
{
    const char* name = names.keep(nerith::identifier(*this, ownername, suffix));
    const auto number = static_cast<int32_t>(equations.size());
    equations.push_back(nerith::Equation::currentof(name, owner));
    matrix.grow(size());
    return number;
}

void IFcircuit::removeequation(int32_t number)
{
    equations[static_cast<std::size_t>(number)].removed = true;
    rebuild = true;
}

std::string IFcircuit::describe(int32_t number) const
{
    if (number <= 0 || number > size())
        return "ground";
    const nerith::Equation& equation = equations[static_cast<std::size_t>(number)];
    if (equation.voltage())
        return std::string("node ") + equation.name();
    return "the current of " + std::string(equation.owner ? equation.owner->name : equation.name());
}

namespace nerith {

std::string identifier(IFcircuit& ckt, const char* owner, const char* suffix)
{
    IFfrontEnd* frontend = session().frontend;
    IFuid made = nullptr;
    if (frontend && frontend->newUid && frontend->newUid(&ckt, &made, owner, suffix, UID_SIGNAL) == 0
        && made) {
        std::string text = made;
        if (frontend->deleteUid)
            frontend->deleteUid(&ckt, made, UID_SIGNAL);
        return text;
    }
    return owner ? std::string("#") + owner + "#" + suffix : std::string(suffix);
}

bool addbreak(IFcircuit& ckt, double time)
{
    if (!(time >= ckt.time))
        return false;
    const double present = ckt.holding ? ckt.integration.times[1] : ckt.time;
    const double spacing = ckt.options.minbreak;
    auto& breaks = ckt.breaks;
    auto at = std::lower_bound(breaks.begin(), breaks.end(), time);
    // Points closer than the spacing become one, at the earlier time; the present time counts as one.
    if (time - present <= spacing)
        return true;
    if (at != breaks.begin() && time - *(at - 1) <= spacing)
        return true;
    if (at != breaks.end() && *at - time <= spacing) {
        *at = time;
        return true;
    }
    breaks.insert(at, time);
    return true;
}

bool addstop(IFcircuit& ckt, double time)
{
    if (!(time >= ckt.time))
        return false;
    auto& stops = ckt.stops;
    auto at = std::lower_bound(stops.begin(), stops.end(), time);
    if (time > ckt.time && (at == stops.end() || *at != time))
        stops.insert(at, time);
    return true;
}

} // namespace nerith
