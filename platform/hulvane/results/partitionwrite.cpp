#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/partitionformat.h"
#include "platform/hulvane/results/report.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace partitionformat;

namespace {

// Caller errors name the source and line that the kernel's log has always shown for them.
constexpr const char* assertSource = "wuno";
constexpr int analogKindLine = 336;
constexpr int digitalKindLine = 355;
constexpr int complexKindLine = 373;

constexpr int recordTextLimit = 1024;
constexpr int32_t itemHead = 2;  // the int16 tag before every item
constexpr int32_t markerSize = itemHead + 8;

}  // namespace

void PARTITION::put(const void* bytes, int n)
{
    if (writing() && !full)
        appended += file.write(bytes, n);
}

int PARTITION::encodetime(unsigned char* at, double time)
{
    RUN& run = currentrun();
    if (!(time > lasttime) && run.markers != 0)
        return 0;
    store<int16_t>(at, TAGMARKER);
    store<double>(at + itemHead, time);
    ++run.markers;
    lasttime = time;
    return markerSize;
}

void PARTITION::writetime(double time)
{
    unsigned char item[markerSize];
    if (int n = encodetime(item, time))
        put(item, n);
}

void PARTITION::setchannel(int index, int kind, int words, double tolerance)
{
    CHANNEL* channel = channels.ptr(index);
    if (!channel)
        return;
    channel->kind = kind;
    // Analog and complex samples have one size whatever the caller counts; a width that differed
    // from the bytes written would make every reader misread the run.
    if (kind == KIND_ANALOG)
        channel->width = 8;
    else if (kind == KIND_DIGITAL)
        channel->width = 4 * std::clamp(words, 0, MAXSTATEWORDS);
    else if (kind == KIND_COMPLEX)
        channel->width = 16;
    channel->tolerance = tolerance;
    channel->holdcount = -1;
}

void PARTITION::putanalog(int index, double time, double value)
{
    unsigned char item[markerSize + itemHead + 8];
    int n = encodetime(item, time);
    store<int16_t>(item + n, static_cast<int16_t>(index));
    store<double>(item + n + itemHead, value);
    put(item, n + itemHead + 8);
}

void PARTITION::writeanalog(double time, int index, double value, int force)
{
    CHANNEL* channel = channels.ptr(index);
    if (channel && channel->kind == KIND_NONE) {
        channel->kind = KIND_ANALOG;
        channel->width = 8;
        channel->holdcount = -1;
    }
    if (!channel || channel->kind != KIND_ANALOG) {
        resultsassert("0", assertSource, analogKindLine);
        return;
    }
    CHANNEL& c = *channel;
    if (!force && c.holdcount != -1 && c.tolerance != 0) {
        // The held-back sample is written once the line from the last written sample to the new
        // one misses it by the tolerance, shared out over the samples held; NaN errors write.
        double estimate = ((time - c.pendingtime) * c.writtenvalue + (c.pendingtime - c.writtentime) * value)
            / (time - c.writtentime);
        int held = c.holdcount + 1;
        double error = std::fabs(estimate - c.pendingvalue) / std::fabs(estimate);
        if (c.holdcount >= 10 || !(c.tolerance / held > error)) {
            putanalog(index, c.pendingtime, c.pendingvalue);
            c.writtentime = c.pendingtime;
            c.writtenvalue = c.pendingvalue;
            c.holdcount = 0;
        } else {
            c.holdcount = held;
        }
    } else {
        putanalog(index, time, value);
        c.writtentime = time;
        c.writtenvalue = value;
        c.holdcount = 0;
    }
    c.pendingtime = time;
    c.pendingvalue = value;
}

void PARTITION::flushanalog(double time)
{
    if (!(time > lasttime))
        return;
    for (int i = 0; i < channels.count; ++i) {
        const CHANNEL& c = *channels[i];
        if (c.kind == KIND_ANALOG && c.pendingtime > c.writtentime && c.pendingtime < time)
            writeanalog(c.pendingtime, i, c.pendingvalue, 1);
    }
}

void PARTITION::writedigital(double time, int32_t index, const void* data, int32_t words)
{
    CHANNEL* channel = channels.ptr(index);
    int given = 4 * std::clamp(words, 0, MAXSTATEWORDS);
    if (channel && channel->kind == KIND_NONE) {
        channel->kind = KIND_DIGITAL;
        channel->width = given;
    }
    if (!channel || channel->kind != KIND_DIGITAL) {
        resultsassert("0", assertSource, digitalKindLine);
        return;
    }
    flushanalog(time);
    unsigned char item[markerSize + itemHead + MAXWIDTH] = {};
    int n = encodetime(item, time);
    store<int16_t>(item + n, static_cast<int16_t>(index));
    // Every sample of a channel has the channel's width, so that readers stay in step.
    std::memcpy(item + n + itemHead, data, static_cast<size_t>(std::min(given, channel->width)));
    put(item, n + itemHead + channel->width);
}

void PARTITION::writecomplex(double frequency, int index, PARTITIONCOMPLEX value)
{
    CHANNEL* channel = channels.ptr(index);
    if (channel && channel->kind == KIND_NONE) {
        channel->kind = KIND_COMPLEX;
        channel->width = 16;
    }
    if (!channel || channel->kind != KIND_COMPLEX) {
        resultsassert("0", assertSource, complexKindLine);
        return;
    }
    unsigned char item[markerSize + itemHead + 16];
    int n = encodetime(item, frequency);
    store<int16_t>(item + n, static_cast<int16_t>(index));
    store<double>(item + n + itemHead, value.real);
    store<double>(item + n + itemHead + 8, value.imag);
    put(item, n + itemHead + 16);
}

void PARTITION::beginrun()
{
    if (!writing() || full)
        return;
    long position = file.tell();
    if (position > INT32_MAX) {
        markfull();
        return;
    }
    RUN& run = currentrun();
    run.offset = static_cast<int32_t>(position);
    run.markers = 0;
    // A run written again (each snapshot rewrites runs 0 and 1) starts without records or a copy.
    run.length = 0;
    run.cache.reset();
    recordhastext = 0;
    runbegun = 1;
}

void PARTITION::endrun()
{
    if (!writing() || full || !runbegun)
        return;
    flushanalog(INFINITY);
    unsigned char end[itemHead];
    store<int16_t>(end, TAGEND);
    put(end, itemHead);
    long position = file.tell();
    if (position > INT32_MAX) {
        markfull();
        return;
    }
    RUN& run = currentrun();
    run.length = static_cast<int32_t>(position - run.offset);
    ++runcount;
    dataend = position;
    runbegun = 0;
}

void PARTITION::markfull()
{
    full = 1;
    resultserror("The results file '%s' reached 2 GB: run %d and later are not recorded.", path, runcount);
    file.seek(dataend, SEEK_SET);
}

void PARTITION::beginrecord(const char* recordname)
{
    if (!writing() || full)
        return;
    recordstart = static_cast<int32_t>(file.tell());
    recordhastext = 0;
    file.seek(4, SEEK_CUR);
    if (!recordname)
        recordname = "";
    put(recordname, static_cast<int>(std::strlen(recordname)) + 1);
}

void PARTITION::recordprintf(const char* format, ...)
{
    if (!writing() || full)
        return;
    char text[recordTextLimit];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    put(text, std::clamp(n, 0, recordTextLimit - 1));
    recordhastext = 1;
}

void PARTITION::endrecord()
{
    if (!writing() || full)
        return;
    if (!recordhastext) {
        file.seek(recordstart, SEEK_SET);
        return;
    }
    put("", 1);
    long end = file.tell();
    unsigned char count[4];
    store<int32_t>(count, static_cast<int32_t>(end - recordstart - 4));
    file.seek(recordstart, SEEK_SET);
    file.write(count, 4);
    file.seek(end, SEEK_SET);
    ++currentrun().length;
}

void PARTITION::endrecords()
{
    if (!writing() || full || !runbegun)
        return;
    unsigned char end[4] = {};
    put(end, 4);
    long position = file.tell();
    if (position > INT32_MAX) {
        markfull();
        return;
    }
    RUN& run = currentrun();
    run.markers = static_cast<int32_t>(position - run.offset);
    ++runcount;
    dataend = position;
    runbegun = 0;
}

void PARTITION::publishrun()
{
    if (!writing() || full || !runbegun)
        return;
    flushanalog(INFINITY);
    long end = file.tell();
    unsigned char tag[itemHead];
    store<int16_t>(tag, TAGEND);
    file.write(tag, itemHead);
    RUN& run = currentrun();
    run.length = static_cast<int32_t>(file.tell() - run.offset);
    ++runcount;
    writeheader(0);
    --runcount;
    file.seek(end, SEEK_SET);
}

void PARTITION::rewind()
{
    if (!writing() || full)
        return;
    if (runcount > 0) {
        runcount = 0;
        file.seek(runs[0].offset, SEEK_SET);
    }
    dataend = file.tell();
    appended = 0;
    beginrun();
    lasttime = 0;
    for (CHANNEL* channel : channels)
        channel->holdcount = -1;
}
