#pragma once

// The log of a netlist compilation: information lines, and errors and warnings that name the
// object or label being compiled (its context, with the area that shows it). Lines are kept and,
// when an output stream is given, written to it as they come.
// Callers: the netlist, the schematic's compilation and its objects.

#include "platform/ombrel/box.h"

#include <cstdarg>
#include <iosfwd>
#include <string>
#include <vector>

class NETLOG {
public:
    struct LINE {
        int kind; // INFO, WARNING or ERROR
        std::string text; // with the context prefix
        std::string context; // the innermost context's text; empty without one
        BOX area;
    };
    static constexpr int INFO = 0;
    static constexpr int WARNING = 1;
    static constexpr int ERROR = 2;

    explicit NETLOG(std::ostream* output = nullptr)
        : output(output)
    {
    }

    void loginfo(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void logwarning(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void logerror(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // Contexts nest; each push is matched by a popctx.
    void pushobjectctx(const char* text, const BOX& area);
    void pushlabelctx(const char* text, const BOX& area);
    void popctx();
    // The compilation's kind and option words as its first line.
    void writecontext(int kind, int options);

    int errors() const { return errorcount; }
    int warnings() const { return warningcount; }
    const std::vector<LINE>& lines() const { return kept; }

private:
    struct CONTEXT {
        std::string text;
        BOX area;
        int label;
    };
    void add(int kind, const char* fmt, va_list args);

    std::ostream* output;
    std::vector<CONTEXT> contexts;
    std::vector<LINE> kept;
    int errorcount = 0;
    int warningcount = 0;
};
