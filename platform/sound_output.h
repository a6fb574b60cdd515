// sound_output: the outputs the music clock plays through, and what an output
// calls back. Private to platform/sound*.cpp.
//
// An output runs its own thread (or the sound server's client thread) and
// asks for sound with soundFeed, saying how long until the first sample it
// asks for leaves the speaker: its own buffering plus the sound server's and
// the hardware's, as the output path reports them. The clock makes the music
// position out of that.
//
// Locking: an output calls soundFeed, soundFeedAhead and soundLost holding
// its own lock, and they take the clock's locks inside; the clock never calls
// an output while holding its own. soundFeed never waits for the caller's
// thread (sound.cpp says how).
//
// What an output has queued when a seek comes is still heard first, unless it
// drops it (soundSeekPending): its latency says so, and the clock holds at the
// seek's position until the new sound is heard.
#pragma once

struct SoundOutput {
    const char* name;
    // Starts the output at `rate` Hz, 16-bit stereo, paused. False, with the
    // reason in *why (a static string), when there is no such device.
    bool (*open)(int rate, const char** why);
    void (*close)();               // stops the output's thread; no feed after it
    void (*pause)(bool paused);
    void (*lock)();                // holds soundFeed off
    void (*unlock)();
};

// The system's outputs in the order they are tried, ending in nullptr (the
// dummy is tried only when tests ask for it, SDL's alone when SDL_AUDIODRIVER
// names a driver).
extern const SoundOutput* const soundOutputs[];
// The output tried alone when SDL_AUDIODRIVER names a driver (SDL's audio);
// nullptr where the system has no SDL audio (a web page).
extern const SoundOutput* const soundSdlOutput;
// Whether the clock may start a thread of its own: the keeper that opens a
// lost output again. A web page runs the program on the page's one thread
// and starts none; there the output's requests come between frames, and an
// output that goes away stays away while the clock runs on silently.
extern const bool soundThreads;

// Through the PulseAudio server (or PipeWire's), which reports its latency.
extern const SoundOutput pulseOutput;
// WASAPI in shared mode (Windows), which reports its latency and position.
extern const SoundOutput wasapiOutput;
// True once WASAPI's opening was given up on because Windows' audio service
// did not answer, until it does (SDL's output then waits on it too).
bool wasapiNotAnswering();
// SDL2's audio (ALSA and the rest, SDL_AUDIODRIVER): no latency reported, so
// the sample heard is taken to be the first of the buffer being asked for.
extern const SoundOutput sdlOutput;
// A device of our own that plays nothing: it asks for a buffer every buffer's
// length of real time, from a thread of its own, and reports a fixed latency.
// For tests and benchmarks.
extern const SoundOutput dummyOutput;
extern double dummyLatencyS;   // what the dummy reports; set before open
extern bool dummyStalled;      // set: the dummy stops asking, as a hung server would

// The next `frames` stereo frames into `out`; the first of them leaves the
// speaker `latencyS` seconds from now (negative: the output cannot tell just
// now; the clock then learns nothing from this request). False, with silence in `out`, while
// nothing plays. From the output's thread, its lock held.
bool soundFeed(short* out, int frames, double latencyS);
// True when the next soundFeed takes a seek: what the output still holds of
// the old place may be dropped, so that the new sound is heard sooner. From
// the output's thread, its lock held.
bool soundSeekPending();
// After an answer is on its way: decodes what the next requests will ask for,
// so that they only copy. From the output's thread, its lock held.
void soundFeedAhead();
// The output's device went away: the clock goes on silently from where it is,
// and the output is closed and opened again once a second until it opens (on
// another thread; its first request then takes the stream back). From the
// output's thread, its lock held.
void soundLost(const char* why);

// Raises the calling thread, an output's feeding thread, above the machine's
// ordinary work: real-time round-robin scheduling if the process may take it
// (root, or a real-time limit such as the audio group's), else through the
// desktop's RealtimeKit, else the highest nice level allowed. Says once on
// standard error when none is allowed.
void soundRaisePriority();

// ALSA writes its own complaints to standard error while outputs probe for a
// card; true quietens them, false restores ALSA's default.
void quietAlsa(bool quiet);
