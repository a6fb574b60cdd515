// The committed assets under data/: every texture decodes with the size and
// channels its slot needs, and the pictures have the shape their role needs
// (see-through where the show blends them, a pure vertical gradient for the
// copper bar); every mesh has its counts, valid indices, and faces wound so
// the normals the loader averages point the way the show looks at them.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Picture {
    int w = 0, h = 0, channels = 0;
    std::vector<unsigned char> px;   // row by row from the file's first row
    int at(int x, int y, int c) const { return px[((size_t)y * w + x) * channels + c]; }
};

// Decodes an 8-bit RGB or RGBA PNG with libpng; channels 0 when it cannot.
Picture readPng(const std::string& path)
{
    Picture p;
    FILE* volatile f = std::fopen(path.c_str(), "rb");
    if (!f)
        return p;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return Picture();
    }
    png_init_io(png, f);
    png_read_info(png, info);
    int type = png_get_color_type(png, info), depth = png_get_bit_depth(png, info);
    p.w = (int)png_get_image_width(png, info);
    p.h = (int)png_get_image_height(png, info);
    if (depth == 8 && (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGBA)) {
        p.channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
        p.px.resize((size_t)p.w * p.h * p.channels);
        for (int y = 0; y < p.h; y++)
            png_read_row(png, &p.px[(size_t)y * p.w * p.channels], nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return p;
}

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

struct Expect {
    const char* file;
    int w, h, channels;
};

// Every file of the texture manifest (bandaid.png serves two slots).
const Expect textures[] = {
    {"fyllecell_01", 512, 512, 4}, {"copper", 64, 32, 3},       {"orvel", 256, 256, 3},
    {"c64", 512, 512, 3},          {"fyllecell_02", 512, 512, 4}, {"inter01", 256, 256, 3},
    {"inter02", 256, 256, 3},      {"fyllecell_03", 512, 512, 4}, {"boll", 256, 256, 4},
    {"extra01", 256, 256, 4},      {"extra02", 256, 256, 4},      {"envmap3", 256, 256, 3},
    {"check2", 256, 256, 3},       {"bandaid", 128, 128, 3},      {"bubblan", 512, 512, 4},
    {"pratbubbla", 256, 256, 4},   {"fyllecell_04", 512, 512, 4}, {"1995", 512, 512, 4},
};

std::string texPath(const char* name) { return std::string("data/textures/") + name + ".png"; }

TEST(AssetsTextures, EveryFileDecodesWithItsSizeAndChannels)
{
    for (const Expect& e : textures) {
        SCOPED_TRACE(e.file);
        Picture p = readPng(texPath(e.file));
        ASSERT_GT(p.channels, 0) << "missing or not an 8-bit RGB/RGBA PNG";
        EXPECT_EQ(p.w, e.w);
        EXPECT_EQ(p.h, e.h);
        EXPECT_EQ(p.channels, e.channels);
        EXPECT_TRUE(powerOfTwo(p.w) && powerOfTwo(p.h));
    }
}

// Fractions of fully clear and fully opaque texels.
void alphaShare(const Picture& p, double* clear, double* solid)
{
    size_t c = 0, s = 0, n = (size_t)p.w * p.h;
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int a = p.at(x, y, 3);
            c += a == 0;
            s += a == 255;
        }
    *clear = (double)c / n;
    *solid = (double)s / n;
}

TEST(AssetsTextures, BlendedPicturesAreMostlyClearWithSolidLetters)
{
    // Captions: letters with outlines on a clear sheet, and nothing in the
    // rows the letterbox can cover (above 60 and below 420 the wobble and the
    // bands leave no safe place).
    for (const char* name : {"fyllecell_01", "fyllecell_02", "fyllecell_03", "fyllecell_04", "1995"}) {
        SCOPED_TRACE(name);
        Picture p = readPng(texPath(name));
        ASSERT_EQ(p.channels, 4);
        double clear, solid;
        alphaShare(p, &clear, &solid);
        EXPECT_GT(clear, 0.6);
        EXPECT_GT(solid, 0.03);
        for (int y = 0; y < p.h; y++) {
            if (y >= 60 && y < 420)
                continue;
            for (int x = 0; x < p.w; x += 7)
                ASSERT_EQ(p.at(x, y, 3), 0) << "ink at row " << y;
        }
    }
}

TEST(AssetsTextures, SpritesFadeToClearAtTheirCorners)
{
    Picture ball = readPng(texPath("boll"));
    ASSERT_EQ(ball.channels, 4);
    EXPECT_GT(ball.at(128, 128, 3), 200);   // bright core
    EXPECT_EQ(ball.at(0, 0, 3), 0);
    EXPECT_EQ(ball.at(255, 128, 3), 0);
    EXPECT_EQ(ball.at(128, 128, 0), 255);   // white, the show tints it
    EXPECT_GT(ball.at(128, 64, 3), ball.at(128, 20, 3));   // falls off outwards

    Picture bubble = readPng(texPath("bubblan"));
    ASSERT_EQ(bubble.channels, 4);
    EXPECT_LT(bubble.at(256, 300, 3), 80);   // the captions behind stay readable
    EXPECT_GT(bubble.at(256, 14, 3), 150);   // a rim
    EXPECT_EQ(bubble.at(0, 0, 3), 0);
    EXPECT_EQ(bubble.at(511, 511, 3), 0);
}

TEST(AssetsTextures, CopperIsOneVerticalGradientBrightestInTheMiddle)
{
    Picture p = readPng(texPath("copper"));
    ASSERT_EQ(p.channels, 3);
    for (int y = 0; y < p.h; y++)
        for (int x = 1; x < p.w; x++)
            for (int c = 0; c < 3; c++)
                ASSERT_EQ(p.at(x, y, c), p.at(0, y, c)) << "row " << y << " varies across";
    auto lum = [&](int y) { return p.at(0, y, 0) + p.at(0, y, 1) + p.at(0, y, 2); };
    EXPECT_GT(lum(15), lum(0) + 300);
    EXPECT_GT(lum(16), lum(31) + 300);
}

TEST(AssetsTextures, TiledPicturesWrapWithoutASeam)
{
    // A tile that repeats must continue across its edges: the last column
    // against the first differs no more than neighbouring columns inside.
    for (const char* name : {"check2", "orvel", "bandaid"}) {
        SCOPED_TRACE(name);
        Picture p = readPng(texPath(name));
        ASSERT_EQ(p.channels, 3);
        auto colDiff = [&](int a, int b) {
            long d = 0;
            for (int y = 0; y < p.h; y++)
                for (int c = 0; c < 3; c++)
                    d += std::abs(p.at(a, y, c) - p.at(b, y, c));
            return d;
        };
        long worstInside = 0;
        for (int x = 0; x + 1 < p.w; x++)
            worstInside = std::max(worstInside, colDiff(x, x + 1));
        EXPECT_LE(colDiff(p.w - 1, 0), worstInside);
    }
}

// ---- meshes ---------------------------------------------------------------

struct V3 {
    double x, y, z;
};
V3 sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 crossp(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dotp(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Obj {
    std::vector<V3> v;
    int vt = 0, vn = 0, quads = 0, tris = 0, groups = 0, comments = 0;
    std::map<std::string, int> forms;            // "p/t/n", "p/t", "p//n", "p"
    std::vector<std::array<int, 3>> triangles;   // position indices, 1-based, fan split
    bool indicesValid = true;
};

// Reads the text the way the show's loader must understand it: one
// statement a line, faces split into fans.
Obj readObj(const std::string& path)
{
    Obj o;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return o;
    std::vector<std::pair<int, int>> corners;   // (position, texcoord)
    std::vector<std::string> lines;
    char buf[512];
    while (std::fgets(buf, sizeof buf, f))
        lines.push_back(buf);
    std::fclose(f);
    for (const std::string& ln : lines) {
        char kw[16] = "";
        int off = 0;
        if (std::sscanf(ln.c_str(), "%15s%n", kw, &off) != 1)
            continue;
        if (!std::strcmp(kw, "v")) {
            V3 p;
            std::sscanf(ln.c_str() + off, "%lf %lf %lf", &p.x, &p.y, &p.z);
            o.v.push_back(p);
        } else if (!std::strcmp(kw, "vt"))
            o.vt++;
        else if (!std::strcmp(kw, "vn"))
            o.vn++;
        else if (!std::strcmp(kw, "g"))
            o.groups++;
        else if (kw[0] == '#')
            o.comments++;
    }
    for (const std::string& ln : lines) {
        if (ln.compare(0, 2, "f ") != 0)
            continue;
        std::vector<int> idx;
        const char* s = ln.c_str() + 2;
        char tok[64];
        int n;
        while (std::sscanf(s, "%63s%n", tok, &n) == 1) {
            s += n;
            int a, b, c;
            std::string form;
            if (std::strstr(tok, "//") && std::sscanf(tok, "%d//%d", &a, &c) == 2)
                form = "p//n", b = 1;
            else if (std::sscanf(tok, "%d/%d/%d", &a, &b, &c) == 3)
                form = "p/t/n";
            else if (std::sscanf(tok, "%d/%d", &a, &b) == 2)
                form = "p/t", c = 1;
            else if (std::sscanf(tok, "%d", &a) == 1)
                form = "p", b = c = 1;
            else
                break;
            o.forms[form]++;
            bool texOk = form == "p//n" || form == "p" || (b >= 1 && b <= o.vt);
            bool nrmOk = form == "p/t" || form == "p" || (c >= 1 && c <= o.vn);
            if (a < 1 || a > (int)o.v.size() || !texOk || !nrmOk)
                o.indicesValid = false;
            idx.push_back(a);
        }
        if (idx.size() == 4)
            o.quads++;
        else if (idx.size() == 3)
            o.tris++;
        for (size_t k = 1; k + 1 < idx.size(); k++)
            o.triangles.push_back({idx[0], idx[k], idx[k + 1]});
    }
    return o;
}

// Smooth normals as the loader makes them: area-weighted face normals
// summed per position.
std::vector<V3> vertexNormals(const Obj& o)
{
    std::vector<V3> n(o.v.size() + 1, V3{0, 0, 0});
    for (const auto& t : o.triangles) {
        V3 p0 = o.v[t[0] - 1];
        V3 fn = crossp(sub(o.v[t[1] - 1], p0), sub(o.v[t[2] - 1], p0));
        for (int j = 0; j < 3; j++) {
            V3& a = n[t[j]];
            a = {a.x + fn.x, a.y + fn.y, a.z + fn.z};
        }
    }
    return n;
}

// Share of positions whose averaged normal points along `away(p)`; and
// whether every position got a normal at all (an unused or degenerate
// position has none, and the loader would divide by zero).
double shareFacing(const Obj& o, V3 (*away)(V3), bool* allHaveNormals)
{
    std::vector<V3> n = vertexNormals(o);
    size_t good = 0;
    *allHaveNormals = true;
    for (size_t i = 0; i < o.v.size(); i++) {
        V3 a = n[i + 1];
        if (dotp(a, a) < 1e-12)
            *allHaveNormals = false;
        good += dotp(a, away(o.v[i])) > 0;
    }
    return (double)good / o.v.size();
}

struct Extent {
    V3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
};
Extent extentOf(const Obj& o)
{
    Extent e;
    for (const V3& p : o.v) {
        e.lo = {std::min(e.lo.x, p.x), std::min(e.lo.y, p.y), std::min(e.lo.z, p.z)};
        e.hi = {std::max(e.hi.x, p.x), std::max(e.hi.y, p.y), std::max(e.hi.z, p.z)};
    }
    return e;
}

TEST(AssetsMeshes, CountsAndFaceFormsAsBuilt)
{
    struct Count {
        const char* file;
        size_t v;
        int vt, vn, tris, quads, groups;
        const char* form;
    } counts[] = {
        {"torus2", 1152, 1225, 1152, 0, 1152, 1, "p/t/n"},
        {"face", 5042, 0, 5042, 10080, 0, 2, "p//n"},
        {"spikeball", 860, 571, 0, 1296, 0, 2, "p/t"},
        {"landscape_tube", 3120, 3185, 3120, 0, 3072, 1, "p/t/n"},
    };
    for (const Count& c : counts) {
        SCOPED_TRACE(c.file);
        Obj o = readObj(std::string("data/3d/") + c.file + ".obj");
        ASSERT_EQ(o.v.size(), c.v);
        EXPECT_EQ(o.vt, c.vt);
        EXPECT_EQ(o.vn, c.vn);
        EXPECT_EQ(o.tris, c.tris);
        EXPECT_EQ(o.quads, c.quads);
        EXPECT_EQ(o.groups, c.groups);
        EXPECT_GT(o.comments, 0);
        ASSERT_EQ(o.forms.size(), 1u);
        EXPECT_EQ(o.forms.begin()->first, c.form);
        EXPECT_TRUE(o.indicesValid);
        EXPECT_EQ(o.triangles.size(), (size_t)(c.tris + 2 * c.quads));
    }
}

TEST(AssetsMeshes, TorusFillsAThirdOfTheScreenAndFacesOutwards)
{
    Obj o = readObj("data/3d/torus2.obj");
    ASSERT_FALSE(o.v.empty());
    Extent e = extentOf(o);
    // The screen is 2 x 25 x tan(22.5 deg) = 20.7 units tall at 25 units.
    double across = e.hi.x - e.lo.x;
    EXPECT_GT(across / 20.7, 0.28);
    EXPECT_LT(across / 20.7, 0.40);
    bool all;
    double share = shareFacing(o, [](V3 p) {
        double r = std::sqrt(p.x * p.x + p.z * p.z);
        return V3{p.x - 2.5 * p.x / r, p.y, p.z - 2.5 * p.z / r};   // from the ring's core
    }, &all);
    EXPECT_TRUE(all);
    EXPECT_GT(share, 0.99);
}

TEST(AssetsMeshes, FaceIsAHeadTenUnitsTallLookingDownPlusZ)
{
    Obj o = readObj("data/3d/face.obj");
    ASSERT_FALSE(o.v.empty());
    Extent e = extentOf(o);
    EXPECT_NEAR(e.hi.y - e.lo.y, 10.0, 0.5);
    EXPECT_GT(o.triangles.size(), 3000u);
    // The nose tip is the frontmost point: on the middle line, below the eyes.
    V3 tip = o.v[0];
    for (const V3& p : o.v)
        if (p.z > tip.z)
            tip = p;
    EXPECT_NEAR(tip.x, 0.0, 0.2);
    EXPECT_GT(tip.y, -2.0);
    EXPECT_LT(tip.y, 0.5);
    EXPECT_GT(tip.z, 4.0);   // the nose stands out of a face about 3.7 deep
    bool all;
    double share = shareFacing(o, [](V3 p) { return p; }, &all);
    EXPECT_TRUE(all);
    EXPECT_GT(share, 0.97);
}

TEST(AssetsMeshes, SpikeballReachesFiveUnitsAndFacesOutwards)
{
    Obj o = readObj("data/3d/spikeball.obj");
    ASSERT_FALSE(o.v.empty());
    double far = 0;
    int tips = 0;
    for (const V3& p : o.v) {
        double r = std::sqrt(dotp(p, p));
        far = std::max(far, r);
        tips += r > 4.5;
    }
    EXPECT_NEAR(far, 5.0, 0.3);
    EXPECT_GE(tips, 30);   // many long spikes
    bool all;
    double share = shareFacing(o, [](V3 p) { return p; }, &all);
    EXPECT_TRUE(all);
    EXPECT_GT(share, 0.95);
}

TEST(AssetsMeshes, TubeWallFacesItsAxis)
{
    Obj o = readObj("data/3d/landscape_tube.obj");
    ASSERT_FALSE(o.v.empty());
    bool all;
    double share = shareFacing(o, [](V3 p) { return V3{-p.x, -p.y, 0}; }, &all);
    EXPECT_TRUE(all);
    EXPECT_GT(share, 0.99);
    Extent e = extentOf(o);
    EXPECT_NEAR(e.hi.z - e.lo.z, 60.0, 0.01);
}

}  // namespace
