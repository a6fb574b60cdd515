// paint: float canvas, masks and the deterministic PNG writer.
#include "paint.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

Canvas newCanvas(int w, int h, Rgba fill)
{
    Canvas c;
    c.w = w;
    c.h = h;
    c.px.assign((size_t)w * h, fill);
    return c;
}

Mask newMask(int w, int h)
{
    Mask m;
    m.w = w;
    m.h = h;
    m.v.assign((size_t)w * h, 0.f);
    return m;
}

float clamp01(float v) { return v < 0.f ? 0.f : (v > 1.f ? 1.f : v); }
float mixf(float a, float b, float t) { return a + (b - a) * t; }
Rgba mix(Rgba a, Rgba b, float t)
{
    return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}
Rgba rgb8(int r, int g, int b, float a) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
float smooth(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.f - 2.f * t);
}

void blendOver(Canvas& c, int x, int y, Rgba col, float cover)
{
    if (x < 0 || y < 0 || x >= c.w || y >= c.h)
        return;
    float sa = clamp01(col.a * cover);
    if (sa <= 0.f)
        return;
    Rgba& d = at(c, x, y);
    float oa = sa + d.a * (1.f - sa);
    if (oa <= 0.f) {
        d = {0, 0, 0, 0};
        return;
    }
    d.r = (col.r * sa + d.r * d.a * (1.f - sa)) / oa;
    d.g = (col.g * sa + d.g * d.a * (1.f - sa)) / oa;
    d.b = (col.b * sa + d.b * d.a * (1.f - sa)) / oa;
    d.a = oa;
}

void blendMask(Canvas& c, const Mask& m, int ox, int oy, Rgba col, float opacity)
{
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float v = at(m, x, y);
            if (v > 0.f)
                blendOver(c, ox + x, oy + y, col, v * opacity);
        }
}

Mask dilate(const Mask& m, float radius)
{
    Mask out = newMask(m.w, m.h);
    int r = (int)std::ceil(radius) + 1;
    // Pen offsets with their coverage (soft rim of half a pixel).
    struct Tap { int dx, dy; float w; };
    std::vector<Tap> taps;
    for (int dy = -r; dy <= r; dy++)
        for (int dx = -r; dx <= r; dx++) {
            float w = clamp01(radius + 0.5f - std::sqrt((float)(dx * dx + dy * dy)));
            if (w > 0.f)
                taps.push_back({dx, dy, w});
        }
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float best = 0.f;
            for (const Tap& t : taps) {
                int sx = x + t.dx, sy = y + t.dy;
                if (sx < 0 || sy < 0 || sx >= m.w || sy >= m.h)
                    continue;
                best = std::max(best, at(m, sx, sy) * t.w);
            }
            at(out, x, y) = best;
        }
    return out;
}

Mask blur(const Mask& m, int radius)
{
    Mask a = m, b = newMask(m.w, m.h);
    float norm = 1.f / (2 * radius + 1);
    for (int pass = 0; pass < 3; pass++) {
        for (int y = 0; y < m.h; y++)
            for (int x = 0; x < m.w; x++) {
                float s = 0.f;
                for (int k = -radius; k <= radius; k++) {
                    int sx = std::clamp(x + k, 0, m.w - 1);
                    s += at(a, sx, y);
                }
                at(b, x, y) = s * norm;
            }
        for (int y = 0; y < m.h; y++)
            for (int x = 0; x < m.w; x++) {
                float s = 0.f;
                for (int k = -radius; k <= radius; k++) {
                    int sy = std::clamp(y + k, 0, m.h - 1);
                    s += at(b, x, sy);
                }
                at(a, x, y) = s * norm;
            }
    }
    return a;
}

void flipHorizontal(Canvas& c)
{
    for (int y = 0; y < c.h; y++)
        std::reverse(c.px.begin() + (size_t)y * c.w, c.px.begin() + (size_t)(y + 1) * c.w);
}

static float hash01(int x, int y, unsigned seed)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777215.f;
}

float valueNoise(float x, float y, int period, unsigned seed)
{
    int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    float fx = x - x0, fy = y - y0;
    auto wrap = [period](int v) { return period > 0 ? ((v % period) + period) % period : v; };
    float a = hash01(wrap(x0), wrap(y0), seed), b = hash01(wrap(x0 + 1), wrap(y0), seed);
    float c = hash01(wrap(x0), wrap(y0 + 1), seed), d = hash01(wrap(x0 + 1), wrap(y0 + 1), seed);
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    return mixf(mixf(a, b, sx), mixf(c, d, sx), sy);
}

static unsigned char toByte(float v) { return (unsigned char)std::lround(clamp01(v) * 255.f); }

bool writePng(const Canvas& c, bool alpha, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        std::fprintf(stderr, "assetgen: libpng could not start writing %s\n", path.c_str());
        png_destroy_write_struct(&png, nullptr);
        std::fclose(f);
        return false;
    }
    int ch = alpha ? 4 : 3;
    std::vector<unsigned char> row((size_t)c.w * ch);
    if (setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "assetgen: libpng failed while writing %s\n", path.c_str());
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::remove(path.c_str());   // no half-written picture left behind
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, c.w, c.h, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_set_compression_mem_level(png, 8);
    png_set_compression_strategy(png, 0);   // Z_DEFAULT_STRATEGY
    png_set_compression_window_bits(png, 15);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_write_info(png, info);
    for (int y = 0; y < c.h; y++) {
        for (int x = 0; x < c.w; x++) {
            const Rgba& p = c.px[(size_t)y * c.w + x];
            unsigned char* o = &row[(size_t)x * ch];
            if (alpha && toByte(p.a) == 0) {
                o[0] = o[1] = o[2] = o[3] = 0;   // no colour under full transparency
                continue;
            }
            o[0] = toByte(p.r);
            o[1] = toByte(p.g);
            o[2] = toByte(p.b);
            if (alpha)
                o[3] = toByte(p.a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "assetgen: cannot finish %s: %s\n", path.c_str(), std::strerror(errno));
        std::remove(path.c_str());
        return false;
    }
    return true;
}
