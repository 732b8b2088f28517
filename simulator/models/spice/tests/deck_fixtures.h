#pragma once

#include "core/files/pathopen.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/spice/spicedeck.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// What the module writes on its standard output and standard error while this lives.
class MODULEOUTPUT {
public:
    MODULEOUTPUT()
        : files { tmpfile(), tmpfile() }
    {
        attachstdout(dup(fileno(files[0])));
        attachstderr(dup(fileno(files[1])));
    }
    MODULEOUTPUT(const MODULEOUTPUT&) = delete;
    MODULEOUTPUT& operator=(const MODULEOUTPUT&) = delete;
    ~MODULEOUTPUT()
    {
        attachstdout(dup(STDOUT_FILENO));
        attachstderr(dup(STDERR_FILENO));
        fclose(files[0]);
        fclose(files[1]);
    }
    std::string out() const { return contents(files[0]); }
    std::string err() const { return contents(files[1]); }

private:
    static std::string contents(FILE* file)
    {
        struct stat status { };
        fstat(fileno(file), &status);
        std::string text(static_cast<size_t>(status.st_size), '\0');
        ssize_t got = pread(fileno(file), text.data(), text.size(), 0);
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return text;
    }
    FILE* files[2];
};

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
