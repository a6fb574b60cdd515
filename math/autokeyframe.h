// autokeyframe: cosine-eased keyframe tracks.
//
// A track is a caller-owned array of keys with a count; key times are integers
// in the caller's unit and should strictly increase. Evaluation holds the first
// key before the track and the last key after it, and blends the two keys
// around the time with a half cosine wave between them. Pure functions.
//
// Bad tracks are safe: with no keys (count <= 0 or no array) the output is
// left unchanged; two keys sharing the first time stamp make a jump, and the
// later one holds at that stamp (no division by zero).
#pragma once

#include "math/autovector.h"

struct autoKey {
    VECTOR3 pos;   // value of the track at this key
    int time;      // time stamp, caller's unit
};

struct autoCamKey {
    VECTOR3 eye;     // first vector of the pose
    VECTOR3 target;  // second vector, blended with the same fraction
    int time;        // time stamp, caller's unit
};

// Eased blend of a and b at fraction t (0 gives a, 1 gives b). Uses the
// constant 3.14156535 (not pi), so t = 0.5 gives 0.4999932, not 0.5.
VECTOR3 getVal(VECTOR3& a, VECTOR3& b, float t);

// Evaluates a vector track at `time` into out; mode 1 is the cosine blend and
// mode 0 (linear in name) blends the same way.
void getKey(autoKey* keys, int count, float time, VECTOR3& out, int mode);
void getCamKey(autoCamKey* keys, int count, float time, VECTOR3& eye, VECTOR3& target);

void autoKeyframeCosine(autoKey* keys, int count, float time, VECTOR3& out);
void autoKeyframeLinear(autoKey* keys, int count, float time, VECTOR3& out);
void autoKeyframeCam(autoCamKey* keys, int count, float time, VECTOR3& eye, VECTOR3& target);
