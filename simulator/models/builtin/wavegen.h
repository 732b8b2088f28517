#pragma once

#include "simulator/models/builtin/filegen.h"
#include "simulator/models/builtin/wavfile.h"

// WAVEGEN: plays a WAV sound (wavfile.h) named by FILE (extension WAV by default). Frame n lies at
// n / rate seconds; its sample, scaled by PEAK / 2 (or AMP, else 1) and moved by OFFSET, is the
// point's value. A stereo file plays the LEFT or RIGHT channel that CHANNEL names, else the mean of
// both.
class WAVEGEN final : public FILEGEN {
public:
    using FILEGEN::FILEGEN;

    // PEAK, AMP, OFFSET and CHANNEL at every call; the file once.
    void initialise(CIRCUIT* circuit, void* argument) override;

    enum CHANNELCHOICE { MIX, LEFT, RIGHT };

    WAVFILE wave;
    double scale = 1;
    double offset = 0;
    CHANNELCHOICE channel = MIX;
    int64_t frame = 0; // the index of the next frame

protected:
    void restart() override { frame = 0; }
    bool nextpoint(SOURCEPOINT* point) override;
    void opensource() override;
};
