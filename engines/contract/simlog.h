#pragma once

#include <cstdarg>
#include <cstdint>

// The simulation log as the engines and models see it. The kernel's SIMLOG implements ISIMLOG;
// PROPLIST is the kernel's record, passed through by pointer only.
//
// Message classes (one character): 'I' information, 'W' warning, 'E' error, 'F' fatal (the run
// ends: the call does not return), 'T' trace, 'X' internal exception, 'D' without a time line,
// 0 raw text. A warning raises the run status to 1, an error or a fatal message to 3.

struct TRACEFLAG;
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

// One row of a channel table: which record, the property that sets it, the label printed before
// its messages (may be null).
struct TRACEFLAGINFO {
    int32_t channel;
    const char* key;
    const char* label;
};

// One trace channel. Whoever holds a record writes through it without the kernel's code: the
// level is checked here and the message goes to the owner that registration set.
struct TRACEFLAG {
    const TRACEFLAGINFO* info; // the row it was registered from; null before
    ITRACEOWNER* owner; // writes its messages; null before registration
    uint8_t level; // 0 to 3
    uint8_t breakflag; // non-zero: a logged message of the channel breaks an interactive run

    // A warning ('W') when the level is above 0; the owner's logged flag, 0 when not written.
    int warning(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        int logged = write(1, 'W', format, args);
        va_end(args);
        return logged;
    }
    // A trace ('T') at level 2 or more.
    int trace(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        int logged = write(2, 'T', format, args);
        va_end(args);
        return logged;
    }
    // A trace ('T') at level 3.
    int tracedetail(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        int logged = write(3, 'T', format, args);
        va_end(args);
        return logged;
    }

private:
    int write(int minimum, int cls, const char* format, va_list args)
    {
        if (level < minimum || !owner)
            return 0;
        return owner->trace(this, cls, format, args);
    }
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
