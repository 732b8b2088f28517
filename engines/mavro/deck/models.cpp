// The first pass (".model" cards), INPgetMod, INPfindLev and INPkillMods.
#include "engines/mavro/deck/models.h"

#include "engines/mavro/deck/cards.h"
#include "engines/mavro/deck/values.h"
#include "engines/mavro/parser.h"
#include "engines/mavro/symtab.h"
#include "engines/mavro/token.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace mavro {

namespace {

struct Models {
    std::vector<std::unique_ptr<ModelCard>> cards;
    std::unordered_map<std::string, ModelCard*> exact;
    std::unordered_map<std::string, ModelCard*> folded;
};

// The models the first pass read; they live until INPkillMods.
Models& models()
{
    static Models list;
    return list;
}

std::string lowercase(std::string_view text)
{
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return folded;
}

constexpr std::pair<std::string_view, const char*> devices[]
    = { { "r", "Resistor" }, { "c", "Capacitor" }, { "l", "Inductor" }, { "d", "Diode" }, { "npn", "BJT" }, { "pnp", "BJT" },
          { "njf", "JFET" }, { "pjf", "JFET" }, { "nmf", "MES" }, { "pmf", "MES" }, { "sw", "Switch" },
          { "csw", "Cswitch" }, { "urc", "URC" }, { "ltra", "LTRA" } };
constexpr const char* mosfets[] = { "MOS1", "MOS2", "MOS3", "BSIM1", "BSIM2", "MOS6", "BSIM3" };

// The LEVEL among the tokens at the cursor: 1 when none; a warning when it does not read.
int levelfrom(const char* cursor, std::string* warning)
{
    for (std::string_view token = nexttoken(cursor, true); !token.empty(); token = nexttoken(cursor, true)) {
        if (!sameletters(token, "level"))
            continue;
        std::string_view text = nexttoken(cursor, true);
        std::optional<double> value = tokenvalue(text);
        if (!value || *value < 1 || *value > 1000 || *value != std::floor(*value)) {
            *warning = "illegal LEVEL " + std::string(text) + ": level 1 assumed";
            return 1;
        }
        return static_cast<int>(*value);
    }
    return 1;
}

// Makes the engine model and sets the card's parameters; the card's complaints about them are
// reported on it. False with the model's problem set when the engine refuses the model.
bool create(IFcircuit* ckt, ModelCard& card, INPtables* table)
{
    IFsimulator* descriptor = session().descriptor;
    if (!descriptor || !descriptor->newModel || !descriptor->setModelParm) {
        card.problem = "no engine to make model " + card.name;
        return false;
    }
    const IFdevice* device = descriptor->devices[card.record.type];
    IFmodel* made = nullptr;
    int code = descriptor->newModel(ckt, card.record.type, &made, card.record.name);
    if (code != 0 || !made) {
        card.problem = code == E_NOTBUILT
            ? "device type \"" + std::string(device->name) + "\" of model " + card.name + " is not built yet"
            : "cannot make model " + card.name + ": " + errormessage(code != 0 ? code : E_NOTFOUND);
        return false;
    }
    card.record.model = made;

    ParmTable parms { device->modelParms, device->numModelParms };
    auto set = [&](const IFparm& parm, IFvalue* value) {
        return descriptor->setModelParm(ckt, made, parm.id, value, nullptr);
    };
    CardReport report(card.record.card);
    // The type word is the model's polarity flag where the device has one ("npn", "pmos").
    if (const IFparm* flag = findparm(parms, card.type);
        flag && (flag->dataType & 0xFF) == IF_FLAG && (flag->dataType & IF_SET)) {
        IFvalue value {};
        value.iValue = 1;
        if (int refused = set(*flag, &value))
            report.add("cannot set " + std::string(flag->keyword) + ": " + errormessage(refused));
    }
    CardReader reader(card.record.card->text);
    reader.token();
    reader.token();
    reader.token();
    // LEVEL chose the device type in the first pass; it is no parameter of the engine's. Model cards
    // carry parameters of other levels, instance parameters and vendors' extensions: one the device
    // does not know is left out with a warning naming it.
    auto special = [&](std::string_view keyword) {
        if (sameletters(keyword, "level")) {
            reader.token();
            return true;
        }
        if (findparm(parms, keyword))
            return false;
        report.note("unknown parameter " + quoted(keyword) + " of model " + card.name + " left out");
        skipvalue(reader);
        return true;
    };
    readparameters(reader, parms, Scope { ckt, table }, report, "parameter", set, special);
    report.finish();
    return true;
}

int readmodel(SPICECARD* card, INPtables* table)
{
    CardReport report(card);
    CardReader reader(card->text);
    reader.token();
    std::string_view name = reader.token();
    std::string_view typeword = reader.token();
    if (name.empty() || typeword.empty()) {
        report.add(name.empty() ? "model name expected" : "model type expected for " + std::string(name));
        return report.finish();
    }
    if (findmodel(name)) {
        report.add("model " + std::string(name) + " is defined twice: the first definition is used");
        return report.finish();
    }
    auto entry = std::make_unique<ModelCard>();
    ModelCard& model = *entry;
    model.name = name;
    model.type = lowercase(typeword);
    model.record.name = table ? table->enter(name)->name : model.name.c_str();
    model.record.type = -1;
    model.record.card = card;

    int level = 1;
    if (model.type == "nmos" || model.type == "pmos") {
        std::string warning;
        level = levelfrom(reader.position(), &warning);
        if (!warning.empty())
            report.add(warning);
        if (level < 1 || level > 7) {
            report.add("invalid level " + std::to_string(level) + " for MOSFET model " + model.name
                + ": level 1 used");
            level = 1;
        }
    }
    const char* parameters = reader.position();
    const std::optional<double> lmin = valuefrom(parameters, "lmin"), lmax = valuefrom(parameters, "lmax");
    const std::optional<double> wmin = valuefrom(parameters, "wmin"), wmax = valuefrom(parameters, "wmax");
    if (lmin && lmax && wmin && wmax)
        model.bin = ModelCard::Bin { *lmin, *lmax, *wmin, *wmax };
    const char* device = modeldevice(model.type, level);
    if (!device)
        model.problem = "model " + model.name + " has the unknown type " + quoted(typeword);
    else if ((model.record.type = finddevice(device)) < 0)
        model.problem
            = "the engine has no device type \"" + std::string(device) + "\" for model " + model.name;
    if (!model.problem.empty())
        report.add(model.problem);

    Models& list = models();
    list.exact.emplace(model.name, &model);
    list.folded.emplace(lowercase(model.name), &model);
    list.cards.push_back(std::move(entry));
    return report.finish();
}

} // namespace

const char* modeldevice(std::string_view type, int level)
{
    if (type == "nmos" || type == "pmos")
        return level >= 1 && level <= 7 ? mosfets[level - 1] : nullptr;
    for (const auto& [word, device] : devices) {
        if (word == type)
            return device;
    }
    return nullptr;
}

ModelCard* findmodel(std::string_view name)
{
    Models& list = models();
    if (auto it = list.exact.find(std::string(name)); it != list.exact.end())
        return it->second;
    if (auto it = list.folded.find(lowercase(name)); it != list.folded.end())
        return it->second;
    return nullptr;
}

std::optional<double> valuefrom(const char* cursor, std::string_view keyword)
{
    for (std::string_view token = nexttoken(cursor, true); !token.empty(); token = nexttoken(cursor, true)) {
        if (sameletters(token, keyword))
            return tokenvalue(nexttoken(cursor, true));
    }
    return std::nullopt;
}

namespace {

// min <= value < max, a value within rounding of a bound being on it.
bool inbin(double value, double min, double max)
{
    auto on = [&](double bound) { return std::fabs(value - bound) <= 1e-9 * std::fabs(bound); };
    return (value > min || on(min)) && value < max && !on(max);
}

} // namespace

ModelCard* findbinned(std::string_view name, double l, double w)
{
    const int32_t bsim3 = finddevice("BSIM3");
    for (const auto& card : models().cards) {
        const std::string_view candidate = card->name;
        const ModelCard::Bin* bin = card->bin ? &*card->bin : nullptr;
        if (bin && card->record.type == bsim3 && candidate.size() > name.size()
            && candidate[name.size()] == '.' && sameletters(candidate.substr(0, name.size()), name)
            && inbin(l, bin->lmin, bin->lmax) && inbin(w, bin->wmin, bin->wmax))
            return card.get();
    }
    return nullptr;
}

int pass1(IFcircuit*, SPICECARD* deck, INPtables* table)
{
    int failed = 0;
    for (SPICECARD* card = deck; card; card = card->next) {
        if (classify(card) == Card::Control && iscontrol(card, ".model"))
            failed += readmodel(card, table);
    }
    return failed;
}

void killmodels()
{
    models() = Models {};
}

char* getmodel(IFcircuit* ckt, char* name, INPmodel** model, INPtables* table)
{
    if (model)
        *model = nullptr;
    if (!name)
        return heapcopy("no model name given");
    ModelCard* card = findmodel(name);
    if (!card)
        return heapcopy("unable to find definition of model " + std::string(name));
    if (card->problem.empty() && !card->record.model)
        create(ckt, *card, table);
    if (!card->problem.empty())
        return heapcopy(card->problem);
    if (model)
        *model = &card->record;
    return nullptr;
}

char* findlevel(char* line, int* level)
{
    int ignored = 0;
    int& result = level ? *level : ignored;
    result = 1;
    if (!line)
        return nullptr;
    // On a ".model" card the level is looked for after the model's name and type.
    const char* cursor = line;
    if (sameletters(nexttoken(cursor, true), ".model")) {
        nexttoken(cursor, true);
        nexttoken(cursor, true);
    } else {
        cursor = line;
    }
    std::string warning;
    result = levelfrom(cursor, &warning);
    return warning.empty() ? nullptr : heapcopy(warning);
}

} // namespace mavro
