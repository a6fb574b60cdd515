// The PNG stand-in on files this test writes with libpng: every colour type
// and bit depth comes back as the texels written, top file row at t = 0;
// broken files give 0 and leave GL alone.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "glfixture.h"
#include "platform/png.h"

namespace {

struct PngSpec {
    int width = 0, height = 0;
    int colorType = 0, depth = 8;
    std::vector<std::vector<unsigned char>> rows;   // packed as the file stores them
    std::vector<png_color> palette;
    std::vector<unsigned char> trnsAlpha;            // palette alpha entries
    bool trnsColor = false;                          // colour-key tRNS
    png_color_16 trnsKey = {};
    bool interlace = false;
    double gamma = 0;                                // gAMA chunk when non-zero
};

PngSpec spec(int w, int h, int colorType, int depth, std::vector<std::vector<unsigned char>> rows)
{
    PngSpec s;
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.depth = depth;
    s.rows = std::move(rows);
    return s;
}

std::string tempDir()
{
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/vallup_png_XXXXXX";
        dir = mkdtemp(tmpl);
    }
    return dir;
}

std::string writePng(const std::string& name, const PngSpec& s)
{
    std::string path = tempDir() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        ADD_FAILURE() << "libpng could not write " << path;
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return path;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, s.width, s.height, s.depth, s.colorType,
                 s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), (int)s.palette.size());
    if (!s.trnsAlpha.empty())
        png_set_tRNS(png, info, s.trnsAlpha.data(), (int)s.trnsAlpha.size(), nullptr);
    if (s.trnsColor)
        png_set_tRNS(png, info, nullptr, 0, &s.trnsKey);
    if (s.gamma)
        png_set_gAMA(png, info, s.gamma);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (auto& r : s.rows)
        rows.push_back((png_bytep)r.data());
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return path;
}

// Texels of level `level` of the bound texture as RGBA, first row = t = 0.
std::vector<unsigned char> texels(int w, int h, int level = 0)
{
    std::vector<unsigned char> out((size_t)w * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

GLint levelParam(GLenum what, int level = 0)
{
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &v);
    return v;
}

GLint texParam(GLenum what)
{
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, what, &v);
    return v;
}

GLuint load(const std::string& path, int trans = PNG_ALPHA, pngInfo* info = nullptr)
{
    pngInfo scratch;
    return pngBind(path.c_str(), PNG_NOMIPMAP, trans, info ? info : &scratch, GL_REPEAT,
                   GL_NEAREST, GL_NEAREST);
}

// Expects the bound texture to be w x h with these RGBA texels (row-major, top first).
void expectTexels(int w, int h, const std::vector<int>& rgba, bool alpha)
{
    EXPECT_EQ(levelParam(GL_TEXTURE_WIDTH), w);
    EXPECT_EQ(levelParam(GL_TEXTURE_HEIGHT), h);
    EXPECT_EQ(levelParam(GL_TEXTURE_INTERNAL_FORMAT), alpha ? GL_RGBA8 : GL_RGB8);
    std::vector<unsigned char> got = texels(w, h);
    ASSERT_EQ(got.size(), rgba.size());
    for (size_t i = 0; i < got.size(); i++)
        EXPECT_EQ((int)got[i], rgba[i]) << "texel " << i / 4 << " channel " << i % 4;
}

class Png : public ::testing::Test {
protected:
    void SetUp() override
    {
        glfix::context();
        unsetenv("VIEWING_GAMMA");
    }
};

}  // namespace

TEST_F(Png, RgbAndRgbaComeBackAsWrittenTopRowFirst)
{
    PngSpec rgb = spec(3, 2, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30, 40, 50, 60, 70, 80, 90},
                                              {255, 0, 0, 0, 255, 0, 0, 0, 255}});
    ASSERT_NE(load(writePng("rgb.png", rgb)), 0u) << pngLastError();
    expectTexels(3, 2, {10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255,
                        255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255}, false);
    EXPECT_EQ(texParam(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParam(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(texParam(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParam(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(levelParam(GL_TEXTURE_WIDTH, 1), 0) << "no mipmap levels";

    PngSpec rgba = spec(2, 1, PNG_COLOR_TYPE_RGBA, 8, {{1, 2, 3, 0, 200, 150, 100, 128}});
    pngInfo info;
    ASSERT_NE(load(writePng("rgba.png", rgba), PNG_ALPHA, &info), 0u);
    expectTexels(2, 1, {1, 2, 3, 0, 200, 150, 100, 128}, true);
    EXPECT_EQ(info.Width, 2u);
    EXPECT_EQ(info.Height, 1u);
    EXPECT_EQ(info.Depth, 8u);
    EXPECT_EQ(info.Alpha, 8u);
    // The ink: only the second texel has alpha.
    EXPECT_EQ(std::vector<unsigned>({info.InkLeft, info.InkTop, info.InkRight, info.InkBottom}),
              std::vector<unsigned>({1, 0, 2, 1}));

    // PNG_SOLID drops the alpha channel.
    ASSERT_NE(load(tempDir() + "/rgba.png", PNG_SOLID, &info), 0u);
    expectTexels(2, 1, {1, 2, 3, 255, 200, 150, 100, 255}, false);
    EXPECT_EQ(info.Alpha, 0u);
    EXPECT_EQ(info.InkLeft + info.InkTop, 0u) << "without alpha the ink is the whole picture";
    EXPECT_EQ(info.InkRight * info.InkBottom, 2u);
}

TEST_F(Png, GreyOfEveryDepthBecomesRgb)
{
    PngSpec g8 = spec(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{7, 250}});
    ASSERT_NE(load(writePng("g8.png", g8)), 0u);
    expectTexels(2, 1, {7, 7, 7, 255, 250, 250, 250, 255}, false);

    // 1, 2 and 4 bits scale to the full range: level * 255 / (2^depth - 1).
    PngSpec g1 = spec(8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0xA5}});   // 1 0 1 0 0 1 0 1
    ASSERT_NE(load(writePng("g1.png", g1)), 0u);
    std::vector<int> want;
    for (int bit : {1, 0, 1, 0, 0, 1, 0, 1})
        want.insert(want.end(), {bit * 255, bit * 255, bit * 255, 255});
    expectTexels(8, 1, want, false);

    PngSpec g2 = spec(4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0x1B}});   // 0 1 2 3
    ASSERT_NE(load(writePng("g2.png", g2)), 0u);
    expectTexels(4, 1, {0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 255, 255, 255, 255, 255},
                 false);

    PngSpec g4 = spec(2, 1, PNG_COLOR_TYPE_GRAY, 4, {{0x3C}});   // 3 12
    ASSERT_NE(load(writePng("g4.png", g4)), 0u);
    expectTexels(2, 1, {51, 51, 51, 255, 204, 204, 204, 255}, false);

    PngSpec ga = spec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{90, 40, 160, 255}});
    ASSERT_NE(load(writePng("ga.png", ga)), 0u);
    expectTexels(2, 1, {90, 90, 90, 40, 160, 160, 160, 255}, true);
}

TEST_F(Png, PalettesExpandAndTrnsBecomesAlpha)
{
    PngSpec pal = spec(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{2, 0, 1}});
    pal.palette = {{255, 0, 0}, {0, 128, 0}, {10, 20, 30}};
    ASSERT_NE(load(writePng("pal.png", pal)), 0u);
    expectTexels(3, 1, {10, 20, 30, 255, 255, 0, 0, 255, 0, 128, 0, 255}, false);

    PngSpec pal4 = spec(2, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x10}});   // entries 1, 0
    pal4.palette = {{1, 2, 3}, {200, 100, 50}};
    pal4.trnsAlpha = {0};   // entry 0 transparent; entries past the list opaque
    ASSERT_NE(load(writePng("pal4.png", pal4)), 0u);
    expectTexels(2, 1, {200, 100, 50, 255, 1, 2, 3, 0}, true);
    // PNG_SOLID drops a palette's transparency as it drops an alpha channel.
    pngInfo info;
    ASSERT_NE(load(tempDir() + "/pal4.png", PNG_SOLID, &info), 0u);
    expectTexels(2, 1, {200, 100, 50, 255, 1, 2, 3, 255}, false);
    EXPECT_EQ(info.Alpha, 0u);

    PngSpec key = spec(2, 1, PNG_COLOR_TYPE_RGB, 8, {{9, 8, 7, 1, 2, 3}});
    key.trnsColor = true;
    key.trnsKey.red = 9;
    key.trnsKey.green = 8;
    key.trnsKey.blue = 7;
    ASSERT_NE(load(writePng("key.png", key)), 0u);
    expectTexels(2, 1, {9, 8, 7, 0, 1, 2, 3, 255}, true);

    PngSpec gkey = spec(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{33, 34}});
    gkey.trnsColor = true;
    gkey.trnsKey.gray = 34;
    ASSERT_NE(load(writePng("gkey.png", gkey)), 0u);
    expectTexels(2, 1, {33, 33, 33, 255, 34, 34, 34, 0}, true);
}

TEST_F(Png, SixteenBitChannelsRoundToEight)
{
    // Big-endian samples; 0x8080 -> 128, 0x7F7F -> 127, 0x0101 -> 1, 0xFFFF -> 255.
    PngSpec rgb16 = spec(1, 2, PNG_COLOR_TYPE_RGB, 16,
                  {{0x80, 0x80, 0x7F, 0x7F, 0x01, 0x01}, {0xFF, 0xFF, 0x00, 0x00, 0x12, 0x34}});
    ASSERT_NE(load(writePng("rgb16.png", rgb16)), 0u);
    int last = (int)std::lround(0x1234 * 255.0 / 65535.0);
    expectTexels(1, 2, {128, 127, 1, 255, 255, 0, last, 255}, false);

    PngSpec rgba16 = spec(1, 1, PNG_COLOR_TYPE_RGBA, 16, {{0, 0, 0xFF, 0xFF, 0x40, 0x40, 0x80, 0x80}});
    ASSERT_NE(load(writePng("rgba16.png", rgba16)), 0u);
    expectTexels(1, 1, {0, 255, 64, 128}, true);

    PngSpec ga16 = spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{0xC8, 0xC8, 0x0A, 0x0A}});
    ASSERT_NE(load(writePng("ga16.png", ga16)), 0u);
    expectTexels(1, 1, {200, 200, 200, 10}, true);
}

TEST_F(Png, InterlacedFilesReadWhole)
{
    PngSpec s = spec(9, 9, PNG_COLOR_TYPE_GRAY, 8, {});
    std::vector<int> want;
    for (int y = 0; y < 9; y++) {
        s.rows.emplace_back();
        for (int x = 0; x < 9; x++) {
            int v = y * 20 + x;
            s.rows.back().push_back((unsigned char)v);
            want.insert(want.end(), {v, v, v, 255});
        }
    }
    s.interlace = true;
    ASSERT_NE(load(writePng("adam7.png", s)), 0u);
    expectTexels(9, 9, want, false);
}

TEST_F(Png, EveryCallMakesANewTextureLeftBound)
{
    PngSpec s = spec(1, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3}});
    std::string path = writePng("one.png", s);
    GLuint a = load(path), b = load(path);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((GLuint)bound, b);
    EXPECT_TRUE(glIsTexture(a));
}

TEST_F(Png, BrokenFilesGiveZeroAndLeaveGlAlone)
{
    PngSpec s = spec(16, 16, PNG_COLOR_TYPE_RGB, 8, {});
    for (int y = 0; y < 16; y++) {
        s.rows.emplace_back();
        for (int i = 0; i < 48; i++)
            s.rows.back().push_back((unsigned char)(y * 37 + i * 11));
    }
    std::string good = writePng("good.png", s);

    // Truncated in the image data, cut inside the header, empty, and not a PNG.
    std::string bytes;
    {
        FILE* f = std::fopen(good.c_str(), "rb");
        char buf[4096];
        size_t n = std::fread(buf, 1, sizeof buf, f);
        std::fclose(f);
        bytes.assign(buf, n);
    }
    auto writeBytes = [](const std::string& path, const std::string& data) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        return path;
    };
    std::string corrupt = bytes;
    corrupt[bytes.size() / 2 + 10] ^= 0x5A;   // inside the IDAT: CRC mismatch
    const std::string broken[] = {
        tempDir() + "/does-not-exist.png",
        writeBytes(tempDir() + "/cut.png", bytes.substr(0, bytes.size() - 30)),
        writeBytes(tempDir() + "/cuthead.png", bytes.substr(0, 20)),
        writeBytes(tempDir() + "/empty.png", ""),
        writeBytes(tempDir() + "/text.png", "this is not a picture at all, just words\n"),
        writeBytes(tempDir() + "/corrupt.png", corrupt),
        tempDir(),   // a directory
    };

    GLuint keep = load(good);
    ASSERT_NE(keep, 0u);
    while (glGetError() != GL_NO_ERROR) {
    }
    for (const std::string& path : broken) {
        pngInfo info{7, 7, 7, 7, 7, 7, 7, 7};
        GLuint name = pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT,
                              GL_NEAREST, GL_NEAREST);
        EXPECT_EQ(name, 0u) << path;
        EXPECT_STRNE(pngLastError(), "") << path;
        EXPECT_EQ(info.Width, 0u) << path;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ((GLuint)bound, keep) << path << ": a failed load changed the binding";
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << path;
    }
    // Loading still works afterwards.
    EXPECT_NE(load(good), 0u);
    EXPECT_STREQ(pngLastError(), "");
}

TEST_F(Png, ViewingGammaConvertsColourOnlyWhenSet)
{
    PngSpec s = spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{128, 128}});
    std::string path = writePng("gamma.png", s);

    ASSERT_NE(load(path), 0u);
    expectTexels(1, 1, {128, 128, 128, 128}, true);   // unset: as stored

    setenv("VIEWING_GAMMA", "2.2", 1);   // a usual display: as stored for a 1/2.2 file
    ASSERT_NE(load(path), 0u);
    std::vector<unsigned char> t = texels(1, 1);
    EXPECT_NEAR(t[0], 128, 1);

    setenv("VIEWING_GAMMA", "1", 1);     // a linear display: decoded to linear light
    ASSERT_NE(load(path), 0u);
    t = texels(1, 1);
    int linear = (int)std::lround(255 * std::pow(128 / 255.0, 2.2));
    EXPECT_NEAR(t[0], linear, 1);
    EXPECT_EQ(t[3], 128) << "alpha is never gamma-converted";

    setenv("VIEWING_GAMMA", "bright", 1);   // ignored
    ASSERT_NE(load(path), 0u);
    expectTexels(1, 1, {128, 128, 128, 128}, true);
    unsetenv("VIEWING_GAMMA");
}

TEST_F(Png, MipmapsWhenAskedAndTheFilterFallsBackWithout)
{
    PngSpec s = spec(2, 2, PNG_COLOR_TYPE_RGB, 8, {{0, 0, 0, 100, 100, 100}, {200, 200, 200, 100, 0, 20}});
    std::string path = writePng("mip.png", s);
    pngInfo info;
    ASSERT_NE(pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, &info, GL_CLAMP,
                      GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR),
              0u);
    EXPECT_EQ(texParam(GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(texParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(levelParam(GL_TEXTURE_WIDTH, 1), 1);
    std::vector<unsigned char> top = texels(1, 1, 1);
    EXPECT_EQ(top[0], 100);   // (0 + 100 + 200 + 100) / 4
    EXPECT_EQ(top[2], 80);    // (0 + 100 + 200 + 20) / 4

    ASSERT_NE(pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT,
                      GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST),
              0u);
    EXPECT_EQ(texParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}
