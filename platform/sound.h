// sound: the music stream and its clock.
//
// The show's only clock is the position of the one music stream, in integer
// milliseconds of the track. Playing, the position is the sample being heard;
// with no audio device it runs silently on the monotonic clock at the same
// rate. In manual mode (frame and capture modes) no device is opened and the
// caller sets the position for every frame.
#pragma once

#include <cstddef>

struct PlatStream;

bool platSoundInit(int mixrate);   // Hz
void platSoundClose();

// Manual clock: on before platSoundInit; the position is what was last set.
void platSoundSetManual(bool manual);
void platSoundSetManualTime(int ms);

// A stream of the MP3 held in memory (the caller keeps the memory alive).
PlatStream* platStreamOpen(const void* data, size_t size);
int platStreamPlayPaused(PlatStream* stream);   // the channel, or -1
void platSetPaused(int channel, bool paused);
int platStreamGetTime(PlatStream* stream);      // ms from the start of the track
void platStreamSetTime(PlatStream* stream, int ms);
