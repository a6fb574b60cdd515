// tex_captions: the 512 x 512 caption pictures (title, credits, the year)
// and the two speech-bubble sprites.
//
// The show draws captions and sprites with u = 1 at their left edge, so
// every picture here is painted the right way round and mirrored last: on
// screen it reads correctly. Captions keep their letters within rows 80 to
// 400, the band the letterbox never covers whatever the wobble.
#include "font.h"
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Line {
    std::string text;
    int size;        // pixels
    bool big;        // big lines get the metal gradient, small ones plain white
};

struct Style {
    Rgba top, mid, low, bottom;   // gradient of big letters, top to bottom
    Rgba outline;
};

// The gradient of a big line: top colour to a bright middle, a hard step
// to a darker band just under it, then down to the bottom colour.
Rgba metal(const Style& st, float t)
{
    if (t < 0.5f)
        return mix(st.top, st.mid, t / 0.5f);
    if (t < 0.56f)
        return st.low;
    return mix(st.low, st.bottom, (t - 0.56f) / 0.44f);
}

void drawLine(Canvas& c, const Line& ln, int y, const Style& st)
{
    int base = 0;
    Mask m = textMask(fontSansBold, ln.text, ln.size, ln.big ? 2 : 1, false, &base);
    if (m.w == 0)
        return;
    if (m.w > c.w - 24)
        std::fprintf(stderr, "assetgen: caption line \"%s\" is wider than its picture\n",
                     ln.text.c_str());
    // Pad so that outline and shadow have room.
    const int pad = 16;
    Mask p = newMask(m.w + 2 * pad, m.h + 2 * pad);
    for (int yy = 0; yy < m.h; yy++)
        for (int xx = 0; xx < m.w; xx++)
            at(p, xx + pad, yy + pad) = at(m, xx, yy);
    int ox = (c.w - p.w) / 2, oy = y - pad;
    float rim = ln.big ? 4.f : 2.5f;
    Mask out = dilate(p, rim);
    Mask shadow = blur(dilate(p, rim), 3);
    blendMask(c, shadow, ox + 6, oy + 7, {0, 0, 0, 1}, 0.6f);
    blendMask(c, out, ox, oy, st.outline, 1.f);

    // Letter rows: from the cap top to the baseline, for the gradient.
    int capTop = pad + base - (int)std::lround(ln.size * 0.73f);
    int capBot = pad + base;
    for (int yy = 0; yy < p.h; yy++)
        for (int xx = 0; xx < p.w; xx++) {
            float v = at(p, xx, yy);
            if (v <= 0.f)
                continue;
            Rgba col = {1, 1, 1, 1};
            if (ln.big)
                col = metal(st, clamp01((float)(yy - capTop) / (float)(capBot - capTop)));
            blendOver(c, ox + xx, oy + yy, col, v);
        }
}

// Paints lines stacked and centred on the band around row 240, then mirrors.
Canvas caption(const std::vector<Line>& lines, const Style& st)
{
    Canvas c = newCanvas(512, 512, {0, 0, 0, 0});
    const int gap = 10;
    int total = 0;
    for (const Line& ln : lines)
        total += (int)std::lround(ln.size * 1.17f) + gap;
    total -= gap;
    int y = 240 - total / 2;
    for (const Line& ln : lines) {
        drawLine(c, ln, y, st);
        y += (int)std::lround(ln.size * 1.17f) + gap;
    }
    flipHorizontal(c);
    return c;
}

const Style gold = {rgb8(255, 250, 190), rgb8(255, 200, 40), rgb8(200, 80, 10), rgb8(255, 160, 40),
                    rgb8(40, 10, 50)};
const Style ice = {rgb8(200, 250, 255), rgb8(90, 200, 255), rgb8(20, 70, 170), rgb8(110, 170, 255),
                   rgb8(10, 15, 60)};
const Style chrome = {rgb8(60, 110, 210), rgb8(235, 245, 255), rgb8(70, 45, 25),
                      rgb8(225, 190, 140), rgb8(15, 15, 30)};

} // namespace

Canvas paintTitle()
{
    return caption({{"we proudly present", 30, false}, {"VALLUP", 104, true},
                    {"a show in 128 seconds", 30, false}},
                   gold);
}

Canvas paintCredit(int which)
{
    switch (which) {
    case 0:
        return caption({{"CODE", 96, true}, {"plain C++ and", 32, false},
                        {"fixed-function GL", 32, false}},
                       ice);
    case 1:
        return caption({{"MUSIC", 96, true}, {"a little synth", 32, false},
                        {"of our own", 32, false}},
                       ice);
    default:
        return caption({{"PIXELS", 96, true}, {"painted by", 32, false},
                        {"a program", 32, false}},
                       ice);
    }
}

Canvas paintYear()
{
    return caption({{"back in", 34, false}, {"1995", 136, true}}, chrome);
}

// A soap bubble: nearly clear in the middle (the captions behind it stay
// readable), a rainbow rim, a window highlight at the top left.
Canvas paintBubble()
{
    const int n = 512;
    Canvas c = newCanvas(n, n, {0, 0, 0, 0});
    const float cx = 255.5f, cy = 255.5f, R = 246.f;
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float dx = x - cx, dy = y - cy;
            float r = std::sqrt(dx * dx + dy * dy);
            float edge = clamp01(R - r + 0.5f);
            if (edge <= 0.f)
                continue;
            float q = r / R;
            float ang = std::atan2(dy, dx);
            float ph = 6.2831853f * (2.2f * q * q + ang / 6.2831853f * 1.0f);
            Rgba col = {0.55f + 0.45f * std::cos(ph), 0.55f + 0.45f * std::cos(ph - 2.094f),
                        0.55f + 0.45f * std::cos(ph + 2.094f), 1.f};
            float a = 0.10f + 0.75f * std::pow(q, 8.f);
            blendOver(c, x, y, col, a * edge);
            // a thin bright rim line
            float rimLine = clamp01(1.f - std::fabs(r - (R - 3.f)) / 2.5f);
            blendOver(c, x, y, {1, 1, 1, 1}, 0.7f * rimLine * edge);
            // window highlight: a soft crescent up and to the left
            float hx = (x - (cx - 95.f)) / 70.f, hy = (y - (cy - 120.f)) / 42.f;
            float rot = 0.6f;
            float ux = hx * std::cos(rot) + hy * std::sin(rot), uy = -hx * std::sin(rot) + hy * std::cos(rot);
            float h = clamp01(1.f - (ux * ux + uy * uy));
            blendOver(c, x, y, {1, 1, 1, 1}, 0.85f * smooth(0.f, 0.5f, h));
            float s2 = clamp01(1.f - ((x - (cx + 130.f)) * (x - (cx + 130.f)) +
                                      (y - (cy + 140.f)) * (y - (cy + 140.f))) / (18.f * 18.f));
            blendOver(c, x, y, {1, 1, 1, 1}, 0.6f * smooth(0.f, 0.6f, s2));
        }
    flipHorizontal(c);
    return c;
}

// A comic speech bubble with a tail at the lower left and a word in it.
Canvas paintSpeechBubble()
{
    const int n = 256;
    Canvas c = newCanvas(n, n, {0, 0, 0, 0});
    Mask body = newMask(n, n);
    const float cx = 136.f, cy = 104.f, rx = 110.f, ry = 78.f;
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = (std::sqrt(dx * dx + dy * dy) - 1.f) * std::min(rx, ry);
            float v = clamp01(0.5f - d);
            // tail: a triangle from the body down to (30, 236)
            float px = x + 0.5f, py = y + 0.5f;
            auto side = [](float ax, float ay, float bx, float by, float px, float py) {
                float ex = bx - ax, ey = by - ay, l = std::sqrt(ex * ex + ey * ey);
                return ((px - ax) * ey - (py - ay) * ex) / l;
            };
            float t1 = side(70, 150, 30, 236, px, py), t2 = side(30, 236, 120, 170, px, py),
                  t3 = side(120, 170, 70, 150, px, py);
            // inside on whichever side the winding puts it
            float inTail = std::max(clamp01(0.5f - std::max({t1, t2, t3})),
                                    clamp01(0.5f + std::min({t1, t2, t3})));
            v = std::max(v, inTail);
            at(body, x, y) = v;
        }
    Mask rim = dilate(body, 5.f);
    blendMask(c, blur(rim, 3), 5, 6, {0, 0, 0, 1}, 0.45f);
    blendMask(c, rim, 0, 0, rgb8(20, 20, 30), 1.f);
    blendMask(c, body, 0, 0, rgb8(255, 255, 245), 1.f);
    int base = 0;
    Mask word = textMask(fontSansBold, "WOW!", 46, 2, false, &base);
    if (word.w > 0) {
        int ox = (int)cx - word.w / 2, oy = (int)cy - base + 17;
        blendMask(c, dilate(word, 2.f), ox, oy, rgb8(120, 0, 40), 1.f);
        blendMask(c, word, ox, oy, rgb8(255, 60, 90), 1.f);
    }
    flipHorizontal(c);
    return c;
}
