#include "simulator/kernel/activemodels.h"

#include <cctype>
#include <cstring>
#include <unordered_map>

namespace {

std::unordered_map<uint32_t, IACTIVEMODEL*>& registry()
{
    static std::unordered_map<uint32_t, IACTIVEMODEL*> objects;
    return objects;
}

} // namespace

void setactivemodel(uint32_t id, IACTIVEMODEL* object)
{
    if (object)
        registry()[id] = object;
    else
        registry().erase(id);
}

void clearactivemodels()
{
    registry().clear();
}

ACTIVEMODEL lookupactivemodel(const char* active, IACTIVEMODEL** object, uint32_t* id)
{
    *object = nullptr;
    const char* colon = active ? strchr(active, ':') : nullptr;
    if (!colon || !isxdigit(static_cast<unsigned char>(colon[1])))
        return ACTIVEMODEL::NONE;
    // At most eight digits: a longer number is no id of the table.
    uint32_t number = 0;
    const char* p = colon + 1;
    for (int digits = 0; digits < 8 && isxdigit(static_cast<unsigned char>(*p)); ++digits, ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        number = number << 4 | static_cast<uint32_t>(isdigit(c) ? c - '0' : toupper(c) - 'A' + 10);
    }
    *id = number;
    if (isxdigit(static_cast<unsigned char>(*p)))
        return ACTIVEMODEL::UNKNOWN;
    auto found = registry().find(number);
    if (found == registry().end())
        return ACTIVEMODEL::UNKNOWN;
    *object = found->second;
    return ACTIVEMODEL::FOUND;
}
