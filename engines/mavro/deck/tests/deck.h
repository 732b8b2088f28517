#pragma once

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "engines/mavro/parser.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A deck read by the real parser into the recording fake of the SPICE engine, as the kernel drives
// them: the parser gets a copy of the engine's descriptor, the first pass, then the second with the
// task's options analysis. Messages to the front end are kept.
class DeckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakes::reset();
        frontend.error = report;
        messages().clear();
        IFsimulator* engine = nullptr;
        ASSERT_EQ(siminit(&frontend, &engine), 0);
        descriptor = *engine;
        mavro::init(&frontend, &descriptor);
        ASSERT_EQ(descriptor.newCircuit(&ckt), 0);
        ASSERT_EQ(descriptor.newTask(ckt, &task, "TASK"), 0);
        ASSERT_EQ(descriptor.newAnalysis(ckt, 0, "OPTIONS", &options, task), 0);
        table = mavro::tabinit(16);
    }
    void TearDown() override
    {
        mavro::killmodels();
        mavro::tabend(table);
        mavro::init(nullptr, nullptr);
        for (SPICECARD& card : cards) {
            std::free(card.text);
            std::free(card.error);
        }
        cards.clear();
        fakes::reset();
    }

    // Links the lines as a deck, line numbers from 1 (the first is the title), and runs both passes;
    // returns the number of cards they could not read.
    int load(const std::vector<std::string>& lines)
    {
        cards.resize(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            cards[i] = SPICECARD { static_cast<int32_t>(i + 1), strdup(lines[i].c_str()), nullptr, nullptr,
                nullptr };
            if (i > 0)
                cards[i - 1].next = &cards[i];
        }
        SPICECARD* head = cards.empty() ? nullptr : cards.data();
        first = fakes::calls().size();
        int failed = mavro::pass1(ckt, head, table);
        return failed + mavro::pass2(ckt, head, table, task, options);
    }

    // The engine's calls since the deck was loaded.
    std::vector<std::string> calls() const
    {
        const auto& all = fakes::calls();
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
    }

    // As calls() without the engine's node lookups, which change nothing.
    std::vector<std::string> changes() const
    {
        std::vector<std::string> made = calls();
        std::erase_if(made, [](const std::string& call) { return call.starts_with("findNode("); });
        return made;
    }

    // The error text of card `line` (from 1); empty when none.
    std::string error(std::size_t line) const
    {
        const SPICECARD& card = cards.at(line - 1);
        return card.error ? card.error : "";
    }

    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> list;
        return list;
    }

    static int report(int flags, const char* format, ...)
    {
        char text[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        messages().push_back(std::to_string(flags) + " " + text);
        return 0;
    }

    IFfrontEnd frontend {};
    IFsimulator descriptor {};
    IFcircuit* ckt = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;
    INPtables* table = nullptr;
    std::vector<SPICECARD> cards;
    std::size_t first = 0;
};
