#include "simulator/models/spice/spicemodels.h"

#include "core/files/pathopen.h"
#include "core/files/paths.h"
#include "core/files/ramfile.h"
#include "core/text/ascii.h"
#include "simulator/kernel/spicedeck/decklog.h"
#include "simulator/kernel/spicedeck/deckread.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <strings.h>

namespace {

struct CASELESS {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};
using NAMES = std::set<std::string, CASELESS>;

// A property's text unless it is missing, "?" or "[NULL]".
const char* present(ISPICESOURCES& sources, int32_t part, const char* property)
{
    const char* text = sources.partproperty(part, property);
    if (!text || strcmp(text, "?") == 0 || strcasecmp(text, "[NULL]") == 0)
        return nullptr;
    return text;
}

// What a SPICEMODEL text names: the model (the first run of characters other than ',' and blanks,
// in upper case) and the file after the character that ended it, up to the line's end.
struct MODELREFERENCE {
    std::string model;
    std::string file;
};

MODELREFERENCE cutreference(const char* text)
{
    MODELREFERENCE reference;
    const char* p = text;
    for (; *p && *p != ',' && *p != ' ' && *p != '\t'; ++p)
        reference.model += static_cast<char>(asciiupper(*p));
    if (*p)
        ++p;
    while (*p == '\n' || *p == '\r')
        ++p;
    reference.file.assign(p, strcspn(p, "\r\n"));
    return reference;
}

// Reads a SPICE file once per load from the MODELS path.
void linkfile(SPICEDECK* deck, std::string file, NAMES& linked)
{
    size_t start = std::min(file.find_first_not_of(" \t"), file.size());
    size_t end = file.find_last_not_of(" \t");
    file = end == std::string::npos || end < start ? "" : file.substr(start, end + 1 - start);
    char name[PATHBUFFER];
    if (file.empty() || file.size() + 4 >= PATHBUFFER)
        return;
    adddefext(name, file.c_str(), "MOD");
    if (linked.count(name))
        return;
    std::string folders = getenvcopy("MODELS");
    char found[PATHBUFFER];
    if (!pathopenspec(folders.c_str(), name, nullptr, 0, found)) {
        decklogf('W', "cannot open SPICE source file %s", name);
        return;
    }
    std::string text;
    if (!readsourcefile(found, text))
        return;
    RAMFILE source(text.data(), static_cast<int>(text.size()));
    if (!readdeck(deck, source, nullptr))
        return;
    linked.insert(name);
    decktracelink().trace("Linked SPICE file '%s'", name);
}

// Reads a model from a model library once per load.
void linkmodel(
    SPICEDECK* deck, ISPICESOURCES& sources, const std::string& model, const char* library, NAMES& loaded)
{
    if (model.empty() || loaded.count(model))
        return;
    char* record = sources.findmodel(model.c_str(), library);
    if (!record) {
        decktracelink().warning("Cannot find library model '%s'", model.c_str());
        return;
    }
    // The model's text follows the record's leading length word.
    char* text = record + sizeof(int32_t);
    RAMFILE source(text, static_cast<int>(strlen(text)));
    try {
        readdeck(deck, source, nullptr);
    } catch (...) {
        std::free(record);
        throw;
    }
    std::free(record);
    loaded.insert(model);
    decktracelink().trace("Loaded SPICE model '%s' from library '%s'", model.c_str(), library);
}

} // namespace

void loadspicemodels(SPICEDECK* deck, ISPICESOURCES& sources)
{
    for (char* text : sources.spicescripts()) {
        RAMFILE source(text, static_cast<int>(strlen(text)));
        readdeck(deck, source, nullptr);
    }
    NAMES linked;
    NAMES loaded;
    for (int32_t part = 0, count = sources.partcount(); part < count; ++part) {
        if (const char* text = present(sources, part, "SPICEMODEL")) {
            MODELREFERENCE reference = cutreference(text);
            if (reference.file.find_first_not_of(" \t") == std::string::npos)
                reference.file
                    = present(sources, part, "SPICEFILE") ? present(sources, part, "SPICEFILE") : "";
            if (!reference.file.empty())
                linkfile(deck, reference.file, linked);
            else if (const char* library = present(sources, part, "SPICELIB"))
                linkmodel(deck, sources, reference.model, library, loaded);
        }
        sources.expandpart(part, deck);
    }
}
