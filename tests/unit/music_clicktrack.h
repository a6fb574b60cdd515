// Test tracks: MP3 click tracks made at test time with libmp3lame.
//
// The sound is a quiet rising sweep (so that every stretch of the track
// differs from every other) with a loud click every `clickEvery` samples from
// sample 0 on, stereo at `rate` Hz (the show's 44.1 kHz unless asked). The MP3 carries the encoder's delay and
// padding in its header frame, as the show's track does.
#pragma once

#include <vector>

struct ClickTrack {
    std::vector<short> pcm;            // what was encoded: interleaved stereo
    std::vector<unsigned char> mp3;    // the encoded file
    long samples = 0;                  // per channel
    long clickEvery = 0;               // samples between clicks
};

ClickTrack makeClickTrack(double seconds, long clickEvery = 11025, int rate = 44100);

// Writes bytes to a file; false on failure.
bool writeFile(const char* path, const std::vector<unsigned char>& bytes);
