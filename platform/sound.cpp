// The music stream: libmpg123 decodes the MP3 from memory, SDL2 audio plays
// it, and the position is interpolated between the device's buffer requests.
//
// The clock of a stream on the device is a line, position = p0 + (t - t0) *
// slope, re-anchored at every buffer request. At a request the device has just
// finished the previous buffer, so the sample being heard is the first one of
// the buffer handed now. Rather than jump to it (which would step by whole
// buffers, and by the jitter of the device's thread), the line keeps its
// current value and bends its slope to meet the truth: a second-order loop
// that also learns the device's real rate (a sound card's crystal, or a dummy
// device's sleeps, are never exactly the nominal rate), so that it follows
// without a standing lag. Only an error too large to be jitter (a stall, an
// underrun) is taken at once. The line never runs past the end of what the
// device holds, and a read never reports less than the read before it unless
// a seek came between.
#include "platform/sound.h"

#include <SDL.h>
#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

struct PlatStream {
    // Decoder (none for a silent stream); reads the caller's memory.
    mpg123_handle* mh;
    const unsigned char* data;
    size_t size;
    size_t readPos;      // bytes
    bool decoderLost;    // decoding failed mid-track: re-seek before the next read

    int rate;            // Hz
    long long length;    // samples; 0 for a silent stream
    long long decPos;    // next sample to hand out; silence from `length` on

    // Clock.
    bool playing;        // unpaused on the channel
    bool onDevice;       // driven by the device's buffer requests, else by the monotonic clock
    bool anchored;       // on the device: a buffer request came since the last seek or unpause
    double t0;           // s, monotonic
    double p0;           // samples
    double slope;        // samples per s
    double deviceRate;   // samples per s: the device's rate as the clock has learnt it
    double heldEnd;      // on the device: end of what the device holds, samples
    long long lastMs;    // the last position reported, for the no-backwards rule
};

namespace {

const int BUFFER_FRAMES = 1024;   // per device request: 23.2 ms at 44.1 kHz
const double SLEW_S = 0.1;        // time constant of the position correction
const double LEARN_S = 0.2;       // time constant of the rate correction (critically damped)
const double RESET_S = 0.1;       // a larger error is taken at once

struct Sound {
    std::mutex lock;                 // the stream state, against the device's thread
    bool manual = false;
    int manualMs = 0;
    int rate = 44100;                // Hz
    bool sdlAudio = false;           // SDL's audio system is started
    const char* initError = nullptr; // why it could not start
    SDL_AudioDeviceID device = 0;    // open output device, or 0
    bool deviceTried = false;        // opening was tried (and failed, if device is 0)
    bool toldSilent = false;         // the one line on standard error was written
    PlatStream* channel = nullptr;   // the stream on the output channel
    long long requested = 0;         // frames the device asked for since it opened
} snd;

double nowS()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// ALSA writes its own complaints to standard error when it finds no card.
// Those are quietened while SDL probes for a device; libasound is reached
// through the dynamic loader, as SDL itself loads it, so nothing links to it.
typedef void (*AlsaErrorHandler)(const char*, int, const char*, int, const char*, ...);
void alsaSilent(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa(bool quiet)
{
    static void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return;
    auto set = (int (*)(AlsaErrorHandler))dlsym(lib, "snd_lib_error_set_handler");
    if (set)
        set(quiet ? alsaSilent : nullptr);   // null restores ALSA's default
}

void tellSilent(const char* why)
{
    if (snd.toldSilent)
        return;
    snd.toldSilent = true;
    std::fprintf(stderr, "vallup: no audio device (%s): the music clock runs silently\n", why);
}

mpg123_ssize_t memRead(void* handle, void* buf, size_t n)
{
    PlatStream* s = (PlatStream*)handle;
    n = std::min(n, s->size - s->readPos);
    std::memcpy(buf, s->data + s->readPos, n);
    s->readPos += n;
    return (mpg123_ssize_t)n;
}

off_t memSeek(void* handle, off_t offset, int whence)
{
    PlatStream* s = (PlatStream*)handle;
    off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (off_t)s->readPos : (off_t)s->size;
    off_t to = base + offset;
    if (to < 0 || to > (off_t)s->size)
        return -1;
    s->readPos = (size_t)to;
    return to;
}

// The next frames of the stream into `out` (stereo 16-bit). Locked.
void fill(PlatStream* s, short* out, int frames)
{
    int done = 0;
    if (s->mh && s->decPos < s->length) {
        if (s->decoderLost) {
            s->decoderLost = mpg123_seek(s->mh, (off_t)s->decPos, SEEK_SET) < 0;
        }
        int newFormats = 0;
        while (!s->decoderLost && done < frames && s->decPos < s->length) {
            long long want = std::min<long long>(frames - done, s->length - s->decPos);
            size_t got = 0;
            int r = mpg123_read(s->mh, (unsigned char*)(out + 2 * done), (size_t)want * 4, &got);
            int n = (int)(got / 4);
            done += n;
            s->decPos += n;
            if (n == 0) {
                if (r == MPG123_NEW_FORMAT && ++newFormats < 4)
                    continue;
                // Short of the scanned length: the rest of this buffer is
                // silence, and the decoder is put back in step next time.
                s->decoderLost = true;
            }
        }
    }
    std::memset(out + 2 * done, 0, (size_t)(frames - done) * 4);
    s->decPos += frames - done;
}

// Position in samples at monotonic time t. Locked.
double position(const PlatStream* s, double t)
{
    if (!s->playing)
        return s->p0;
    if (!s->onDevice)
        return s->p0 + (t - s->t0) * s->rate;
    if (!s->anchored)
        return s->p0;   // the new sound has not reached the device yet
    double p = s->p0 + (t - s->t0) * s->slope;
    return std::max(s->p0, std::min(p, s->heldEnd));
}

void deviceCallback(void*, Uint8* bytes, int len)
{
    std::lock_guard<std::mutex> hold(snd.lock);
    PlatStream* s = snd.channel;
    int frames = len / 4;
    snd.requested += frames;
    if (!s || !s->playing || !s->onDevice) {
        std::memset(bytes, 0, (size_t)len);
        return;
    }
    double t = nowS();
    double start = (double)s->decPos;   // being heard from now on
    fill(s, (short*)bytes, frames);

    double current = position(s, t);
    double error = start - current;
    if (!s->anchored || std::fabs(error) > RESET_S * s->rate) {
        s->p0 = start;
        s->slope = s->deviceRate;
        s->anchored = true;
    } else {
        double dt = t - s->t0;
        s->deviceRate = std::clamp(s->deviceRate + error * dt / (LEARN_S * LEARN_S),
                                   0.9 * s->rate, 1.1 * s->rate);
        s->p0 = current;
        s->slope = std::clamp(s->deviceRate + error / SLEW_S, 0.8 * s->rate, 1.25 * s->rate);
    }
    s->t0 = t;
    s->heldEnd = start + frames;
}

bool openDevice()
{
    if (snd.device)
        return true;
    if (!snd.sdlAudio) {
        tellSilent(snd.initError ? snd.initError : "the sound system is not started");
        return false;
    }
    if (snd.deviceTried)
        return false;
    snd.deviceTried = true;
    SDL_AudioSpec want = {}, have = {};
    want.freq = snd.rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = BUFFER_FRAMES;
    want.callback = deviceCallback;
    quietAlsa(true);
    snd.requested = 0;
    snd.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);   // SDL converts if it must
    quietAlsa(false);
    if (!snd.device) {
        tellSilent(SDL_GetError());
        return false;
    }
    // The device's thread must not ask for sound while the process is
    // being torn down.
    static bool closeAtExit = std::atexit(platSoundClose) == 0;
    (void)closeAtExit;
    return true;
}

}  // namespace

bool platSoundInit(int mixrate)
{
    if (snd.sdlAudio)
        return true;
    snd.rate = mixrate;
    if (snd.manual)
        return true;
    quietAlsa(true);
    bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    quietAlsa(false);
    if (!ok) {
        static char why[256];
        std::snprintf(why, sizeof why, "%s", SDL_GetError());
        snd.initError = why;
        return false;
    }
    snd.sdlAudio = true;
    snd.initError = nullptr;
    snd.deviceTried = false;
    return true;
}

void platSoundClose()
{
    if (snd.device) {
        SDL_CloseAudioDevice(snd.device);   // waits for the device's thread to end
        snd.device = 0;
    }
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        PlatStream* s = snd.channel;
        if (s && s->onDevice) {
            double t = nowS();
            s->p0 = position(s, t);
            s->t0 = t;
            s->onDevice = false;
        }
    }
    if (snd.sdlAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        snd.sdlAudio = false;
    }
    snd.deviceTried = false;
}

void platSoundSetManual(bool manual)
{
    snd.manual = manual;
}

void platSoundSetManualTime(int ms)
{
    snd.manualMs = ms;
}

bool platSoundHasDevice()
{
    std::lock_guard<std::mutex> hold(snd.lock);
    return !snd.manual && snd.device && snd.channel && snd.channel->onDevice;
}

long long platSoundFramesRequested()
{
    std::lock_guard<std::mutex> hold(snd.lock);
    return snd.requested;
}

PlatStream* platStreamOpen(const void* data, size_t size, const char** why)
{
    static int libraryReady = mpg123_init();   // a no-op on newer libraries
    if (libraryReady != MPG123_OK) {
        *why = mpg123_plain_strerror(libraryReady);
        return nullptr;
    }
    if (!data || size == 0) {
        *why = "the track is empty";
        return nullptr;
    }
    PlatStream* s = new PlatStream{};
    s->data = (const unsigned char*)data;
    s->size = size;
    s->rate = snd.rate;
    int err = MPG123_OK;
    s->mh = mpg123_new(nullptr, &err);
    if (!s->mh) {
        *why = mpg123_plain_strerror(err);
        delete s;
        return nullptr;
    }
    // Gapless: the encoder's delay and padding are cut, so decoded sample 0 is
    // millisecond 0. No fuzzy seeking: seeks are exact to the sample. The
    // flags are added to the decoder's defaults, which include resampling: a
    // track at another rate than the device's (48 kHz, say) is resampled to
    // it, so it plays at its own speed and positions stay in its milliseconds.
    mpg123_param(s->mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0);
    mpg123_format_none(s->mh);
    mpg123_format(s->mh, s->rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_replace_reader_handle(s->mh, memRead, memSeek, nullptr) != MPG123_OK ||
        mpg123_open_handle(s->mh, s) != MPG123_OK || mpg123_scan(s->mh) != MPG123_OK ||
        mpg123_getformat(s->mh, &rate, &channels, &encoding) != MPG123_OK) {
        *why = mpg123_strerror(s->mh);
        platStreamClose(s);
        return nullptr;
    }
    s->length = (long long)mpg123_length(s->mh);
    if (s->length <= 0) {
        *why = "no MPEG audio frames in the data";
        platStreamClose(s);
        return nullptr;
    }
    s->slope = s->deviceRate = s->rate;
    return s;
}

PlatStream* platStreamOpenSilent()
{
    PlatStream* s = new PlatStream{};
    s->rate = snd.rate;
    s->slope = s->deviceRate = s->rate;
    return s;
}

void platStreamClose(PlatStream* s)
{
    if (!s)
        return;
    bool wasOnDevice = false;
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        if (snd.channel == s) {
            snd.channel = nullptr;
            wasOnDevice = s->onDevice;
        }
    }
    if (wasOnDevice && snd.device)
        SDL_PauseAudioDevice(snd.device, 1);
    if (s->mh) {
        mpg123_close(s->mh);
        mpg123_delete(s->mh);
    }
    delete s;
}

int platStreamPlayPaused(PlatStream* s)
{
    if (!s)
        return -1;
    // A stream with sound goes to the device when there is one; a silent
    // stream, or any stream in manual mode, is a clock only.
    bool device = !snd.manual && s->mh && openDevice();
    if (device)
        SDL_PauseAudioDevice(snd.device, 1);
    std::lock_guard<std::mutex> hold(snd.lock);
    if (snd.channel && snd.channel != s) {
        PlatStream* old = snd.channel;   // taken off the channel: it stops
        old->p0 = position(old, nowS());
        old->playing = false;
        old->onDevice = false;
    }
    snd.channel = s;
    s->p0 = position(s, nowS());
    s->playing = false;
    s->anchored = false;
    s->onDevice = device;
    // The device hears the stream from its clock's position on.
    long long at = (long long)s->p0;
    if (s->decPos != at) {
        s->decPos = at;
        s->decoderLost = s->mh && at < s->length;
    }
    return 0;
}

void platSetPaused(int channel, bool paused)
{
    bool device;
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        PlatStream* s = snd.channel;
        if (channel != 0 || !s || s->playing == !paused)
            return;
        double t = nowS();
        s->p0 = position(s, t);
        s->t0 = t;
        s->slope = s->deviceRate;
        s->anchored = false;
        s->playing = !paused;
        device = s->onDevice;
    }
    if (device && snd.device)
        SDL_PauseAudioDevice(snd.device, paused ? 1 : 0);
}

int platStreamGetTime(PlatStream* s)
{
    if (snd.manual)
        return snd.manualMs;
    if (!s)
        return 0;
    std::lock_guard<std::mutex> hold(snd.lock);
    double ms = std::floor(position(s, nowS()) * 1000.0 / s->rate);
    long long now = ms >= (double)INT_MAX ? INT_MAX : (long long)ms;
    if (now < s->lastMs)
        now = s->lastMs;   // the device's jitter never shows as a step back
    s->lastMs = now;
    return (int)now;
}

void platStreamSetTime(PlatStream* s, int ms)
{
    if (ms < 0)
        ms = 0;   // before the start of the track is its start
    if (snd.manual) {
        snd.manualMs = ms;
        return;
    }
    if (!s)
        return;
    std::lock_guard<std::mutex> hold(snd.lock);
    // The first sample at or after the millisecond, so that it reads back as
    // exactly that millisecond.
    long long sample = ((long long)ms * s->rate + 999) / 1000;
    s->decPos = sample;
    s->decoderLost = false;
    if (s->mh && sample < s->length)
        s->decoderLost = mpg123_seek(s->mh, (off_t)sample, SEEK_SET) < 0;
    // Past the end the stream goes on in silence from there.
    s->p0 = (double)sample;
    s->t0 = nowS();
    s->slope = s->deviceRate;
    s->anchored = false;   // on the device: held until the new sound is handed over
    s->lastMs = ms;
}

int platStreamLengthMs(PlatStream* s)
{
    if (!s)
        return 0;
    return (int)std::min<long long>(INT_MAX, s->length * 1000 / s->rate);
}

void platStreamRead(PlatStream* s, short* out, int frames)
{
    if (!s || frames <= 0)
        return;
    std::lock_guard<std::mutex> hold(snd.lock);
    fill(s, out, frames);
}
