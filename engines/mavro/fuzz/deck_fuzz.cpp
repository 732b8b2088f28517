// Reads any text as a deck, line by line, through both passes into the recording fake of the SPICE
// engine. No card may crash the parser, read past its text or stop the cards after it from being read.
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "engines/mavro/parser.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Formats every message as the kernel does, so a card's text used as a format would show.
int report(int, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exact-size copies of the lines, so the sanitizer sees any read past a card's NUL.
    std::vector<SPICECARD> cards;
    const char* text = reinterpret_cast<const char*>(data);
    for (size_t start = 0; start <= size;) {
        size_t end = start;
        while (end < size && text[end] != '\n')
            ++end;
        auto* line = static_cast<char*>(std::malloc(end - start + 1));
        std::memcpy(line, text + start, end - start);
        line[end - start] = '\0';
        cards.push_back(
            SPICECARD { static_cast<int32_t>(cards.size() + 1), line, nullptr, nullptr, nullptr });
        start = end + 1;
    }
    for (size_t i = 1; i < cards.size(); ++i)
        cards[i - 1].next = &cards[i];

    fakes::reset();
    IFfrontEnd frontend {};
    frontend.error = report;
    IFsimulator* engine = nullptr;
    siminit(&frontend, &engine);
    IFsimulator descriptor = *engine;
    mavro::init(&frontend, &descriptor);
    IFcircuit* ckt = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;
    descriptor.newCircuit(&ckt);
    descriptor.newTask(ckt, &task, "TASK");
    descriptor.newAnalysis(ckt, 0, "OPTIONS", &options, task);
    INPtables* table = mavro::tabinit(16);
    int failed = mavro::pass1(ckt, cards.data(), table);
    failed += mavro::pass2(ckt, cards.data(), table, task, options);
    if (failed < 0 || static_cast<size_t>(failed) > 2 * cards.size())
        std::abort();
    mavro::killmodels();
    mavro::tabend(table);
    mavro::init(nullptr, nullptr);
    for (SPICECARD& card : cards) {
        std::free(card.text);
        std::free(card.error);
    }
    fakes::reset();
    return 0;
}
