#pragma once

// Runs a deck's text through the deck runner for a test and gives what it wrote.
#include "engines/deckrun/runner.h"
#include "testsupport/temp_folder.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace deckruntest {

struct Result {
    int status;
    std::string out;
    std::string err;
};

inline std::string contents(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
        text.append(buffer, n);
    std::fclose(stream);
    return text;
}

// The deck written to `name` in the test's folder and run.
inline Result rundeck(const std::string& text, const std::string& name = "deck.cir")
{
    const std::string path = (vkt::test::tempFolder() / name).string();
    std::ofstream(path) << text;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = deckrun::run(path, out, err);
    return { status, contents(out), contents(err) };
}

} // namespace deckruntest
