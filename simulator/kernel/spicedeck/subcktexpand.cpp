#include "simulator/kernel/spicedeck/subcktexpand.h"

#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "simulator/kernel/spicedeck/relabel.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t MAXNESTING = 100;
constexpr size_t MAXCARDS = 1'000'000;
constexpr size_t MAXTEXT = size_t { 256 } << 20;

// One ".subckt" definition, unlinked from its level with its ".ends" card.
struct SUBCKTDEF {
    std::string name;
    std::vector<std::string> formals;
    SPICECARD* start = nullptr; // the ".subckt" card
    SPICECARD* body = nullptr; // the cards between; null when there are none
    SPICECARD* end = nullptr; // the matching ".ends" card

    SUBCKTDEF() = default;
    SUBCKTDEF(const SUBCKTDEF&) = delete;
    SUBCKTDEF& operator=(const SUBCKTDEF&) = delete;
    ~SUBCKTDEF()
    {
        freecards(start);
        freecards(body);
        freecards(end);
    }
};

// What one level of the expansion (the deck, or a definition's body) knows.
struct LEVEL {
    std::vector<std::unique_ptr<SUBCKTDEF>> definitions;
    std::unordered_map<std::string, SUBCKTDEF*> byname; // the last definition of each name (namekey)
    std::unordered_set<std::string> models; // ".model" names (namekey), also relabelled ones
};

// The definition of the level that an instance card names; null for any other card. A single word
// is no instance: it would name itself as its subcircuit.
SUBCKTDEF* namedsubckt(const LEVEL& level, const SPICECARD* card)
{
    if (card->text[0] != 'x' && card->text[0] != 'X')
        return nullptr;
    std::string_view subckt = lastword(card->text);
    auto found = level.byname.find(namekey(subckt));
    return found == level.byname.end() || subckt.data() == card->text ? nullptr : found->second;
}

// A definition that the cards from head on reach and that instantiates itself, directly or through
// others of the level, as the chain of names from it back to it ("a -> b -> a"); empty when there
// is none. Looked for before any copy is made, so that a recursion fails at once however deep a
// real hierarchy may go. A depth-first walk that keeps its path on a stack of its own.
std::string findrecursion(const LEVEL& level, const SPICECARD* head)
{
    enum STATE { UNSEEN, ONPATH, DONE };
    std::unordered_map<const SUBCKTDEF*, STATE> states;
    struct STEP {
        const SUBCKTDEF* definition;
        const SPICECARD* next; // the body card to look at next
    };
    std::vector<STEP> path;
    auto enter = [&](const SUBCKTDEF* definition) {
        states[definition] = ONPATH;
        path.push_back({ definition, definition->body });
    };
    for (const SPICECARD* card = head; card; card = card->next) {
        const SUBCKTDEF* root = namedsubckt(level, card);
        if (!root || states[root] != UNSEEN)
            continue;
        enter(root);
        while (!path.empty()) {
            const SPICECARD* body = path.back().next;
            if (!body) {
                states[path.back().definition] = DONE;
                path.pop_back();
                continue;
            }
            path.back().next = body->next;
            const SUBCKTDEF* target = namedsubckt(level, body);
            if (!target)
                continue;
            if (states[target] == UNSEEN) {
                enter(target);
                continue;
            }
            if (states[target] == DONE)
                continue;
            std::string chain;
            for (auto step = path.rbegin(); step != path.rend(); ++step) {
                chain = step->definition->name + " -> " + chain;
                if (step->definition == target)
                    break;
            }
            return chain + target->name;
        }
    }
    return {};
}

// A card whose node list is written in parentheses loses them: on a ".subckt" card the first '('
// and the first ')' after it, on others a '(' right after the first word and its ')'.
void removenodeparens(char* text)
{
    char* open = nullptr;
    if (beginswith(text, ".subckt")) {
        open = std::strchr(text, '(');
    } else {
        char* p = text;
        while (*p && !asciispace(*p))
            ++p;
        while (asciispace(*p))
            ++p;
        open = *p == '(' ? p : nullptr;
    }
    if (!open)
        return;
    if (char* close = std::strchr(open + 1, ')'))
        std::memmove(close, close + 1, std::strlen(close + 1) + 1);
    std::memmove(open, open + 1, std::strlen(open + 1) + 1);
}

class EXPANDER final : public EXPANSIONNAMES {
public:
    // Expands one level in place; false when it failed (messages written). head always stays a
    // chain of the level's cards, so that a failed expansion can be freed whole.
    bool expandlevel(SPICECARD*& head);

    // Names are looked up from the level being expanded outwards: a copy made inside a definition
    // may name a subcircuit or a model that only an enclosing level defines.
    int formalcount(std::string_view subckt) const override
    {
        std::string key = namekey(subckt);
        for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
            auto found = (*level)->byname.find(key);
            if (found != (*level)->byname.end())
                return static_cast<int>(found->second->formals.size());
        }
        return -1;
    }
    bool ismodelname(std::string_view model) const override
    {
        std::string key = namekey(model);
        for (const LEVEL* level : levels) {
            if (level->models.count(key))
                return true;
        }
        return false;
    }

    std::vector<std::string> globals; // nodes of ".global" cards: every copy shares them

private:
    bool extract(LEVEL& level, SPICECARD*& head);
    // One pass over the level: the number of instance cards replaced, -1 when the size limit was
    // passed. A copy with parameter or relabelling errors sets failed.
    long instancepass(LEVEL& level, SPICECARD*& head, bool& failed);

    std::vector<LEVEL*> levels; // the levels being expanded, innermost last
    size_t copied = 0; // cards made by copies so far
    size_t copiedtext = 0; // and their text bytes
};

bool EXPANDER::extract(LEVEL& level, SPICECARD*& head)
{
    SPICECARD** link = &head;
    while (SPICECARD* card = *link) {
        if (beginswith(card->text, ".ends")) {
            fprintf(modulestdout(), "Error: misplaced %s line: %s\n", ".ends", card->text);
            return false;
        }
        if (!beginswith(card->text, ".subckt")) {
            link = &card->next;
            continue;
        }
        SPICECARD* before = card;
        SPICECARD* end = card->next;
        for (int nesting = 0; end; before = end, end = end->next) {
            if (beginswith(end->text, ".subckt")) {
                ++nesting;
            } else if (beginswith(end->text, ".ends")) {
                if (nesting == 0)
                    break;
                --nesting;
            }
        }
        if (!end) {
            fprintf(modulestdout(), "Error: no %s line.\n", ".ends");
            return false;
        }
        auto definition = std::make_unique<SUBCKTDEF>();
        const char* p = card->text;
        nexttoken(p);
        if (auto name = nexttoken(p))
            definition->name = *name;
        for (std::string_view rest(p); !rest.empty();) {
            size_t start = rest.find_first_not_of(" \t\n\r\v\f");
            if (start == std::string_view::npos)
                break;
            size_t stop = rest.find_first_of(" \t\n\r\v\f", start);
            definition->formals.emplace_back(rest.substr(start, stop - start));
            rest = stop == std::string_view::npos ? std::string_view() : rest.substr(stop);
        }
        *link = end->next;
        definition->start = card;
        definition->body = before == card ? nullptr : card->next;
        definition->end = end;
        before->next = nullptr;
        card->next = nullptr;
        end->next = nullptr;
        level.byname[namekey(definition->name)] = definition.get();
        level.definitions.push_back(std::move(definition));
    }
    return true;
}

long EXPANDER::instancepass(LEVEL& level, SPICECARD*& head, bool& failed)
{
    long replaced = 0;
    SPICECARD** link = &head;
    while (SPICECARD* card = *link) {
        if (card->text[0] != 'x' && card->text[0] != 'X') {
            link = &card->next;
            continue;
        }
        const SUBCKTDEF* found = namedsubckt(level, card);
        if (!found) {
            link = &card->next;
            continue;
        }
        const SUBCKTDEF& definition = *found;
        std::string_view subckt = lastword(card->text);
        const char* p = card->text;
        std::string_view label = nexttoken(p)->substr(1);
        while (!label.empty() && (label[0] == ' ' || label[0] == '\t' || label[0] == ':'))
            label.remove_prefix(1);

        SPICECARD* copy = copydeck(definition.body);
        SPICECARD* tail = nullptr;
        for (SPICECARD* c = copy; c; c = c->next, ++copied) {
            copiedtext += std::strlen(c->text);
            tail = c;
        }
        if (copied > MAXCARDS || copiedtext > MAXTEXT) {
            freecards(copy);
            fprintf(modulestdout(), "Error: subcircuit expansion exceeds %zu cards or %zu MB\n", MAXCARDS,
                MAXTEXT >> 20);
            return -1;
        }
        relabelmodels(copy, label, level.models);

        // The formals take the instance's nodes in order; the subcircuit name ends the list.
        std::vector<std::string_view> actuals;
        while (auto token = nexttoken(p))
            actuals.push_back(*token);
        BINDINGS bindings;
        const std::vector<std::string>& formals = definition.formals;
        const char* problem = nullptr;
        for (size_t i = 0; i < formals.size() && !problem; ++i) {
            if (i + 1 >= actuals.size())
                problem = "Too few parameters for subcircuit type \"%s\" (instance: x%.*s)\n";
            else
                bindings.emplace(namekey(formals[i]), actuals[i]);
        }
        for (const std::string& global : globals)
            bindings.emplace(namekey(global), global);
        if (!problem && (formals.size() >= actuals.size() || actuals[formals.size()] != subckt))
            problem = "Too many parameters for subcircuit type \"%s\" (instance: x%.*s)\n";
        if (problem) {
            fprintf(modulestderr(), problem, definition.name.c_str(), static_cast<int>(label.size()),
                label.data());
            failed = true;
        }
        for (SPICECARD* c = copy; c; c = c->next) {
            if (!relabelcard(c, label, bindings, *this))
                failed = true;
        }

        SPICECARD* after = card->next;
        if (copy) {
            *link = copy;
            tail->next = after;
            link = &tail->next;
        } else {
            *link = after;
        }
        card->next = nullptr;
        freecards(card);
        ++replaced;
    }
    return replaced;
}

bool EXPANDER::expandlevel(SPICECARD*& head)
{
    if (levels.size() > MAXNESTING) {
        fprintf(modulestdout(), "Error: subcircuits nested more than %zu deep\n", MAXNESTING);
        return false;
    }
    LEVEL level;
    if (!extract(level, head))
        return false;
    if (level.definitions.empty())
        return true;
    for (SPICECARD* card = head; card; card = card->next) {
        const char* p = card->text;
        if (beginswith(p, ".model") && nexttoken(p)) {
            if (auto model = nexttoken(p))
                level.models.emplace(namekey(*model));
        }
    }
    levels.push_back(&level);
    struct POP {
        std::vector<LEVEL*>& levels;
        ~POP() { levels.pop_back(); }
    } pop { levels };

    for (auto& definition : level.definitions) {
        if (!expandlevel(definition->body))
            return false;
    }
    std::string recursion = findrecursion(level, head);
    if (!recursion.empty()) {
        fprintf(modulestdout(), "Error: subcircuit recursion: %s\n", recursion.c_str());
        return false;
    }
    // Without recursion every pass goes one level deeper into a finite hierarchy, so it ends within
    // one pass per definition; the card bound of instancepass stops one that grows too wide. A
    // copy that still names a subcircuit after that many passes recurses in a way the walk over
    // the definitions could not see (a name that only a copy's relabelled text spells).
    for (size_t pass = 0;; ++pass) {
        if (pass > level.definitions.size()) {
            fprintf(modulestdout(),
                "Error: subcircuit recursion: a copy still names a subcircuit after %zu levels\n",
                level.definitions.size());
            return false;
        }
        bool failed = false;
        long replaced = instancepass(level, head, failed);
        if (replaced < 0 || failed)
            return false;
        if (replaced == 0)
            return true;
    }
}

} // namespace

SPICECARD* expandsubckts(SPICECARD* head)
{
    if (!head)
        return nullptr;
    EXPANDER expander;
    for (SPICECARD* card = head; card; card = card->next) {
        removenodeparens(card->text);
        const char* p = card->text;
        if (beginswith(p, ".global") && nexttoken(p)) {
            while (auto node = nexttoken(p))
                expander.globals.emplace_back(*node);
        }
    }
    if (!expander.expandlevel(head)) {
        freecards(head);
        return nullptr;
    }
    return head;
}
