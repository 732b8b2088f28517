#pragma once

#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/parser.h"
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"

#include <cstring>
#include <deque>

#include <string>
#include <vector>

// Circuits of SPICE parts built against the recording fakes, and the engine calls they made.
class PartTest : public CircuitTest {
protected:
    // Reads the netlist of these properties, parts and net blocks (each block ending in an empty
    // line); the text may begin with sections of its own ("*MODELDEFS,...").
    void load(const std::string& properties, const std::string& parts, const std::string& nets,
        const std::string& sections = "")
    {
        int netcount = 0;
        for (size_t at = 0; (at = nets.find("\n\n", at)) != std::string::npos; at += 2)
            ++netcount;
        read("TAVI\n\n:Test\n*PROPERTIES," + lines(properties) + "\n" + properties + sections + "*PARTLIST,"
            + lines(parts) + "\n" + parts + "*NETLIST," + std::to_string(netcount) + "\n" + nets);
    }

    // load(), the build, then the variables assigned as before a run (the parts read their
    // properties).
    void make(const std::string& properties, const std::string& parts, const std::string& nets,
        const std::string& sections = "")
    {
        load(properties, parts, nets, sections);
        ASSERT_TRUE(build()) << log();
        circuit->setsweepvalue("", 0);
    }

    // The SPICE engine's calls (not the parser's) since the last forget() that name `word` as an
    // argument, in order.
    std::vector<std::string> callsabout(const std::string& word) const
    {
        std::vector<std::string> found;
        const std::vector<std::string>& all = fakes::calls();
        for (size_t i = first; i < all.size(); ++i) {
            const std::string& call = all[i];
            if (call.rfind("INP", 0) == 0)
                continue;
            for (size_t at = call.find(word); at != std::string::npos; at = call.find(word, at + 1)) {
                char before = at ? call[at - 1] : ' ';
                char after = at + word.size() < call.size() ? call[at + word.size()] : ' ';
                if ((before == '(' || before == ' ') && (after == ',' || after == ')')) {
                    found.push_back(call);
                    break;
                }
            }
        }
        return found;
    }

    // The calls since the last forget() that start with `prefix`, in order.
    std::vector<std::string> callssince(const std::string& prefix) const
    {
        std::vector<std::string> found;
        const std::vector<std::string>& all = fakes::calls();
        for (size_t i = first; i < all.size(); ++i)
            if (all[i].rfind(prefix, 0) == 0)
                found.push_back(all[i]);
        return found;
    }

    void forget() { first = fakes::calls().size(); }

    // A model the parser read from a ".model" card (its text: `card`), made in the engine under its
    // lower-case name.
    void parsedmodel(const char* name, const char* device, const char* card = "")
    {
        int32_t type = -1;
        for (int32_t i = 0; i < spicesimulator->numDevices; ++i)
            if (strcmp(spicesimulator->devices[i]->name, device) == 0)
                type = i;
        INPmodel& model = fakes::parser().models[name];
        spicesimulator->newModel(circuit->spice, type, &model.model, name);
        model.type = type;
        cardtexts.push_back(card);
        cards.push_back(SPICECARD { 1, cardtexts.back().data(), nullptr, nullptr, nullptr });
        model.card = &cards.back();
    }

    static std::string lines(const std::string& text)
    {
        int n = 0;
        for (char c : text)
            n += c == '\n';
        return std::to_string(n);
    }

    size_t first = 0;
    std::deque<std::string> cardtexts;
    std::deque<SPICECARD> cards;
};
