#pragma once

#include "simulator/kernel/spicedeck/decklog.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "testsupport/module_output.h"

#include <cstdio>
#include <string>

namespace decktest {

// A chain of cards, one a line of text (line numbers from 1).
inline SPICECARD* makecards(const std::string& text)
{
    SPICECARD* head = nullptr;
    SPICECARD** tail = &head;
    int32_t line = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        *tail = newcard(++line, std::string_view(text).substr(start, end - start));
        tail = &(*tail)->next;
        start = end + 1;
    }
    return head;
}

// The texts of a chain, one a line.
inline std::string cardtexts(const SPICECARD* head)
{
    std::string out;
    for (const SPICECARD* card = head; card; card = card->next)
        out.append(out.empty() ? "" : "\n").append(card->text);
    return out;
}

using vkt::test::MODULEOUTPUT;

// Binds the deck code's log while it lives: its messages and those of its channels (the SPICE-link
// channel at a level) are collected one "<class>:<text>" a line, a help reference as
// "H:<file>,<topic in 4 hex digits>"; a fatal message throws FATALMESSAGE.
class DECKLOGCAPTURE final : public ISIMLOG {
public:
    struct FATALMESSAGE { };

    explicit DECKLOGCAPTURE(uint8_t level = 0)
    {
        spicelink.owner = this;
        spicelink.level = level;
        convergence.owner = this;
        previous = binddecklog({ this, &spicelink, &convergence });
    }
    DECKLOGCAPTURE(const DECKLOGCAPTURE&) = delete;
    DECKLOGCAPTURE& operator=(const DECKLOGCAPTURE&) = delete;
    ~DECKLOGCAPTURE() { binddecklog(previous); }

    int trace(TRACEFLAG*, int cls, const char* format, va_list args) override
    {
        return log(cls, format, args);
    }
    void registerchannels(const TRACEFLAGINFO*, TRACEFLAG*, int32_t, PROPLIST*, ITRACEOWNER*) override { }
    void setlevels(const int32_t*) override { }
    int log(int cls, const char* format, va_list args) override
    {
        char text[4096];
        vsnprintf(text, sizeof text, format, args);
        lines.append(1, static_cast<char>(cls)).append(":").append(text).append("\n");
        if (cls == 'F')
            throw FATALMESSAGE {};
        return 1;
    }
    void source(const char*, int32_t) override { }
    void help(int32_t topic, const char* file) override
    {
        char text[64];
        snprintf(text, sizeof text, "H:%s,%04X\n", file ? file : "", static_cast<unsigned>(topic));
        lines += text;
    }

    std::string lines;
    TRACEFLAG spicelink {};
    TRACEFLAG convergence {};

private:
    DECKLOG previous;
};

} // namespace decktest
