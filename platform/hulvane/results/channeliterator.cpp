#include "platform/hulvane/results/channeliterator.h"

#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/partitionformat.h"
#include "platform/hulvane/results/report.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace partitionformat;

namespace {

constexpr const char* assertSource = "wuno";
constexpr int valueLine = 697;
constexpr int stateLine = 698;
constexpr int statesLine = 699;
constexpr int realLine = 700;
constexpr int imagLine = 701;
constexpr int magnitudeLine = 702;
constexpr int phaseLine = 703;

constexpr int32_t windowSize = 1 << 16;

constexpr uint32_t undefinedState = 2;
constexpr uint32_t lowState = 5;
constexpr uint32_t highState = 7;
constexpr double lowThreshold = 0.8;
constexpr double highThreshold = 2.4;

// The value at t on the line through (t0, v0) and (t1, v1); v1 when both share one time.
double interpolate(double t, double t0, double v0, double t1, double v1)
{
    if (t0 == t1)
        return v1;
    return ((t1 - t) * v0 + (t - t0) * v1) / (t1 - t0);
}

}  // namespace

CHANNEL_ITERATOR::CHANNEL_ITERATOR(PARTITION* owner, int32_t channelnumber, int32_t runnumber, int32_t samplewidth)
    : partition(owner), channel(channelnumber), run(runnumber), width(samplewidth)
{
}

CHANNEL_ITERATOR::~CHANNEL_ITERATOR()
{
    if (ownfile)
        std::fclose(ownfile->fp);
}

int CHANNEL_ITERATOR::setedges(double, double)
{
    return 0;
}

void CHANNEL_ITERATOR::getmaxpoints(int* max)
{
    *max = std::max(*max, partition->runs[static_cast<size_t>(run)].markers);
}

void CHANNEL_ITERATOR::getmaxmarkers(int* max)
{
    *max = std::max(*max, partition->runs[static_cast<size_t>(run)].markers);
}

void CHANNEL_ITERATOR::getmaxwords(int* max)
{
    *max = std::max(*max, 1);
}

double CHANNEL_ITERATOR::getvalue(double)
{
    resultsassert("0", assertSource, valueLine);
    return 0;
}

uint32_t CHANNEL_ITERATOR::getstate(double)
{
    resultsassert("0", assertSource, stateLine);
    return 0;
}

const uint32_t* CHANNEL_ITERATOR::getstates(double)
{
    resultsassert("0", assertSource, statesLine);
    return nullptr;
}

double CHANNEL_ITERATOR::getreal(double)
{
    resultsassert("0", assertSource, realLine);
    return 0;
}

double CHANNEL_ITERATOR::getimag(double)
{
    resultsassert("0", assertSource, imagLine);
    return 0;
}

double CHANNEL_ITERATOR::getmagnitude(double)
{
    resultsassert("0", assertSource, magnitudeLine);
    return 0;
}

double CHANNEL_ITERATOR::getphase(double)
{
    resultsassert("0", assertSource, phaseLine);
    return 0;
}

bool CHANNEL_ITERATOR::take(void* buffer, int32_t n)
{
    if (remaining < n) {
        atend = 1;
        return false;
    }
    if (!window) {
        if (file->read(buffer, n) != n) {
            atend = 1;
            return false;
        }
    } else {
        if (windowend - windowat < n && !refill(n)) {
            atend = 1;
            return false;
        }
        std::memcpy(buffer, window.get() + windowat, static_cast<size_t>(n));
        windowat += n;
    }
    remaining -= n;
    return true;
}

bool CHANNEL_ITERATOR::refill(int32_t n)
{
    int32_t kept = windowend - windowat;
    std::memmove(window.get(), window.get() + windowat, static_cast<size_t>(kept));
    windowat = 0;
    windowend = kept;
    int64_t wanted = std::min<int64_t>(windowSize - kept, remaining - kept);
    int got = file->read(window.get() + kept, static_cast<int>(wanted));
    windowend += std::max(got, 0);
    return windowend >= n;
}

bool CHANNEL_ITERATOR::skip(int32_t n)
{
    unsigned char scratch[MAXWIDTH];
    if (n > MAXWIDTH) {
        atend = 1;
        return false;
    }
    return take(scratch, n);
}

bool CHANNEL_ITERATOR::nextitem()
{
    for (;;) {
        unsigned char head[8];
        if (!take(head, 2))
            return false;
        int16_t tag = load<int16_t>(head);
        if (tag == TAGMARKER) {
            if (!take(head, 8))
                return false;
            runningtime = load<double>(head);
            continue;
        }
        if (tag == channel)
            return true;
        if (tag < 0 || tag >= partition->channels.count) {
            atend = 1;
            return false;
        }
        if (!skip(partition->channels[tag]->width))
            return false;
    }
}

int CHANNEL_ITERATOR::step()
{
    if (atend || !nextitem())
        return 0;
    double time = runningtime;
    if (!readsample())
        return 0;
    nosampleyet = 0;
    previoustime = currenttime;
    currenttime = time;
    return 1;
}

int CHANNEL_ITERATOR::start()
{
    nosampleyet = 1;
    atend = 0;
    previoustime = 0;
    currenttime = 0;
    runningtime = 0;
    resetsample();
    const PARTITION::RUN& span = partition->runs[static_cast<size_t>(run)];
    remaining = span.length;
    windowat = 0;
    windowend = 0;
    if (file->testflags(1)) {
        file->seek(span.offset, SEEK_SET);
        if (!window)
            window.reset(new unsigned char[windowSize]);
    } else {
        file->seek(0, SEEK_SET);
    }
    return step();
}

void CHANNEL_ITERATOR::advance(double t)
{
    if (atend || currenttime > t)
        return;
    for (;;) {
        bool first = nosampleyet != 0;
        if (!step() || first || currenttime > t)
            return;
    }
}

void CHANNEL_ITERATOR::rewind(double t)
{
    if (start())
        advance(t);
}

double ANALOG_ITERATOR::getvalue(double t)
{
    advance(t);
    return interpolate(t, previoustime, previousvalue, currenttime, currentvalue);
}

uint32_t ANALOG_ITERATOR::getstate(double t)
{
    double v = getvalue(t);
    if (v <= lowThreshold)
        return lowState;
    if (v >= highThreshold)
        return highState;
    return undefinedState;
}

void ANALOG_ITERATOR::resetsample()
{
    previousvalue = 0;
    currentvalue = 0;
}

bool ANALOG_ITERATOR::readsample()
{
    unsigned char sample[8];
    if (!take(sample, 8))
        return false;
    previousvalue = currentvalue;
    currentvalue = load<double>(sample);
    return true;
}

DIGITAL_ITERATOR::DIGITAL_ITERATOR(PARTITION* owner, int32_t channelnumber, int32_t runnumber, int32_t samplewidth)
    : CHANNEL_ITERATOR(owner, channelnumber, runnumber, samplewidth), words(samplewidth / 4)
{
    DIGITAL_ITERATOR::resetsample();
}

int DIGITAL_ITERATOR::setedges(double rise, double fall)
{
    risetime = rise;
    falltime = fall;
    return 1;
}

void DIGITAL_ITERATOR::getmaxpoints(int* max)
{
    *max = std::max(*max, 2 * partition->runs[static_cast<size_t>(run)].markers);
}

void DIGITAL_ITERATOR::getmaxwords(int* max)
{
    *max = std::max(*max, words);
}

const uint32_t* DIGITAL_ITERATOR::getstates(double t)
{
    advance(t);
    return t < currenttime ? previousstates : currentstates;
}

uint32_t DIGITAL_ITERATOR::getstate(double t)
{
    return getstates(t)[0];
}

double DIGITAL_ITERATOR::getvalue(double t)
{
    uint32_t state;
    // Asked at the very time of the change it reached, the waveform still shows the old level and
    // moves the change on by the edge time. That test comes before any move: moving first would
    // step past the change and never show an edge.
    if (t == currenttime && edgeflag == 0) {
        state = getstate(previoustime);
        double edge = (state & 3) > 2 ? falltime : risetime;
        edgeflag = 1;
        previoustime = t;
        currenttime += edge;
    } else {
        state = getstate(t);
        edgeflag = 0;
    }
    return (state & 3) == 1 ? 0.0 : 5.0;
}

void DIGITAL_ITERATOR::resetsample()
{
    std::fill(std::begin(previousstates), std::end(previousstates), undefinedState);
    std::fill(std::begin(currentstates), std::end(currentstates), undefinedState);
    edgeflag = 1;
}

bool DIGITAL_ITERATOR::readsample()
{
    unsigned char sample[MAXWIDTH];
    if (!take(sample, width))
        return false;
    std::memcpy(previousstates, currentstates, static_cast<size_t>(width));
    std::memcpy(currentstates, sample, static_cast<size_t>(width));
    return true;
}

double FREQUENCY_ITERATOR::getreal(double f)
{
    advance(f);
    return interpolate(f, previoustime, previoussample[0], currenttime, currentsample[0]);
}

double FREQUENCY_ITERATOR::getimag(double f)
{
    advance(f);
    return interpolate(f, previoustime, previoussample[1], currenttime, currentsample[1]);
}

double FREQUENCY_ITERATOR::getmagnitude(double f)
{
    advance(f);
    return interpolate(f, previoustime, std::hypot(previoussample[0], previoussample[1]), currenttime,
        std::hypot(currentsample[0], currentsample[1]));
}

double FREQUENCY_ITERATOR::getphase(double f)
{
    advance(f);
    return interpolate(f, previoustime, std::atan2(previoussample[1], previoussample[0]), currenttime,
        std::atan2(currentsample[1], currentsample[0]));
}

void FREQUENCY_ITERATOR::resetsample()
{
    std::fill(std::begin(previoussample), std::end(previoussample), 0.0);
    std::fill(std::begin(currentsample), std::end(currentsample), 0.0);
}

bool FREQUENCY_ITERATOR::readsample()
{
    unsigned char sample[16];
    if (!take(sample, 16))
        return false;
    std::copy(std::begin(currentsample), std::end(currentsample), std::begin(previoussample));
    currentsample[0] = load<double>(sample);
    currentsample[1] = load<double>(sample + 8);
    return true;
}
