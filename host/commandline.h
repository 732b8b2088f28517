#pragma once

// The command line as every tool of the suite reads it: options may stand before or after the
// files; an option that takes a value has it as the next word or after '=' ("--tick 1ms",
// "--tick=1ms"); -h or --help prints the usage on standard output and ends the tool with 0; an unknown
// option or a wrong number of files prints what is wrong and the usage on standard error and ends
// it with 2 (a failed run ends with 1). Header only, so that each tool takes it without a library.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct COMMANDLINE {
    std::vector<const char*> files;
    std::vector<std::string> options; // the known options given, in order
    std::vector<std::pair<std::string, std::string>> values; // options with their values, in order

    bool has(const char* option) const
    {
        return std::find(options.begin(), options.end(), option) != options.end()
            || std::any_of(values.begin(), values.end(), [&](const auto& v) { return v.first == option; });
    }
    // The value of the option given last; null when it was not given.
    const char* value(const char* option) const
    {
        for (auto v = values.rbegin(); v != values.rend(); ++v)
            if (v->first == option)
                return v->second.c_str();
        return nullptr;
    }
};

// Reads argv into *line: `usage` is the tool's text (ending with a line feed), `known` the options
// it takes, at least `leastfiles` and at most `mostfiles` files, `valued` the options that take a
// value. -1 when the tool goes on, else the exit code it ends with at once.
inline int readcommandline(int argc, char** argv, const char* name, const char* usage,
    std::initializer_list<const char*> known, size_t leastfiles, size_t mostfiles, COMMANDLINE* line,
    std::initializer_list<const char*> valued = {})
{
    auto listed = [](std::initializer_list<const char*> list, const std::string& word) {
        return std::any_of(list.begin(), list.end(), [&](const char* k) { return word == k; });
    };
    std::string wrong;
    std::string valueless;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (std::strcmp(word, "-h") == 0 || std::strcmp(word, "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (word[0] != '-' || word[1] == '\0') {
            line->files.push_back(word);
            continue;
        }
        const char* equals = std::strchr(word, '=');
        const std::string option = equals ? std::string(word, equals) : std::string(word);
        if (listed(valued, option)) {
            if (equals)
                line->values.emplace_back(option, equals + 1);
            else if (i + 1 < argc)
                line->values.emplace_back(option, argv[++i]);
            else if (valueless.empty())
                valueless = option;
        } else if (!equals && listed(known, option)) {
            line->options.emplace_back(option);
        } else if (wrong.empty()) {
            wrong = word;
        }
    }
    if (!wrong.empty()) {
        std::fprintf(stderr, "%s: unknown option %s\n%s", name, wrong.c_str(), usage);
        return 2;
    }
    if (!valueless.empty()) {
        std::fprintf(stderr, "%s: %s needs a value\n%s", name, valueless.c_str(), usage);
        return 2;
    }
    if (line->files.size() < leastfiles || line->files.size() > mostfiles) {
        std::fprintf(stderr, "%s: %s\n%s", name,
            line->files.size() < leastfiles ? "a file is missing" : "too many files", usage);
        return 2;
    }
    return -1;
}
