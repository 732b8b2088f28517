#pragma once

// Runs the vkt binary of the tests with the probe module, which carries out a test's steps inside
// the program and appends snapshots of it to a report file ("--" then key=value lines).

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vkttest {

using SNAPSHOT = std::multimap<std::string, std::string>;

struct RUN {
    int exitcode;
    std::string output;
    std::vector<SNAPSHOT> snapshots;
};

// The text quoted for the shell.
std::string quoted(const std::string& text);
// Runs the program with the arguments on the Qt platform named, the probe carrying out steps
// ("step; step; ..."), and reads the report the steps wrote. Without its splash screen (-q) unless
// asked.
RUN runvkt(const std::string& arguments, const std::string& steps, const std::filesystem::path& report,
    const char* platform = "offscreen", bool splash = false);
// The value of the key in the snapshot; "(absent)" when it has none.
std::string value(const SNAPSHOT& snapshot, const char* key);
// The texts of the message boxes shown since the snapshot before.
std::vector<std::string> boxes(const SNAPSHOT& snapshot);

} // namespace vkttest
