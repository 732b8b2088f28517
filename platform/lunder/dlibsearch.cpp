#include "core/containers/didx.h"
#include "platform/lunder/dlib.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <strings.h>
#include <vector>

// The search over a library's index that the pick dialogs run: keywords are sought as text
// anywhere in the chosen fields (or as whole words), ignoring ASCII case; filters compare whole
// texts. Pinout scripts ('[' names) are no parts and are left out of both.

namespace {

unsigned char fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

bool wordcharacter(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'
        || c >= 0x80;
}

// Whether the folded word occurs in text (null: never), as a whole word when whole is set.
bool contains(const char* text, const std::string& word, bool whole)
{
    if (!text)
        return false;
    const auto* start = reinterpret_cast<const unsigned char*>(text);
    const auto* needle = reinterpret_cast<const unsigned char*>(word.data());
    const size_t n = word.size();
    for (const unsigned char* p = start; *p; ++p) {
        if (fold(*p) != needle[0])
            continue;
        size_t i = 1;
        while (i < n && p[i] && fold(p[i]) == needle[i])
            ++i;
        if (i < n)
            continue;
        if (whole && ((p > start && wordcharacter(p[-1])) || wordcharacter(p[n])))
            continue;
        return true;
    }
    return false;
}

bool passes(const char* filter, const char* value)
{
    if (!filter)
        return true;
    if (!*filter)
        return !value;
    return value && strcasecmp(filter, value) == 0;
}

bool restricted(const char* wanted, const char* value)
{
    return wanted && *wanted && !(value && strcasecmp(wanted, value) == 0);
}

struct CASELESS {
    bool operator()(const char* a, const char* b) const { return strcasecmp(a, b) < 0; }
};
using TEXTS = std::set<const char*, CASELESS>;

// A present text joins texts; an absent one sets bit in bits.
void collect(const char* value, TEXTS& texts, int bit, int& bits)
{
    if (value)
        texts.insert(value);
    else
        bits |= bit;
}

void addmissing(DIDX* index, const TEXTS& texts)
{
    for (const char* text : texts)
        index->addmissing(text);
}

} // namespace

int DLIB::tag(const char (*words)[LIBWORDSIZE], int count, const char* cat, const char* type,
    const char* subcat, const char* mfr, int whole, unsigned options, unsigned filters)
{
    std::vector<std::string> folded;
    std::vector<char> inlibrary;
    for (int w = 0; w < count && w < LIBMAXWORDS; ++w) {
        std::string word(words[w], strnlen(words[w], LIBWORDSIZE - 1));
        if (word.empty())
            continue;
        for (char& c : word)
            c = static_cast<char>(fold(static_cast<unsigned char>(c)));
        inlibrary.push_back((options & LIBMATCH_LIBRARY) && contains(name, word, whole));
        folded.push_back(std::move(word));
    }
    int tagged = 0;
    for (DLIB_INDEX_ENTRY* entry : entries) {
        entry->tagged = 0;
        if (entry->name[0] == '[' || ((filters & LIBFILTER_MODELS) && !(entry->classes & LIBCLASS_MODEL))
            || !passes(cat, entry->category) || !passes(type, entry->type)
            || !passes(subcat, entry->subcategory) || !passes(mfr, entry->manufacturer))
            continue;
        bool all = true;
        for (size_t w = 0; all && w < folded.size(); ++w) {
            const std::string& word = folded[w];
            all = inlibrary[w] || ((options & LIBMATCH_NAME) && contains(entry->name, word, whole))
                || ((options & LIBMATCH_DESCRIPTION) && contains(entry->description, word, whole))
                || ((options & LIBMATCH_MANUFACTURER) && contains(entry->manufacturer, word, whole))
                || ((options & LIBMATCH_STOCKCODE) && contains(entry->stockcode, word, whole))
                || ((options & LIBMATCH_CLASSES)
                    && (contains(entry->category, word, whole) || contains(entry->type, word, whole)
                        || contains(entry->subcategory, word, whole)));
        }
        if (all) {
            entry->tagged = 1;
            ++tagged;
        }
    }
    return tagged;
}

int DLIB::get_index_lists(const char* cat, const char* type, DIDX* catidx, DIDX* typeidx, DIDX* subcatidx,
    DIDX* mfridx, DIDX*, int tagged, unsigned filters)
{
    TEXTS cats;
    TEXTS types;
    TEXTS subcats;
    TEXTS mfrs;
    int bits = 0;
    for (const DLIB_INDEX_ENTRY* entry : entries) {
        if (entry->name[0] == '[' || (tagged && !entry->tagged)
            || ((filters & LIBFILTER_MODELS) && !(entry->classes & LIBCLASS_MODEL))
            || restricted(cat, entry->category) || restricted(type, entry->type))
            continue;
        if (catidx)
            collect(entry->category, cats, 1, bits);
        if (typeidx)
            collect(entry->type, types, 2, bits);
        if (subcatidx)
            collect(entry->subcategory, subcats, 2, bits);
        if (mfridx)
            collect(entry->manufacturer, mfrs, 4, bits);
    }
    for (auto [index, texts] :
        { std::pair { catidx, &cats }, { typeidx, &types }, { subcatidx, &subcats }, { mfridx, &mfrs } }) {
        if (index)
            addmissing(index, *texts);
    }
    return bits;
}
