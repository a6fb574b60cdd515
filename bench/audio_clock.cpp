// Clock quality: the music position read every millisecond for 10 s of
// playback on SDL's dummy device, against a straight line fitted to it over
// the whole run and over each second. For comparison, in the same run, a
// clock that only counts the samples the device has asked for (what a
// position that moves only in the audio callback gives). The dummy device is
// a thread that sleeps a buffer's length between requests: on a loaded
// machine it wakes late, and both clocks follow its irregular pace.
//
//   build/bench/bench_audio_clock [seconds]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "music_clicktrack.h"
#include "platform/sound.h"

namespace {

struct Fit {
    double maxDev = 0, slope = 0, maxStep = 0, maxExcess = 0;
    int backwards = 0;
};

Fit judge(const std::vector<double>& t, const std::vector<double>& p, size_t from, size_t to)
{
    size_t n = to - from;
    double st = 0, sp = 0, stt = 0, stp = 0;
    for (size_t i = from; i < to; i++) {
        st += t[i];
        sp += p[i];
        stt += t[i] * t[i];
        stp += t[i] * p[i];
    }
    Fit f;
    f.slope = (n * stp - st * sp) / (n * stt - st * st);
    double a = (sp - f.slope * st) / n;
    for (size_t i = from; i < to; i++) {
        f.maxDev = std::max(f.maxDev, std::fabs(p[i] - (a + f.slope * t[i])));
        if (i > from) {
            double step = p[i] - p[i - 1];
            f.backwards += step < 0;
            f.maxStep = std::max(f.maxStep, step);
            f.maxExcess = std::max(f.maxExcess, step - (t[i] - t[i - 1]));
        }
    }
    return f;
}

void print(const char* name, const std::vector<double>& t, const std::vector<double>& p)
{
    Fit f = judge(t, p, 0, t.size());
    // The same against a line fitted to each second on its own.
    std::vector<double> perSecond;
    for (size_t from = 0; from + 1000 <= t.size(); from += 1000)
        perSecond.push_back(judge(t, p, from, from + 1000).maxDev);
    std::sort(perSecond.begin(), perSecond.end());
    std::printf("%s\n  max deviation from a line fitted to the whole run %.2f ms; from 1 s fits: median %.2f ms, "
                "worst %.2f ms\n  largest step %.1f ms, largest step beyond the real time "
                "between reads %.2f ms, steps backwards %d, rate %.4f\n",
                name, f.maxDev, perSecond[perSecond.size() / 2], perSecond.back(), f.maxStep,
                f.maxExcess, f.backwards, f.slope);
}

}  // namespace

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ClickTrack track = makeClickTrack(seconds + 2);

    if (!platSoundInit(44100)) {
        std::fprintf(stderr, "bench_audio_clock: no audio system (%s)\n", SDL_GetError());
        return 1;
    }
    const char* why = "";
    PlatStream* s = platStreamOpen(track.mp3.data(), track.mp3.size(), &why);
    if (!s) {
        std::fprintf(stderr, "bench_audio_clock: cannot open the track: %s\n", why);
        return 1;
    }
    int ch = platStreamPlayPaused(s);
    if (!platSoundHasDevice()) {
        std::fprintf(stderr, "bench_audio_clock: no device opened\n");
        return 1;
    }

    platSetPaused(ch, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    using clk = std::chrono::steady_clock;
    std::vector<double> t, pos, cnt;
    double outside = 0;   // ms outside the buffer being played
    auto start = clk::now();
    auto next = start;
    while (clk::now() - start < std::chrono::duration<double>(seconds)) {
        next += std::chrono::milliseconds(1);
        std::this_thread::sleep_until(next);
        auto now = clk::now();
        t.push_back(std::chrono::duration<double, std::milli>(now - start).count());
        double before = platSoundFramesRequested() * 1000.0 / 44100;
        pos.push_back(platStreamGetTime(s));
        double after = platSoundFramesRequested() * 1000.0 / 44100;
        cnt.push_back(std::floor(after));
        // The sound being heard lies in the buffer the device was last given.
        outside = std::max({outside, pos.back() - after, (before - 1024 * 1000.0 / 44100) - pos.back()});
    }

    std::printf("%zu reads over %.1f s on the dummy device (1024-sample buffers)\n", t.size(),
                seconds);
    print("music clock (platStreamGetTime):", t, pos);
    std::printf("  furthest outside the buffer the device is playing: %.2f ms\n", outside);
    print("samples asked for by the device, for comparison:", t, cnt);
    double load[1] = {0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %u cores: the dummy device is a sleeping thread and "
                    "is late by as much as the machine is busy\n",
                    load[0], std::thread::hardware_concurrency());
    return 0;
}
