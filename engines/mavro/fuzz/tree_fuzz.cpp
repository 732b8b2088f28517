// Parses any text as a behavioural expression and evaluates what parses: no text may crash the
// parser or exhaust its stack, and the value with derivatives must equal the value alone.
#include "engines/mavro/mavro.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

std::deque<IFnode> nodes;

int newnode(IFcircuit*, IFnode** node, IFuid name)
{
    *node = &nodes.emplace_back(IFnode { name, static_cast<int32_t>(nodes.size() + 1) });
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IFsimulator descriptor {};
    descriptor.newNode = newnode;
    descriptor.groundNode = newnode;
    inpinit(nullptr, &descriptor);
    INPtables* table = INPtabInit(4);
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    char* cursor = text.data();
    IFparseTree* tree = nullptr;
    if (INPgetTree(&cursor, &tree, nullptr, table) == 0) {
        std::vector<double> values(static_cast<size_t>(tree->quantities()));
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = 0.5 + static_cast<double>(i);
        std::vector<double> slopes(values.size());
        double value = 0, alone = 0;
        bool full = tree->eval(values.data(), &value, slopes.data());
        bool plain = tree->eval(values.data(), &alone, nullptr);
        if ((full && !plain) || (full && value != alone) || (full && !std::isfinite(value)))
            std::abort();
    }
    INPtabEnd(table);
    inpinit(nullptr, nullptr);
    nodes.clear();
    return 0;
}
