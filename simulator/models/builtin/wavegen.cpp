#include "simulator/models/builtin/wavegen.h"

#include "core/files/pathopen.h"

#include <cstdio>
#include <strings.h>

void WAVEGEN::opensource()
{
    std::string path = sourcepath("WAV", "Must specify a filename for generator '%s'");
    const char* file = given("FILE");
    std::string reason;
    switch (wave.open(path.c_str(), reason)) {
    case WAVFILE::OK:
        break;
    case WAVFILE::CANNOTOPEN:
        fatal("Cannot open file '%s' in generator '%s': %s", file, label(), reason.c_str());
    case WAVFILE::NOTWAV:
        fatal("'%s' is not a WAV file in generator '%s'", file, label());
    case WAVFILE::DAMAGED:
        fatal("'%s' is damaged in generator '%s': %s.", file, label(), reason.c_str());
    case WAVFILE::UNSUPPORTED:
        fatal("'%s' cannot be played in generator '%s': %s.", file, label(), reason.c_str());
    }
    fprintf(modulestdout(), "Opened wave file '%s' - %dbit %dKHz %s.\n", file, wave.bits,
        static_cast<int>(wave.rate / 1000), wave.channels == 1 ? "MONO" : "STEREO");
}

void WAVEGEN::initialise(CIRCUIT* owner, void* argument)
{
    FILEGEN::initialise(owner, argument);
    if (given("PEAK"))
        scale = getnumval("PEAK", 0) / 2;
    else
        scale = getnumval("AMP", 1);
    offset = getnumval("OFFSET", 0);
    const char* choice = given("CHANNEL");
    channel = choice && strcasecmp(choice, "LEFT") == 0 ? LEFT
        : choice && strcasecmp(choice, "RIGHT") == 0    ? RIGHT
                                                        : MIX;
}

bool WAVEGEN::nextpoint(SOURCEPOINT* point)
{
    double left = 0;
    double right = 0;
    if (frame >= wave.frames || !wave.frame(frame, &left, &right))
        return false;
    double sample = channel == LEFT ? left : channel == RIGHT ? right : (left + right) / 2;
    *point = { static_cast<double>(frame) / wave.rate, sample * scale + offset };
    ++frame;
    return true;
}
