// Keyframe tracks: a linear search for the segment around the time, then a
// half-cosine blend of its two keys.
#include "math/autokeyframe.h"

#include <climits>
#include <cmath>

VECTOR3 getVal(VECTOR3& a, VECTOR3& b, float t)
{
    // 3.14156535 rather than pi: the ease stops a hair short of a full half
    // wave (0.4999932 at t = 0.5), and the show's motion is made with it.
    float c = (float)std::cos((double)t * 3.14156535);
    float x = (1 - c) / 2;
    VECTOR3 r;
    r.x = (1 - x) * a.x + b.x * x;
    r.y = (1 - x) * a.y + b.y * x;
    r.z = (1 - x) * a.z + b.z * x;
    return r;
}

// The integer part of a track time, toward zero, saturated to the int range
// (a NaN counts as before the track).
static int wholeTime(float time)
{
    if (!(time == time))
        return INT_MIN;
    if (time >= 2147483520.0f)   // the largest float below 2^31
        return INT_MAX;
    if (time <= -2147483648.0f)
        return INT_MIN;
    return (int)time;
}

// Finds the segment for `time`. Returns -1 to hold key `*hold`, or the index
// i of the segment's end key (its start is i - 1) with its fraction in *t.
// The search compares the truncated time, so a time whose integer part equals
// a key's stamp still lies in the segment that ends at that key (t just above
// 1 over the fraction); the half cosine is symmetric there, so it stays put.
template <typename Key>
static int findSegment(const Key* keys, int count, float time, int* hold, float* t)
{
    int it = wholeTime(time);
    if (count == 1 || keys[0].time > it) {
        *hold = 0;
        return -1;
    }
    int i = 0;
    while (i < count && keys[i].time < it)
        i++;
    if (i == count) {
        *hold = count - 1;
        return -1;
    }
    if (i == 0)
        i = 1;
    float span = (float)keys[i].time - (float)keys[i - 1].time;
    if (span == 0) {
        // Two keys at one time stamp (only reachable at the track's first
        // stamp): a jump, so the later key holds.
        *hold = i;
        return -1;
    }
    *t = (time - (float)keys[i - 1].time) / span;
    return i;
}

void getKey(autoKey* keys, int count, float time, VECTOR3& out, int mode)
{
    if (!keys || count <= 0)
        return;   // an empty track has no value: out is left as it was
    int hold = 0;
    float t = 0;
    int i = findSegment(keys, count, time, &hold, &t);
    if (i < 0) {
        out = keys[hold].pos;
        return;
    }
    // Mode 0 is "linear" in name only: it blends with the same half cosine.
    if (mode == 0 || mode == 1)
        out = getVal(keys[i - 1].pos, keys[i].pos, t);
}

void getCamKey(autoCamKey* keys, int count, float time, VECTOR3& eye, VECTOR3& target)
{
    if (!keys || count <= 0)
        return;
    int hold = 0;
    float t = 0;
    int i = findSegment(keys, count, time, &hold, &t);
    if (i < 0) {
        eye = keys[hold].eye;
        target = keys[hold].target;
        return;
    }
    eye = getVal(keys[i - 1].eye, keys[i].eye, t);
    target = getVal(keys[i - 1].target, keys[i].target, t);
}

void autoKeyframeCosine(autoKey* keys, int count, float time, VECTOR3& out)
{
    getKey(keys, count, time, out, 1);
}

void autoKeyframeLinear(autoKey* keys, int count, float time, VECTOR3& out)
{
    getKey(keys, count, time, out, 0);
}

void autoKeyframeCam(autoCamKey* keys, int count, float time, VECTOR3& eye, VECTOR3& target)
{
    getCamKey(keys, count, time, eye, target);
}
