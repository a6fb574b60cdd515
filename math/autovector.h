// autovector: the show's three-float vector and its scalar ramp.
//
// Conventions for the whole math module:
//   - every value is a 32-bit float; results are rounded to float where the
//     show's numbers depend on it (noted at each function);
//   - angles in sin/cos are radians; GL rotations elsewhere are degrees;
//   - VECTOR3 is a plain record, copied by value, with no invariant.
#pragma once

struct VECTOR3 {
    float x, y, z;
};

VECTOR3 operator+(VECTOR3 a, VECTOR3 b);   // component-wise sum
VECTOR3 operator-(VECTOR3 a, VECTOR3 b);   // component-wise difference

// Scales v in place to unit length. The length is taken in double precision
// and stored as a float; a vector whose float length is 0 is left unchanged.
void Normalize(VECTOR3& v);

// A clamped LINEAR ramp (not the cubic Hermite curve): 0 below edge0, 1 at or
// above edge1, linear between. The tests run in that order, so equal edges
// never divide by zero (0 below the edge, 1 at or above it) and a reversed
// range gives 0 below edge0 and 1 from edge0 on.
float smoothstep(float edge0, float edge1, float x);
