#include "engines/mavro/parser.h"
#include "engines/mavro/symtab.h"
#include "engines/mavro/token.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace mavro {

namespace {

// The models the first pass read; they live until INPkillMods.
std::vector<std::unique_ptr<INPmodel>>& models()
{
    static std::vector<std::unique_ptr<INPmodel>> list;
    return list;
}

char* heapformat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0)
        return nullptr;
    auto* text = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    if (!text)
        return nullptr;
    va_start(args, format);
    std::vsnprintf(text, static_cast<std::size_t>(length) + 1, format, args);
    va_end(args);
    return text;
}

// Adds a message to the card's error text, one line per message.
void adderror(SPICECARD* card, const char* message)
{
    std::string text = card->error ? std::string(card->error) + "\n" + message : message;
    char* copy = heapformat("%s", text.c_str());
    if (!copy)
        return;
    std::free(card->error);
    card->error = copy;
}

enum class Card { Blank, Comment, Title, Control, Device };

Card classify(const SPICECARD* card)
{
    const char* p = card->text;
    if (!p)
        return Card::Blank;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    if (!*p)
        return Card::Blank;
    if (*p == '*' || *p == '#' || *p == '$')
        return Card::Comment;
    if (*p == '.')
        return Card::Control;
    // The first line of every source stays in the deck as its title.
    return card->line == 1 ? Card::Title : Card::Device;
}

bool ismodelcard(const SPICECARD* card)
{
    const char* p = card->text;
    return sameletters(nexttoken(p, false), ".model");
}

}  // namespace

int pass1(IFcircuit*, SPICECARD* deck, INPtables*)
{
    int failed = 0;
    for (SPICECARD* card = deck; card; card = card->next) {
        if (classify(card) != Card::Control || !ismodelcard(card))
            continue;
        adderror(card, "model cards are not supported yet");
        ++failed;
    }
    return failed;
}

int pass2(IFcircuit*, SPICECARD* deck, INPtables*, IFtask*, IFjob*)
{
    IFfrontEnd* frontend = session().frontend;
    int failed = 0;
    for (SPICECARD* card = deck; card; card = card->next) {
        if (classify(card) != Card::Device)
            continue;
        adderror(card, "device cards are not supported yet");
        if (frontend && frontend->error)
            frontend->error(ERR_WARNING, "line %d: device cards are not supported yet: %s", card->line, card->text);
        ++failed;
    }
    return failed;
}

void killmodels()
{
    models().clear();
}

char* getmodel(IFcircuit*, char* name, INPmodel** model, INPtables*)
{
    if (model)
        *model = nullptr;
    if (!name)
        return heapformat("no model name given");
    for (auto& candidate : models()) {
        if (std::strcmp(candidate->name, name) == 0 || sameletters(candidate->name, name)) {
            if (model)
                *model = candidate.get();
            return nullptr;
        }
    }
    return heapformat("unable to find definition of model %s", name);
}

char* findlevel(char* line, int* level)
{
    int ignored = 0;
    int& result = level ? *level : ignored;
    result = 1;
    if (!line)
        return nullptr;
    const char* cursor = line;
    for (std::string_view token = nexttoken(cursor, true); !token.empty(); token = nexttoken(cursor, true)) {
        if (!sameletters(token, "level"))
            continue;
        std::string_view text = nexttoken(cursor, true);
        std::optional<double> value = tokenvalue(text);
        if (!value || *value < 1 || *value > 1000 || *value != std::floor(*value))
            return heapformat("illegal LEVEL %.*s: level 1 assumed", static_cast<int>(text.size()), text.data());
        result = static_cast<int>(*value);
        return nullptr;
    }
    return nullptr;
}

int gettree(char**, IFparseTree** tree, IFcircuit*, INPtables*)
{
    if (tree)
        *tree = nullptr;
    return E_NOTBUILT;
}

}  // namespace mavro
