#pragma once

// The command line as every tool of the suite reads it: options may stand before or after the
// files; -h or --help prints the usage on standard output and ends the tool with 0; an unknown
// option or a wrong number of files prints what is wrong and the usage on standard error and ends
// it with 2 (a failed run ends with 1). Header only, so that each tool takes it without a library.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

struct COMMANDLINE {
    std::vector<const char*> files;
    std::vector<std::string> options; // the known options given, in order

    bool has(const char* option) const
    {
        return std::find(options.begin(), options.end(), option) != options.end();
    }
};

// Reads argv into *line: `usage` is the tool's text (ending with a line feed), `known` the options
// it takes, at least `leastfiles` and at most `mostfiles` files. -1 when the tool goes on, else
// the exit code it ends with at once.
inline int readcommandline(int argc, char** argv, const char* name, const char* usage,
    std::initializer_list<const char*> known, size_t leastfiles, size_t mostfiles, COMMANDLINE* line)
{
    const char* wrong = nullptr;
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
        const bool isknown = std::any_of(
            known.begin(), known.end(), [&](const char* k) { return std::strcmp(k, word) == 0; });
        if (isknown)
            line->options.emplace_back(word);
        else if (!wrong)
            wrong = word;
    }
    if (wrong) {
        std::fprintf(stderr, "%s: unknown option %s\n%s", name, wrong, usage);
        return 2;
    }
    if (line->files.size() < leastfiles || line->files.size() > mostfiles) {
        std::fprintf(stderr, "%s: %s\n%s", name,
            line->files.size() < leastfiles ? "a file is missing" : "too many files", usage);
        return 2;
    }
    return -1;
}
