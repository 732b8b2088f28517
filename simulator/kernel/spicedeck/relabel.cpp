#include "simulator/kernel/spicedeck/relabel.h"

#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>
#include <vector>

namespace {

std::string labelname(std::string_view name, std::string_view label)
{
    std::string out(label);
    out += ':';
    out += name;
    return out;
}

std::string labelnode(std::string_view node, std::string_view label, const BINDINGS& bindings)
{
    if (node == "0")
        return "0";
    auto bound = bindings.find(namekey(node));
    if (bound != bindings.end())
        return bound->second;
    return labelname(node, label);
}

// Where the model names may stand on a device card: the tokens before the first, and how many.
struct MODELPOSITION {
    int before;
    int lookups;
};

MODELPOSITION modelposition(char letter)
{
    switch (asciilower(letter)) {
    case 'c':
    case 'r':
        return { 3, 2 };
    case 'd':
        return { 3, 1 };
    case 'j':
    case 'u':
    case 'w':
    case 'z':
        return { 4, 1 };
    case 'm':
    case 'o':
    case 's':
        return { 5, 1 };
    case 'q':
        return { 4, 2 };
    default:
        return { 0, 0 };
    }
}

void relabelmodelrefs(SPICECARD* card, std::string_view label, const std::unordered_set<std::string>& locals)
{
    MODELPOSITION position = modelposition(card->text[0]);
    if (position.lookups == 0)
        return;
    const char* p = card->text;
    std::string out;
    for (int i = 0; i < position.before; ++i) {
        auto token = nexttoken(p);
        if (!token)
            return;
        out.append(*token).append(" ");
    }
    // Only a card that names one of the models is rewritten.
    bool named = false;
    for (int found = 0; found < position.lookups; ++found) {
        auto token = nexttoken(p);
        if (!token)
            break;
        bool local = locals.count(namekey(*token)) != 0;
        out.append(local ? labelname(*token, label) : std::string(*token)).append(" ");
        named = named || local;
    }
    if (!named)
        return;
    out += p;
    settext(card, out);
}

// The number of node tokens after the device name, by the card's device letter.
int nodecount(const char* text, const EXPANSIONNAMES& names)
{
    const char* p = text;
    while (asciispace(*p))
        ++p;
    switch (asciilower(*p)) {
    case '\0':
    case '*':
    case '.':
    case 'k':
        return 0;
    case 'x': {
        // As many nodes as the subcircuit it names has formals.
        std::string_view subckt = lastword(text);
        int count = names.formalcount(subckt);
        if (count >= 0)
            return count;
        fprintf(modulestdout(), "Error: no such subcircuit: %.*s\n", static_cast<int>(subckt.size()),
            subckt.data());
        return 0;
    }
    case 'b':
    case 'c':
    case 'd':
    case 'f':
    case 'h':
    case 'i':
    case 'l':
    case 'r':
    case 'v':
    case 'w': // two nodes and a controlling source
        return 2;
    case 'j':
    case 'u':
    case 'z':
        return 3;
    case 'q': {
        // Three nodes, or four when the fifth token (the device name counted) is no model name.
        std::vector<std::string_view> tokens;
        for (const char* q = text; tokens.size() < 5;) {
            auto token = nexttoken(q);
            if (!token)
                break;
            tokens.push_back(*token);
        }
        if (tokens.size() < 3) {
            fprintf(modulestdout(), "Error: too few nodes for BJT: %s\n", text);
            return 0;
        }
        if (tokens.size() == 3)
            return 3;
        return tokens.size() == 5 && names.ismodelname(tokens[4]) ? 3 : 4;
    }
    case 'e':
    case 'g':
    case 'm':
    case 'o':
    case 's':
    case 't':
        return 4;
    default:
        fprintf(modulestdout(), "Warning: unknown device type: %c\n", asciilower(*p));
        return 2;
    }
}

// The number of controlling device names after the nodes.
int devicecount(char letter)
{
    switch (asciilower(letter)) {
    case 'k':
        return 2;
    case 'f':
    case 'h':
    case 'w':
        return 1;
    default:
        return 0;
    }
}

// The rest of a card with its V(...) and I(...) references relabelled.
std::string relabelreferences(std::string_view rest, std::string_view label, const BINDINGS& bindings)
{
    std::string out;
    out.reserve(rest.size() + 16);
    size_t i = 0;
    auto namelength = [&](size_t from, std::string_view stops) {
        size_t end = from;
        while (end < rest.size() && !asciispace(rest[end]) && stops.find(rest[end]) == std::string_view::npos)
            ++end;
        return end - from;
    };
    while (i < rest.size()) {
        char c = rest[i];
        bool voltage = c == 'v' || c == 'V';
        bool current = c == 'i' || c == 'I';
        size_t open = i + 1;
        while (open < rest.size() && asciispace(rest[open]))
            ++open;
        if (!(voltage || current) || (i > 0 && asciialpha(rest[i - 1])) || open >= rest.size()
            || rest[open] != '(') {
            out += c;
            ++i;
            continue;
        }
        out += c;
        out += '(';
        size_t at = open + 1;
        while (at < rest.size() && asciispace(rest[at]))
            ++at;
        std::string_view name = rest.substr(at, namelength(at, ",)"));
        at += name.size();
        if (current) {
            if (!name.empty())
                out += name[0] == 'v' || name[0] == 'V' ? labeldevice(name, label) : labelname(name, label);
        } else {
            if (!name.empty())
                out += labelnode(name, label, bindings);
            size_t next = at;
            while (next < rest.size() && (asciispace(rest[next]) || rest[next] == ','))
                ++next;
            if (next < rest.size() && rest[next] != ')') {
                std::string_view second = rest.substr(next, namelength(next, ")"));
                out += ',';
                out += labelnode(second, label, bindings);
                next += second.size();
            }
            at = next;
        }
        i = at;
    }
    return out;
}

} // namespace

std::string namekey(std::string_view name)
{
    std::string key(name.size(), '\0');
    for (size_t i = 0; i < name.size(); ++i)
        key[i] = static_cast<char>(asciilower(name[i]));
    return key;
}

std::string_view lastword(const char* text)
{
    std::string_view card(text);
    // A card the kernel adds ends in a line feed (a subcircuit part's X card).
    constexpr const char* blanks = " \t\r\n";
    size_t end = card.find_last_not_of(blanks);
    if (end == std::string_view::npos)
        return {};
    size_t start = card.find_last_of(blanks, end);
    start = start == std::string_view::npos ? 0 : start + 1;
    return card.substr(start, end + 1 - start);
}

bool beginswith(const char* text, std::string_view keyword)
{
    for (char k : keyword) {
        if (asciilower(*text++) != asciilower(k))
            return false;
    }
    return true;
}

std::string labeldevice(std::string_view device, std::string_view label)
{
    if (device.empty())
        return std::string(label);
    std::string out(1, device[0]);
    out += ':';
    out += label;
    std::string_view rest = device.substr(1);
    if (rest.empty())
        return out;
    if (rest[0] == ':')
        rest.remove_prefix(1);
    out += ':';
    out += rest;
    return out;
}

void relabelmodels(SPICECARD* copy, std::string_view label, std::unordered_set<std::string>& newmodels)
{
    // Only this copy's own models: a device of the copy that names a model defined elsewhere keeps
    // that model, even when another copy at the same level has a model of the same name.
    std::unordered_set<std::string> local;
    for (SPICECARD* card = copy; card; card = card->next) {
        if (!beginswith(card->text, ".model"))
            continue;
        const char* p = card->text;
        auto keyword = nexttoken(p);
        auto model = nexttoken(p);
        if (!keyword || !model)
            continue;
        std::string name = labelname(*model, label);
        std::string text(*keyword);
        text.append(" ").append(name).append(" ").append(p);
        local.emplace(namekey(*model));
        newmodels.insert(namekey(name));
        settext(card, text);
    }
    if (local.empty())
        return;
    for (SPICECARD* card = copy; card; card = card->next)
        relabelmodelrefs(card, label, local);
}

bool relabelcard(
    SPICECARD* card, std::string_view label, const BINDINGS& bindings, const EXPANSIONNAMES& names)
{
    const char* text = card->text;
    if (*text == '\0' || *text == '*' || *text == '.')
        return true;
    const char* p = text;
    auto device = nexttoken(p);
    if (!device)
        return true;
    int nodes = nodecount(text, names);
    std::string out = labeldevice(*device, label);
    out += ' ';
    for (int i = 0; i < nodes; ++i) {
        auto node = nexttoken(p);
        if (!node) {
            fprintf(modulestdout(), "Error: too few nodes: %s\n", text);
            return false;
        }
        out.append(labelnode(*node, label, bindings)).append(" ");
    }
    for (int i = devicecount((*device)[0]); i > 0; --i) {
        auto controlling = nexttoken(p);
        if (!controlling) {
            fprintf(modulestdout(), "Error: too few devs: %s\n", text);
            return false;
        }
        out.append(labeldevice(*controlling, label)).append(" ");
    }
    out += relabelreferences(p, label, bindings);
    settext(card, out);
    return true;
}
