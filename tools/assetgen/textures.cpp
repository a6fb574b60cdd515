// textures: the nineteen texture slots' pictures (eighteen files; slots 13
// and 17 share bandaid.png).
//
// Every picture is a power of two on each side. Pictures the show blends
// with their own alpha (captions, sprites, the ball, the flash squares) are
// RGBA; the rest are RGB. Pictures the show mirrors left to right are
// painted mirrored so they read correctly on screen; the tiled ones
// (check2, bandaid, orvel) wrap seamlessly.
#include "assetgen.h"
#include "font.h"
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// Painters in tex_captions.cpp and tex_c64.cpp.
Canvas paintTitle();
Canvas paintCredit(int which);   // 0 code, 1 music, 2 pixels
Canvas paintYear();
Canvas paintBubble();
Canvas paintSpeechBubble();
Canvas paintC64();

namespace {

const float pi = 3.14159265f;

// One copper bar, 32 rows for the show's 32-unit bars: dark violet at the
// edges through magenta and orange to a white line in the middle, in the
// 16 steps per channel of the old chips.
Canvas paintCopper()
{
    const Rgba stops[] = {rgb8(20, 0, 60), rgb8(110, 0, 140), rgb8(230, 40, 120),
                          rgb8(255, 150, 40), rgb8(255, 240, 180), rgb8(255, 255, 255)};
    Canvas c = newCanvas(64, 32, {0, 0, 0, 1});
    for (int y = 0; y < 32; y++) {
        float t = 1.f - std::fabs((y + 0.5f) / 16.f - 1.f);   // 0 at the edges, 1 mid
        float f = t * 5.f;
        int i = std::min(4, (int)f);
        Rgba col = mix(stops[i], stops[i + 1], f - i);
        col.r = std::round(col.r * 15.f) / 15.f;
        col.g = std::round(col.g * 15.f) / 15.f;
        col.b = std::round(col.b * 15.f) / 15.f;
        for (int x = 0; x < 64; x++)
            at(c, x, y) = col;
    }
    return c;
}

// 16 x 16 checks, white and royal blue, each blue check with a lighter
// inner frame so the zoom and the tunnel's crawl read clearly (in the tunnel
// one check is about a unit of wall).
Canvas paintCheck()
{
    Canvas c = newCanvas(256, 256, {1, 1, 1, 1});
    const Rgba light = rgb8(236, 236, 244), blue = rgb8(36, 52, 170), edge = rgb8(80, 110, 230);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            int cx = x / 16, cy = y / 16, ix = x % 16, iy = y % 16;
            bool dark = (cx + cy) & 1;
            bool frame = ix < 2 || iy < 2 || ix > 13 || iy > 13;
            at(c, x, y) = dark ? (frame ? edge : blue) : light;
        }
    return c;
}

// A white ball that glows: a bright core, a soft halo fading to nothing.
// The show tints it with each ball's colour and adds it.
Canvas paintBall()
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {1, 1, 1, 0});
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float dx = (x + 0.5f) / (n / 2) - 1.f, dy = (y + 0.5f) / (n / 2) - 1.f;
            float r = std::sqrt(dx * dx + dy * dy);
            float core = 1.f - smooth(0.2f, 0.5f, r);
            float halo = std::pow(clamp01(1.f - r), 1.5f);
            at(c, x, y) = {1, 1, 1, clamp01(0.85f * core + 0.7f * halo)};
        }
    return c;
}

// The world a chrome object reflects, as a sphere map: blue sky with light
// clouds and a sun over a hard horizon, brown ground with a grid below.
// Each texel is the colour seen along the reflection of the view direction
// off a mirror whose normal the texel stands for (the map's t grows with
// eye-space y, so the sky is the bottom half of the file).
Canvas paintEnvMap()
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {0, 0, 0, 1});
    const float sun[3] = {-0.45f, 0.55f, 0.70f};
    float sl = std::sqrt(sun[0] * sun[0] + sun[1] * sun[1] + sun[2] * sun[2]);
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float nx = 2.f * (x + 0.5f) / n - 1.f, ny = 2.f * (y + 0.5f) / n - 1.f;
            float d2 = nx * nx + ny * ny;
            if (d2 > 1.f) {   // outside the map's disc: pull back onto its rim
                float d = std::sqrt(d2);
                nx /= d * 1.0001f;
                ny /= d * 1.0001f;
                d2 = nx * nx + ny * ny;
            }
            float nz = std::sqrt(std::max(0.f, 1.f - d2));
            float rx = 2.f * nz * nx, ry = 2.f * nz * ny, rz = 2.f * nz * nz - 1.f;
            Rgba col;
            if (ry >= 0.f) {
                float h = std::pow(ry, 0.6f);
                col = mix(rgb8(235, 240, 255), rgb8(30, 70, 190), h);
                // clouds: streaks of noise projected on a sky plane
                float px = rx / (ry + 0.15f), pz = rz / (ry + 0.15f);
                float cl = valueNoise(px * 2.f + 10.f, pz * 6.f + 10.f, 0, 7u) * 0.65f +
                           valueNoise(px * 5.f, pz * 14.f, 0, 8u) * 0.35f;
                col = mix(col, {1, 1, 1, 1}, 0.8f * smooth(0.55f, 0.8f, cl) * (1.f - h * 0.5f));
                float s = (rx * sun[0] + ry * sun[1] + rz * sun[2]) / sl;
                col = mix(col, rgb8(255, 250, 225), smooth(0.975f, 0.995f, s));
                col = mix(col, rgb8(255, 245, 200), 0.35f * std::pow(clamp01(s), 40.f));
            } else {
                float g = std::pow(-ry, 0.5f);
                col = mix(rgb8(120, 85, 55), rgb8(35, 22, 14), g);
                float px = rx / (-ry + 0.05f), pz = rz / (-ry + 0.05f);
                float lx = std::fabs(px - std::round(px)), lz = std::fabs(pz - std::round(pz));
                float line = std::max(1.f - smooth(0.0f, 0.06f, lx), 1.f - smooth(0.0f, 0.06f, lz));
                col = mix(col, rgb8(20, 12, 8), 0.6f * line * g);
                col = mix(col, rgb8(40, 30, 30), smooth(-0.02f, 0.f, ry) * 0.7f);   // dark horizon line
            }
            col.a = 1.f;
            at(c, x, y) = col;
        }
    return c;
}

// The two flash pictures the tunnel adds on each beat: a warm sunburst
// with rings, and a cool moire of two ring sets.
Canvas paintInter(int which)
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float u = (x + 0.5f) / n - 0.5f, v = (y + 0.5f) / n - 0.5f;
            Rgba col;
            if (which == 0) {
                float r = std::sqrt(u * u + v * v), a = std::atan2(v, u);
                float rays = 0.5f + 0.5f * std::cos(a * 16.f + r * 12.f);
                float rings = 0.5f + 0.5f * std::cos(r * 60.f);
                float glow = clamp01(1.f - r * 1.6f);
                float k = clamp01(0.25f + 0.75f * rays * glow + 0.4f * rings * glow);
                col = {clamp01(k * 1.2f), clamp01(k * k * 0.9f), clamp01(k * k * k * 0.5f + 0.1f * rings), 1};
            } else {
                float r1 = std::sqrt((u + 0.18f) * (u + 0.18f) + (v + 0.1f) * (v + 0.1f));
                float r2 = std::sqrt((u - 0.2f) * (u - 0.2f) + (v - 0.15f) * (v - 0.15f));
                float m = 0.5f + 0.5f * std::cos(r1 * 90.f) * std::cos(r2 * 90.f);
                float diag = 0.5f + 0.5f * std::sin((u + v) * 40.f);
                float k = clamp01(0.7f * m + 0.3f * diag);
                col = {clamp01(k * k * 0.5f), clamp01(0.3f + k * 0.7f), clamp01(0.6f + k * 0.4f), 1};
            }
            at(c, x, y) = col;
        }
    return c;
}

// The two turning squares of the cube flash. extra01 (front): a golden
// grille, a framed plate with a 4 x 4 grid of round holes. extra02 (back): an
// eight-pointed star of violet and teal bands on clear ground.
Canvas paintExtra(int which)
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {0, 0, 0, 0});
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float u = (x + 0.5f) / n * 2.f - 1.f, v = (y + 0.5f) / n * 2.f - 1.f;   // -1..1
            float px = 2.f / n;   // one pixel in these units
            if (which == 0) {
                float plate = clamp01((0.97f - std::max(std::fabs(u), std::fabs(v))) / px + 0.5f);
                float cu = (std::floor((u + 1.f) * 2.f) + 0.5f) / 2.f - 1.f;
                float cv = (std::floor((v + 1.f) * 2.f) + 0.5f) / 2.f - 1.f;
                float hr = std::sqrt((u - cu) * (u - cu) + (v - cv) * (v - cv));
                float hole = clamp01((0.17f - hr) / px + 0.5f);
                float a = plate * (1.f - hole);
                // bevel: lighter towards the upper left of each hole's rim
                float shade = 0.75f + 0.25f * ((cu - u) + (cv - v)) / std::max(hr, 0.01f) *
                                          smooth(0.17f, 0.24f, hr) * (1.f - smooth(0.24f, 0.3f, hr));
                float frame = std::max(std::fabs(u), std::fabs(v)) > 0.88f ? 1.f : 0.f;
                Rgba col = mix(rgb8(250, 190, 50), rgb8(255, 240, 160), 0.5f + 0.5f * v * -1.f);
                col = mix(col, rgb8(150, 70, 10), frame * 0.8f);
                col.r *= shade;
                col.g *= shade;
                col.b *= shade;
                col.a = 1.f;
                if (a > 0.f)
                    blendOver(c, x, y, col, a);
            } else {
                float r = std::sqrt(u * u + v * v), ang = std::atan2(v, u);
                float star = 0.62f + 0.3f * std::pow(std::fabs(std::cos(ang * 4.f)), 3.f);
                float inside = clamp01((star - r) / px + 0.5f);
                float bands = std::cos(r * 40.f);
                Rgba col = bands > 0.f ? rgb8(150, 60, 220) : rgb8(40, 200, 190);
                col = mix(col, {1, 1, 1, 1}, 0.5f * (1.f - smooth(0.f, 0.15f, r)));
                if (inside > 0.f)
                    blendOver(c, x, y, col, inside * 0.9f);
            }
        }
    return c;
}

// A tile with a sticking plaster on it: a skin-coloured strip with round
// ends, a pale pad and breathing holes, on light blue tiles. Wraps.
Canvas paintBandaid()
{
    const int n = 128;
    Canvas c = newCanvas(n, n, rgb8(170, 200, 225));
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            Rgba& p = at(c, x, y);
            if (x == 0 || y == 0)
                p = rgb8(140, 170, 200);   // grout
            float fx = x + 0.5f, fy = y + 0.5f;
            // strip: a capsule from (30, 64) to (98, 64), radius 22
            float qx = std::clamp(fx, 30.f, 98.f);
            float d = std::sqrt((fx - qx) * (fx - qx) + (fy - 64.f) * (fy - 64.f));
            float strip = clamp01(22.f - d + 0.5f);
            if (strip <= 0.f)
                continue;
            Rgba col = rgb8(225, 170, 130);
            bool pad = std::fabs(fx - 64.f) < 17.f && std::fabs(fy - 64.f) < 14.f;
            if (pad)
                col = rgb8(250, 235, 225);
            else if (((int)fx % 8 == 4) && ((int)fy % 8 == 4))
                col = rgb8(185, 130, 95);   // breathing holes
            blendOver(c, x, y, col, strip);
        }
    return c;
}

// A whirl ("virvel"): a tiling plasma in purples and greens.
Canvas paintOrvel()
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float u = 2.f * pi * x / n, v = 2.f * pi * y / n;
            float w = std::sin(u + 2.f * std::sin(v)) + std::sin(2.f * v + std::cos(u)) +
                      0.5f * std::sin(3.f * u + 2.f * v);
            float k = 0.5f + 0.5f * std::sin(w * 2.f);
            at(c, x, y) = {clamp01(0.3f + 0.6f * k), clamp01(0.1f + 0.8f * (1.f - k) * k * 2.f),
                           clamp01(0.45f + 0.5f * (1.f - k)), 1};
        }
    return c;
}

struct Picture {
    const char* file;
    bool alpha;
    Canvas (*paint)();
};

} // namespace

bool makeTextures(const std::string& outDir)
{
    static const Picture pictures[] = {
        {"fyllecell_01.png", true, paintTitle},
        {"copper.png", false, paintCopper},
        {"orvel.png", false, paintOrvel},
        {"c64.png", false, paintC64},
        {"fyllecell_02.png", true, [] { return paintCredit(0); }},
        {"inter01.png", false, [] { return paintInter(0); }},
        {"inter02.png", false, [] { return paintInter(1); }},
        {"fyllecell_03.png", true, [] { return paintCredit(1); }},
        {"boll.png", true, paintBall},
        {"extra01.png", true, [] { return paintExtra(0); }},
        {"extra02.png", true, [] { return paintExtra(1); }},
        {"envmap3.png", false, paintEnvMap},
        {"check2.png", false, paintCheck},
        {"bandaid.png", false, paintBandaid},
        {"bubblan.png", true, paintBubble},
        {"pratbubbla.png", true, paintSpeechBubble},
        {"fyllecell_04.png", true, [] { return paintCredit(2); }},
        {"1995.png", true, paintYear},
    };
    bool ok = true;
    for (const Picture& p : pictures) {
        Canvas c = p.paint();
        ok = writePng(c, p.alpha, outDir + "/textures/" + p.file) && ok;
    }
    if (fontErrors) {
        std::fprintf(stderr, "assetgen: captions are incomplete (%d font errors above)\n", fontErrors);
        return false;
    }
    return ok;
}
