// The piece: sections, harmony, melodies and drum patterns, turned into
// notes on a grid of sixteenth notes at 126.7 bpm and mixed into buses.
#include "song.h"

#include <algorithm>
#include <cmath>

// --- the grid --------------------------------------------------------------

// Eight sixteenths make one show beat.
static const int stepsPerBeat = 8;
static const int stepsPerBar = 16;
static const int lastStep = songLastBeat * stepsPerBeat;   // the final hit

long songBeatSample(int beat)
{
    float seconds = (float)(beat * 60) / 63.35f;
    return std::lround((double)seconds * synthRate);
}

static long stepSample(int step)
{
    if (step % stepsPerBeat == 0)
        return songBeatSample(step / stepsPerBeat);
    return std::lround(step * 60.0 / (63.35 * stepsPerBeat) * synthRate);
}

static double stepSeconds(int step)
{
    return (double)stepSample(step) / synthRate;
}

// --- sections ----------------------------------------------------------------

enum Part {
    partIntro,    // pads and kick; bass, hats, then the theme on plucks
    partChip,     // 8-bit: pulse lead, 50 Hz arpeggios, triangle bass, noise drums
    partCube,     // four to the floor with chord stabs on the show's beats
    partRoto,     // the main theme on the lead
    partFace,     // breakdown: pad and FM bells over a soft kick
    partBalls1,   // the build: plucks and hats
    partBalls2,   // + bass and claps
    partBalls3,   // + snare roll and riser
    partTunnel,   // climax: everything, second theme
    partTorus,    // acid bass and drums
    partOutro,    // the theme on bells, final hit, ring out
};

struct Section {
    float start;      // seconds
    Part part;
    int firstBar;     // first whole bar of the section
    int harmonyBar;   // bar at which its chord progression starts
};

static const Section sections[] = {
    {0.0f, partIntro, 0, 0},
    {22.5f, partChip, 12, 12},
    {52.0f, partCube, 28, 28},
    {59.4f, partRoto, 32, 32},
    {82.0f, partFace, 44, 44},
    {90.0f, partBalls1, 48, 48},
    {95.0f, partBalls2, 51, 48},
    {100.0f, partBalls3, 53, 48},
    {105.0f, partTunnel, 56, 56},
    {115.25f, partTorus, 61, 61},
    {119.25f, partOutro, 63, 63},
};
static const int sectionCount = sizeof sections / sizeof sections[0];

static int sectionAt(double seconds)
{
    int s = 0;
    for (int i = 0; i < sectionCount; i++)
        if (seconds >= sections[i].start)
            s = i;
    return s;
}

static long sectionEndSample(int s)
{
    if (s + 1 < sectionCount)
        return std::lround((double)sections[s + 1].start * synthRate);
    return songBeatSample(songLastBeat);
}

// --- harmony -------------------------------------------------------------

struct Chord {
    float notes[4];   // voicing for pads, around middle C
    float bass;       // root for the bass line
};

static const Chord chAm = {{57, 60, 64, 69}, 45}, chF = {{53, 57, 60, 65}, 41}, chC = {{55, 60, 64, 67}, 48},
                   chG = {{55, 59, 62, 67}, 43}, chE = {{56, 59, 64, 68}, 40}, chDm = {{57, 62, 65, 69}, 50},
                   chBb = {{58, 62, 65, 70}, 46}, chFmaj7 = {{53, 57, 60, 64}, 41},
                   chEm7 = {{55, 59, 62, 64}, 40}, chDm7 = {{53, 57, 60, 62}, 50},
                   chAm9 = {{57, 60, 64, 71}, 45};

static const Chord* progression(Part part, int index)
{
    static const Chord* theme[4] = {&chAm, &chF, &chC, &chG};
    static const Chord* chip[4] = {&chAm, &chG, &chF, &chE};
    static const Chord* cube[4] = {&chDm, &chBb, &chC, &chAm};
    static const Chord* face[4] = {&chFmaj7, &chEm7, &chDm7, &chAm9};
    static const Chord* build[4] = {&chAm, &chF, &chG, &chE};
    static const Chord* torus[4] = {&chAm, &chC, &chAm, &chG};
    switch (part) {
    case partChip: return chip[index];
    case partCube: return cube[index];
    case partFace: return face[index];
    case partBalls1: case partBalls2: case partBalls3: return build[index];
    case partTorus: return torus[index];
    default: return theme[index];
    }
}

// The chord of a step; in the part-bar before a section's first whole bar it
// is the progression's last chord, which leads into its first.
static const Chord& chordAt(int s, int step)
{
    int bar = step / stepsPerBar - sections[s].harmonyBar;
    return *progression(sections[s].part, ((bar % 4) + 4) % 4);
}

// --- melodies (MIDI note, length in sixteenths; 0 is a rest) ---------------

struct Tone {
    int note, steps;
};
typedef std::vector<Tone> Phrase;   // always four bars, 64 steps

static const Phrase themeA = {
    {69, 2}, {72, 2}, {76, 3}, {74, 1}, {72, 2}, {71, 2}, {69, 4},
    {72, 2}, {69, 2}, {77, 4}, {76, 2}, {74, 2}, {72, 4},
    {76, 3}, {79, 3}, {76, 2}, {74, 2}, {72, 2}, {74, 2}, {76, 2},
    {74, 4}, {71, 2}, {67, 2}, {69, 2}, {71, 2}, {74, 4},
};
static const Phrase themeB = {
    {76, 2}, {76, 1}, {74, 1}, {76, 2}, {81, 4}, {79, 2}, {76, 2}, {74, 2},
    {72, 4}, {74, 2}, {72, 2}, {69, 4}, {65, 4},
    {67, 2}, {72, 2}, {76, 2}, {79, 2}, {77, 2}, {76, 2}, {74, 2}, {72, 2},
    {71, 4}, {74, 4}, {76, 8},
};
static const Phrase chipA = {
    {69, 1}, {72, 1}, {76, 2}, {81, 2}, {79, 1}, {76, 1}, {72, 2}, {76, 2}, {74, 2}, {72, 2},
    {71, 2}, {74, 2}, {79, 4}, {77, 2}, {74, 2}, {71, 4},
    {72, 2}, {77, 2}, {81, 3}, {79, 1}, {77, 2}, {76, 2}, {72, 2}, {69, 2},
    {68, 4}, {71, 2}, {76, 6}, {74, 2}, {71, 2},
};
static const Phrase chipB = {
    {76, 2}, {81, 2}, {84, 2}, {83, 1}, {81, 1}, {79, 2}, {76, 2}, {81, 4},
    {79, 2}, {74, 2}, {71, 2}, {74, 2}, {79, 3}, {81, 1}, {83, 4},
    {81, 2}, {84, 2}, {81, 2}, {77, 2}, {72, 2}, {77, 2}, {81, 4},
    {83, 2}, {80, 2}, {76, 2}, {71, 2}, {76, 4}, {80, 2}, {83, 2},
};
static const Phrase bells = {
    {76, 4}, {72, 4}, {69, 8},
    {74, 4}, {71, 4}, {67, 8},
    {72, 4}, {69, 4}, {65, 4}, {64, 4},
    {71, 8}, {69, 8},
};

// --- note list -----------------------------------------------------------

struct Song {
    std::vector<SynthNote> notes;
    std::vector<std::pair<long, float>> ducks;   // kick sample, depth 0..1
};

static void add(Song& song, SynthInstrument inst, long start, long length, float pitch, float velocity,
                float pan = 0.0f, float param = 0.0f)
{
    SynthNote n = {inst, start, std::max(length, 1L), {pitch, 0, 0, 0}, 1, velocity, pan, param};
    song.notes.push_back(n);
}

static void addChord(Song& song, SynthInstrument inst, long start, long length, const float* pitches,
                     int count, float transpose, float velocity, float param = 0.0f)
{
    SynthNote n = {inst, start, std::max(length, 1L), {0, 0, 0, 0}, count, velocity, 0.0f, param};
    for (int i = 0; i < count; i++)
        n.pitches[i] = pitches[i] + transpose;
    song.notes.push_back(n);
}

// Plays four-bar `phrase` from bar `bar` on, cut at `until` (sample).
static void addPhrase(Song& song, const Phrase& phrase, int bar, long until, SynthInstrument inst,
                      float transpose, float velocity, float pan = 0.0f, float param = 0.0f, int delaySteps = 0)
{
    int step = bar * stepsPerBar + delaySteps;
    for (const Tone& t : phrase) {
        long a = stepSample(step), b = stepSample(step + t.steps);
        step += t.steps;
        if (t.note == 0 || a >= until)
            continue;
        long len = std::min(b, until) - a;
        // Short gap before the next note so repeated notes re-attack.
        add(song, inst, a, len - (long)(0.012 * synthRate), t.note + transpose, velocity, pan, param);
    }
}

static bool hit(const char* pattern, int stepInBar)
{
    return pattern[stepInBar] != '.';
}

// Drums, bass and accompaniment step by step; the section is the one the
// step falls in, so a new section's patterns begin at its first step.
static void compose(Song& song)
{
    const long sixteenth = stepSample(1);
    for (int step = 0; step <= lastStep; step++) {
        long at = stepSample(step);
        int s = sectionAt(stepSeconds(step));
        Part part = sections[s].part;
        int bar = step / stepsPerBar;
        int i = step % stepsPerBar;
        const Chord& chord = chordAt(s, step);
        long untilEnd = sectionEndSample(s) - at;
        bool onBeat = step % stepsPerBeat == 0;
        bool finalHit = step == lastStep;

        // The show's beat: a kick on every one, whatever the section.
        if (onBeat) {
            float duck = 0.5f;
            if (part == partChip) {
                add(song, instChipKick, at, (long)(0.25 * synthRate), 0, 1.0f);
                duck = 0.4f;
            } else {
                float v = 1.0f;
                if (part == partIntro && bar < 4)
                    v = 0.85f;
                if (part == partFace)
                    v = 0.8f;
                if (part == partOutro)
                    v = 0.95f - 0.015f * (float)(bar - sections[s].firstBar) * 2.0f;
                add(song, instKick, at, (long)(0.48 * synthRate), 0, v);
                duck = part == partFace ? 0.65f : part == partCube || part == partTunnel || part == partTorus ? 0.6f : 0.5f;
            }
            song.ducks.push_back({at, duck});
        }
        if (finalHit)
            break;

        bool fourFloor = part == partCube || part == partRoto || part == partBalls2 || part == partBalls3 ||
                         part == partTunnel || part == partTorus;
        if (fourFloor && (i == 4 || i == 12)) {
            add(song, instKick, at, (long)(0.4 * synthRate), 0, 0.82f);
            song.ducks.push_back({at, 0.45f});
        }

        // Backbeat, hats.
        switch (part) {
        case partIntro:
            if (bar >= 8 && (i == 4 || i == 12))
                add(song, instClap, at, (long)(0.45 * synthRate), 0, 0.5f, 0.05f);
            if (bar >= 4 && hit("..x...x...x...x.", i))
                add(song, instHat, at, sixteenth, 0, bar >= 8 ? 0.3f : 0.22f, 0.15f, 0.04f);
            if (bar >= 8 && i % 2 == 1)
                add(song, instHat, at, sixteenth, 0, 0.1f, -0.25f, 0.02f);
            break;
        case partChip:
            if (i == 4 || i == 12)
                add(song, instChipNoise, at, (long)(0.2 * synthRate), 110, 0.5f, 0.0f, 0.07f);
            if (hit("..............x.", i))
                add(song, instChipKick, at, (long)(0.2 * synthRate), 0, 0.6f);
            if (bar >= 20 ? true : i % 2 == 0)
                add(song, instChipNoise, at, sixteenth, 127, i % 4 == 2 ? 0.2f : 0.12f, 0.0f, 0.018f);
            break;
        case partFace:
            if (i == 12)
                add(song, instSnare, at, (long)(0.3 * synthRate), 0, 0.18f, 0.1f);
            break;
        case partOutro:
            if (bar < 66 && hit("..x...x...x...x.", i))
                add(song, instHat, at, sixteenth, 0, 0.18f, 0.15f, 0.05f);
            break;
        case partBalls1:
            add(song, instHat, at, sixteenth, 0, i % 4 == 2 ? 0.22f : 0.12f, 0.2f, 0.025f);
            break;
        default:
            if (i == 4 || i == 12)
                add(song, instClap, at, (long)(0.45 * synthRate), 0, 0.55f, 0.05f);
            if (hit("..x...x...x...x.", i))
                add(song, instHat, at, sixteenth, 0, 0.3f, 0.15f, 0.16f);
            else
                add(song, instHat, at, sixteenth, 0, i % 2 ? 0.14f : 0.1f, -0.2f, 0.025f);
            if (part == partBalls3) {
                // A snare roll that doubles its pace half way and swells.
                double x = (stepSeconds(step) - 100.0) / 5.0;
                if (x < 0.5 ? i % 2 == 0 : true)
                    add(song, instSnare, at, (long)(0.2 * synthRate), 0, (float)(0.12 + 0.4 * x), 0.0f);
            }
            break;
        }

        // Bass.
        long len = std::min(untilEnd, sixteenth * 2 - (long)(0.02 * synthRate));
        switch (part) {
        case partIntro:
            if (bar >= 4 && hit("..x...x...x...x.", i))
                add(song, instBass, at, std::min(untilEnd, sixteenth * 3 / 2), chord.bass, 0.42f);
            break;
        case partChip:
            if (i % 2 == 0) {
                float note = chord.bass - 12 + (i % 4 == 2 ? 12 : 0) + (i == 14 ? 7 : 0);
                add(song, instChipBass, at, len, note, 0.45f);
            }
            break;
        case partCube: case partTunnel:
            if (hit("..xx..xx..xx..xx", i))
                add(song, instBass, at, std::min(untilEnd, sixteenth - (long)(0.01 * synthRate)),
                    chord.bass + (i == 15 ? 12 : 0), 0.42f);
            break;
        case partRoto: case partBalls2: case partBalls3: case partOutro:
            if (part == partOutro && bar >= 67)
                break;
            if (hit("..x...x...x...xx", i))
                add(song, instBass, at, std::min(untilEnd, i == 14 ? sixteenth : sixteenth * 3 / 2),
                    chord.bass + (i == 15 ? 12 : 0), part == partOutro ? 0.33f : 0.42f);
            break;
        case partFace:
            if (i == 0)
                add(song, instBass, at, std::min(untilEnd, sixteenth * 15), chord.bass - 12, 0.3f);
            break;
        case partTorus: {
            static const int line[16] = {0, 0, 12, 0, 3, 0, 15, 0, 0, 12, 0, 10, 0, 7, 12, 0};
            static const char* accents = "x..x..x...x..x.x";
            add(song, instAcid, at, len / 2 + sixteenth / 3, chord.bass + line[i], 0.36f, 0.0f,
                hit(accents, i) ? 1.0f : 0.2f);
            break;
        }
        default:
            break;
        }

        // Arpeggios, stabs, chords.
        switch (part) {
        case partChip:
            if (i % 2 == 0) {
                float tones[3] = {chord.notes[0] + 12, chord.notes[1] + 12, chord.notes[2] + 12};
                addChord(song, instChipArp, at, std::min(untilEnd, 2 * sixteenth), tones, 3, 0.0f, 0.26f);
            }
            break;
        case partCube:
            if (hit("x..x....x..x..x.", i))
                addChord(song, instStab, at, (long)(0.4 * synthRate), chord.notes, 4, 12.0f,
                         i % 8 == 0 ? 1.0f : 0.55f);
            break;
        case partIntro: case partRoto: case partBalls1: case partBalls2: case partBalls3: case partTunnel: {
            if (part == partIntro && bar < 4)
                break;
            static const int order[8] = {0, 1, 2, 3, 2, 1, 2, 3};
            float bright = 0.5f;
            float vel = 0.22f;
            if (part == partIntro)
                bright = 0.1f + 0.05f * (bar - 4);
            if (part == partBalls1 || part == partBalls2 || part == partBalls3) {
                bright = (float)((stepSeconds(step) - 90.0) / 15.0);
                vel = 0.2f + 0.08f * bright;
            }
            float pan = (i % 2) ? 0.35f : -0.35f;
            add(song, instPluck, at, sixteenth, chord.notes[order[i % 8]] + 12, vel, pan, bright);
            break;
        }
        case partTorus:
            if (i % 2 == 0) {
                float tones[3] = {chord.notes[0] + 12, chord.notes[1] + 12, chord.notes[2] + 12};
                addChord(song, instChipArp, at, std::min(untilEnd, 2 * sixteenth), tones, 3, 0.0f, 0.16f);
            }
            break;
        default:
            break;
        }

        // Pads: one note per bar or part-bar, ended at the section's end.
        bool barStart = i == 0 || (step > 0 && sectionAt(stepSeconds(step - 1)) != s);
        if (barStart && part != partChip && part != partTorus) {
            long a = step == 0 ? 0 : (i == 0 ? at : std::lround((double)sections[s].start * synthRate));
            long b = std::min(stepSample((bar + 1) * stepsPerBar), sectionEndSample(s));
            float cutoff = 2000.0f, vel = 0.55f;
            switch (part) {
            case partIntro: cutoff = 500.0f + 170.0f * bar; break;
            case partCube: cutoff = 1200.0f; vel = 0.35f; break;
            case partFace: cutoff = 1500.0f; vel = 0.7f; break;
            case partBalls1: case partBalls2: case partBalls3:
                cutoff = (float)(700.0 + 2600.0 * (stepSeconds(step) - 90.0) / 15.0);
                break;
            case partTunnel: cutoff = 3200.0f; vel = 0.6f; break;
            default: break;
            }
            if (b > a)
                addChord(song, instPad, a, b - a, chord.notes, 4, 0.0f, vel, cutoff);
        }
    }
}

// Melodies, and the marks of each section change.
static void composeLines(Song& song)
{
    const long theEnd = songBeatSample(songLastBeat);
    // Intro: the theme, first heard on plucks.
    addPhrase(song, themeA, 8, sectionEndSample(0), instPluck, 0.0f, 0.32f, 0.0f, 0.7f);
    // Chip: the tune, its answer, then both an octave up with a delayed echo voice.
    long chipEnd = sectionEndSample(1);
    addPhrase(song, chipA, 12, chipEnd, instPulseLead, 0.0f, 0.42f);
    addPhrase(song, chipB, 16, chipEnd, instPulseLead, 0.0f, 0.42f);
    addPhrase(song, chipA, 20, chipEnd, instPulseLead, 12.0f, 0.36f, -0.2f);
    addPhrase(song, chipB, 24, chipEnd, instPulseLead, 12.0f, 0.36f, -0.2f);
    addPhrase(song, chipA, 20, chipEnd, instPulseLead, 0.0f, 0.2f, 0.45f, 0.0f, 3);
    addPhrase(song, chipB, 24, chipEnd, instPulseLead, 0.0f, 0.2f, 0.45f, 0.0f, 3);
    // Roto: the theme on the lead, its answer, the theme again.
    long rotoEnd = sectionEndSample(3);
    addPhrase(song, themeA, 32, rotoEnd, instLead, 0.0f, 0.45f);
    addPhrase(song, themeB, 36, rotoEnd, instLead, 0.0f, 0.45f);
    addPhrase(song, themeA, 40, rotoEnd, instLead, 0.0f, 0.45f);
    // Face: bells.
    addPhrase(song, bells, 44, sectionEndSample(4), instBell, 0.0f, 0.45f);
    // Tunnel: the answer doubled by a pulse an octave up, then the theme's start.
    long tunnelEnd = sectionEndSample(8);
    addPhrase(song, themeB, 56, tunnelEnd, instLead, 0.0f, 0.5f);
    addPhrase(song, themeB, 56, tunnelEnd, instPulseLead, 12.0f, 0.14f, 0.3f);
    addPhrase(song, themeA, 60, tunnelEnd, instLead, 0.0f, 0.5f);
    // Outro: the theme on bells, resolving on the final hit.
    addPhrase(song, themeA, 63, theEnd, instBell, 0.0f, 0.42f);

    // Section changes: a riser into it, an impact and a crash on it.
    struct Mark {
        float at, riser;   // seconds; riser length (0: none)
        bool impact, crash;
    };
    static const Mark marks[] = {
        {22.5f, 1.5f, true, true}, {52.0f, 1.0f, true, true}, {59.4f, 1.4f, true, true},
        {82.0f, 0.0f, true, true}, {90.0f, 1.0f, true, true}, {95.0f, 0.0f, false, true},
        {100.0f, 0.0f, false, true}, {105.0f, 3.0f, true, true}, {115.25f, 1.0f, true, true},
        {119.25f, 0.0f, true, true},
    };
    for (const Mark& m : marks) {
        long at = std::lround((double)m.at * synthRate);
        if (m.riser > 0.0f) {
            long len = std::lround((double)m.riser * synthRate);
            add(song, instRiser, at - len, len, 0, 0.5f);
        }
        if (m.impact)
            add(song, instImpact, at, (long)(1.8 * synthRate), 0, 0.7f);
        if (m.crash)
            add(song, m.at == 22.5f ? instChipNoise : instCrash, at, (long)(2.4 * synthRate), 124,
                m.at == 22.5f ? 0.3f : 0.38f, 0.0f, 0.5f);
    }

    // The final hit: the tonic chord held and let ring, over kick, impact and crash.
    add(song, instImpact, theEnd, (long)(2.2 * synthRate), 0, 0.8f);
    add(song, instCrash, theEnd, (long)(2.8 * synthRate), 0, 0.45f);
    addChord(song, instStab, theEnd, (long)(0.5 * synthRate), chAm.notes, 4, 12.0f, 0.9f);
    addChord(song, instPad, theEnd, (long)(1.2 * synthRate), chAm.notes, 4, 0.0f, 0.6f, 1600.0f);
    add(song, instBell, theEnd, (long)(2.8 * synthRate), 69, 0.45f);
    add(song, instBass, theEnd, (long)(1.0 * synthRate), 33, 0.45f);
}

// --- mixing ----------------------------------------------------------------

struct Routing {
    bool drums;            // drums bypass the sidechain ducking
    float reverb, delay;   // send levels
};

static Routing routing(SynthInstrument inst)
{
    switch (inst) {
    case instKick: case instChipKick: case instHat: case instChipNoise: return {true, 0.0f, 0.0f};
    case instImpact: return {false, 0.0f, 0.0f};
    case instSnare: case instClap: return {true, 0.22f, 0.0f};
    case instCrash: case instRiser: return {false, 0.15f, 0.0f};
    case instBass: case instAcid: case instChipBass: return {false, 0.0f, 0.0f};
    case instPad: return {false, 0.3f, 0.0f};
    case instStab: return {false, 0.2f, 0.15f};
    case instLead: return {false, 0.22f, 0.3f};
    case instPluck: return {false, 0.18f, 0.35f};
    case instBell: return {false, 0.45f, 0.3f};
    case instPulseLead: return {false, 0.08f, 0.08f};
    case instChipArp: return {false, 0.04f, 0.0f};
    }
    return {false, 0.0f, 0.0f};
}

static void mixInto(std::vector<float>& bus, const std::vector<float>& src, long start, float gain)
{
    long n = std::min((long)src.size(), (long)bus.size() - start);
    for (long k = 0; k < n; k++)
        bus[start + k] += src[k] * gain;
}

void songRender(SynthStereo& mix)
{
    Song song;
    compose(song);
    composeLines(song);

    SynthStereo drums, music, reverbSend, delaySend, note;
    synthResize(drums, songFrames);
    synthResize(music, songFrames);
    synthResize(reverbSend, songFrames);
    synthResize(delaySend, songFrames);
    SynthRng rng = {0x9e3779b9u};
    for (const SynthNote& n : song.notes) {
        if (n.start < 0 || n.start >= songFrames)
            continue;
        synthRender(n, rng, note);
        Routing r = routing(n.inst);
        // Constant-power pan, unity in the centre.
        double angle = (n.pan + 1.0) * 0.7853981633974483;
        float gl = (float)(std::cos(angle) * 1.4142135623730951);
        float gr = (float)(std::sin(angle) * 1.4142135623730951);
        SynthStereo& dry = r.drums ? drums : music;
        mixInto(dry.l, note.l, n.start, gl);
        mixInto(dry.r, note.r, n.start, gr);
        if (r.reverb > 0.0f) {
            mixInto(reverbSend.l, note.l, n.start, gl * r.reverb);
            mixInto(reverbSend.r, note.r, n.start, gr * r.reverb);
        }
        if (r.delay > 0.0f) {
            mixInto(delaySend.l, note.l, n.start, gl * r.delay);
            mixInto(delaySend.r, note.r, n.start, gr * r.delay);
        }
    }

    SynthStereo reverb, echo;
    synthReverb(reverbSend, reverb, 0.82f, 0.45f);
    synthPingPong(delaySend, echo, stepSample(3), 0.42f, 3500.0f);

    // Sidechain: everything but the drums dips under each kick. The dip
    // starts 14 ms early (a 4 ms fade, then held), so the 10 ms before each
    // kick are already quiet, and recovers over about a quarter second after.
    std::vector<float> duck(songFrames, 1.0f);
    const long lead = synthRate * 14 / 1000, fade = synthRate * 4 / 1000;
    for (const auto& d : song.ducks) {
        for (long n = std::max(0L, d.first - lead); n < d.first; n++) {
            float x = std::min(1.0f, (float)(n - (d.first - lead)) / fade);
            duck[n] = std::min(duck[n], 1.0f - d.second * x);
        }
        for (long n = d.first; n < std::min(songFrames, d.first + synthRate / 2); n++)
            duck[n] = std::min(duck[n], 1.0f - d.second * (float)std::exp(-(n - d.first) / (0.1 * synthRate)));
    }

    synthResize(mix, songFrames);
    SynthFilter dcl = {0, 0}, dcr = {0, 0};
    const long fadeStart = std::lround(131.0 * synthRate), fadeEnd = std::lround(131.5 * synthRate);
    for (long n = 0; n < songFrames; n++) {
        float l = drums.l[n] + duck[n] * (music.l[n] + reverb.l[n] + 0.6f * echo.l[n]);
        float r = drums.r[n] + duck[n] * (music.r[n] + reverb.r[n] + 0.6f * echo.r[n]);
        // Rumble below 25 Hz is wasted headroom.
        l = synthFilter(dcl, l, 25.0f, 0.7f).high;
        r = synthFilter(dcr, r, 25.0f, 0.7f).high;
        float fade = n < fadeStart ? 1.0f : n >= fadeEnd ? 0.0f : (float)(fadeEnd - n) / (fadeEnd - fadeStart);
        mix.l[n] = l * fade;
        mix.r[n] = r * fade;
    }
}
