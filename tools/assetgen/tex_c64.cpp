// tex_c64: the home-computer start-up screen: a light-blue border round a
// dark-blue text screen of 40 x 25 characters with a start-up banner, a
// load and run, and the blinking-cursor block.
//
// The screen is set on its own grid of 384 x 272 square dots (8 x 8 dot
// characters, the border 32 dots wide and 36 high) and then sampled onto the
// 512 x 512 picture, which the show stretches over its 800 x 600 canvas: the
// dots come out close to square there. The show draws this picture mirrored
// left to right in the intro, so it is painted mirrored.
#include "font.h"
#include "paint.h"

#include <cstring>
#include <vector>

namespace {

const int dotsW = 384, dotsH = 272;   // whole screen in dots
const int left = 32, top = 36;        // border in dots
const int cols = 40, rows = 25;

// One 8 x 8 character from the monospaced font, one bit per dot.
void putChar(std::vector<unsigned char>& dots, int col, int row, char ch, bool inverse)
{
    int x0 = left + col * 8, y0 = top + row * 8;
    unsigned char on = inverse ? 1 : 2, off = inverse ? 2 : 1;   // 1 screen, 2 ink
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            dots[(size_t)(y0 + y) * dotsW + x0 + x] = off;
    if (ch == ' ')
        return;
    int base = 0;
    Mask g = textMask(fontMonoBold, std::string(1, ch), 10, 0, true, &base);
    // Stand the letter on dot row 7 of its cell, centred in its width; every
    // dot is doubled to the right, which gives the heavy two-dot strokes of
    // such screens.
    int dx = (7 - g.w) / 2;
    for (int y = 0; y < g.h; y++)
        for (int x = 0; x < g.w; x++) {
            if (at(g, x, y) < 0.5f)
                continue;
            int cx = x + dx, cy = y - base + 7;
            if (cx < 0 || cy < 0 || cx >= 8 || cy >= 8)
                continue;
            dots[(size_t)(y0 + cy) * dotsW + x0 + cx] = on;
            if (cx + 1 < 8)
                dots[(size_t)(y0 + cy) * dotsW + x0 + cx + 1] = on;
        }
}

} // namespace

Canvas paintC64()
{
    std::vector<unsigned char> dots((size_t)dotsW * dotsH, 0);   // 0 border
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < cols; c++)
            putChar(dots, c, r, ' ', false);
    const char* screen[] = {
        "",
        "    **** VALLUP 64 BASIC V1.0 ****",
        "",
        " 64K RAM  38000 BYTES FREE FOR DEMOS",
        "",
        "READY.",
        "LOAD\"VALLUP\",8,1",
        "",
        "SEARCHING FOR VALLUP",
        "LOADING",
        "READY.",
        "RUN",
    };
    int n = (int)(sizeof screen / sizeof *screen);
    for (int r = 0; r < n; r++)
        for (int c = 0; screen[r][c] && c < cols; c++)
            putChar(dots, c, r, screen[r][c], false);
    putChar(dots, 0, n, ' ', true);   // the cursor

    const Rgba border = {0.48f, 0.43f, 0.85f, 1.f};   // the show's light blue
    const Rgba paper = rgb8(69, 49, 162);            // the show's dark blue
    const Rgba ink = border;
    const Rgba pal[3] = {border, paper, ink};
    Canvas c = newCanvas(512, 512, border);
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++) {
            int dx = x * dotsW / c.w, dy = y * dotsH / c.h;
            at(c, x, y) = pal[dots[(size_t)dy * dotsW + dx]];
        }
    flipHorizontal(c);
    return c;
}
