#include "host/simrun/hostscript.h"

#include "core/text/values.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

// An integer in decimal, or in hexadecimal after 0x.
bool readinteger(const std::string& word, int64_t* value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long long read
        = std::strtoll(word.c_str(), &end, word.rfind("0x", 0) == 0 || word.rfind("0X", 0) == 0 ? 16 : 10);
    if (errno != 0 || *end != '\0')
        return false;
    *value = read;
    return true;
}

} // namespace

bool readseconds(const char* text, double* seconds)
{
    char* p = const_cast<char*>(text);
    double value = 0;
    // The unit after the suffix goes with the number ("ms").
    if (!getval(&p, &value) || !std::isfinite(value) || *p != '\0')
        return false;
    *seconds = value;
    return true;
}

bool readhostscript(FILE* stream, std::vector<HOSTACTION>& actions, std::string& error)
{
    char buffer[1024];
    for (int number = 1; std::fgets(buffer, sizeof buffer, stream); ++number) {
        std::string text = buffer;
        text = text.substr(0, text.find('#'));
        std::istringstream line(text);
        std::string time;
        std::string kind;
        if (!(line >> time))
            continue;
        line >> kind;
        HOSTACTION action { 0, HOSTACTION::EVENT, 0, 0 };
        std::string id;
        std::string argument;
        std::string rest;
        bool valid = readseconds(time.c_str(), &action.time) && action.time >= 0;
        if (kind == "event") {
            int64_t element = 0;
            int64_t value = 0;
            valid = valid && line >> id >> argument && readinteger(id, &element)
                && readinteger(argument, &value) && element >= INT32_MIN && element <= INT32_MAX
                && value >= INT32_MIN && value <= UINT32_MAX;
            action.id = static_cast<int32_t>(element);
            action.argument = static_cast<uint32_t>(value);
        } else if (kind == "pause") {
            action.kind = HOSTACTION::PAUSE;
        } else if (kind == "snapshot") {
            action.kind = HOSTACTION::SNAPSHOT;
        } else {
            valid = false;
        }
        if (!valid || line >> rest) {
            error = "line " + std::to_string(number) + " is no action: " + text;
            while (!error.empty() && (error.back() == '\n' || error.back() == ' '))
                error.pop_back();
            return false;
        }
        actions.push_back(action);
    }
    std::stable_sort(actions.begin(), actions.end(),
        [](const HOSTACTION& a, const HOSTACTION& b) { return a.time < b.time; });
    return true;
}
