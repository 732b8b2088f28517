#pragma once

#include <string>
#include <vector>

// The call record and the scripted answers shared by the recording fakes of the three engines.
// Every call a fake receives is recorded, in order, as a text "name(arg, arg) -> result"; handles
// appear by the names they were made under. Single-threaded, like the engines.
namespace fakes {

// Every call since the last reset().
const std::vector<std::string>& calls();
void record(std::string call);
// The recorded calls whose text starts with `prefix` ("pallex_" for all of one family).
std::vector<std::string> callsof(const std::string& prefix);

// The next calls of `function` answer these results in turn; then the function's default again.
void script(const std::string& function, std::vector<int> results);
// The scripted answer of `function`, else `def`.
int answer(const std::string& function, int def);

// printf into a std::string.
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Forgets the calls and scripts and resets every fake engine to its state after loading.
void reset();

}  // namespace fakes
