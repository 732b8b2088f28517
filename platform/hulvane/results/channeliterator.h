#pragma once

// Readers over one channel of one run of a results partition: they move forward in time and
// answer value queries at any time (analog values interpolated, digital states held, complex
// samples interpolated). PARTITION::getiterator makes them and owns them.

#include "core/files/diskfile.h"
#include "core/files/ramfile.h"

#include <cstdint>
#include <memory>

class PARTITION;

class CHANNEL_ITERATOR {
public:
    CHANNEL_ITERATOR(PARTITION* owner, int32_t channelnumber, int32_t runnumber, int32_t samplewidth);
    CHANNEL_ITERATOR(const CHANNEL_ITERATOR&) = delete;
    CHANNEL_ITERATOR& operator=(const CHANNEL_ITERATOR&) = delete;
    virtual ~CHANNEL_ITERATOR();

    // Edge times of the digital waveform; 1 when the iterator keeps them (digital only), else 0.
    virtual int setedges(double rise, double fall);
    // Each raises *max to what this run needs: points (markers; twice for digital), markers, state
    // words (at least 1).
    virtual void getmaxpoints(int* max);
    virtual void getmaxmarkers(int* max);
    virtual void getmaxwords(int* max);
    // The queries move the iterator forward to the time (or frequency) asked; ask with times that
    // do not decrease. A query the channel's class does not answer is a caller error: it is
    // reported and gives 0 (null for getstates).
    virtual double getvalue(double t);
    virtual uint32_t getstate(double t);
    virtual const uint32_t* getstates(double t);
    virtual double getreal(double f);
    virtual double getimag(double f);
    virtual double getmagnitude(double f);
    virtual double getphase(double f);
    virtual void resetsample() = 0;
    // Shifts the current sample to the previous one and reads a new current sample; false when the
    // run ended inside it.
    virtual bool readsample() = 0;

    // Moves forward until the current sample is the first one after t (or the last of the run).
    void advance(double t);
    // Back to the first sample of the run, then forward to t.
    void rewind(double t);
    // Reads the next sample of the channel, whatever its time: 1 when one was read, 0 at the end.
    int step();
    // Back to the start of the run and onto its first sample of the channel; 0 when there is none.
    int start();

    PARTITION* partition;  // the owner
    int32_t channel;
    int32_t run;
    int32_t width;  // bytes per sample
    std::unique_ptr<DISKFILE> ownfile;  // streams a long run from the iterator's own handle
    std::unique_ptr<RAMFILE> memoryfile;  // reads the partition's cached copy of the run
    std::shared_ptr<unsigned char[]> cached;  // keeps that copy alive
    VFILE* file = nullptr;  // the one in use
    int32_t nosampleyet = 1;
    int32_t atend = 0;
    double previoustime = 0;
    double currenttime = 0;
    double runningtime = 0;  // the time of the latest marker read

protected:
    // Reads n bytes of the run; false (at end set) when the run or the file ends first.
    bool take(void* buffer, int32_t n);

private:
    // Fills the read window of a streamed run so that it holds at least n bytes.
    bool refill(int32_t n);
    bool skip(int32_t n);
    // Reads items up to the next sample of the channel; false (at end set) at the end of the run,
    // at a bad item or at a damaged spot.
    bool nextitem();

    int64_t remaining = 0;  // bytes of the run not yet taken
    // A streamed run is read through this window in large blocks rather than item by item.
    std::unique_ptr<unsigned char[]> window;
    int32_t windowat = 0;
    int32_t windowend = 0;
};

class ANALOG_ITERATOR final : public CHANNEL_ITERATOR {
public:
    using CHANNEL_ITERATOR::CHANNEL_ITERATOR;

    double getvalue(double t) override;
    // 5 (low) at 0.8 V and below, 7 (high) at 2.4 V and above, else 2 (undefined).
    uint32_t getstate(double t) override;
    void resetsample() override;
    bool readsample() override;

    double previousvalue = 0;
    double currentvalue = 0;
};

class DIGITAL_ITERATOR final : public CHANNEL_ITERATOR {
public:
    DIGITAL_ITERATOR(PARTITION* owner, int32_t channelnumber, int32_t runnumber, int32_t samplewidth);

    int setedges(double rise, double fall) override;
    void getmaxpoints(int* max) override;
    void getmaxwords(int* max) override;
    // The level as a waveform: 0.0 low, 5.0 otherwise; a change is shown only after its edge time.
    double getvalue(double t) override;
    uint32_t getstate(double t) override;
    // Points at the 32-word state array in force at t (valid until the next move).
    const uint32_t* getstates(double t) override;
    void resetsample() override;
    bool readsample() override;

    int32_t words;
    double risetime = 1e-9;
    double falltime = 1e-9;
    int32_t edgeflag = 1;
    uint32_t previousstates[32];
    uint32_t currentstates[32];
};

class FREQUENCY_ITERATOR final : public CHANNEL_ITERATOR {
public:
    using CHANNEL_ITERATOR::CHANNEL_ITERATOR;

    double getreal(double f) override;
    double getimag(double f) override;
    double getmagnitude(double f) override;
    // Radians, of the stored (real, imaginary) pair.
    double getphase(double f) override;
    void resetsample() override;
    bool readsample() override;

    double previoussample[2] = {0, 0};  // real part, imaginary part
    double currentsample[2] = {0, 0};
};
