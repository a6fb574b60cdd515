// The SDL2 output: ALSA and whatever else SDL drives (SDL_AUDIODRIVER picks
// one; "dummy" is SDL's own device that plays nothing in real time). SDL says
// nothing of the latency behind it, so the sample heard is taken to be the
// first of the buffer SDL asks for, which holds on a sound card played
// directly (the card has just finished the buffer before).
#include "platform/sound_output.h"

#include <SDL.h>

#include <cstdio>

namespace {

const int BUFFER_FRAMES = 1024;   // per request: 23.2 ms at 44.1 kHz

SDL_AudioDeviceID device;
bool audioUp;   // SDL's audio subsystem is started

void callback(void*, Uint8* bytes, int len)
{
    soundFeed((short*)bytes, len / 4, 0.0);
    soundFeedAhead();
}

bool open(int rate, const char** why)
{
    static char reason[256];
    quietAlsa(true);
    if (!audioUp && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        audioUp = true;
    if (audioUp) {
        SDL_AudioSpec want = {}, have = {};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = BUFFER_FRAMES;
        want.callback = callback;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);   // SDL converts if it must
    }
    quietAlsa(false);
    if (!device) {
        std::snprintf(reason, sizeof reason, "%s", SDL_GetError());
        *why = reason;
        return false;
    }
    return true;
}

void close()
{
    if (device)
        SDL_CloseAudioDevice(device);   // waits for SDL's audio thread to end
    device = 0;
    if (audioUp)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioUp = false;
}

void pause(bool paused) { SDL_PauseAudioDevice(device, paused ? 1 : 0); }
void lock() { SDL_LockAudioDevice(device); }
void unlock() { SDL_UnlockAudioDevice(device); }

}  // namespace

const SoundOutput sdlOutput = {"SDL", open, close, pause, lock, unlock};
