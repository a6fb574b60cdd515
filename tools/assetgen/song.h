// song: the show's music, composed in code and rendered with the synth.
//
// The piece runs at 126.7 beats per minute, twice the show's 63.35: the show's
// beat i is every other music beat, and a kick starts exactly on the sample
// nearest i x 60 / 63.35 s (computed in 32-bit floats as the show computes its
// beat table). Its sections change at the show's scene changes (22.5, 52,
// 59.4, 82, 90, 95, 100, 105, 115.25 and 119.25 s); a final hit on beat 135
// (127.86 s) rings out into silence before the end.
#pragma once

#include "synth.h"

const long songFrames = 132L * synthRate;   // samples in the track (132 s)
const int songLastBeat = 135;               // the show's last beat, the final hit

// Sample at which the show's beat `beat` falls.
long songBeatSample(int beat);

// Renders the whole piece, unmastered (peaks may exceed full scale), into `mix`.
void songRender(SynthStereo& mix);
