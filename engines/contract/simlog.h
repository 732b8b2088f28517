#pragma once

#include <cstdarg>
#include <cstdint>

// The simulation log as the engines and models see it. The kernel's SIMLOG implements ISIMLOG;
// TRACEFLAG, TRACEFLAGINFO and PROPLIST are the kernel's records, passed through by pointer only.
//
// Message classes (one character): 'I' information, 'W' warning, 'E' error, 'F' fatal (the run
// ends: the call does not return), 'T' trace, 'X' internal exception, 'D' without a time line,
// 0 raw text. A warning raises the run status to 1, an error or a fatal message to 3.

struct TRACEFLAG;
struct TRACEFLAGINFO;
class PROPLIST;

// Anything that writes the messages of a trace channel.
class ITRACEOWNER {
public:
    // 0: writes a trace message of the channel with the given class; non-zero when it was logged
    // (0 when the log window or the channel's level left it out).
    virtual int trace(TRACEFLAG* channel, int cls, const char* format, va_list args) = 0;

protected:
    ~ITRACEOWNER() = default;
};

class ISIMLOG : public ITRACEOWNER {
public:
    // 1: registers trace channels: for each of `count` table rows the record records[row's
    // channel] takes its level from the property list (table null: the kernel's twelve channels;
    // owner null: the log owns them).
    virtual void registerchannels(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count,
        PROPLIST* properties, ITRACEOWNER* owner)
        = 0;
    // 2: sets the levels of the channels linked to host flag words from `flags`.
    virtual void setlevels(const int32_t* flags) = 0;
    // 3: writes a message of class `cls` (args null: the format is the text); non-zero when it
    // was logged. Class 'F' does not return.
    virtual int log(int cls, const char* format, va_list args) = 0;
    // 4: after a logged message, names its source part (element 0: no element line).
    virtual void source(const char* name, int32_t element) = 0;
    // 5: after a logged message, a help reference (file null: the default help file).
    virtual void help(int32_t topic, const char* file) = 0;

protected:
    ~ISIMLOG() = default;
};
