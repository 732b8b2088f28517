#include "engines/fakes/recorder.h"

#include "engines/fakes/digital.h"
#include "engines/fakes/parser.h"
#include "engines/fakes/spice.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <map>

namespace fakes {

namespace {

struct Recorder {
    std::vector<std::string> calls;
    std::map<std::string, std::deque<int>> scripts;
};

Recorder& recorder()
{
    static Recorder state;
    return state;
}

}  // namespace

const std::vector<std::string>& calls()
{
    return recorder().calls;
}

void record(std::string call)
{
    recorder().calls.push_back(std::move(call));
}

std::vector<std::string> callsof(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& call : recorder().calls) {
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    }
    return found;
}

void script(const std::string& function, std::vector<int> results)
{
    auto& queue = recorder().scripts[function];
    queue.insert(queue.end(), results.begin(), results.end());
}

int answer(const std::string& function, int def)
{
    auto it = recorder().scripts.find(function);
    if (it == recorder().scripts.end() || it->second.empty())
        return def;
    int result = it->second.front();
    it->second.pop_front();
    return result;
}

std::string format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    va_start(args, format);
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

void reset()
{
    recorder().calls.clear();
    recorder().scripts.clear();
    resetspice();
    resetparser();
    resetdigital();
}

}  // namespace fakes
