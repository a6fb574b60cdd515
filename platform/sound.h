// sound: the music stream and its clock.
//
// The show's only clock is the position of the one music stream, in integer
// milliseconds of the track. A stream decodes an MP3 held in memory (gapless:
// decoded sample 0 is millisecond 0, the encoder's delay and padding are
// removed) and plays it on the audio device at the mixing rate, 16-bit stereo.
//
// The position is the sample leaving the speaker now: what was handed to the
// output minus everything still between it and the speaker (the output's
// buffers, the sound server's, the hardware's, as the output reports them),
// advanced between the output's requests by the monotonic clock. It moves
// forward in steps no larger than the real time between two reads (1 ms
// resolution), never backwards except by a seek, and goes on in silence past
// the end of the track. A seek lands on the requested millisecond (to one
// sample; before 0 means 0), the next read reports it, and the position holds
// there until the new sound is heard.
//
// Outputs, in order: the dummy if tests asked for it; SDL2 audio when
// SDL_AUDIODRIVER names a driver; else the PulseAudio server (or PipeWire's),
// which reports its latency, and SDL2 audio (ALSA) when there is none.
// With no audio device (no sound card, no server) a playing stream runs
// silently on the monotonic clock at the same rate; one line on standard
// error says so.
//
// The picture never waits for the sound: an output that stops asking for
// sound (a hung server) or goes away (the server killed) leaves the clock
// running on at the same pace, with one line on standard error. An output
// that went away is looked for again once a second; when the output asks
// again, the music goes on from the clock's place and the clock follows the
// speaker again (one line more).
// In manual mode (frame and capture modes) no device is opened and every
// position read returns what the caller last set.
//
// Conventions: positions and seeks in integer milliseconds of the track;
// sample counts per channel at the mixing rate. Call everything from one
// thread; the output's own thread is locked out internally.
#pragma once

#include <cstddef>

struct PlatStream;

// Starts the sound at this rate (Hz) and opens the output, paused. A second
// call while started does nothing. False when no output can be opened:
// streams then play silently on the monotonic clock.
bool platSoundInit(int mixrate);
// Closes the output. Streams stay valid (the caller frees them with
// platStreamClose); a playing one goes on silently.
void platSoundClose();

// Manual clock: switch it on before platSoundInit. Every position read then
// returns what was last set (by platSoundSetManualTime or a seek), in ms.
void platSoundSetManual(bool manual);
void platSoundSetManualTime(int ms);

// Tests and benchmarks: the output is a dummy of our own that plays nothing,
// asks for sound in real time and reports `latencyMs` of buffering after it
// (a sound server's). Call before platSoundInit; -1 goes back to the real
// outputs. Stalled, the dummy stops asking for sound, as a hung server would.
void platSoundUseDummy(int latencyMs);
void platSoundStallDummy(bool stalled);

// True while a stream is playing on an output (a real or dummy device), false
// in silent and manual modes.
bool platSoundHasDevice();

// Diagnostics: sample frames the output has asked for since it opened (what a
// position that moves only when the output asks would report).
long long platSoundFramesRequested();
// Diagnostics: the track's millisecond leaving the speaker now, as the output
// last said (the first sample of its last request less its latency, advanced
// by the time since), or -1 while no stream plays on an output.
int platSoundHeardMs();

// A stream of the MP3 of `size` bytes at `data`; the caller keeps the memory
// alive as long as the stream. Null when the data is not a playable MP3, with
// the decoder's reason in *why (a static string).
PlatStream* platStreamOpen(const void* data, size_t size, const char** why);
// A stream with no sound at all: a clock that plays, seeks and reports
// positions like any other (for a missing track).
PlatStream* platStreamOpenSilent();
// Stops and frees a stream (tests and tools; the show never closes its own).
void platStreamClose(PlatStream* stream);

// Puts the stream on the output channel, paused, opening the device if there
// is one. Returns the channel number, or -1 for a null stream.
int platStreamPlayPaused(PlatStream* stream);
void platSetPaused(int channel, bool paused);

int platStreamGetTime(PlatStream* stream);       // ms from the start of the track
// The time from now until the frame being drawn reaches the screen, in s (0,
// the default, up to a few frames). Positions read until the next call are
// those heard at that moment, so that the picture shows what is heard while it
// is seen. No effect in manual mode.
void platSoundSetLead(double seconds);
void platStreamSetTime(PlatStream* stream, int ms);
int platStreamLengthMs(PlatStream* stream);      // the track's exact length; 0 when silent

// The next `frames` stereo frames of the stream's sound, as the device gets
// them (16-bit interleaved, silence past the end), advancing the stream. For a
// stream that is not on the output channel: tests and tools.
void platStreamRead(PlatStream* stream, short* out, int frames);
