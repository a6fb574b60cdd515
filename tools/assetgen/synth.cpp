// The synthesiser's oscillators, filters, instruments and bus effects.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <deque>

static const double twoPi = 6.283185307179586;

uint32_t synthRngNext(SynthRng& rng)
{
    uint32_t x = rng.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    rng.state = x;
    return x;
}

float synthRngSigned(SynthRng& rng)
{
    return (float)((synthRngNext(rng) >> 8) * (2.0 / 16777216.0) - 1.0);
}

void synthResize(SynthStereo& buf, long frames)
{
    buf.l.assign(frames, 0.0f);
    buf.r.assign(frames, 0.0f);
}

double synthHz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

SynthFilterOut synthFilter(SynthFilter& f, float in, float cutoffHz, float q)
{
    float fc = std::min(std::max(cutoffHz, 10.0f), 0.45f * synthRate);
    float g = (float)std::tan(3.141592653589793 * fc / synthRate);
    float k = 1.0f / q;
    float a1 = 1.0f / (1.0f + g * (g + k));
    float a2 = g * a1;
    float a3 = g * a2;
    float v3 = in - f.ic2;
    float v1 = a1 * f.ic1 + a2 * v3;
    float v2 = f.ic2 + a2 * f.ic1 + a3 * v3;
    f.ic1 = 2.0f * v1 - f.ic1;
    f.ic2 = 2.0f * v2 - f.ic2;
    return {v2, v1, in - k * v1 - v2};
}

// Band-limited step correction (polyBLEP) for a discontinuity at phase 0.
static double blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

static double sawWave(double phase, double dt)
{
    return 2.0 * phase - 1.0 - blep(phase, dt);
}

static double pulseWave(double phase, double dt, double width)
{
    double v = phase < width ? 1.0 : -1.0;
    v += blep(phase, dt);
    double p2 = phase + 1.0 - width;
    v -= blep(p2 - std::floor(p2), dt);
    return v;
}

static double triWave(double phase)
{
    return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
}

static double advance(double phase, double dt)
{
    phase += dt;
    return phase >= 1.0 ? phase - std::floor(phase) : phase;
}

// Linear fade over the last `fade` seconds before `end` (seconds), so notes
// never stop with a click.
static float endFade(double t, double end, double fade)
{
    if (t >= end)
        return 0.0f;
    return t > end - fade ? (float)((end - t) / fade) : 1.0f;
}

// Attack-decay-sustain-release envelope; `held` is how long the key is down.
static float adsr(double t, double held, double a, double d, double s, double r)
{
    auto level = [&](double u) {
        if (u < a)
            return u / a;
        return s + (1.0 - s) * std::exp(-(u - a) / d);
    };
    if (t < held)
        return (float)level(t);
    double rel = t - held;
    return rel >= r ? 0.0f : (float)(level(held) * (1.0 - rel / r));
}

// Vibrato as a pitch offset in semitones, fading in after `delay` seconds.
static double vibrato(double t, double delay, double depth, double rate)
{
    if (t < delay)
        return 0.0;
    double fadeIn = std::min(1.0, (t - delay) / 0.25);
    return depth * fadeIn * std::sin(twoPi * rate * (t - delay));
}

void synthRender(const SynthNote& note, SynthRng& rng, SynthStereo& out)
{
    const double fs = synthRate;
    const double held = note.length / fs;
    const float vel = note.velocity;
    // Release time after the held length; percussive notes end inside it.
    double tail = 0.0;
    switch (note.inst) {
    case instBass: case instChipBass: tail = 0.03; break;
    case instAcid: tail = 0.04; break;
    case instPulseLead: tail = 0.06; break;
    case instChipArp: tail = 0.01; break;
    case instPad: tail = 0.9; break;
    case instLead: tail = 0.12; break;
    default: break;
    }
    const long frames = note.length + (long)(tail * fs);
    synthResize(out, frames);
    float* L = out.l.data();
    float* R = out.r.data();
    const double end = frames / fs;

    switch (note.inst) {
    case instKick: {
        // Starts at full swing after a 0.3 ms ramp: the transient is the beat.
        double phase = 0.25;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double f = 44.0 + 170.0 * std::exp(-t / 0.028) + 380.0 * std::exp(-t / 0.0025);
            double amp = std::exp(-t / 0.30) * std::min(1.0, t / 0.0003 + 0.02) * endFade(t, end, 0.03);
            double v = std::tanh(1.7 * std::sin(twoPi * phase)) * amp;
            v += 0.35 * synthRngSigned(rng) * std::exp(-t / 0.0015);
            phase = advance(phase, f / fs);
            L[n] = R[n] = (float)(v * vel);
        }
        break;
    }
    case instChipKick: {
        double phase = 0.25;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double f = 52.0 + 330.0 * std::exp(-t / 0.022);
            double tri = std::round(triWave(phase) * 7.5) / 7.5;   // 4-bit steps
            double sq = phase < 0.5 ? 1.0 : -1.0;
            double amp = std::exp(-t / 0.13) * endFade(t, end, 0.02);
            double v = (0.8 * tri + 0.25 * sq * std::exp(-t / 0.03)) * amp;
            if (t < 0.006)
                v += 0.5 * ((synthRngNext(rng) & 0x10000) ? 1.0 : -1.0) * (1.0 - t / 0.006);
            phase = advance(phase, f / fs);
            L[n] = R[n] = (float)(v * vel);
        }
        break;
    }
    case instSnare: {
        SynthFilter hp = {0, 0};
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double tone = (std::sin(twoPi * 185.0 * t) + 0.5 * std::sin(twoPi * 330.0 * t)) * std::exp(-t / 0.045);
            float noise = synthFilter(hp, synthRngSigned(rng), 1400.0f, 0.7f).high;
            double v = 0.55 * tone + 0.9 * noise * std::exp(-t / 0.12);
            v *= std::min(1.0, t / 0.0005) * endFade(t, end, 0.02);
            L[n] = R[n] = (float)(v * vel);
        }
        break;
    }
    case instClap: {
        SynthFilter bp = {0, 0};
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double env = 0.0;
            for (double b : {0.0, 0.0095, 0.019})
                if (t >= b)
                    env = std::max(env, std::exp(-(t - b) / 0.0045));
            if (t >= 0.026)
                env = std::max(env, 0.8 * std::exp(-(t - 0.026) / 0.13));
            float noise = synthFilter(bp, synthRngSigned(rng), 1150.0f, 1.4f).band;
            double v = 2.4 * noise * env * endFade(t, end, 0.02);
            L[n] = R[n] = (float)(v * vel);
        }
        break;
    }
    case instHat: {
        SynthFilter hp = {0, 0};
        static const double ratios[6] = {1.0, 1.4836, 1.8019, 2.5477, 2.6318, 3.8998};
        double phases[6] = {0, 0.13, 0.41, 0.07, 0.66, 0.29};
        double decay = note.param > 0 ? note.param : 0.03;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double metal = 0.0;
            for (int i = 0; i < 6; i++) {
                metal += phases[i] < 0.5 ? 1.0 : -1.0;
                phases[i] = advance(phases[i], 540.0 * ratios[i] / fs);
            }
            float in = (float)(0.6 * synthRngSigned(rng) + 0.07 * metal);
            float v = synthFilter(hp, in, 7500.0f, 0.8f).high;
            double amp = std::exp(-t / decay) * endFade(t, end, 0.01);
            L[n] = R[n] = (float)(v * amp * vel);
        }
        break;
    }
    case instChipNoise: {
        double rate = synthHz(note.pitches[0]);
        double decay = note.param > 0 ? note.param : 0.08;
        double acc = 1.0;
        double value = 0.0;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            acc += rate / fs;
            if (acc >= 1.0) {
                acc -= std::floor(acc);
                value = (synthRngNext(rng) & 0x100) ? 1.0 : -1.0;
            }
            double amp = std::exp(-t / decay) * endFade(t, end, 0.01);
            L[n] = R[n] = (float)(value * amp * vel);
        }
        break;
    }
    case instCrash: {
        SynthFilter hl = {0, 0}, hr = {0, 0};
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double amp = (0.35 + 0.65 * std::exp(-t / 0.12)) * std::exp(-t / 0.9) * endFade(t, end, 0.2);
            amp *= std::min(1.0, t / 0.0008);
            L[n] = (float)(synthFilter(hl, synthRngSigned(rng), 3800.0f, 0.6f).high * amp * vel);
            R[n] = (float)(synthFilter(hr, synthRngSigned(rng), 3800.0f, 0.6f).high * amp * vel);
        }
        break;
    }
    case instImpact: {
        SynthFilter lp = {0, 0};
        double phase = 0.25;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double f = 36.0 + 40.0 * std::exp(-t / 0.09);
            double boom = std::sin(twoPi * phase) * std::exp(-t / 0.3);
            float thump = synthFilter(lp, synthRngSigned(rng), 700.0f, 0.7f).low;
            double v = (0.9 * boom + 1.6 * thump * std::exp(-t / 0.07)) * std::min(1.0, t / 0.001);
            v *= endFade(t, end, 0.2);
            phase = advance(phase, f / fs);
            L[n] = R[n] = (float)(v * vel);
        }
        break;
    }
    case instRiser: {
        SynthFilter bl = {0, 0}, br = {0, 0};
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double x = t / held;
            float fc = (float)(250.0 * std::pow(28.0, x));
            double amp = x * x * endFade(t, end, 0.004);
            L[n] = (float)(synthFilter(bl, synthRngSigned(rng), fc, 2.5f).band * amp * vel);
            R[n] = (float)(synthFilter(br, synthRngSigned(rng), fc * 1.03f, 2.5f).band * amp * vel);
        }
        break;
    }
    case instBass: {
        SynthFilter lp = {0, 0};
        double f = synthHz(note.pitches[0]);
        double p1 = 0.0, p2 = 0.5, ps = 0.0;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double v = 0.5 * sawWave(p1, f / fs) + 0.5 * sawWave(p2, f * 1.004 / fs);
            float fc = (float)(220.0 + 2000.0 * std::exp(-t / 0.07));
            float y = synthFilter(lp, (float)v, fc, 0.9f).low;
            double sub = std::sin(twoPi * ps);
            double amp = adsr(t, held, 0.002, 0.15, 0.8, tail);
            L[n] = R[n] = (float)(std::tanh(1.3 * (y + 0.45 * sub)) * amp * vel);
            p1 = advance(p1, f / fs);
            p2 = advance(p2, f * 1.004 / fs);
            ps = advance(ps, f / fs);
        }
        break;
    }
    case instAcid: {
        SynthFilter lp = {0, 0};
        double f = synthHz(note.pitches[0]);
        double p = 0.0;
        double accent = note.param;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            float fc = (float)(180.0 + (900.0 + 2600.0 * accent) * std::exp(-t / (0.09 + 0.08 * accent)));
            float y = synthFilter(lp, (float)sawWave(p, f / fs), fc, 3.5f).low;
            double amp = adsr(t, held, 0.002, 0.2, 0.7, tail);
            L[n] = R[n] = (float)(std::tanh(1.6 * y) * amp * vel);
            p = advance(p, f / fs);
        }
        break;
    }
    case instChipBass: {
        double f = synthHz(note.pitches[0]);
        double p = 0.0;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double tri = std::round(triWave(p) * 7.5) / 7.5;
            double amp = adsr(t, held, 0.001, 0.3, 0.85, tail);
            L[n] = R[n] = (float)(tri * amp * vel);
            p = advance(p, f / fs);
        }
        break;
    }
    case instPulseLead: {
        double p = 0.0;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double f = synthHz(note.pitches[0] + vibrato(t, 0.14, 0.22, 6.0));
            double width = 0.5 + 0.38 * std::sin(twoPi * 1.6 * t + 0.5);
            double amp = adsr(t, held, 0.002, 0.12, 0.7, tail);
            L[n] = R[n] = (float)(0.55 * pulseWave(p, f / fs, width) * amp * vel);
            p = advance(p, f / fs);
        }
        break;
    }
    case instChipArp: {
        double p = 0.0;
        long frame = synthRate / 50;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            int step = (int)((n / frame) % note.count);
            double f = synthHz(note.pitches[step]);
            double amp = adsr(t, held, 0.001, 0.09, 0.45, tail);
            L[n] = R[n] = (float)(0.5 * pulseWave(p, f / fs, 0.25) * amp * vel);
            p = advance(p, f / fs);
        }
        break;
    }
    case instPad: {
        // Three saws a side per pitch, spread in cents; random start phases
        // keep the stack from beating in step.
        static const double detune[6] = {-11.0, -3.5, 6.5, -6.5, 3.0, 11.5};
        double phase[4][6];
        for (int i = 0; i < note.count; i++)
            for (int j = 0; j < 6; j++)
                phase[i][j] = (synthRngSigned(rng) + 1.0) * 0.5;
        SynthFilter fl = {0, 0}, fr = {0, 0};
        float cutoff = note.param > 0 ? note.param : 1800.0f;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double l = 0.0, r = 0.0;
            for (int i = 0; i < note.count; i++) {
                double base = synthHz(note.pitches[i]);
                for (int j = 0; j < 6; j++) {
                    double dt = base * std::pow(2.0, detune[j] / 1200.0) / fs;
                    double v = sawWave(phase[i][j], dt);
                    phase[i][j] = advance(phase[i][j], dt);
                    (j < 3 ? l : r) += v;
                }
            }
            float fc = cutoff * (float)(1.0 + 0.25 * std::sin(twoPi * 0.23 * t));
            double amp = adsr(t, held, 0.25, 1.0, 1.0, tail) * 0.22 / note.count;
            L[n] = (float)(synthFilter(fl, (float)l, fc, 0.8f).low * amp * vel);
            R[n] = (float)(synthFilter(fr, (float)r, fc, 0.8f).low * amp * vel);
        }
        break;
    }
    case instStab: {
        static const double detune[4] = {-9.0, 5.0, -5.0, 9.0};
        double phase[4][4];
        for (int i = 0; i < note.count; i++)
            for (int j = 0; j < 4; j++)
                phase[i][j] = (synthRngSigned(rng) + 1.0) * 0.5;
        SynthFilter fl = {0, 0}, fr = {0, 0};
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double l = 0.0, r = 0.0;
            for (int i = 0; i < note.count; i++) {
                double base = synthHz(note.pitches[i]);
                for (int j = 0; j < 4; j++) {
                    double dt = base * std::pow(2.0, detune[j] / 1200.0) / fs;
                    (j < 2 ? l : r) += sawWave(phase[i][j], dt);
                    phase[i][j] = advance(phase[i][j], dt);
                }
            }
            float fc = (float)(700.0 + 4200.0 * std::exp(-t / 0.09));
            double amp = std::exp(-t / 0.16) * std::min(1.0, t / 0.002) * endFade(t, end, 0.03) * 0.35 / note.count;
            L[n] = (float)(synthFilter(fl, (float)l, fc, 1.1f).low * amp * vel);
            R[n] = (float)(synthFilter(fr, (float)r, fc, 1.1f).low * amp * vel);
        }
        break;
    }
    case instLead: {
        SynthFilter lp = {0, 0};
        double p1 = 0.0, p2 = 0.3, p3 = 0.6;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double f = synthHz(note.pitches[0] + vibrato(t, 0.18, 0.18, 5.5));
            double v = 0.45 * sawWave(p1, f * 0.9965 / fs) + 0.45 * sawWave(p2, f * 1.0035 / fs) +
                       0.3 * pulseWave(p3, f * 0.5 / fs, 0.5);
            float fc = (float)(1800.0 + 3500.0 * std::exp(-t / 0.15));
            float y = synthFilter(lp, (float)v, fc, 1.0f).low;
            double amp = adsr(t, held, 0.004, 0.25, 0.75, tail);
            L[n] = R[n] = (float)(y * amp * vel * 0.8);
            p1 = advance(p1, f * 0.9965 / fs);
            p2 = advance(p2, f * 1.0035 / fs);
            p3 = advance(p3, f * 0.5 / fs);
        }
        break;
    }
    case instPluck: {
        SynthFilter lp = {0, 0};
        double f = synthHz(note.pitches[0]);
        double p1 = 0.0, p2 = 0.5;
        double bright = note.param;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double v = 0.6 * sawWave(p1, f / fs) + 0.4 * pulseWave(p2, f * 1.002 / fs, 0.5);
            float fc = (float)(400.0 + (600.0 + 5000.0 * bright) * std::exp(-t / 0.07));
            float y = synthFilter(lp, (float)v, fc, 1.3f).low;
            double amp = std::exp(-t / 0.16) * std::min(1.0, t / 0.001) * endFade(t, end, 0.02);
            L[n] = R[n] = (float)(y * amp * vel);
            p1 = advance(p1, f / fs);
            p2 = advance(p2, f * 1.002 / fs);
        }
        break;
    }
    case instBell: {
        double f = synthHz(note.pitches[0]);
        double pc = 0.0, pm = 0.0, po = 0.0;
        for (long n = 0; n < frames; n++) {
            double t = n / fs;
            double index = 2.6 * std::exp(-t / 0.35) + 0.3;
            double mod = std::sin(twoPi * pm) * index;
            double v = std::sin(twoPi * pc + mod) + 0.25 * std::sin(twoPi * po);
            double amp = std::exp(-t / 0.9) * std::min(1.0, t / 0.002) * endFade(t, end, 0.1);
            L[n] = R[n] = (float)(0.5 * v * amp * vel);
            pc = advance(pc, f / fs);
            pm = advance(pm, f * 3.5 / fs);
            po = advance(po, f * 2.0 / fs);
        }
        break;
    }
    }
}

// --- bus effects ---------------------------------------------------------

struct Comb {
    std::vector<float> buf;
    size_t pos;
    float store;
};
struct AllPass {
    std::vector<float> buf;
    size_t pos;
};

void synthReverb(const SynthStereo& in, SynthStereo& out, float roomSize, float damping)
{
    static const int combLen[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allLen[4] = {556, 441, 341, 225};
    const int spread = 23;
    Comb combs[2][8];
    AllPass alls[2][4];
    for (int c = 0; c < 2; c++) {
        for (int i = 0; i < 8; i++)
            combs[c][i] = {std::vector<float>(combLen[i] + c * spread, 0.0f), 0, 0.0f};
        for (int i = 0; i < 4; i++)
            alls[c][i] = {std::vector<float>(allLen[i] + c * spread, 0.0f), 0};
    }
    const float feedback = roomSize * 0.28f + 0.7f;
    const size_t frames = in.l.size();
    synthResize(out, frames);
    for (size_t n = 0; n < frames; n++) {
        float input = (in.l[n] + in.r[n]) * 0.015f;
        for (int c = 0; c < 2; c++) {
            float acc = 0.0f;
            for (Comb& cb : combs[c]) {
                float y = cb.buf[cb.pos];
                cb.store = y * (1.0f - damping) + cb.store * damping;
                cb.buf[cb.pos] = input + cb.store * feedback;
                if (++cb.pos == cb.buf.size())
                    cb.pos = 0;
                acc += y;
            }
            for (AllPass& ap : alls[c]) {
                float y = ap.buf[ap.pos];
                float o = y - acc;
                ap.buf[ap.pos] = acc + y * 0.5f;
                if (++ap.pos == ap.buf.size())
                    ap.pos = 0;
                acc = o;
            }
            (c == 0 ? out.l : out.r)[n] = acc;
        }
    }
}

void synthPingPong(const SynthStereo& in, SynthStereo& out, long delay, float feedback, float toneHz)
{
    const size_t frames = in.l.size();
    synthResize(out, frames);
    std::vector<float> dl(delay, 0.0f), dr(delay, 0.0f);
    const float a = (float)(1.0 - std::exp(-twoPi * toneHz / synthRate));
    float sl = 0.0f, sr = 0.0f;
    size_t pos = 0;
    for (size_t n = 0; n < frames; n++) {
        float yl = dl[pos], yr = dr[pos];
        sl += a * (yl - sl);
        sr += a * (yr - sr);
        // The left line takes the dry input; each side feeds the other.
        dl[pos] = 0.5f * (in.l[n] + in.r[n]) + sr * feedback;
        dr[pos] = sl * feedback;
        out.l[n] = yl;
        out.r[n] = yr;
        if (++pos == (size_t)delay)
            pos = 0;
    }
}

void synthLimit(SynthStereo& buf, float ceiling, long lookahead, float releaseSec)
{
    const long frames = (long)buf.l.size();
    std::vector<float> need(frames);
    for (long n = 0; n < frames; n++) {
        float p = std::max(std::fabs(buf.l[n]), std::fabs(buf.r[n]));
        need[n] = p > ceiling ? ceiling / p : 1.0f;
    }
    // Smallest gain needed anywhere in the next `lookahead` samples.
    std::vector<float> ahead(frames);
    std::deque<long> window;
    for (long n = frames - 1; n >= 0; n--) {
        while (!window.empty() && need[window.back()] >= need[n])
            window.pop_back();
        window.push_back(n);
        while (window.front() > n + lookahead)
            window.pop_front();
        ahead[n] = need[window.front()];
    }
    // Instant attack on the look-ahead minimum, exponential release, then a
    // moving average over the look-ahead span: every averaged gain stays at
    // or below what the sample it scales needs.
    const float rel = (float)(1.0 - std::exp(-1.0 / (releaseSec * synthRate)));
    float env = 1.0f;
    double sum = lookahead + 1.0;   // the window starts full of unity gains
    std::vector<float> envs(frames);
    for (long n = 0; n < frames; n++) {
        env = std::min(ahead[n], env + (1.0f - env) * rel);
        envs[n] = env;
        sum += env;
        sum -= n > lookahead ? envs[n - lookahead - 1] : 1.0;
        float g = (float)(sum / (lookahead + 1));
        buf.l[n] = std::max(-ceiling, std::min(ceiling, buf.l[n] * g));
        buf.r[n] = std::max(-ceiling, std::min(ceiling, buf.r[n] * g));
    }
}

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1, z2;
};

static double biquad(Biquad& q, double x)
{
    double y = q.b0 * x + q.z1;
    q.z1 = q.b1 * x - q.a1 * y + q.z2;
    q.z2 = q.b2 * x - q.a2 * y;
    return y;
}

double synthLoudness(const SynthStereo& buf)
{
    // K-weighting: a high shelf (+4 dB above ~1.7 kHz) then a high-pass at ~38 Hz.
    const double fs = synthRate;
    double K = std::tan(3.141592653589793 * 1681.974450955533 / fs);
    double Q = 0.7071752369554196;
    double Vh = std::pow(10.0, 3.999843853973347 / 20.0);
    double Vb = std::pow(Vh, 0.4996667741545416);
    double a0 = 1.0 + K / Q + K * K;
    Biquad shelf = {(Vh + Vb * K / Q + K * K) / a0, 2.0 * (K * K - Vh) / a0, (Vh - Vb * K / Q + K * K) / a0,
                    2.0 * (K * K - 1.0) / a0, (1.0 - K / Q + K * K) / a0, 0, 0};
    K = std::tan(3.141592653589793 * 38.13547087602444 / fs);
    Q = 0.5003270373238773;
    a0 = 1.0 + K / Q + K * K;
    Biquad high = {1.0, -2.0, 1.0, 2.0 * (K * K - 1.0) / a0, (1.0 - K / Q + K * K) / a0, 0, 0};

    const size_t frames = buf.l.size();
    std::vector<double> power(frames);
    Biquad sl = shelf, hl = high, sr = shelf, hr = high;
    for (size_t n = 0; n < frames; n++) {
        double l = biquad(hl, biquad(sl, buf.l[n]));
        double r = biquad(hr, biquad(sr, buf.r[n]));
        power[n] = l * l + r * r;
    }
    const size_t block = synthRate * 4 / 10, hop = synthRate / 10;
    std::vector<double> blocks;
    for (size_t s = 0; s + block <= frames; s += hop) {
        double sum = 0.0;
        for (size_t n = s; n < s + block; n++)
            sum += power[n];
        blocks.push_back(sum / block);
    }
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        long count = 0;
        for (double z : blocks)
            if (-0.691 + 10.0 * std::log10(z + 1e-30) > gate) {
                sum += z;
                count++;
            }
        return count ? sum / count : 0.0;
    };
    double absolute = gatedMean(-70.0);
    if (absolute <= 0.0)
        return -100.0;
    double relative = -0.691 + 10.0 * std::log10(absolute) - 10.0;
    double z = gatedMean(relative);
    return -0.691 + 10.0 * std::log10(z + 1e-30);
}

float synthPeak(const SynthStereo& buf)
{
    float peak = 0.0f;
    for (size_t n = 0; n < buf.l.size(); n++)
        peak = std::max(peak, std::max(std::fabs(buf.l[n]), std::fabs(buf.r[n])));
    return peak;
}
