// synth: the small synthesiser behind the music track.
//
// Everything is offline and deterministic: instruments render one note at a
// time into float buffers at 44 100 Hz, effects run over whole buses, and the
// only randomness is a fixed-seed generator of our own. Conventions: samples
// are floats with full scale at +-1; times in seconds unless a name says
// samples; pitches are MIDI note numbers (69 = A4 = 440 Hz, fractions allowed);
// pan runs from -1 (left) through 0 (centre) to +1 (right).
#pragma once

#include <cstdint>
#include <vector>

const int synthRate = 44100;   // samples per second, every buffer

// xorshift32 with a fixed seed: the same sequence on every run.
struct SynthRng {
    uint32_t state;            // never 0
};
uint32_t synthRngNext(SynthRng& rng);
float synthRngSigned(SynthRng& rng);   // uniform in [-1, 1)

// A stereo buffer; both channels have the same length.
struct SynthStereo {
    std::vector<float> l, r;   // samples
};
void synthResize(SynthStereo& buf, long frames);

// The instruments. A note names one and carries its pitches and shape.
enum SynthInstrument {
    instKick,        // 909-style kick: swept sine with a click
    instChipKick,    // 8-bit kick: fast-swept triangle with a noise tick
    instSnare,       // tone plus filtered noise
    instClap,        // three noise bursts and a tail
    instHat,         // closed hi-hat (param: decay in s)
    instChipNoise,   // sample-and-hold noise drum (param: decay in s, pitches[0]: noise rate as a note)
    instCrash,       // long bright noise cymbal
    instImpact,      // sub boom with a dull thump, marks a section change
    instRiser,       // noise swept up a band-pass, loudest at its end
    instBass,        // two detuned saws through an enveloped low-pass
    instAcid,        // one saw through a resonant swept low-pass (param: accent 0..1)
    instChipBass,    // 4-bit triangle
    instPulseLead,   // pulse with width modulation and delayed vibrato
    instChipArp,     // pulse cycling its pitches every 20 ms (one 50 Hz frame)
    instPad,         // detuned saw stack, slow attack (param: low-pass cutoff in Hz)
    instStab,        // short bright saw chord
    instLead,        // detuned saws and a square, delayed vibrato
    instPluck,       // short filtered saw (param: brightness 0..1)
    instBell,        // two-operator FM bell
};

struct SynthNote {
    SynthInstrument inst;
    long start;          // first sample
    long length;         // samples the note is held; tails ring on after it
    float pitches[4];    // MIDI notes; chords use several
    int count;           // pitches used, 1..4
    float velocity;      // linear gain, about 0..1
    float pan;           // -1..1
    float param;         // instrument specific, see the list above
};

// Renders one note into `out` starting at frame 0 (`out` is resized to the
// note's held length plus its tail). `rng` supplies the noise.
void synthRender(const SynthNote& note, SynthRng& rng, SynthStereo& out);

// Frequency in Hz of a MIDI note.
double synthHz(double midi);

// State-variable filter (trapezoidal, stable at any cutoff below Nyquist).
struct SynthFilter {
    float ic1, ic2;      // integrator states
};
struct SynthFilterOut {
    float low, band, high;
};
SynthFilterOut synthFilter(SynthFilter& f, float in, float cutoffHz, float q);

// Stereo reverb (parallel combs into series all-passes) over a whole bus.
void synthReverb(const SynthStereo& in, SynthStereo& out, float roomSize, float damping);

// Ping-pong echo over a whole bus: `delay` samples, `feedback` 0..1, the
// repeats darkened by a one-pole low-pass at `toneHz`.
void synthPingPong(const SynthStereo& in, SynthStereo& out, long delay, float feedback, float toneHz);

// Look-ahead peak limiter: scales `buf` so no sample exceeds `ceiling`
// (linear), reacting over `lookahead` samples and recovering with `releaseSec`.
void synthLimit(SynthStereo& buf, float ceiling, long lookahead, float releaseSec);

// Integrated loudness in LUFS (K-weighted, gated, 400 ms blocks).
double synthLoudness(const SynthStereo& buf);

// Largest absolute sample of both channels.
float synthPeak(const SynthStereo& buf);
