#include "engines/mavro/deck/devices.h"

#include "engines/mavro/deck/models.h"
#include "engines/mavro/deck/values.h"
#include "engines/mavro/parser.h"
#include "engines/mavro/token.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace mavro {

namespace {

enum class Uses { None, Optional, Required };

// The layout of a device card: name, nodes, names of controlling devices, model, then a bare value
// and "keyword=value" parameters.
struct Letter {
    char letter;
    const char* device; // the device type; null: the model's (MOSFETs by their level)
    int nodes; // a Q card has a fourth (substrate) node when its fourth word is no model
    Uses model;
    const char* positional; // the parameter a bare number sets
    bool valuerequired; // without a model, the card must give the positional value
    const char* controls[2]; // parameters naming the controlling devices, read after the nodes
};

constexpr Letter letters[] = {
    { 'b', "ASRC", 2, Uses::None, nullptr, false, {} },
    { 'c', "Capacitor", 2, Uses::Optional, "capacitance", true, {} },
    { 'd', "Diode", 2, Uses::Required, "area", false, {} },
    { 'e', "VCVS", 4, Uses::None, "gain", true, {} },
    { 'f', "CCCS", 2, Uses::None, "gain", true, { "control" } },
    { 'g', "VCCS", 4, Uses::None, "gain", true, {} },
    { 'h', "CCVS", 2, Uses::None, "gain", true, { "control" } },
    { 'i', "Isource", 2, Uses::None, "dc", false, {} },
    { 'j', "JFET", 3, Uses::Required, "area", false, {} },
    { 'k', "Mutual", 0, Uses::None, "k", true, { "inductor1", "inductor2" } },
    { 'l', "Inductor", 2, Uses::Optional, "inductance", true, {} },
    { 'm', nullptr, 4, Uses::Required, nullptr, false, {} },
    { 'o', "LTRA", 4, Uses::Required, nullptr, false, {} },
    { 'q', "BJT", 3, Uses::Required, "area", false, {} },
    { 'r', "Resistor", 2, Uses::Optional, "resistance", true, {} },
    { 's', "Switch", 4, Uses::Required, nullptr, false, {} },
    { 't', "Tranline", 4, Uses::None, nullptr, false, {} },
    { 'u', "URC", 3, Uses::Required, nullptr, false, {} },
    { 'v', "Vsource", 2, Uses::None, "dc", false, {} },
    { 'w', "Cswitch", 2, Uses::Required, nullptr, false, { "control" } },
    { 'z', "MES", 3, Uses::Required, "area", false, {} },
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const Letter* findletter(char c)
{
    for (const Letter& letter : letters) {
        if (letter.letter == lower(c))
            return &letter;
    }
    return nullptr;
}

// The model a card names, when it suits the card's letter; its engine model is made here. An M card
// naming no model takes the bin of that name its L and W (in `rest`, the card after the name) fall in.
ModelCard* usemodel(std::string_view name, const Letter& letter, const DeckState& state, CardReport& report,
    const char* rest = "")
{
    ModelCard* card = findmodel(name);
    if (!card && letter.letter == 'm') {
        const std::optional<double> l = valuefrom(rest, "l"), w = valuefrom(rest, "w");
        card = l && w ? findbinned(name, *l, *w) : nullptr;
    }
    if (!card) {
        report.add("unable to find definition of model " + std::string(name));
        return nullptr;
    }
    // A model of an unknown type is left to INPgetMod, which names its problem.
    const char* device = modeldevice(card->type, 1);
    const bool mosfet = card->type == "nmos" || card->type == "pmos";
    if (device && (letter.device ? !sameletters(device, letter.device) : !mosfet)) {
        report.add("model " + card->name + " of type " + card->type + " does not suit "
            + std::string(1, letter.letter) + " cards");
        return nullptr;
    }
    std::string text = card->name;
    INPmodel* record = nullptr;
    if (char* problem = getmodel(state.ckt, text.data(), &record, state.table)) {
        report.add(problem);
        INPfree(problem);
        return nullptr;
    }
    return card;
}

// The model of a device type for cards that name none, made once a pass. Its name holds a blank, so
// no card's model can take it.
IFmodel* defaultmodel(int32_t type, DeckState& state, CardReport& report)
{
    if (auto it = state.defaults.find(type); it != state.defaults.end())
        return it->second;
    IFsimulator* descriptor = session().descriptor;
    const char* device = descriptor->devices[type]->name;
    IFmodel* model = nullptr;
    int code = descriptor->newModel(
        state.ckt, type, &model, state.table->enter("default " + std::string(device))->name);
    if (code != 0 || !model) {
        report.add(code == E_NOTBUILT ? "device type \"" + std::string(device) + "\" is not built yet"
                                      : "cannot make a model of " + std::string(device) + ": "
                    + errormessage(code ? code : E_NOTFOUND));
        return nullptr;
    }
    state.defaults.emplace(type, model);
    return model;
}

// The words of source cards that are not plain parameters: "ac [mag [phase]]" (magnitude 1 when not
// given), "distof1"/"distof2" likewise, and "sin" for the engine's "sine".
bool sourceword(std::string_view keyword, CardReader& reader, ParmTable parms, const Scope& scope,
    const std::function<int(const IFparm&, IFvalue*)>& set, CardReport& report)
{
    auto setreal = [&](const char* name, double number) {
        const IFparm* parm = findparm(parms, name);
        if (!parm) {
            report.add("the source has no parameter " + std::string(name));
            return;
        }
        IFvalue value {};
        value.rValue = number;
        if (int code = set(*parm, &value))
            report.add("cannot set " + std::string(name) + ": " + errormessage(code));
    };
    if (sameletters(keyword, "ac") && !findparm(parms, "ac")) {
        if (reader.next() == '=')
            reader.skipnext();
        if (!findparm(parms, "acmag")) {
            // An engine without small-signal analysis runs none that would use it.
            report.note("the AC value is left out: the engine runs no AC analysis");
            reader.number();
            reader.number();
            return true;
        }
        setreal("acmag", reader.number().value_or(1));
        if (std::optional<double> phase = reader.number())
            setreal("acphase", *phase);
        return true;
    }
    if (sameletters(keyword, "distof1") || sameletters(keyword, "distof2")) {
        const IFparm* parm = findparm(parms, keyword);
        if (!parm || !(parm->dataType & IF_VECTOR) || reader.next() == '(' || reader.next() == '='
            || tokenvalue(reader.peek()))
            return false;
        IFvalue value {};
        value.v.numValue = 1;
        value.v.vec.rVec = scope.table->keep(std::vector<double> { 1.0 });
        if (int code = set(*parm, &value))
            report.add("cannot set " + std::string(parm->keyword) + ": " + errormessage(code));
        return true;
    }
    if (sameletters(keyword, "sin") && !findparm(parms, "sin")) {
        const IFparm* parm = findparm(parms, "sine");
        if (!parm)
            return false;
        IFvalue value {};
        std::string message;
        if (!readvalue(reader, *parm, scope, &value, &message))
            report.add(message);
        else if (int code = set(*parm, &value))
            report.add("cannot set sine: " + std::string(errormessage(code)));
        return true;
    }
    return false;
}

// "R=1k", "C=1u", "L=1m": the value named by the device's letter; true when the word was one.
bool positionalword(CardReader& reader, ParmTable parms, const char* positional, const Scope& scope,
    const std::function<int(const IFparm&, IFvalue*)>& set, CardReport& report)
{
    const IFparm* parm = findparm(parms, positional);
    if (!parm)
        return false;
    IFvalue value {};
    std::string message;
    if (!readvalue(reader, *parm, scope, &value, &message))
        report.add(message);
    else if (int code = set(*parm, &value))
        report.add("cannot set " + std::string(positional) + ": " + errormessage(code));
    return true;
}

// What a card's words say before anything is made of it.
struct Layout {
    std::string_view name;
    const Letter* letter = nullptr;
    int32_t type = -1;
    std::vector<std::string_view> nodes;
    std::vector<std::string_view> controls;
    ModelCard* model = nullptr;
    std::optional<double> value;
};

// Reads the name, nodes, controlling names, model and bare value; false (reported) when the card
// does not read, so nothing is made of it.
bool readlayout(CardReader& reader, const DeckState& state, CardReport& report, Layout* card)
{
    card->name = reader.token();
    if (card->name.empty()) {
        report.add("device name expected");
        return false;
    }
    const Letter* letter = card->letter = findletter(card->name.front());
    if (!letter) {
        report.add(
            "unknown device type '" + std::string(1, card->name.front()) + "' of " + quoted(card->name));
        return false;
    }
    if (letter->device && (card->type = finddevice(letter->device)) < 0) {
        report.add("the engine has no device type \"" + std::string(letter->device) + "\" for "
            + quoted(card->name));
        return false;
    }
    const bool controlled = std::string_view("efgh").find(letter->letter) != std::string_view::npos;
    for (int i = 0; i < letter->nodes; ++i) {
        std::string_view node = reader.token();
        if (node.empty()) {
            report.add(std::to_string(letter->nodes) + " nodes expected, " + std::to_string(i) + " given");
            return false;
        }
        card->nodes.push_back(node);
        if (std::string_view next = reader.peek();
            controlled && i == 1 && (sameletters(next, "poly") || sameletters(next, "value"))) {
            report.add("the " + std::string(next) + " form of controlled sources is read from B cards only");
            return false;
        }
    }
    if (letter->letter == 'q' && !reader.peek().empty() && !findmodel(reader.peek()))
        card->nodes.push_back(reader.token());
    for (const char* control : letter->controls) {
        if (!control)
            continue;
        std::string_view device = reader.token();
        if (device.empty()) {
            report.add(letter->letter == 'k' ? "names of two inductors expected"
                                             : "name of the controlling source expected");
            return false;
        }
        card->controls.push_back(device);
    }
    if (letter->model == Uses::Required) {
        std::string_view model = reader.token();
        if (model.empty()) {
            report.add("model name expected");
            return false;
        }
        if (!(card->model = usemodel(model, *letter, state, report, reader.position())))
            return false;
    }
    // A bare value and an optional model, in either order.
    for (int i = 0; i < 2; ++i) {
        if (letter->positional && !card->value && (card->value = reader.number()))
            continue;
        if (letter->model != Uses::Optional || card->model || reader.peek().empty()
            || !findmodel(reader.peek()))
            break;
        if (!(card->model = usemodel(reader.token(), *letter, state, report)))
            return false;
    }
    if (card->model)
        card->type = card->model->record.type;
    return true;
}

// The instance of the card, connected to its nodes; null (reported) when it cannot be made.
IFinstance* makeinstance(const Layout& card, DeckState& state, CardReport& report)
{
    IFsimulator* descriptor = session().descriptor;
    IFmodel* model = card.model ? card.model->record.model : defaultmodel(card.type, state, report);
    if (!model)
        return nullptr;
    std::vector<IFnode*> nodes;
    for (std::string_view name : card.nodes) {
        IFnode* node = nullptr;
        if (int code = cardnode(state.ckt, name, state.table, &node)) {
            report.add("node " + quoted(name) + ": " + errormessage(code));
            return nullptr;
        }
        nodes.push_back(node);
    }
    IFinstance* instance = nullptr;
    // The engine copies the name: instance names need no place in the table.
    const std::string name(card.name);
    if (int code = descriptor->newInstance(state.ckt, model, &instance, name.c_str())) {
        report.add(code == E_EXISTS ? "an instance " + quoted(card.name) + " exists already"
                                    : "cannot make " + quoted(card.name) + ": " + errormessage(code));
        return nullptr;
    }
    // A Q card with three nodes has its substrate on ground.
    if (card.letter->letter == 'q' && nodes.size() == 3 && descriptor->devices[card.type]->terminals >= 4) {
        IFnode* ground = nullptr;
        if (int code = cardnode(state.ckt, "0", state.table, &ground))
            report.add("ground node: " + std::string(errormessage(code)));
        else
            nodes.push_back(ground);
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (int code = descriptor->bindNode(state.ckt, instance, static_cast<int32_t>(i + 1), nodes[i]))
            report.add("cannot connect " + quoted(nodes[i]->name ? nodes[i]->name : "") + " to terminal "
                + std::to_string(i + 1) + ": " + errormessage(code));
    }
    return instance;
}

} // namespace

void readdevice(SPICECARD* card, DeckState& state, CardReport& report)
{
    IFsimulator* descriptor = session().descriptor;
    if (!descriptor || !descriptor->newInstance || !descriptor->bindNode || !descriptor->setInstanceParm
        || !descriptor->newModel) {
        report.add("no engine to take the card");
        return;
    }
    CardReader reader(card->text);
    Layout layout;
    if (!readlayout(reader, state, report, &layout))
        return;
    IFinstance* instance = makeinstance(layout, state, report);
    if (!instance)
        return;

    const Letter& letter = *layout.letter;
    const IFdevice* device = descriptor->devices[layout.type];
    const ParmTable parms { device->instanceParms, device->numInstanceParms };
    const Scope scope { state.ckt, state.table };
    bool positionalset = false;
    auto set = [&](const IFparm& parm, IFvalue* given) {
        positionalset = positionalset || (letter.positional && sameletters(parm.keyword, letter.positional));
        return descriptor->setInstanceParm(state.ckt, instance, parm.id, given, nullptr);
    };
    auto setnamed = [&](const char* keyword, int32_t kind, IFvalue* given) {
        const IFparm* parm = findparm(parms, keyword);
        if (!parm || (parm->dataType & 0xFF) != kind || (parm->dataType & IF_VECTOR)
            || !(parm->dataType & IF_SET)) {
            report.add(
                "device type \"" + std::string(device->name) + "\" has no parameter " + keyword + " to set");
            return;
        }
        if (int code = set(*parm, given))
            report.add("cannot set " + std::string(keyword) + ": " + errormessage(code));
    };
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        IFvalue given {};
        given.uValue = state.table->enter(layout.controls[i])->name;
        setnamed(letter.controls[i], IF_INSTANCE, &given);
    }
    if (layout.value) {
        IFvalue given {};
        given.rValue = *layout.value;
        setnamed(letter.positional, IF_REAL, &given);
    }
    auto special = [&](std::string_view keyword) {
        if (std::strchr("rcl", letter.letter) && keyword.size() == 1 && lower(keyword[0]) == letter.letter)
            return positionalword(reader, parms, letter.positional, scope, set, report);
        return (letter.letter == 'v' || letter.letter == 'i')
            && sourceword(keyword, reader, parms, scope, set, report);
    };
    readparameters(reader, parms, scope, report, "parameter", set, special);
    if (letter.valuerequired && !layout.model && !positionalset)
        report.add("value expected");
}

} // namespace mavro
