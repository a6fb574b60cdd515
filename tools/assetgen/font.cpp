// font: FreeType text setting into coverage masks.
#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <vector>

int fontErrors = 0;

const char* const fontSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const fontMonoBold = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

Mask textMask(const char* fontPath, const std::string& text, int pixelSize, int tracking, bool mono,
              int* baseline)
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) {
        std::fprintf(stderr, "assetgen: FreeType failed to start\n");
        fontErrors++;
        return Mask();
    }
    FT_Face face;
    if (FT_New_Face(lib, fontPath, 0, &face)) {
        std::fprintf(stderr,
                     "assetgen: cannot open font %s (install the Debian package fonts-dejavu-core)\n",
                     fontPath);
        FT_Done_FreeType(lib);
        fontErrors++;
        return Mask();
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int ascent = (int)(face->size->metrics.ascender >> 6);
    int descent = (int)(-face->size->metrics.descender >> 6);
    if (baseline)
        *baseline = ascent;
    FT_Int32 flags = FT_LOAD_RENDER | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);

    // First pass measures, second pass draws: both walk the same pen.
    Mask m;
    for (int pass = 0; pass < 2; pass++) {
        int pen = 0, right = 0;
        FT_UInt prev = 0;
        for (unsigned char ch : text) {
            FT_UInt gi = FT_Get_Char_Index(face, ch);
            if (prev && gi && FT_HAS_KERNING(face)) {
                FT_Vector k;
                FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
                pen += (int)(k.x >> 6);
            }
            if (FT_Load_Glyph(face, gi, flags)) {
                std::fprintf(stderr, "assetgen: FreeType cannot render '%c' from %s\n", ch, fontPath);
                fontErrors++;
                continue;
            }
            FT_GlyphSlot g = face->glyph;
            if (pass == 1) {
                const FT_Bitmap& bm = g->bitmap;
                for (unsigned y = 0; y < bm.rows; y++)
                    for (unsigned x = 0; x < bm.width; x++) {
                        float v;
                        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                            v = (bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1 ? 1.f : 0.f;
                        else
                            v = bm.buffer[y * bm.pitch + x] / 255.f;
                        int px = pen + g->bitmap_left + (int)x;
                        int py = ascent - g->bitmap_top + (int)y;
                        if (px >= 0 && py >= 0 && px < m.w && py < m.h && v > at(m, px, py))
                            at(m, px, py) = v;
                    }
            }
            right = std::max(right, pen + g->bitmap_left + (int)g->bitmap.width);
            pen += (int)(g->advance.x >> 6) + tracking;
            prev = gi;
        }
        if (pass == 0)
            m = newMask(std::max(right, pen - tracking) + 1, ascent + descent);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return m;
}
