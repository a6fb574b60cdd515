// The music stream: libmpg123 decodes the MP3 from memory, an output plays
// it (PulseAudio, SDL2 audio, or a dummy: sound_output.h), and the position
// is interpolated between the output's requests for sound.
//
// The clock of a stream on the output is a line, position = p0 + (t - t0) *
// slope, re-anchored at every request. At a request the output says how long
// until the first sample it asks for leaves the speaker (its latency), so the
// sample heard now is that many samples before it. Rather than jump to it
// (which would step by whole buffers, and by the jitter of the output's
// thread), the line keeps its current value and bends its slope to meet the
// truth: a second-order loop that also learns the device's real rate (a sound
// card's crystal, or a dummy device's sleeps, are never exactly the nominal
// rate), so that it follows without a standing lag. Only an error too large
// to be jitter (a stall, an underrun) is taken at once. The line never runs
// past the end of what the output was handed, never reports less than a seek
// asked for, and a read never reports less than the read before it unless a
// seek came between. An output that goes away, or stops asking for sound,
// leaves the clock running on silently from where it was.
#include "platform/sound.h"
#include "platform/sound_output.h"

#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

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
    bool onDevice;       // driven by the output's requests, else by the monotonic clock
    bool anchored;       // on the output: a request came since the last seek or unpause
    double t0;           // s, monotonic
    double p0;           // samples
    double slope;        // samples per s
    double deviceRate;   // samples per s: the device's rate as the clock has learnt it
    double heldEnd;      // on the output: end of what it was handed, samples
    double floor;        // samples: the last seek or unpause; nothing before it is reported
    double lastFeed;     // s, monotonic: the output's last request (or the unpause, or seek)
    long long lastMs;    // the last position reported, for the no-backwards rule
};

namespace {

const double SLEW_S = 0.1;    // time constant of the position correction
const double LEARN_S = 0.2;   // time constant of the rate correction (critically damped)
const double RESET_S = 0.1;   // a larger error is taken at once
// An output that asks for nothing this long while playing is given up. Long,
// because a sound server may take a second or two to start its device (a
// Bluetooth headset); a server that goes away says so at once.
const double STALL_S = 3.0;

struct Sound {
    std::mutex lock;                   // the stream state, against the output's thread
    bool manual = false;
    int manualMs = 0;
    int rate = 44100;                  // Hz
    bool started = false;              // platSoundInit ran (and platSoundClose did not)
    const SoundOutput* output = nullptr;   // the open output, or null
    std::string initError;             // why no output could be opened
    bool toldSilent = false;           // the one line on standard error was written
    PlatStream* channel = nullptr;     // the stream on the output channel
    long long requested = 0;           // frames handed to the output while playing, since it opened
    int dummyLatencyMs = -1;           // >= 0: tests asked for the dummy output
    double lead = 0;                   // s: positions are read for this much later than now
} snd;

double nowS()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
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

// The line of a stream on the output at monotonic time t, before the floor
// and the end of what was handed. Locked.
double line(const PlatStream* s, double t)
{
    return s->anchored ? s->p0 + (t - s->t0) * s->slope : s->p0;
}

// Position in samples at monotonic time t. Locked.
double position(const PlatStream* s, double t)
{
    if (!s->playing)
        return s->p0;
    if (!s->onDevice)
        return s->p0 + (t - s->t0) * s->rate;
    if (!s->anchored)
        return s->p0;   // the new sound has not reached the output yet
    return std::max(s->floor, std::min(line(s, t), s->heldEnd));
}

// Takes the stream off the output: from where it is now it runs on the
// monotonic clock. Locked.
void goSilent(PlatStream* s, double t)
{
    s->p0 = position(s, t);
    s->t0 = t;
    s->onDevice = false;
}

// A stream that starts (or restarts) at p0 now: nothing before it is reported,
// and the output has until STALL_S from now to ask for it. Locked.
void restart(PlatStream* s, double t)
{
    s->t0 = t;
    s->floor = s->p0;
    s->lastFeed = t;
    s->slope = s->deviceRate;
    s->anchored = false;
}

}  // namespace

bool soundFeed(short* out, int frames, double latencyS)
{
    std::lock_guard<std::mutex> hold(snd.lock);
    PlatStream* s = snd.channel;
    if (!s || !s->playing || !s->onDevice) {
        std::memset(out, 0, (size_t)frames * 4);
        return false;
    }
    snd.requested += frames;
    double t = nowS();
    double start = (double)s->decPos;   // leaves the speaker latencyS from now
    fill(s, out, frames);

    double heard = start - latencyS * s->rate;   // the sample leaving the speaker now
    double current = std::min(line(s, t), s->heldEnd);
    double error = heard - current;
    if (!s->anchored || std::fabs(error) > RESET_S * s->rate) {
        s->p0 = heard;
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
    s->lastFeed = t;
    return true;
}

void soundLost(const char* why)
{
    std::lock_guard<std::mutex> hold(snd.lock);
    PlatStream* s = snd.channel;
    if (!s || !s->onDevice)
        return;
    goSilent(s, nowS());
    std::fprintf(stderr, "vallup: %s: the music clock runs on silently\n", why);
}

bool platSoundInit(int mixrate)
{
    if (snd.started)
        return snd.output != nullptr || snd.manual;
    snd.started = true;
    snd.rate = mixrate;
    if (snd.manual)
        return true;
    // The dummy when tests ask for it; SDL's own choice when SDL_AUDIODRIVER
    // names one; else the sound server, and SDL (ALSA) without one.
    const SoundOutput* tries[2] = {&pulseOutput, &sdlOutput};
    if (snd.dummyLatencyMs >= 0) {
        dummyLatencyS = snd.dummyLatencyMs / 1000.0;
        tries[0] = &dummyOutput;
        tries[1] = nullptr;
    } else if (std::getenv("SDL_AUDIODRIVER")) {
        tries[0] = &sdlOutput;
        tries[1] = nullptr;
    }
    snd.initError.clear();
    snd.requested = 0;
    for (const SoundOutput* output : tries) {
        const char* why = "";
        if (output && output->open(snd.rate, &why)) {
            snd.output = output;
            // The output's thread must not ask for sound while the process
            // is being torn down.
            static bool closeAtExit = std::atexit(platSoundClose) == 0;
            (void)closeAtExit;
            return true;
        }
        if (output)
            snd.initError += std::string(snd.initError.empty() ? "" : "; ") + why;
    }
    return false;
}

void platSoundClose()
{
    if (snd.output)
        snd.output->close();   // no request comes after this
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        PlatStream* s = snd.channel;
        if (s && s->onDevice)
            goSilent(s, nowS());
        snd.output = nullptr;
    }
    snd.started = false;
}

void platSoundSetManual(bool manual)
{
    snd.manual = manual;
}

void platSoundSetManualTime(int ms)
{
    snd.manualMs = ms;
}

void platSoundUseDummy(int latencyMs)
{
    snd.dummyLatencyMs = latencyMs;
}

void platSoundStallDummy(bool stalled)
{
    dummyStalled = stalled;
}

bool platSoundHasDevice()
{
    std::lock_guard<std::mutex> hold(snd.lock);
    return !snd.manual && snd.output && snd.channel && snd.channel->onDevice;
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
    if (wasOnDevice && snd.output)
        snd.output->pause(true);
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
    // A stream with sound goes to the output when there is one; a silent
    // stream, or any stream in manual mode, is a clock only.
    bool device = !snd.manual && s->mh && snd.output;
    if (device)
        snd.output->pause(true);
    else if (!snd.manual && s->mh)
        tellSilent(!snd.started ? "the sound system is not started"
                   : snd.initError.empty() ? "the sound output went away"
                                           : snd.initError.c_str());
    std::lock_guard<std::mutex> hold(snd.lock);
    if (snd.channel && snd.channel != s) {
        PlatStream* old = snd.channel;   // taken off the channel: it stops
        old->p0 = position(old, nowS());
        old->playing = false;
        old->onDevice = false;
    }
    snd.channel = s;
    double t = nowS();
    s->p0 = position(s, t);
    s->playing = false;
    s->onDevice = device;
    restart(s, t);
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
        restart(s, t);
        s->playing = !paused;
        device = s->onDevice;
    }
    if (device && snd.output)
        snd.output->pause(paused);
}

int platStreamGetTime(PlatStream* s)
{
    if (snd.manual)
        return snd.manualMs;
    if (!s)
        return 0;
    std::lock_guard<std::mutex> hold(snd.lock);
    double t = nowS();
    if (s->playing && s->onDevice && t - s->lastFeed > STALL_S) {
        // The output stopped asking for sound without saying why (a hung
        // sound server): the clock goes on without it.
        goSilent(s, t);
        std::fprintf(stderr, "vallup: the sound output stopped asking for sound: the music "
                             "clock runs on silently\n");
    }
    double ms = std::floor(position(s, t + snd.lead) * 1000.0 / s->rate);
    long long now = ms >= (double)INT_MAX ? INT_MAX : (long long)ms;
    if (now < s->lastMs)
        now = s->lastMs;   // the device's jitter never shows as a step back
    s->lastMs = now;
    return (int)now;
}

void platSoundSetLead(double seconds)
{
    std::lock_guard<std::mutex> hold(snd.lock);
    snd.lead = std::clamp(seconds, 0.0, 0.1);
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
    // The output is held off for the whole seek: its next request is for the
    // new position.
    const SoundOutput* output = snd.output;
    if (output)
        output->lock();
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        // The first sample at or after the millisecond, so that it reads back
        // as exactly that millisecond.
        long long sample = ((long long)ms * s->rate + 999) / 1000;
        s->decPos = sample;
        s->decoderLost = false;
        if (s->mh && sample < s->length)
            s->decoderLost = mpg123_seek(s->mh, (off_t)sample, SEEK_SET) < 0;
        // Past the end the stream goes on in silence from there. On the
        // output it holds there until the new sound is handed over.
        s->p0 = (double)sample;
        restart(s, nowS());
        s->lastMs = ms;
    }
    if (output)
        output->unlock();
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
