#pragma once

// A deck run through the runner from a text, with what it printed read back.
#include "host/deckrun/runner.h"
#include "testsupport/temp_folder.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace decktest {

struct Result {
    int status;
    std::string out;
    std::string err;

    // The printed table: the names of the first line, then a row of numbers a line.
    std::vector<std::string> names() const
    {
        std::istringstream in(out.substr(0, out.find('\n')));
        std::vector<std::string> list;
        for (std::string name; in >> name;)
            list.push_back(name);
        return list;
    }
    std::vector<std::vector<double>> rows() const
    {
        std::vector<std::vector<double>> list;
        std::istringstream in(out);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::istringstream numbers(line);
            std::vector<double>& row = list.emplace_back();
            for (double value; numbers >> value;)
                row.push_back(value);
        }
        return list;
    }
    // The value printed under `name` in the last row (an operating point's only one); NaN when none.
    double last(const std::string& name) const
    {
        const std::vector<std::string> list = names();
        const std::vector<std::vector<double>> table = rows();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i] == name && !table.empty() && i < table.back().size())
                return table.back()[i];
        }
        return std::numeric_limits<double>::quiet_NaN();
    }
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

inline Result rundeck(const std::string& text, const std::string& name = "deck.cir", bool statistics = false)
{
    const std::string path = (vkt::test::tempFolder() / name).string();
    std::ofstream(path) << text;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = deckrun::run(path, out, err, statistics);
    return { status, contents(out), contents(err) };
}

} // namespace decktest
