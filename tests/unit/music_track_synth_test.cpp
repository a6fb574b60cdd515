// The mastering stages behind the track: the loudness meter against the
// reference tones of the loudness standard, and the look-ahead limiter.
#include <gtest/gtest.h>

#include "synth.h"

#include <cmath>

namespace {

SynthStereo sine(double hz, double dbfs, double seconds, bool right = true)
{
    SynthStereo s;
    synthResize(s, (long)(seconds * synthRate));
    double a = std::pow(10.0, dbfs / 20.0);
    for (size_t n = 0; n < s.l.size(); n++) {
        float v = (float)(a * std::sin(6.283185307179586 * hz * n / synthRate));
        s.l[n] = v;
        s.r[n] = right ? v : 0.0f;
    }
    return s;
}

}  // namespace

TEST(MusicSynth, LoudnessMatchesReferenceTones)
{
    // 1 kHz at -23 dBFS in both channels reads -23 LUFS; K-weighting lifts
    // 1 kHz by a fraction of a dB only, so the tolerance is the standard's.
    EXPECT_NEAR(synthLoudness(sine(1000.0, -23.0, 10.0)), -23.0, 0.1);
    EXPECT_NEAR(synthLoudness(sine(1000.0, -33.0, 10.0)), -33.0, 0.1);
    // One channel alone is 3 dB quieter; 40 Hz is cut by the weighting's high-pass.
    EXPECT_NEAR(synthLoudness(sine(1000.0, -23.0, 10.0, false)), -26.0, 0.1);
    EXPECT_LT(synthLoudness(sine(40.0, -23.0, 10.0)), -24.0);

    // Gating: silence after the tone does not lower the reading.
    SynthStereo gated = sine(1000.0, -23.0, 10.0);
    gated.l.resize(gated.l.size() * 3, 0.0f);
    gated.r.resize(gated.r.size() * 3, 0.0f);
    EXPECT_NEAR(synthLoudness(gated), -23.0, 0.1);
}

TEST(MusicSynth, LimiterHoldsTheCeilingAndLeavesQuietPassagesAlone)
{
    // A quiet tone with one loud burst in the middle.
    SynthStereo s = sine(220.0, -12.0, 3.0);
    for (long n = synthRate; n < synthRate + synthRate / 10; n++) {
        s.l[n] *= 8.0f;
        s.r[n] *= 8.0f;
    }
    SynthStereo before = s;
    const float ceiling = std::pow(10.0f, -3.0f / 20.0f);
    synthLimit(s, ceiling, synthRate / 500, 0.08f);
    EXPECT_LE(synthPeak(s), ceiling);
    // The burst is brought down to near the ceiling, not squashed far below it.
    float burst = 0.0f;
    for (long n = synthRate; n < synthRate + synthRate / 10; n++)
        burst = std::max(burst, std::fabs(s.l[n]));
    EXPECT_GT(burst, 0.9f * ceiling);
    // Well before the burst nothing changes; well after it the gain has recovered.
    for (long n = 0; n < synthRate / 2; n++)
        ASSERT_EQ(s.l[n], before.l[n]) << "sample " << n;
    for (long n = 2 * synthRate; n < 3 * synthRate; n++)
        ASSERT_NEAR(s.l[n], before.l[n], 1e-4f) << "sample " << n;
}
