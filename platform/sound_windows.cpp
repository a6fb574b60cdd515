// What the sound path needs of Windows: the outputs in the order they are
// tried, and the feeding thread's priority.
#include "platform/sound_output.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>
#include <avrt.h>

#include <cstdio>

namespace {

// SDL's audio, unless WASAPI found the audio service hung: SDL's drivers go
// through the same service, and SDL would wait on it for ever.
bool sdlOpen(int rate, const char** why)
{
    if (wasapiNotAnswering()) {
        *why = "SDL: not tried either";
        return false;
    }
    return sdlOutput.open(rate, why);
}
void sdlClose() { sdlOutput.close(); }
void sdlPause(bool paused) { sdlOutput.pause(paused); }
void sdlLock() { sdlOutput.lock(); }
void sdlUnlock() { sdlOutput.unlock(); }

const SoundOutput sdlAfterWasapi = {"SDL", sdlOpen, sdlClose, sdlPause, sdlLock, sdlUnlock};

}  // namespace

// WASAPI first (it reports the position at the speaker), then SDL's audio
// (its WASAPI or DirectSound driver, no latency reported).
const SoundOutput* const soundOutputs[] = {&wasapiOutput, &sdlAfterWasapi, nullptr};
const SoundOutput* const soundSdlOutput = &sdlOutput;
const bool soundThreads = true;

// The multimedia class scheduler's "Pro Audio" task, as Windows' own audio
// engine and players use; else the highest ordinary priority.
void soundRaisePriority()
{
    DWORD task = 0;
    if (AvSetMmThreadCharacteristicsW(L"Pro Audio", &task))
        return;
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL))
        return;
    static bool told = false;
    if (!told) {
        told = true;
        std::fprintf(stderr, "vallup: cannot raise the sound thread's priority; the sound may "
                             "break up on a busy machine\n");
    }
}

void quietAlsa(bool) {}   // no ALSA here
