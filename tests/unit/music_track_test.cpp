// The committed music track: format, gapless tag, level, ending, and a kick
// (or an equally clear attack) on every one of the show's beats.
#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* trackPath = VALLUP_ROOT "/data/music/track.mp3";
const long rate = 44100;

struct Decoded {
    bool ok = false;
    std::string error;
    long rate = 0;
    int channels = 0;
    int bitrate = 0;             // kbit/s of the first frame
    bool constantBitrate = false;
    std::vector<float> l, r;
};

// Decodes the whole file to float. `gapless` false turns libmpg123's delay
// and padding removal off, to compare against the gapless length.
Decoded decode(const char* path, bool gapless)
{
    Decoded d;
    mpg123_init();
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        d.error = "mpg123_new failed";
        return d;
    }
    if (!gapless)
        mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_format_none(mh);
    mpg123_format(mh, rate, MPG123_STEREO | MPG123_MONO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, path) != MPG123_OK) {
        d.error = std::string("cannot open ") + path + ": " + mpg123_strerror(mh);
        mpg123_delete(mh);
        return d;
    }
    int enc = 0;
    if (mpg123_getformat(mh, &d.rate, &d.channels, &enc) != MPG123_OK) {
        d.error = std::string("no decodable format: ") + mpg123_strerror(mh);
        mpg123_delete(mh);
        return d;
    }
    mpg123_frameinfo info;
    if (mpg123_info(mh, &info) == MPG123_OK) {
        d.bitrate = info.bitrate;
        d.constantBitrate = info.vbr == MPG123_CBR;
    }
    std::vector<unsigned char> buf(65536);
    for (;;) {
        size_t got = 0;
        int rc = mpg123_read(mh, buf.data(), buf.size(), &got);
        const float* s = reinterpret_cast<const float*>(buf.data());
        for (size_t i = 0; i + (size_t)d.channels <= got / sizeof(float); i += d.channels) {
            d.l.push_back(s[i]);
            d.r.push_back(s[i + d.channels - 1]);
        }
        if (rc == MPG123_DONE)
            break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            d.error = std::string("decoding failed: ") + mpg123_strerror(mh);
            mpg123_delete(mh);
            return d;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    d.ok = true;
    return d;
}

const Decoded& track()
{
    static const Decoded d = decode(trackPath, true);
    return d;
}

// The show's beat i, in samples, from its 32-bit float tempo.
long beatSample(int i)
{
    float seconds = (float)(i * 60) / 63.35f;
    return std::lround((double)seconds * rate);
}

// Prefix sums of the mono signal's power, for fast window sums.
struct Onsets {
    std::vector<double> energy;
};

Onsets onsetFunction(const std::vector<float>& l, const std::vector<float>& r)
{
    Onsets o;
    o.energy.resize(l.size() + 1, 0.0);
    for (size_t n = 0; n < l.size(); n++) {
        double m = 0.5 * (l[n] + r[n]);
        o.energy[n + 1] = o.energy[n] + m * m;
    }
    return o;
}

// Attack strength at sample n: mean power over the 2 ms from n on against
// the loudest 2 ms stretch of the 10 ms before, in dB. Comparing with the
// loudest stretch keeps low notes (whose power swells twice a cycle) and the
// codec's pre-echo (a few ms of noise ahead of a transient) from passing for
// attacks.
double rise(const Onsets& o, long n)
{
    const long w = 88, before = 441;
    long size = (long)o.energy.size() - 1;
    auto power = [&](long a) {
        long b = std::max(0L, std::min(a + w, size));
        a = std::max(0L, std::min(a, size));
        return (o.energy[b] - o.energy[a]) / w;
    };
    double loudest = 0.0;
    for (long m = n - before; m <= n - w; m += 11)
        loudest = std::max(loudest, power(m));
    const double floor = 1e-9;
    return 10.0 * std::log10((power(n) + floor) / (loudest + floor));
}

struct BeatCheck {
    long offset;      // samples from the beat to the strongest attack near it
    double strength;  // dB rise of that attack
};

// The strongest attack within 40 ms of the beat.
BeatCheck checkBeat(const Onsets& o, long beat)
{
    const long span = rate * 40 / 1000;
    BeatCheck best = {0, -1e9};
    for (long n = beat - span; n <= beat + span; n++) {
        double s = rise(o, n);
        if (s > best.strength)
            best = {n - beat, s};
    }
    return best;
}

}  // namespace

TEST(MusicTrack, FormatLengthAndGaplessTag)
{
    const Decoded& d = track();
    ASSERT_TRUE(d.ok) << d.error << " (run: build/tools/assetgen/assetgen --only music data)";
    EXPECT_EQ(d.rate, rate);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.bitrate, 192);
    EXPECT_TRUE(d.constantBitrate);
    EXPECT_GE((double)d.l.size() / rate, 130.0);

    // The first frame carries the encoder's Info tag with the LAME extension
    // (delay and padding); with it, gapless decoding drops the codec's
    // priming and padding samples, so it yields fewer samples.
    FILE* f = std::fopen(trackPath, "rb");
    ASSERT_NE(f, nullptr);
    std::vector<char> head(2048);
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    std::string first(head.begin(), head.end());
    EXPECT_NE(first.find("Info"), std::string::npos) << "no Info tag in the first frame";
    EXPECT_NE(first.find("LAME"), std::string::npos) << "no LAME extension in the first frame";
    Decoded plain = decode(trackPath, false);
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_GE((long)plain.l.size() - (long)d.l.size(), 1105L);
    std::printf("gapless %zu samples (%.3f s), without the tag's trimming %zu\n", d.l.size(),
                (double)d.l.size() / rate, plain.l.size());
}

TEST(MusicTrack, PeakBelowCeilingAndCleanEnding)
{
    const Decoded& d = track();
    ASSERT_TRUE(d.ok) << d.error;
    float peak = 0.0f;
    for (size_t n = 0; n < d.l.size(); n++)
        peak = std::max(peak, std::max(std::fabs(d.l[n]), std::fabs(d.r[n])));
    EXPECT_LE(20.0 * std::log10(peak), -1.0) << "sample peak above -1 dBFS";

    auto rms = [&](double from, double to) {
        long a = std::lround(from * rate), b = std::min((long)d.l.size(), std::lround(to * rate));
        double sum = 0.0;
        for (long n = a; n < b; n++)
            sum += 0.5 * (d.l[n] * d.l[n] + d.r[n] * d.r[n]);
        return b > a ? std::sqrt(sum / (b - a)) : 0.0;
    };
    // The final hit sounds after the show's last beat, then the track falls silent.
    EXPECT_GT(rms(127.9, 128.5), 0.05);
    double tail = (double)d.l.size() / rate;
    EXPECT_LT(rms(tail - 0.4, tail), 1e-4) << "the track does not end in silence";
}

TEST(MusicTrack, AttackOnEveryShowBeat)
{
    const Decoded& d = track();
    ASSERT_TRUE(d.ok) << d.error;
    Onsets o = onsetFunction(d.l, d.r);
    const long tolerance = rate * 3 / 1000;
    int misses = 0;
    long worst = 0;
    double weakest = 1e9;
    int weakestBeat = 0;
    for (int i = 0; i <= 135; i++) {
        BeatCheck c = checkBeat(o, beatSample(i));
        worst = std::max(worst, std::labs(c.offset));
        if (c.strength < weakest) {
            weakest = c.strength;
            weakestBeat = i;
        }
        if (std::labs(c.offset) > tolerance || c.strength < 6.0) {
            misses++;
            ADD_FAILURE() << "beat " << i << " at " << beatSample(i) / (double)rate << " s: strongest attack "
                          << c.offset * 1000.0 / rate << " ms off, rising " << c.strength << " dB";
        }
    }
    EXPECT_EQ(misses, 0);
    std::printf("beats 0..135: worst offset %.2f ms, weakest attack %.1f dB (beat %d)\n", worst * 1000.0 / rate,
                weakest, weakestBeat);

    // The check can fail: the same track 6 ms late misses most beats.
    std::vector<float> l(d.l.begin(), d.l.end()), r(d.r.begin(), d.r.end());
    const long shift = rate * 6 / 1000;
    l.insert(l.begin(), shift, 0.0f);
    r.insert(r.begin(), shift, 0.0f);
    Onsets late = onsetFunction(l, r);
    int lateHits = 0;
    for (int i = 1; i <= 135; i++) {
        BeatCheck c = checkBeat(late, beatSample(i));
        lateHits += std::labs(c.offset) <= tolerance && c.strength >= 6.0;
    }
    EXPECT_LT(lateHits, 10);
    std::printf("the same track 6 ms late: %d of 135 beats pass\n", lateHits);
}
