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
// rate), so that it follows without a standing lag. A bend lasts SLEW_S; a
// line not re-anchored by then runs on at the device's rate.
//
// The picture never waits for the sound. While the output asks for nothing
// (a hung server), the clock runs on at most GRACE_S behind its line; after
// PATIENCE_S of silence it runs on the monotonic clock, and the output's next
// request takes it back. When the sound heard and the clock are more than
// RESYNC_S apart (the output came back after a hang or a restart, or ran dry),
// the sound moves to the picture: the decoder jumps to the sample that leaves
// the speaker when the clock is there. The one hold is at the start and after
// a seek, until the new sound is heard. An output that goes away is opened
// again, once a second, by a keeper thread (where the system allows threads:
// soundThreads).
//
// Threads and locks. The caller's thread (the render loop) reads the clock
// every frame and seeks; it may be descheduled at any moment on a busy
// machine, holding whatever it holds. The output's thread must never wait for
// it, so:
//   snd.lock       the clock and the caller's commands (seek, pause). The
//                  caller takes it; the output's thread only tries it, and
//                  when it is held answers as it did last time and takes the
//                  commands at its next request.
//   snd.feedLock   the decoder of the stream on the channel, which is the
//                  output thread's own: held while it answers. The caller
//                  takes it only to put a stream on or off the channel.
//   snd.outputLock opening, closing and pausing the output (caller, keeper).
// Order: outputLock, the output's own lock, feedLock, lock.
#include "platform/sound.h"
#include "platform/sound_output.h"

#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct PlatStream {
    // Decoder (none for a silent stream); reads the caller's memory. On the
    // channel it belongs to the output's thread (snd.feedLock).
    mpg123_handle* mh;
    const unsigned char* data;
    size_t size;
    size_t readPos;      // bytes
    bool decoderLost;    // re-seek the decoder to decAt before the next read

    int rate;            // Hz
    long long length;    // samples; 0 for a silent stream
    long long decPos;    // next sample to hand out; silence from `length` on
    long long decAt;     // the decoder's next sample: decPos + aheadCount
    std::vector<short> ahead;   // stereo frames decoded ahead of the output's request
    int aheadCount;             // frames in `ahead`, from decPos on
    long long seekTo;    // a seek the decoder has not taken yet (samples), or -1
    bool feeding;        // the output's thread: its last request that read the clock got sound

    // Clock (snd.lock).
    bool playing;        // unpaused on the channel
    bool onDevice;       // driven by the output's requests, else by the monotonic clock
    bool anchored;       // on the output: a request came since the last seek or unpause
    double t0;           // s, monotonic
    double p0;           // samples
    double slope;        // samples per s, for SLEW_S after t0; the device's rate after that
    double deviceRate;   // samples per s: the device's rate as the clock has learnt it
    double heldEnd;      // on the output: end of what it was handed, samples
    double floor;        // samples: the last seek or unpause; nothing before it is reported
    double lastFeed;     // s, monotonic: the output's last request (or the unpause, or seek)
    double patience;     // s: silence from the output after lastFeed before the clock gives up
    double heard;        // samples: the sample leaving the speaker at lastFeed, as the output said
    long long lastMs;    // the last position reported, for the no-backwards rule
};

namespace {

const double SLEW_S = 0.1;      // time constant of the position correction
const double LEARN_S = 0.2;     // time constant of the rate correction (critically damped)
const double RESYNC_S = 0.05;   // sound and clock further apart: the sound moves to the clock
const double GRACE_S = 0.008;   // the clock trails its line by at most this, output silent
// Silence from a playing output before the clock runs on without it. At the
// start it is long, because a sound server may take a second or two to start
// its device (a Bluetooth headset) and the show starts with its music; later
// a request is due every few tens of ms.
const double START_PATIENCE_S = 3.0;
const double PATIENCE_S = 1.0;
const double RETRY_S = 1.0;     // a lost output is looked for again this often
const int AHEAD_FRAMES = 4096;  // decoded ahead of the output's request: 93 ms at 44.1 kHz

struct Sound {
    std::mutex lock;                   // the clock and the caller's commands; see the top
    std::mutex feedLock;               // the channel stream's decoder
    std::mutex outputLock;             // opening, closing and pausing the output
    bool manual = false;
    int manualMs = 0;
    int rate = 44100;                  // Hz
    bool started = false;              // platSoundInit ran (and platSoundClose did not)
    const SoundOutput* output = nullptr;   // in use (open, or lost and looked for), or null
    std::string initError;             // why no output could be opened
    bool toldSilent = false;           // the no-device line on standard error was written
    bool toldStopped = false;          // said the output stopped or went, not yet that it is back
    PlatStream* channel = nullptr;     // the stream on the output channel
    std::atomic<long long> requested{0};   // frames handed to the output playing, since it opened
    int dummyLatencyMs = -1;           // >= 0: tests asked for the dummy output
    double lead = 0;                   // s: positions are read for this much later than now

    std::atomic<bool> lost{false};     // the output's device went away: the keeper opens it again
    std::thread keeper;
    std::mutex keeperLock;             // stopKeeper, with `wake`
    std::condition_variable wake;
    bool stopKeeper = false;
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

// Decodes `frames` frames from decAt into `out` (stereo 16-bit): silence past
// the end, and for the rest of a buffer where decoding failed.
void decode(PlatStream* s, short* out, int frames)
{
    int done = 0;
    if (s->mh && s->decAt < s->length) {
        if (s->decoderLost)
            s->decoderLost = mpg123_seek(s->mh, (off_t)s->decAt, SEEK_SET) < 0;
        int newFormats = 0;
        while (!s->decoderLost && done < frames && s->decAt < s->length) {
            long long want = std::min<long long>(frames - done, s->length - s->decAt);
            size_t got = 0;
            int r = mpg123_read(s->mh, (unsigned char*)(out + 2 * done), (size_t)want * 4, &got);
            int n = (int)(got / 4);
            done += n;
            s->decAt += n;
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
    s->decAt += frames - done;
}

// The decoder goes to `sample` (it seeks at its next read); what was decoded
// ahead is dropped.
void moveDecoder(PlatStream* s, long long sample)
{
    s->decPos = s->decAt = std::max(0LL, sample);
    s->aheadCount = 0;
    s->decoderLost = s->mh != nullptr;
}

// The next `frames` frames of the stream into `out`: what was decoded ahead,
// then the rest decoded now.
void fill(PlatStream* s, short* out, int frames)
{
    int n = std::min(frames, s->aheadCount);
    if (n > 0) {
        std::memcpy(out, s->ahead.data(), (size_t)n * 4);
        std::memmove(s->ahead.data(), s->ahead.data() + 2 * n, (size_t)(s->aheadCount - n) * 4);
        s->aheadCount -= n;
    }
    if (n < frames)
        decode(s, out + 2 * n, frames - n);
    s->decPos += frames;
}

// The stream's line at monotonic time t, before the floor: the bend of the
// last request for SLEW_S, the device's rate after it. Locked.
double line(const PlatStream* s, double t)
{
    if (!s->anchored)
        return s->p0;
    double dt = t - s->t0;
    double bent = std::min(dt, SLEW_S);
    return s->p0 + bent * s->slope + (dt - bent) * s->deviceRate;
}

// What the clock shows of the line: no further than what the output was
// handed, unless the output is late, and then no more than GRACE_S behind.
double shown(const PlatStream* s, double t)
{
    double at = line(s, t);
    return std::max(at - GRACE_S * s->rate, std::min(at, s->heldEnd));
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
    return std::max(s->floor, shown(s, t));
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
// and the output has `patience` s from now to ask for it. Locked.
void restart(PlatStream* s, double t, double patience)
{
    s->t0 = t;
    s->floor = s->p0;
    s->lastFeed = t;
    s->patience = patience;
    s->slope = s->deviceRate;
    s->anchored = false;
}

// The output asks again for a stream that had gone silent: it goes back on
// the output from where its clock is, and the request that follows moves the
// sound there. Locked.
void comeBack(PlatStream* s, double t)
{
    s->p0 = position(s, t);
    s->t0 = t;
    s->slope = s->deviceRate;
    s->heldEnd = HUGE_VAL;
    s->onDevice = true;
    s->anchored = true;
    if (snd.toldStopped) {
        snd.toldStopped = false;
        std::fprintf(stderr, "vallup: the sound output is back: the music plays on from the "
                             "picture's place\n");
    }
}

void keep();

void stopKeeper()
{
    {
        std::lock_guard<std::mutex> hold(snd.keeperLock);
        snd.stopKeeper = true;
    }
    snd.wake.notify_all();
    if (snd.keeper.joinable())
        snd.keeper.join();
}

void startKeeper()
{
    stopKeeper();
    snd.stopKeeper = false;
    snd.lost = false;
    snd.keeper = std::thread(keep);
}

// Once a second: an output whose device went away is closed and opened
// again; when it opens, its first request takes the stream back.
void keep()
{
    std::unique_lock<std::mutex> hold(snd.keeperLock);
    while (!snd.stopKeeper) {
        snd.wake.wait_for(hold, std::chrono::duration<double>(RETRY_S));
        if (snd.stopKeeper || !snd.lost)
            continue;
        hold.unlock();
        {
            std::lock_guard<std::mutex> opening(snd.outputLock);
            const SoundOutput* output = snd.output;
            const char* why = "";
            if (output && snd.lost) {
                output->close();
                if (output->open(snd.rate, &why)) {
                    snd.lost = false;
                    bool playing;
                    {
                        std::lock_guard<std::mutex> clock(snd.lock);
                        playing = snd.channel && snd.channel->playing;
                    }
                    output->pause(!playing);
                }
            }
        }
        hold.lock();
    }
}

void silence(short* out, int frames)
{
    std::memset(out, 0, (size_t)frames * 4);
}

}  // namespace

bool soundFeed(short* out, int frames, double latencyS)
{
    std::lock_guard<std::mutex> feeding(snd.feedLock);
    PlatStream* s = snd.channel;
    if (!s || !s->mh) {
        silence(out, frames);
        return false;
    }
    std::unique_lock<std::mutex> clock(snd.lock, std::try_to_lock);
    if (!clock.owns_lock() || latencyS < 0) {
        // The caller's thread holds the clock just now, or the output does not
        // know its latency: answer as last time; the clock, and the caller's
        // seek or pause, wait for the next request.
        if (!s->feeding) {
            silence(out, frames);
            return false;
        }
        snd.requested += frames;
        fill(s, out, frames);
        return true;
    }
    s->feeding = s->playing;
    if (!s->playing) {
        silence(out, frames);
        return false;
    }
    double t = nowS();
    if (!s->onDevice)
        comeBack(s, t);
    if (s->seekTo >= 0) {
        moveDecoder(s, s->seekTo);
        s->seekTo = -1;
    }
    snd.requested += frames;

    double heard = s->decPos - latencyS * s->rate;   // the sample leaving the speaker now
    if (!s->anchored) {
        // The first sound since the start, an unpause or a seek: the clock
        // holds at the floor until it is heard.
        s->p0 = heard;
        s->slope = s->deviceRate;
        s->anchored = true;
    } else if (shown(s, t) < s->floor && heard <= s->floor) {
        // Still holding for the new sound to be heard: the line follows it.
        s->p0 = heard;
        s->slope = s->deviceRate;
    } else {
        double current = std::max(s->floor, shown(s, t));
        double error = heard - current;
        if (std::fabs(error) > RESYNC_S * s->rate) {
            // Sound and picture are apart: the sound goes to the picture.
            moveDecoder(s, std::llround(current + latencyS * s->rate));
            heard = current;
            s->p0 = current;
            s->slope = s->deviceRate;
        } else {
            double dt = std::min(t - s->t0, SLEW_S);
            s->deviceRate = std::clamp(s->deviceRate + error * dt / (LEARN_S * LEARN_S),
                                       0.9 * s->rate, 1.1 * s->rate);
            s->p0 = current;
            s->slope = std::clamp(s->deviceRate + error / SLEW_S, 0.8 * s->rate, 1.25 * s->rate);
        }
    }
    s->t0 = t;
    s->heldEnd = (double)s->decPos + frames;
    s->lastFeed = t;
    s->patience = PATIENCE_S;
    s->heard = heard;
    clock.unlock();
    fill(s, out, frames);
    return true;
}

bool soundSeekPending()
{
    std::unique_lock<std::mutex> clock(snd.lock, std::try_to_lock);
    PlatStream* s = snd.channel;
    return clock.owns_lock() && s && s->mh && s->playing && s->onDevice && s->seekTo >= 0;
}

void soundFeedAhead()
{
    std::lock_guard<std::mutex> feeding(snd.feedLock);
    PlatStream* s = snd.channel;
    if (!s || !s->mh || !s->feeding)
        return;
    if (s->ahead.empty())
        s->ahead.resize((size_t)AHEAD_FRAMES * 2);
    if (s->aheadCount < AHEAD_FRAMES) {
        decode(s, s->ahead.data() + 2 * s->aheadCount, AHEAD_FRAMES - s->aheadCount);
        s->aheadCount = AHEAD_FRAMES;
    }
}

void soundLost(const char* why)
{
    std::lock_guard<std::mutex> hold(snd.lock);
    snd.lost = true;
    PlatStream* s = snd.channel;
    if (!s || !s->onDevice)
        return;
    goSilent(s, nowS());
    snd.toldStopped = true;
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
    // names one; else the system's outputs in their order.
    const SoundOutput* const* tries = soundOutputs;
    static const SoundOutput* const dummyOnly[] = {&dummyOutput, nullptr};
    static const SoundOutput* const sdlOnly[] = {soundSdlOutput, nullptr};
    if (snd.dummyLatencyMs >= 0) {
        dummyLatencyS = snd.dummyLatencyMs / 1000.0;
        tries = dummyOnly;
    } else if (soundSdlOutput && std::getenv("SDL_AUDIODRIVER")) {
        tries = sdlOnly;
    }
    snd.initError.clear();
    snd.requested = 0;
    {
        std::lock_guard<std::mutex> opening(snd.outputLock);
        for (const SoundOutput* const* output = tries; *output; output++) {
            const char* why = "";
            if ((*output)->open(snd.rate, &why)) {
                snd.output = *output;
                break;
            }
            snd.initError += std::string(snd.initError.empty() ? "" : "; ") + why;
        }
    }
    if (!snd.output)
        return false;
    if (soundThreads)
        startKeeper();
    // The output's thread must not ask for sound while the process is being
    // torn down.
    static bool closeAtExit = std::atexit(platSoundClose) == 0;
    (void)closeAtExit;
    return true;
}

void platSoundClose()
{
    stopKeeper();
    std::lock_guard<std::mutex> opening(snd.outputLock);
    if (snd.output)
        snd.output->close();   // no request comes after this
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        PlatStream* s = snd.channel;
        if (s && s->onDevice)
            goSilent(s, nowS());
        snd.output = nullptr;
        snd.lost = false;
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
    return snd.requested;
}

int platSoundHeardMs()
{
    std::lock_guard<std::mutex> hold(snd.lock);
    PlatStream* s = snd.channel;
    if (snd.manual || !s || !s->playing || !s->onDevice || !s->anchored)
        return -1;
    double at = s->heard + (nowS() - s->lastFeed) * s->deviceRate;
    return (int)std::floor(std::max(0.0, at) * 1000.0 / s->rate);
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
    PlatStream* s = platStreamOpenSilent();
    s->data = (const unsigned char*)data;
    s->size = size;
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
    return s;
}

PlatStream* platStreamOpenSilent()
{
    PlatStream* s = new PlatStream{};
    s->rate = snd.rate;
    s->slope = s->deviceRate = s->rate;
    s->seekTo = -1;
    return s;
}

void platStreamClose(PlatStream* s)
{
    if (!s)
        return;
    bool wasOnDevice = false;
    {
        std::lock_guard<std::mutex> feeding(snd.feedLock);
        std::lock_guard<std::mutex> hold(snd.lock);
        if (snd.channel == s) {
            snd.channel = nullptr;
            wasOnDevice = s->onDevice;
        }
    }
    if (wasOnDevice) {
        std::lock_guard<std::mutex> opening(snd.outputLock);
        if (snd.output)
            snd.output->pause(true);
    }
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
    std::lock_guard<std::mutex> opening(snd.outputLock);
    bool device = !snd.manual && s->mh && snd.output;
    if (device)
        snd.output->pause(true);
    else if (!snd.manual && s->mh)
        tellSilent(!snd.started ? "the sound system is not started"
                   : snd.initError.empty() ? "the sound output went away"
                                           : snd.initError.c_str());
    std::lock_guard<std::mutex> feeding(snd.feedLock);
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
    s->feeding = false;
    restart(s, t, START_PATIENCE_S);
    // The device hears the stream from its clock's position on.
    long long at = (long long)s->p0;
    if (s->decPos != at)
        s->seekTo = at;
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
        restart(s, t, START_PATIENCE_S);
        s->playing = !paused;
        device = s->onDevice;
    }
    std::lock_guard<std::mutex> opening(snd.outputLock);
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
    if (s->playing && s->onDevice && t - s->lastFeed > s->patience) {
        // The output stopped asking for sound without saying why (a hung
        // sound server): the clock goes on without it until it asks again.
        goSilent(s, t);
        if (!snd.toldStopped)
            std::fprintf(stderr, "vallup: the sound output stopped asking for sound: the music "
                                 "clock runs on silently\n");
        snd.toldStopped = true;
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
    // The decoder takes the seek at its next read (on the output's thread for
    // the stream on the channel), so the output is never held up here.
    std::lock_guard<std::mutex> hold(snd.lock);
    // The first sample at or after the millisecond, so that it reads back as
    // exactly that millisecond. Past the end the stream goes on in silence
    // from there. On the output it holds there until the new sound is heard.
    long long sample = ((long long)ms * s->rate + 999) / 1000;
    s->seekTo = sample;
    s->p0 = (double)sample;
    restart(s, nowS(), PATIENCE_S);
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
    std::lock_guard<std::mutex> feeding(snd.feedLock);
    long long seek;
    {
        std::lock_guard<std::mutex> hold(snd.lock);
        seek = s->seekTo;
        s->seekTo = -1;
    }
    if (seek >= 0)
        moveDecoder(s, seek);
    fill(s, out, frames);
}
