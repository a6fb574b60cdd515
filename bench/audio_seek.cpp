// Seek cost and accuracy, and the cost of opening and starting the stream at
// start-up, on SDL's dummy device. Uses the show's track when it is there
// (run from the repository root), else a 128 s track made here.
//
//   build/bench/bench_audio_seek
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "demo/demo.h"
#include "music_clicktrack.h"

namespace {

using clk = std::chrono::steady_clock;

double usSince(clk::time_point t)
{
    return std::chrono::duration<double, std::micro>(clk::now() - t).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double pct(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[(size_t)(q * (v.size() - 1))];
}

}  // namespace

int main()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::vector<unsigned char> mp3;
    const char* name = "data/music/track.mp3";
    if (FILE* f = std::fopen(name, "rb")) {
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            mp3.insert(mp3.end(), buf, buf + n);
        std::fclose(f);
    } else {
        name = "a 128 s click track made here";
        mp3 = makeClickTrack(128.0).mp3;
    }
    std::printf("track: %s, %zu bytes\n", name, mp3.size());

    // Opening and starting: what start-up does after the file is read.
    std::vector<double> whole, openOnly;
    for (int i = 0; i < 11; i++) {
        const char* why = "";
        auto t0 = clk::now();
        platSoundInit(44100);
        auto t1 = clk::now();
        PlatStream* s = platStreamOpen(mp3.data(), mp3.size(), &why);
        double open = usSince(t1);
        if (!s) {
            std::fprintf(stderr, "bench_audio_seek: cannot open the track: %s\n", why);
            return 1;
        }
        platSetPaused(platStreamPlayPaused(s), false);
        whole.push_back(usSince(t0));
        openOnly.push_back(open);
        platStreamClose(s);
        platSoundClose();
    }
    std::printf("open + start (sound init, decoder open and scan, device open, unpause): "
                "median %.2f ms, max %.2f ms (11 runs)\n",
                median(whole) / 1000, *std::max_element(whole.begin(), whole.end()) / 1000);
    std::printf("  of which decoder open and scan: median %.2f ms\n", median(openOnly) / 1000);

    // Seeks while playing: autoSetTime and the next position read.
    platSoundInit(44100);
    const char* why = "";
    stream = platStreamOpen(mp3.data(), mp3.size(), &why);
    channel = platStreamPlayPaused(stream);
    platSetPaused(channel, false);
    int length = platStreamLengthMs(stream);
    std::mt19937 rng(1);
    std::vector<double> cost;
    int maxError = 0;
    double maxBeyond = 0;
    for (int i = 0; i < 400; i++) {
        int target = (int)(rng() % (unsigned)length);
        Time = 0;
        auto t0 = clk::now();
        autoSetTime(target);
        int got = platStreamGetTime(stream);
        double us = usSince(t0);
        cost.push_back(us);
        // The device may ask for sound between the two calls; from then on the
        // clock rightly moves on with the real time.
        maxError = std::max(maxError, std::abs(got - target));
        maxBeyond = std::max(maxBeyond, std::abs(got - target) - us / 1000);
    }
    std::printf("seek (autoSetTime + next platStreamGetTime), 400 random seeks over %d ms: "
                "median %.1f us, 90%% %.1f us, largest error %d ms, beyond the real time "
                "between seek and read %.2f ms\n",
                length, median(cost), pct(cost, 0.9), maxError, maxBeyond);

    // The decoder does the seek's real work (finding the frame, decoding into
    // it) when the device next asks for sound: a seek plus one buffer.
    PlatStream* side = platStreamOpen(mp3.data(), mp3.size(), &why);
    std::vector<double> withDecode, decodeOnly;
    static short buffer[1024 * 2];
    for (int i = 0; i < 400; i++) {
        int target = (int)(rng() % (unsigned)length);
        auto t0 = clk::now();
        platStreamSetTime(side, target);
        platStreamRead(side, buffer, 1024);
        withDecode.push_back(usSince(t0));
        auto t1 = clk::now();
        platStreamRead(side, buffer, 1024);
        decodeOnly.push_back(usSince(t1));
    }
    std::printf("seek + the next 1024-sample buffer decoded: median %.1f us, 90%% %.1f us "
                "(a buffer without a seek: median %.1f us)\n",
                median(withDecode), pct(withDecode, 0.9), median(decodeOnly));
    platStreamClose(side);
    return 0;
}
