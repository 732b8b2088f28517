#pragma once

#include "simulator/kernel/simlog.h"
#include "simulator/models/spice/spicedeck.h"
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

// Collects the messages of the SPICE-link channel at a level while it lives, one "<class>:<text>"
// a line.
class SPICELINKTRACE final : public ITRACEOWNER {
public:
    explicit SPICELINKTRACE(uint8_t level)
    {
        TRACE_SPICELINK.owner = this;
        TRACE_SPICELINK.level = level;
    }
    SPICELINKTRACE(const SPICELINKTRACE&) = delete;
    SPICELINKTRACE& operator=(const SPICELINKTRACE&) = delete;
    ~SPICELINKTRACE()
    {
        TRACE_SPICELINK.owner = nullptr;
        TRACE_SPICELINK.level = 0;
    }
    int trace(TRACEFLAG*, int cls, const char* format, va_list args) override
    {
        char text[LOGBUFFER];
        vsnprintf(text, sizeof text, format, args);
        lines.append(1, static_cast<char>(cls)).append(":").append(text).append("\n");
        return 1;
    }
    std::string lines;
};

} // namespace decktest
