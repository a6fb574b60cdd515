// Provisional clock until the decoder and device land: a stream that is only
// a clock, running on the monotonic clock from the moment it is unpaused, or
// set by hand in manual mode.
#include "platform/sound.h"

#include <chrono>

namespace {
bool manual = false;
int manualMs = 0;
}

struct PlatStream {
    bool playing;
    std::chrono::steady_clock::time_point start;
    int startMs;
};

static PlatStream theStream;

bool platSoundInit(int) { return true; }
void platSoundClose() {}
void platSoundSetManual(bool on) { manual = on; }
void platSoundSetManualTime(int ms) { manualMs = ms; }

PlatStream* platStreamOpen(const void*, size_t) { return &theStream; }

int platStreamPlayPaused(PlatStream*) { return 0; }

void platSetPaused(int, bool paused)
{
    theStream.playing = !paused;
    theStream.start = std::chrono::steady_clock::now();
}

int platStreamGetTime(PlatStream* s)
{
    if (manual)
        return manualMs;
    if (!s || !s->playing)
        return s ? s->startMs : 0;
    auto d = std::chrono::steady_clock::now() - s->start;
    return s->startMs + (int)std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

void platStreamSetTime(PlatStream* s, int ms)
{
    if (manual) {
        manualMs = ms;
        return;
    }
    if (!s)
        return;
    s->startMs = ms;
    s->start = std::chrono::steady_clock::now();
}
