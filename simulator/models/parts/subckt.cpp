#include "simulator/models/parts/subckt.h"

#include "core/text/ascii.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>
#include <string>
#include <strings.h>
#include <vector>

namespace {

constexpr char PINSPROPERTY[] = "SPICEPINS";

// A text that gives a value: present, not beginning with '?' or "[NULL]".
bool given(const char* text)
{
    return text && *text != '?' && strncasecmp(text, "[NULL]", 6) != 0;
}

} // namespace

std::string SUBCKT::card()
{
    const char* named = getproperty("SPICEMODEL");
    if (!given(named))
        named = getvalue();
    if (!given(named)) {
        simwarning("%s names no SPICE subcircuit in SPICEMODEL or VALUE: it adds nothing to the deck.", name);
        return {};
    }
    std::string subckt(named, strcspn(named, ","));
    for (char& c : subckt)
        c = static_cast<char>(asciiupper(c));

    std::vector<SDF_PIN*> listed;
    if (const char* list = getproperty(PINSPROPERTY)) {
        for (const char* item = list; *item;) {
            const size_t length = strcspn(item, ",");
            const std::string pinname(item, length);
            item += length + (item[length] == ',');
            if (pinname.empty())
                continue;
            if (SDF_PIN* pin = findpin(pinname.c_str()))
                listed.push_back(pin);
            else
                simwarning("Pin %s of %s referenced but not found in %s property", pinname.c_str(), name,
                    PINSPROPERTY);
        }
    } else {
        for (SDF_PIN* pin : pins)
            listed.push_back(pin);
    }

    std::string text = std::string("X") + name;
    for (const SDF_PIN* pin : listed) {
        char handle[16];
        snprintf(handle, sizeof handle, " $%08X", static_cast<unsigned>(netid(pin->net)));
        text += handle;
    }
    return text + " " + subckt + "\n";
}

void SUBCKT::expand(void* target)
{
    const std::string text = card();
    if (text.empty())
        return;
    auto* deck = static_cast<SPICEDECK*>(target);
    SPICECARD* made = newcard(0, text);
    if (deck->last)
        deck->last->next = made;
    else
        deck->head = made;
    deck->last = made;
}
