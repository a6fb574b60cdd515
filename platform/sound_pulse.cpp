// The PulseAudio output (PipeWire's server speaks the same protocol). The
// server asks for sound on its client thread; with each request it knows how
// long the sound already queued, its own buffers and the sink's take to play,
// which is the latency the clock needs. Its timing is interpolated between
// the server's updates, so reading it on every request costs no round trip.
// The interpolation fits a line to the last few seconds of updates, so after
// a gap in the requests (a server that hung) it is wrong for seconds: for
// RAW_S after one, and until the interpolation agrees, the latency is worked
// out from the server's last update itself.
//
// The stream keeps about TARGET_LATENCY_MS queued: enough for the sound to
// hold while the machine is busy, and all of it counted by the clock; a seek
// drops it. Every
// request is answered at once (silence while the music is paused): a server
// left waiting for an answer may never ask again. So the stream is never
// corked; the music starts after the silence queued before it, which the
// clock counts like any other queued sound.
//
// The client thread that answers is raised above ordinary work at its first
// request, and after each answer it decodes what the next will ask for.
// Opening waits OPEN_TIMEOUT_S at most for the server, since a server that
// accepts the connection but hangs would hold it for ever.
#include "platform/sound_output.h"

#include <pulse/pulseaudio.h>

#include <cmath>
#include <cstdio>

namespace {

const int TARGET_LATENCY_MS = 60;   // queued at the server, ms
const int REQUEST_MS = 10;          // smallest request the server makes, ms
const double OPEN_TIMEOUT_S = 2.0;  // for the server to say the stream is ready
// A request later than this after the last: the timing may be stale, s.
const double GAP_S = 0.1;
// After a gap, the latency comes from the server's last update for at least
// this long, s, and then until the interpolation agrees with it to AGREE_S.
// libpulse's interpolation fits the updates of the last 5 s; after a 5 s hang
// of a null sink it said 0 where the updates said 35 ms for 4.7 s, and was
// still 3 ms off 8 s after.
const double RAW_S = 10.0;
const double AGREE_S = 0.002;

pa_threaded_mainloop* loop;
pa_context* context;
pa_stream* stream;
int rate;
bool lost;        // the server went away; nothing more is fed
bool raised;      // the client thread's priority was raised
bool timedOut;    // opening took longer than OPEN_TIMEOUT_S
pa_usec_t lastRequest;   // monotonic time of the last request, us
bool stale;              // a gap in the requests: the server's timing is being asked for afresh
double knownLatency;     // s: latency of the last sample written when the timing was known
long sinceKnown;         // frames written since then
pa_usec_t rawUntil;      // monotonic, us: the latency is worked out from the update until then
                         // (and on, until the interpolation agrees); 0: it is interpolated

void stateChanged(pa_context*, void*)
{
    pa_threaded_mainloop_signal(loop, 0);
}

void streamStateChanged(pa_stream* s, void*)
{
    pa_stream_state_t state = pa_stream_get_state(s);
    if ((state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) && !lost) {
        lost = true;
        soundLost("the sound server went away");
    }
    pa_threaded_mainloop_signal(loop, 0);
}

void contextStateChanged(pa_context* c, void* data)
{
    pa_context_state_t state = pa_context_get_state(c);
    if ((state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) && stream && !lost) {
        lost = true;
        soundLost("the sound server went away");
    }
    stateChanged(c, data);
}

void timingUpdated(pa_stream*, int, void*)
{
    stale = false;
}

// The latency of the next sample written, from the server's last timing
// update alone: the sink's delay, and what was queued then (with what was
// written since) less what has been played since, in s. Sets `dry` when by
// now the queue has run out. False when the update does not tell (none yet,
// or a flush since).
bool latencyFromUpdate(pa_stream* s, double* latency, bool* dry)
{
    const pa_timing_info* timing = pa_stream_get_timing_info(s);
    if (!timing || timing->write_index_corrupt || timing->read_index_corrupt)
        return false;
    double queued = (double)(timing->write_index - timing->read_index) / ((double)rate * 4);
    if (timing->playing)
        queued -= pa_timeval_age(&timing->timestamp) / 1e6;   // the update's age, wall clock
    *dry = queued < 0;
    *latency = timing->sink_usec / 1e6 + (queued < 0 ? 0.0 : queued);
    return true;
}

// The server wants `bytes` more. Runs on the client thread, lock held.
void writeRequested(pa_stream* s, size_t bytes, void*)
{
    if (lost)
        return;
    if (!raised) {
        raised = true;
        soundRaisePriority();
    }
    void* data = nullptr;
    if (pa_stream_begin_write(s, &data, &bytes) < 0 || !data)
        return;
    // What is written now is heard after everything queued before it and the
    // sink's own delay, which the server's timing says. After a gap in the
    // requests (a busy machine, a server that hung) the timing interpolated
    // since the server's last report may be wrong by the whole gap: the sound
    // goes on, but says nothing of its latency until a fresh report comes.
    // For RAW_S after the gap the interpolation still holds the time before
    // it, so the latency is worked out from the fresh report instead, until
    // the interpolation agrees with it. The interpolated latency stops at 0;
    // the report's says when the queue has run dry since (negative).
    // A negative latency means the server has read past what was written (the
    // sound ran dry, a hung server caught up): the queue is flushed, and what
    // is written from then on is heard after the sink's delay plus what was
    // written since, until the server's next report. A seek flushes it too:
    // the sound queued is of the old place, and the new one is heard sooner.
    pa_usec_t now = pa_rtclock_now();
    if (lastRequest && now - lastRequest > (pa_usec_t)(GAP_S * PA_USEC_PER_SEC) && !stale) {
        pa_operation* o = pa_stream_update_timing_info(s, timingUpdated, nullptr);
        if (o) {
            stale = true;
            rawUntil = now + (pa_usec_t)(RAW_S * PA_USEC_PER_SEC);
            pa_operation_unref(o);
        }
    }
    lastRequest = now;
    double latency = 0;
    bool negative = false;
    bool timed = false;
    if (!stale) {
        pa_usec_t usec = 0;
        int below = 0;   // libpulse sets it for recording only: a playback latency stops at 0
        timed = pa_stream_get_latency(s, &usec, &below) == 0;
        latency = usec / 1e6;
        negative = below != 0;
        double reported = 0;
        bool dry = false;
        if (rawUntil && latencyFromUpdate(s, &reported, &dry)) {
            if (now >= rawUntil && timed && std::fabs(latency - reported) < AGREE_S) {
                rawUntil = 0;   // the interpolation has caught up
            } else {
                timed = true;
                latency = reported;
                negative = dry;
            }
        }
    }
    if ((timed && negative) || (!stale && soundSeekPending())) {
        const pa_timing_info* timing = pa_stream_get_timing_info(s);
        knownLatency = timing ? timing->sink_usec / 1e6 : 0.0;
        sinceKnown = 0;
        pa_operation* o = pa_stream_flush(s, nullptr, nullptr);
        if (o)
            pa_operation_unref(o);
    } else if (timed) {
        knownLatency = latency;
        sinceKnown = 0;
    }
    int frames = (int)(bytes / 4);
    soundFeed((short*)data, frames, stale ? -1.0 : knownLatency + (double)sinceKnown / rate);
    sinceKnown += frames;
    pa_stream_write(s, data, (size_t)frames * 4, nullptr, 0, PA_SEEK_RELATIVE);
    soundFeedAhead();
}

void openTimedOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void*)
{
    timedOut = true;
    pa_threaded_mainloop_signal(loop, 0);
}

void teardown()
{
    if (stream) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }
    if (context) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
}

bool open(int hz, const char** why)
{
    rate = hz;
    lost = false;
    raised = false;
    timedOut = false;
    lastRequest = 0;
    stale = false;
    rawUntil = 0;
    knownLatency = 0;   // before the server's first report, the queue is empty
    sinceKnown = 0;
    loop = pa_threaded_mainloop_new();
    if (!loop || pa_threaded_mainloop_start(loop) < 0) {
        *why = "PulseAudio: cannot start its client thread";
        if (loop)
            pa_threaded_mainloop_free(loop);
        loop = nullptr;
        return false;
    }
    pa_threaded_mainloop_lock(loop);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    struct timeval deadline;
    pa_timeval_add(pa_gettimeofday(&deadline), (pa_usec_t)(OPEN_TIMEOUT_S * PA_USEC_PER_SEC));
    pa_time_event* timer = api->time_new(api, &deadline, openTimedOut, nullptr);
    context = pa_context_new(api, "vallup");
    bool ok = context != nullptr;
    if (ok) {
        pa_context_set_state_callback(context, contextStateChanged, nullptr);
        // No server of our own is started: none running means no PulseAudio.
        ok = pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }
    while (ok) {
        pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY)
            break;
        if (!PA_CONTEXT_IS_GOOD(state) || timedOut)
            ok = false;
        else
            pa_threaded_mainloop_wait(loop);
    }
    if (ok) {
        pa_sample_spec spec = {PA_SAMPLE_S16NE, (uint32_t)rate, 2};
        stream = pa_stream_new(context, "music", &spec, nullptr);
        ok = stream != nullptr;
    }
    if (ok) {
        pa_buffer_attr attr;
        attr.maxlength = (uint32_t)-1;
        attr.tlength = (uint32_t)((long)rate * TARGET_LATENCY_MS / 1000 * 4);
        attr.prebuf = (uint32_t)-1;
        attr.minreq = (uint32_t)((long)rate * REQUEST_MS / 1000 * 4);
        attr.fragsize = (uint32_t)-1;
        pa_stream_set_state_callback(stream, streamStateChanged, nullptr);
        pa_stream_set_write_callback(stream, writeRequested, nullptr);
        pa_stream_flags_t flags = (pa_stream_flags_t)(PA_STREAM_INTERPOLATE_TIMING |
                                                      PA_STREAM_AUTO_TIMING_UPDATE |
                                                      PA_STREAM_ADJUST_LATENCY);
        ok = pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) >= 0;
    }
    while (ok) {
        pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state) || timedOut)
            ok = false;
        else
            pa_threaded_mainloop_wait(loop);
    }
    if (timer)
        api->time_free(timer);
    if (!ok) {
        static char reason[160];
        std::snprintf(reason, sizeof reason, "PulseAudio: %s",
                      timedOut  ? "the server did not answer"
                      : context ? pa_strerror(pa_context_errno(context))
                                : "out of memory");
        *why = reason;
        lost = true;
        teardown();
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
        loop = nullptr;
        return false;
    }
    pa_threaded_mainloop_unlock(loop);
    return true;
}

void close()
{
    if (!loop)
        return;
    pa_threaded_mainloop_lock(loop);
    lost = true;
    teardown();
    pa_threaded_mainloop_unlock(loop);
    pa_threaded_mainloop_stop(loop);
    pa_threaded_mainloop_free(loop);
    loop = nullptr;
}

void lock() { pa_threaded_mainloop_lock(loop); }      // recursive
void unlock() { pa_threaded_mainloop_unlock(loop); }

void pause(bool) {}   // a paused stream is fed silence

}  // namespace

const SoundOutput pulseOutput = {"PulseAudio", open, close, pause, lock, unlock};
