// The music stream on real MP3 data made here: gapless decoding, exact seeks,
// the clock on the dummy device, with no device, and in manual mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "music_clicktrack.h"
#include "platform/sound.h"

namespace {

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

const ClickTrack& track3s()
{
    static ClickTrack t = makeClickTrack(3.0);
    return t;
}

std::vector<short> decodeAll(PlatStream* s, long frames)
{
    std::vector<short> pcm((size_t)frames * 2);
    platStreamRead(s, pcm.data(), (int)frames);
    return pcm;
}

// The lag (in samples) at which the decoded left channel best matches the
// source around sample `at`.
int bestLag(const std::vector<short>& src, const std::vector<short>& dec, long at)
{
    int best = 0;
    double bestScore = -1e300;
    for (int lag = -1500; lag <= 1500; lag++) {
        double score = 0;
        for (long i = at; i < at + 2048; i++) {
            long j = i + lag;
            if (j >= 0 && (size_t)(2 * j) < dec.size())
                score += (double)src[2 * i] * dec[2 * j];
        }
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

class Stream : public ::testing::Test {
protected:
    PlatStream* s = nullptr;
    void TearDown() override
    {
        platStreamClose(s);
        platSoundClose();
        platSoundSetManual(false);
        platSoundUseDummy(-1);
        platSoundStallDummy(false);
        unsetenv("SDL_AUDIODRIVER");
    }
    void open()
    {
        const char* why = "";
        s = platStreamOpen(track3s().mp3.data(), track3s().mp3.size(), &why);
        ASSERT_NE(s, nullptr) << why;
    }
};

TEST_F(Stream, DecodesGaplessToTheSourceLengthAndOffsets)
{
    open();
    const ClickTrack& t = track3s();
    EXPECT_EQ(platStreamLengthMs(s), 3000);
    std::vector<short> dec = decodeAll(s, t.samples + 4410);
    // Delay and padding removed: sample 0 is sample 0, and after the last
    // source sample comes silence.
    for (long at : {0L, t.clickEvery, 5 * t.clickEvery, t.samples - 4096})
        EXPECT_EQ(bestLag(t.pcm, dec, at), 0) << "at sample " << at;
    for (long i = t.samples; i < t.samples + 4410; i++)
        ASSERT_EQ(dec[2 * i], 0) << "sample " << i;
    // A click is where it was put (the sound in between is far quieter).
    EXPECT_GT(std::abs(dec[2 * (t.clickEvery + 20)]), 12000);
    EXPECT_LT(std::abs(dec[2 * (t.clickEvery - 200)]), 8000);
}

TEST_F(Stream, SeekLandsOnTheMillisecondAndDecodesWhatAFullDecodeHasThere)
{
    open();
    const ClickTrack& t = track3s();
    std::vector<short> full = decodeAll(s, t.samples);
    const int N = 2000;
    for (int ms : {0, 1, 7, 250, 1234, 2021, 2999}) {
        platStreamSetTime(s, ms);
        EXPECT_EQ(platStreamGetTime(s), ms);
        std::vector<short> got = decodeAll(s, N);
        long at = ((long)ms * 44100 + 999) / 1000;
        for (int i = 0; i < N; i++) {
            short want = at + i < t.samples ? full[2 * (at + i)] : 0;
            ASSERT_EQ(got[2 * i], want) << "seek to " << ms << " ms, sample " << i;
        }
    }
    // Before the start is the start; past the end, silence.
    platStreamSetTime(s, -700);
    EXPECT_EQ(platStreamGetTime(s), 0);
    EXPECT_EQ(decodeAll(s, 100), std::vector<short>(full.begin(), full.begin() + 200));
    platStreamSetTime(s, 5000);
    EXPECT_EQ(platStreamGetTime(s), 5000);
    EXPECT_EQ(decodeAll(s, 100), std::vector<short>(200, 0));
}

// The device runs at 44.1 kHz; a 48 kHz track is resampled to it, so it plays
// at its own speed and the clock counts milliseconds of the track.
TEST_F(Stream, A48kHzTrackPlaysAtItsOwnSpeed)
{
    ClickTrack t = makeClickTrack(3.0, 12000, 48000);   // a click every 250 ms
    const char* why = "";
    s = platStreamOpen(t.mp3.data(), t.mp3.size(), &why);
    ASSERT_NE(s, nullptr) << why;
    EXPECT_NEAR(platStreamLengthMs(s), 3000, 1);   // the resampler may drop the last sample
    auto peak = [](const std::vector<short>& pcm, long from, long to) {
        int most = 0;
        for (long i = std::max(0L, from); i < to; i++)
            most = std::max(most, std::abs((int)pcm[2 * i]));
        return most;
    };
    std::vector<short> dec = decodeAll(s, 3 * 44100);
    for (int click = 1; click < 12; click++) {
        long at = click * 11025L;   // 250 ms at 44.1 kHz
        EXPECT_GT(peak(dec, at - 5, at + 45), 12000) << "click " << click;
        EXPECT_LT(peak(dec, at - 300, at - 100), 8000) << "before click " << click;
    }
    platStreamSetTime(s, 1250);
    EXPECT_EQ(platStreamGetTime(s), 1250);
    EXPECT_GT(peak(decodeAll(s, 50), 0, 50), 12000);   // click 5 is right there
}

TEST_F(Stream, RejectsDataThatIsNotAnMp3)
{
    const char* why = "";
    std::string text(20000, 'x');
    EXPECT_EQ(platStreamOpen(text.data(), text.size(), &why), nullptr);
    EXPECT_STRNE(why, "");
    EXPECT_EQ(platStreamOpen(text.data(), 0, &why), nullptr);
    // The first kilobytes of a real track cut short still open.
    s = platStreamOpen(track3s().mp3.data(), 8000, &why);
    ASSERT_NE(s, nullptr) << why;
    EXPECT_GT(platStreamLengthMs(s), 0);
    EXPECT_LT(platStreamLengthMs(s), 1000);
}

double framesMs(long long frames)
{
    return frames * 1000.0 / 44100;
}

// Reads the playing clock every ~0.3 ms for `spanMs`: it never goes back and
// never steps by more than the real time between reads (plus its 1 ms
// resolution and the loop's largest slew). With `followDevice` (a stream that
// started at 0 on the device, no seek since) it also stays within the sound
// the device has asked for: at most what was handed over, and no further
// behind than the buffer being played plus the slack of a loaded machine.
// Returns the real time the reads took, the clock's advance over it, and the
// longest real time it stood still.
void expectSmooth(PlatStream* s, double spanMs, bool followDevice, double* realMs = nullptr,
                  double* clockMs = nullptr, double* stillMs = nullptr)
{
    double t0 = nowMs(), tPrev = t0, moved = t0, still = 0;
    int first = platStreamGetTime(s), prev = first;
    int maxExcess = 0;
    double worstAhead = -1e9, worstBehind = -1e9;
    while (nowMs() - t0 < spanMs) {
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        double before = framesMs(platSoundFramesRequested());
        int p = platStreamGetTime(s);
        double t = nowMs();
        double after = framesMs(platSoundFramesRequested());
        ASSERT_GE(p, prev) << "went back at " << t - t0 << " ms";
        if (p != prev)
            moved = t;
        still = std::max(still, t - moved);
        maxExcess = std::max(maxExcess, (int)std::ceil(p - prev - (t - tPrev) * 1.3));
        worstAhead = std::max(worstAhead, p - after);
        worstBehind = std::max(worstBehind, (before - 23.3) - p);
        prev = p;
        tPrev = t;
    }
    EXPECT_LE(maxExcess, 1) << "a step larger than the real time between reads";
    if (followDevice) {
        EXPECT_LE(worstAhead, 1.0) << "ahead of the sound handed to the device";
        EXPECT_LE(worstBehind, 40.0) << "behind the sound the device is playing";
    }
    if (realMs)
        *realMs = tPrev - t0;
    if (clockMs)
        *clockMs = prev - first;
    if (stillMs)
        *stillMs = still;
}

// Polls the clock until it passes `ms`; false after 10 s of real time.
bool reaches(PlatStream* s, int ms)
{
    double t0 = nowMs();
    while (platStreamGetTime(s) <= ms)
        if (nowMs() - t0 > 10000)
            return false;
    return true;
}

TEST_F(Stream, PlaysOnTheDummyDeviceFollowingItSmoothly)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(platSoundInit(44100));
    open();
    int ch = platStreamPlayPaused(s);
    ASSERT_GE(ch, 0);
    EXPECT_TRUE(platSoundHasDevice());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(platStreamGetTime(s), 0) << "paused";
    EXPECT_EQ(platSoundFramesRequested(), 0);
    platSetPaused(ch, false);
    double real = 0, advance = 0;
    expectSmooth(s, 1200, true, &real, &advance);
    EXPECT_GT(advance, 0.5 * real) << "the clock hardly moves";

    // A seek shows at the next read and the clock goes on from there, also
    // backwards and also past the end of the track, in silence.
    for (int ms : {400, 2900}) {
        platStreamSetTime(s, ms);
        EXPECT_EQ(platStreamGetTime(s), ms);
        EXPECT_TRUE(reaches(s, ms + 200));
    }
    EXPECT_TRUE(reaches(s, 3400)) << "stopped at the end of the track";
    expectSmooth(s, 300, false);
}

// The dummy output reports a fixed latency, as a sound server does for what it
// has queued: the position is what was handed over less that latency. At the
// start and after a seek it holds until the new sound is heard.
TEST_F(Stream, ThePositionIsWhatWasHandedOverLessTheOutputsLatency)
{
    double behind[2] = {};   // median of (handed over - position), ms, for 0 and 80 ms
    for (int latency : {0, 80}) {
        platSoundUseDummy(latency);
        ASSERT_TRUE(platSoundInit(44100));
        open();
        int ch = platStreamPlayPaused(s);
        EXPECT_TRUE(platSoundHasDevice());
        platSetPaused(ch, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        if (latency) {
            EXPECT_EQ(platStreamGetTime(s), 0) << "moved before the first sound was heard";
        }
        ASSERT_TRUE(reaches(s, 500));
        std::vector<double> gaps;
        for (int i = 0; i < 200; i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            int p = platStreamGetTime(s);
            gaps.push_back(framesMs(platSoundFramesRequested()) - p);
        }
        std::sort(gaps.begin(), gaps.end());
        behind[latency ? 1 : 0] = gaps[gaps.size() / 2];

        platStreamSetTime(s, 2000);
        std::this_thread::sleep_for(std::chrono::milliseconds(latency / 2));
        EXPECT_EQ(platStreamGetTime(s), 2000) << "latency " << latency << ": moved before the seek was heard";
        EXPECT_TRUE(reaches(s, 2100));
        platStreamClose(s);
        s = nullptr;
        platSoundClose();
    }
    EXPECT_NEAR(behind[1] - behind[0], 80, 4);
    EXPECT_LT(behind[0], 15) << "more than a buffer behind what was handed over";
}

// An output that stops asking for sound (a hung server) never holds the
// picture: the clock runs on at the real rate, trailing a steady clock by less
// than a frame, and says so once it gives up on the output. When the output
// asks again the music goes on from the clock's place, not from where the
// sound stopped.
TEST_F(Stream, AnOutputThatStopsAskingLeavesTheClockRunningAndTheSoundComesBackAtItsPlace)
{
    platSoundUseDummy(30);
    ASSERT_TRUE(platSoundInit(44100));
    open();
    platSetPaused(platStreamPlayPaused(s), false);
    ASSERT_TRUE(reaches(s, 300));
    testing::internal::CaptureStderr();
    platSoundStallDummy(true);
    double still = 0, real = 0, advance = 0;
    expectSmooth(s, 1200, false, nullptr, nullptr, &still);   // past the give-up time
    EXPECT_LT(still, 16.7) << "the clock stood still for more than a frame";
    EXPECT_FALSE(platSoundHasDevice());
    EXPECT_EQ(platSoundHeardMs(), -1);
    expectSmooth(s, 300, false, &real, &advance);
    EXPECT_NEAR(advance, real, 3.0);

    platSoundStallDummy(false);
    double waited = nowMs();
    while (!platSoundHasDevice() && nowMs() - waited < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(platSoundHasDevice()) << "the output asks again but the clock does not take it back";
    expectSmooth(s, 300, false, nullptr, nullptr, &still);
    EXPECT_LT(still, 16.7) << "the clock stood still when it took the output back";
    EXPECT_NEAR(platSoundHeardMs(), platStreamGetTime(s), 5)
        << "the sound did not come back at the clock's place";
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("stopped asking for sound"), std::string::npos) << err;
    EXPECT_NE(err.find("sound output is back"), std::string::npos) << err;
}

TEST_F(Stream, WithoutADeviceTheClockRunsSilentlyAtTheRealRateAndSaysSoOnce)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platSoundInit(44100));
    open();
    int ch = platStreamPlayPaused(s);
    platSetPaused(ch, false);
    EXPECT_FALSE(platSoundHasDevice());
    double real = 0, advance = 0;
    expectSmooth(s, 500, false, &real, &advance);
    EXPECT_NEAR(advance, real, 2.0);
    platStreamSetTime(s, 2000);
    EXPECT_EQ(platStreamGetTime(s), 2000);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("no audio device"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(Stream, ManualModeReportsWhatWasSet)
{
    platSoundSetManual(true);
    EXPECT_TRUE(platSoundInit(44100));
    open();
    platSetPaused(platStreamPlayPaused(s), false);
    EXPECT_FALSE(platSoundHasDevice());
    for (int ms : {0, 16, 33, 127999, 128017}) {
        platSoundSetManualTime(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(platStreamGetTime(s), ms);
        EXPECT_EQ(platStreamGetTime(nullptr), ms);
    }
    platStreamSetTime(s, 4321);
    EXPECT_EQ(platStreamGetTime(s), 4321);
}

}  // namespace
