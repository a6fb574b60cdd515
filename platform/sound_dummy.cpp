// The dummy output: a thread that asks for a buffer of sound every buffer's
// length of real time, on deadlines (so it keeps the nominal rate however late
// a wake-up is), throws it away, and reports a fixed latency. Tests use it to
// see the clock count what a device still holds.
#include "platform/sound_output.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

double dummyLatencyS = 0;
bool dummyStalled = false;

namespace {

const int FRAMES = 512;   // per request: 11.6 ms at 44.1 kHz

std::recursive_mutex lockMutex;
std::thread thread;
std::atomic<bool> running, paused;
int rate;

void run()
{
    using clock = std::chrono::steady_clock;
    std::vector<short> buffer(FRAMES * 2);
    const auto period = std::chrono::duration_cast<clock::duration>(
        std::chrono::duration<double>((double)FRAMES / rate));
    auto next = clock::now();
    while (running) {
        if (!paused && !dummyStalled) {
            std::lock_guard<std::recursive_mutex> hold(lockMutex);
            soundFeed(buffer.data(), FRAMES, dummyLatencyS);
            soundFeedAhead();
        }
        next += period;
        auto now = clock::now();
        if (next < now - 10 * period)
            next = now;   // far behind (a stopped process): no burst to catch up
        std::this_thread::sleep_until(next);
    }
}

bool open(int hz, const char**)
{
    rate = hz;
    paused = true;
    running = true;
    thread = std::thread(run);
    return true;
}

void close()
{
    running = false;
    if (thread.joinable())
        thread.join();
}

void pause(bool p) { paused = p; }
void lock() { lockMutex.lock(); }
void unlock() { lockMutex.unlock(); }

}  // namespace

const SoundOutput dummyOutput = {"dummy", open, close, pause, lock, unlock};
