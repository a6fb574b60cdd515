// The WASAPI output (Windows): shared mode on the default render endpoint,
// event-driven, fed by a thread of its own. The audio engine signals an event
// each of its periods; the thread then tops the endpoint buffer up (what the
// engine has not yet taken is its padding), and says how long until the first
// new frame is heard: the padding ahead of it, and behind that what the engine
// and the device hold, from the stream's position at the speaker
// (IAudioClock), else from the stream latency the engine reports.
//
// The buffer is BUFFER_MS long and topped up at every signal, so the engine
// holds 40 ms or more of sound when the thread is woken (a shared-mode period
// is 10 ms): the thread may be that late, on a busy machine, before the
// engine runs dry (the PulseAudio output keeps 60 ms at its server, whose
// requests come less often). All of it is counted by the clock, and a seek
// drops it. (Under Wine it is the driver's own queue at the sound server, three
// periods, that has to hold: that is Wine's.) The stream asks 44.1 kHz 16-bit
// stereo whatever the device's mix format: the engine converts
// (AUTOCONVERTPCM, SRC_DEFAULT_QUALITY).
//
// Every request is answered at once, silence while the music is paused, as
// the PulseAudio output does: the stream runs from the open to the close, and
// the music starts after the silence queued before it, which the clock counts
// like any other queued sound.
//
// The thread does all of WASAPI's work, on COM's multithreaded apartment of
// its own, so the caller's thread never meets COM. It is raised above
// ordinary work at its first request, and after each answer it decodes what
// the next will ask for. Opening waits OPEN_TIMEOUT_MS at most for it to have
// the stream going, since an audio service that hangs would hold it for ever;
// a thread given up on ends by itself when the service answers, and no other
// is started while it has not (nor SDL's output, which would wait on the
// same service: sound_windows.cpp). The device going away, or the default output
// changing (IMMNotificationClient), ends the thread with soundLost: the clock
// closes the output and opens it again, on the new default device.
#include "platform/sound_output.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#define NOMINMAX
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

const int BUFFER_MS = 50;             // the endpoint buffer, kept full
const int OPEN_TIMEOUT_MS = 2000;     // for the thread to have the stream going
const DWORD WAKE_MS = 100;            // the thread looks at the stream at least this often
const double MAX_DEVICE_S = 0.5;      // a device part of the latency beyond this is not believed

// One opening of the output: shared by open(), close() and its thread, so
// that a thread given up on keeps what it uses until it ends.
struct Opening {
    int rate = 44100;
    HANDLE stop = nullptr;   // set by close(): the thread ends
    std::mutex lock;         // state, why, abandoned
    std::condition_variable changed;
    enum { STARTING, RUNNING, FAILED } state = STARTING;
    const char* why = "";
    bool abandoned = false;  // open() stopped waiting: the thread ends without feeding
    ~Opening()
    {
        if (stop)
            CloseHandle(stop);
    }
};

// Tells the thread when the default output changes (on a thread of the
// enumerator's); the stream stays on the device it opened, so the output is
// opened again on the new one.
class DefaultWatcher final : public IMMNotificationClient {
public:
    HANDLE changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);

    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG n = InterlockedDecrement(&refs);
        if (n == 0)
            delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IMMNotificationClient)) {
            AddRef();
            *out = static_cast<IMMNotificationClient*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override
    {
        if (flow == eRender && role == eConsole)
            SetEvent(changed);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override
    {
        return S_OK;
    }

private:
    ~DefaultWatcher()
    {
        if (changed)
            CloseHandle(changed);
    }
    LONG refs = 1;
};

// The stream, on its thread.
struct Stream {
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioRenderClient* render = nullptr;
    IAudioClock* clock = nullptr;
    DefaultWatcher* watcher = nullptr;   // registered with the enumerator
    HANDLE ready = nullptr;              // the engine's event: room in the buffer
    int rate = 44100;
    UINT32 bufferFrames = 0;
    UINT64 clockHz = 0;                  // units of IAudioClock's position a second
    double streamLatencyS = 0;           // the engine's and the device's part, as it reports it
    double qpcHz = 1;
    long long written = 0;               // frames written since the stream started or was reset
    bool started = false;

    ~Stream()
    {
        if (started)
            client->Stop();
        if (watcher) {
            enumerator->UnregisterEndpointNotificationCallback(watcher);
            watcher->Release();
        }
        if (clock)
            clock->Release();
        if (render)
            render->Release();
        if (client)
            client->Release();
        if (device)
            device->Release();
        if (enumerator)
            enumerator->Release();
        if (ready)
            CloseHandle(ready);
    }
};

std::recursive_mutex feedLock;   // held by the thread around each request; lock()/unlock()
std::shared_ptr<Opening> current;
std::thread feeder;
std::weak_ptr<Opening> hung;     // a thread open() gave up on, while it lasts

const char* lostReason(HRESULT hr)
{
    switch (hr) {
    case AUDCLNT_E_DEVICE_INVALIDATED:
        return "WASAPI: the audio device went away";
    case AUDCLNT_E_SERVICE_NOT_RUNNING:
        return "WASAPI: the Windows audio service stopped";
    default:
        return "WASAPI: the audio stream failed";
    }
}

// Opens the default output and starts its stream, with the buffer full of
// silence. Null when it plays, else why not.
const char* start(Stream& s)
{
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                  __uuidof(IMMDeviceEnumerator), (void**)&s.enumerator);
    if (FAILED(hr))
        return "WASAPI: no audio device enumerator";
    hr = s.enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &s.device);
    if (hr == E_NOTFOUND)
        return "WASAPI: no audio output device";
    if (FAILED(hr))
        return "WASAPI: cannot find the default audio output";
    hr = s.device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, (void**)&s.client);
    if (FAILED(hr))
        return "WASAPI: cannot open the default audio output";
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = (DWORD)s.rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = (DWORD)s.rate * 4;
    hr = s.client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                              AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM |
                                  AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                              (REFERENCE_TIME)BUFFER_MS * 10000, 0, &format, nullptr);
    switch (hr) {
    case S_OK:
        break;
    case AUDCLNT_E_UNSUPPORTED_FORMAT:
        return "WASAPI: the audio output takes no 16-bit stereo";
    case AUDCLNT_E_DEVICE_IN_USE:
        return "WASAPI: another program holds the audio output for itself";
    case AUDCLNT_E_SERVICE_NOT_RUNNING:
        return "WASAPI: the Windows audio service is not running";
    case AUDCLNT_E_DEVICE_INVALIDATED:
        return "WASAPI: the audio output went away";
    default:
        return "WASAPI: cannot start a stream on the audio output";
    }
    s.ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    REFERENCE_TIME latency = 0;
    if (!s.ready || FAILED(s.client->SetEventHandle(s.ready)) ||
        FAILED(s.client->GetBufferSize(&s.bufferFrames)) ||
        FAILED(s.client->GetStreamLatency(&latency)) ||
        FAILED(s.client->GetService(__uuidof(IAudioRenderClient), (void**)&s.render)) ||
        FAILED(s.client->GetService(__uuidof(IAudioClock), (void**)&s.clock)) ||
        FAILED(s.clock->GetFrequency(&s.clockHz)))
        return "WASAPI: cannot start a stream on the audio output";
    s.streamLatencyS = latency / 1e7;
    LARGE_INTEGER qpf;
    QueryPerformanceFrequency(&qpf);
    s.qpcHz = (double)qpf.QuadPart;

    // Not having the notice costs only the move to a new default output.
    s.watcher = new DefaultWatcher;
    if (!s.watcher->changed || FAILED(s.enumerator->RegisterEndpointNotificationCallback(s.watcher))) {
        s.watcher->Release();
        s.watcher = nullptr;
    }

    BYTE* data = nullptr;
    if (FAILED(s.render->GetBuffer(s.bufferFrames, &data)) ||
        FAILED(s.render->ReleaseBuffer(s.bufferFrames, AUDCLNT_BUFFERFLAGS_SILENT)))
        return "WASAPI: cannot start a stream on the audio output";
    s.written = s.bufferFrames;
    if (FAILED(s.client->Start()))
        return "WASAPI: cannot start a stream on the audio output";
    s.started = true;
    return nullptr;
}

// How long until the first frame written now (after `padding` frames still
// in the buffer) is heard.
//
// The stream's position is the frame at the speaker, at the
// performance-counter time given with it (the stream runs on at its rate
// since), so what was written less the position is everything queued ahead
// of the new frame: the padding, and what the engine and the device took of
// the buffer but have not yet played. That is the whole of what the clock
// needs, measured, and it is taken wherever it is sane (not past what was
// written, not more than MAX_DEVICE_S beyond the padding). The other figure,
// the padding plus GetStreamLatency, is the engine's nominal delay in place
// of the measured one, and serves only where the position cannot: just after
// a reset, when nothing has played since and the position does not yet show
// the device's delay, or when the position is not given.
//
// Under Wine (8.0, its PulseAudio driver) the position is exactly what was
// written less the padding, taken when asked: the driver's reading of the
// buffer, not the speaker, and the server's own queue behind it is not
// counted. But the driver starts reading only once the server has played a
// period, so its reading trails the server's playing by about as much as the
// server holds, and the position still gives the sound heard: the clock
// within 3 ms of the beats heard (median of 25; the padding plus the stream
// latency, 20 ms, put it 25 ms behind them).
double latencyOf(const Stream& s, UINT32 padding, bool reset)
{
    double queued = (double)padding / s.rate;
    UINT64 position = 0, at = 0;
    if (!reset && s.clockHz && SUCCEEDED(s.clock->GetPosition(&position, &at))) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        double since = std::max(0.0, (double)now.QuadPart / s.qpcHz - (double)at / 1e7);
        double played = (double)position / (double)s.clockHz + since;
        double ahead = (double)s.written / s.rate - played;
        if (ahead >= 0 && ahead <= queued + MAX_DEVICE_S)
            return ahead;
    }
    return queued + s.streamLatencyS;
}

// Tops the buffer up. Null, or why the stream is lost.
const char* request(Stream& s)
{
    UINT32 padding = 0;
    HRESULT hr = s.client->GetCurrentPadding(&padding);
    if (FAILED(hr))
        return lostReason(hr);
    // A seek: what is queued is of the old place, and the new one is heard
    // sooner without it. The stream's position starts again from the reset.
    bool reset = false;
    if (padding > 0 && soundSeekPending()) {
        if (FAILED(hr = s.client->Stop()) || FAILED(hr = s.client->Reset()))
            return lostReason(hr);
        s.started = false;
        padding = 0;
        s.written = 0;
        reset = true;
    }
    UINT32 frames = s.bufferFrames - std::min(padding, s.bufferFrames);
    if (frames > 0) {
        BYTE* data = nullptr;
        if (FAILED(hr = s.render->GetBuffer(frames, &data)))
            return lostReason(hr);
        soundFeed((short*)data, (int)frames, latencyOf(s, padding, reset));
        if (FAILED(hr = s.render->ReleaseBuffer(frames, 0)))
            return lostReason(hr);
        s.written += frames;
    }
    if (!s.started) {
        if (FAILED(hr = s.client->Start()))
            return lostReason(hr);
        s.started = true;
    }
    if (frames > 0)
        soundFeedAhead();
    return nullptr;
}

void feed(Stream& s, HANDLE stop)
{
    HANDLE wakes[3] = {stop, s.ready, s.watcher ? s.watcher->changed : nullptr};
    DWORD count = s.watcher ? 3 : 2;
    bool raised = false;
    for (;;) {
        // Woken by the engine each period; the timeout only makes sure a
        // stream that stopped signalling is still looked at.
        DWORD woken = WaitForMultipleObjects(count, wakes, FALSE, WAKE_MS);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)
            return;
        std::lock_guard<std::recursive_mutex> hold(feedLock);
        if (!raised) {
            raised = true;
            soundRaisePriority();
        }
        const char* lost = woken == WAIT_OBJECT_0 + 2 ? "WASAPI: the default audio output changed"
                                                      : request(s);
        if (lost) {
            soundLost(lost);
            return;
        }
    }
}

void run(std::shared_ptr<Opening> opening)
{
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    {
        Stream s;
        s.rate = opening->rate;
        const char* why = com ? start(s) : "WASAPI: COM would not start";
        bool go;
        {
            std::lock_guard<std::mutex> hold(opening->lock);
            go = !why && !opening->abandoned;
            opening->state = why ? Opening::FAILED : Opening::RUNNING;
            opening->why = why ? why : "";
        }
        opening->changed.notify_all();
        if (go)
            feed(s, opening->stop);
    }   // the stream is stopped and released here
    if (com)
        CoUninitialize();
}

bool open(int hz, const char** why)
{
    if (!hung.expired()) {
        *why = "WASAPI: the audio service has not answered";
        return false;
    }
    auto opening = std::make_shared<Opening>();
    opening->rate = hz;
    opening->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!opening->stop) {
        *why = "WASAPI: cannot make an event";
        return false;
    }
    std::thread thread(run, opening);
    std::unique_lock<std::mutex> hold(opening->lock);
    if (!opening->changed.wait_for(hold, std::chrono::milliseconds(OPEN_TIMEOUT_MS),
                                   [&] { return opening->state != Opening::STARTING; })) {
        opening->abandoned = true;
        hold.unlock();
        thread.detach();   // ends by itself when the service answers
        hung = opening;
        *why = "WASAPI: the audio service did not answer";
        return false;
    }
    if (opening->state == Opening::FAILED) {
        *why = opening->why;
        hold.unlock();
        thread.join();
        return false;
    }
    hold.unlock();
    current = opening;
    feeder = std::move(thread);
    return true;
}

void close()
{
    if (!current)
        return;
    SetEvent(current->stop);
    if (feeder.joinable())
        feeder.join();
    current.reset();
}

void pause(bool) {}   // a paused stream is fed silence
void lock() { feedLock.lock(); }
void unlock() { feedLock.unlock(); }

}  // namespace

bool wasapiNotAnswering()
{
    return !hung.expired();
}

const SoundOutput wasapiOutput = {"WASAPI", open, close, pause, lock, unlock};
