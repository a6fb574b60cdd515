// paint: a small float canvas for the texture painters, and a deterministic
// PNG writer.
//
// Conventions: pixel (0, 0) is the top-left corner and the first row of the
// file; x grows right, y grows down; colours and alpha are floats in [0, 1],
// straight (not premultiplied) alpha. Nothing here reads the clock or an
// unseeded random source, so a painter gives the same bytes on every run.
#pragma once

#include <string>
#include <vector>

struct Rgba {
    float r, g, b, a;   // 0..1, straight alpha
};

struct Canvas {
    int w = 0, h = 0;           // pixels
    std::vector<Rgba> px;       // w * h, row by row from the top
};

// A coverage or height field: one float per pixel (0..1 unless said).
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;       // w * h, row by row from the top
};

Canvas newCanvas(int w, int h, Rgba fill);
Mask newMask(int w, int h);

inline Rgba& at(Canvas& c, int x, int y) { return c.px[(size_t)y * c.w + x]; }
inline float& at(Mask& m, int x, int y) { return m.v[(size_t)y * m.w + x]; }
inline float at(const Mask& m, int x, int y) { return m.v[(size_t)y * m.w + x]; }

// Lays `col` over the pixel with extra coverage `cover` (0..1), "over" rule.
void blendOver(Canvas& c, int x, int y, Rgba col, float cover);
// Lays a whole mask (placed with its top-left at ox, oy) in one colour.
void blendMask(Canvas& c, const Mask& m, int ox, int oy, Rgba col, float opacity);

// Grows a mask by `radius` pixels (round pen), keeping soft edges.
Mask dilate(const Mask& m, float radius);
// Box blur, three passes (close to Gaussian), radius in pixels.
Mask blur(const Mask& m, int radius);

// Mirrors left to right, for pictures the show draws with u = 1 on the left.
void flipHorizontal(Canvas& c);

// Float helpers.
float clamp01(float v);
float mixf(float a, float b, float t);
Rgba mix(Rgba a, Rgba b, float t);
Rgba rgb8(int r, int g, int b, float a = 1.f);   // from bytes
float smooth(float e0, float e1, float x);       // cubic step, clamped
// Deterministic value noise in [0, 1] with integer lattice, tiling with
// period `period` cells in x and y (0 = no tiling).
float valueNoise(float x, float y, int period, unsigned seed);

// Writes the canvas as an 8-bit PNG, RGB (`alpha` false: alpha dropped) or
// RGBA. Fixed filter and zlib settings, no time stamp: same canvas, same bytes.
// False after saying on standard error what failed.
bool writePng(const Canvas& c, bool alpha, const std::string& path);
