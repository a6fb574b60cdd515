// The sound output in a web page: Web Audio (platform/web/sound.js), fed on
// the page's one thread between frames: an AudioWorklet whose queue the page
// keeps topped up by messages, or where there is none a ScriptProcessorNode
// of FRAMES frames. Each request's answer is converted here to the planar
// floats Web Audio plays.
//
// Latency: sound.js knows the audio context's time at which the request's
// first frame enters the output (the worklet's report of where its queue
// plays; the script processor's playbackTime), and the context's output
// timestamp says which context time the speaker plays at which moment of the
// page's clock (performance.now, the clock the music clock reads). So the
// first frame leaves the speaker
//   latency = (at - stamp.contextTime) - (now - stamp.performanceTime)
// seconds from now. Before the device has played anything the stamp is zero,
// and then the context's own figures stand in: (at - currentTime) +
// baseLatency + outputLatency (each where the browser reports it).
//
// There are no threads: the locks have nothing to hold off, and the clock
// keeps no keeper thread (soundThreads).
#include "platform/sound_output.h"

#include <emscripten/emscripten.h>

#include <vector>

// platform/web/sound.js
extern "C" {
int vallupSoundOpen(int rate, int frames);   // 0: no Web Audio
void vallupSoundClose(void);
}

namespace {

// Frames a script processor's request: 93 ms at 44.1 kHz. The node plays one
// buffer while the page's thread fills the next, so a frame may take that
// long to draw (a software WebGL's heaviest scenes take 60 ms) before the
// sound breaks up. The clock counts all of it: a seek is heard (and the
// picture moves on from it) about two buffers later. (The worklet's queue is
// sound.js's: 255 ms, and a seek drops it.)
const int FRAMES = 4096;

std::vector<short> pcm;      // one request, 16-bit interleaved stereo
std::vector<float> planar;   // the same, left channel then right, -1..1

bool open(int rate, const char** why)
{
    if (!vallupSoundOpen(rate, FRAMES)) {
        *why = "Web Audio: this browser offers no audio context at that rate";
        return false;
    }
    return true;
}

void close() { vallupSoundClose(); }
void pause(bool) {}   // a paused stream is fed silence
void lock() {}
void unlock() {}

}  // namespace

// From sound.js, for every request: `frames` stereo frames, the first
// leaving the speaker `latencyS` from now (negative: unknown).
// Returns the left channel's samples followed by the right's.
extern "C" EMSCRIPTEN_KEEPALIVE float* vallup_sound_feed(int frames, double latencyS)
{
    if (frames <= 0)
        return nullptr;
    pcm.resize((size_t)frames * 2);
    planar.resize((size_t)frames * 2);
    soundFeed(pcm.data(), frames, latencyS);
    for (int i = 0; i < frames; i++) {
        planar[(size_t)i] = pcm[(size_t)2 * i] / 32768.0f;
        planar[(size_t)frames + i] = pcm[(size_t)2 * i + 1] / 32768.0f;
    }
    soundFeedAhead();
    return planar.data();
}

// From sound.js, before topping the worklet's queue up: whether the next
// request takes a seek, so that what is queued of the old place is dropped.
extern "C" EMSCRIPTEN_KEEPALIVE int vallup_sound_seek_pending() { return soundSeekPending() ? 1 : 0; }

const SoundOutput webOutput = {"Web Audio", open, close, pause, lock, unlock};

const SoundOutput* const soundOutputs[] = {&webOutput, nullptr};
const SoundOutput* const soundSdlOutput = nullptr;
const bool soundThreads = false;

void soundRaisePriority() {}   // the page's thread is the browser's to schedule
void quietAlsa(bool) {}         // no ALSA here
