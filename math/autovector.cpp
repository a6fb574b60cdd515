#include "math/autovector.h"

#include <cmath>

VECTOR3 operator+(VECTOR3 a, VECTOR3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

VECTOR3 operator-(VECTOR3 a, VECTOR3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

void Normalize(VECTOR3& v)
{
    double sum = (double)v.x * v.x + (double)v.y * v.y + (double)v.z * v.z;
    float length = (float)std::sqrt(sum);
    if (length > 0.0f) {
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
}

float smoothstep(float edge0, float edge1, float x)
{
    if (edge0 > x)
        return 0.0f;
    if (x >= edge1)
        return 1.0f;
    return (x - edge0) / (edge1 - edge0);
}
