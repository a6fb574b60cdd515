// The C64 scene on real GL: the blue screen and the clear colours it leaves,
// the beat-driven sphere cloud, the ring tunnel with its roll and beat grey,
// the pulsing pyramid, and the state each frame hands over.
#include "scenes1_support.h"

#include "platform/sound.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

using namespace scenes1;

namespace {

const RGBA LIGHT_BLUE = {122, 110, 217, 255};   // (0.48, 0.43, 0.85)
const RGBA DARK_BLUE = {69, 49, 162, 255};
const RGBA BLACK = {0, 0, 0, 255};

class C64 : public ::testing::Test {
protected:
    void SetUp() override
    {
        sceneState();
        std::srand(1);   // the random table a fresh process's start-up makes
        genrandtab();
    }
    void TearDown() override { glClearColor(0, 0, 0, 1); }

    void frameAt(float t)
    {
        Time = t;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawC64Scene();
        expectHandOver("c64");
        expectCurrentColour(1, 1, 1, 1, "c64");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }

    // Runs the scene at `t` in feedback through a projection that is a plain
    // scale, so that window coordinates give eye coordinates back: `ortho`
    // is glOrtho's box, `turn` degrees about y turn the view first. The
    // show's perspective is put back afterwards.
    std::vector<FbPolygon> sceneThroughOrtho(float t, std::array<double, 6> ortho, double turn)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(ortho[0], ortho[1], ortho[2], ortho[3], ortho[4], ortho[5]);
        glRotated(turn, 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        Time = t;
        auto polys = feedback([] { drawC64Scene(); });
        glfix::context();
        return polys;
    }
};

bool isColour(RGBA p, RGBA c, int tol = 1)
{
    return std::abs(p[0] - c[0]) <= tol && std::abs(p[1] - c[1]) <= tol &&
           std::abs(p[2] - c[2]) <= tol;
}

// Pixels of the given colour in the canvas rectangle x0..x1, y0..y1.
int countColour(int x0, int y0, int x1, int y1, RGBA c)
{
    std::vector<unsigned char> px((size_t)(x1 - x0) * (y1 - y0) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, 600 - y1, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    int n = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        n += isColour({px[i], px[i + 1], px[i + 2], 255}, c);
    return n;
}

// Where a sphere placed at p (before the cloud's turn) lands on the canvas
// for this beat count and time.
CanvasPoint cloudPoint(std::array<double, 3> p, int beats, float t)
{
    float a = (float)(beats * 100) + t * 25, b = (float)(beats * 100) + t * 10;
    auto v = rotate(rotate(p, b, 0, 1, 0), a, 1, 0, 1);
    return project(v[0], v[1], v[2] - 9);
}

double degrees(double rad) { return rad * 180 / M_PI; }

// Each ring corner seen from the view axis lies at +-33.69 degrees (the
// 0.9 x 0.6 rectangle; the canvas keeps angles since one unit is the same
// number of pixels across as down) from the horizontal, turned by the roll.
// Vertices that clipping put on the viewport's border are skipped.
void expectRingsRolledBy(const std::vector<FbPolygon>& rings, double roll)
{
    double corner = degrees(std::atan2(0.6, 0.9));
    int checked = 0;
    for (const FbPolygon& p : rings)
        for (const FbVertex& v : p) {
            if (v.x < 0.5 || v.x > 799.5 || v.y < 0.5 || v.y > 599.5)
                continue;
            double a = degrees(std::atan2(v.y - 300, v.x - 400)) - roll;
            double best = 1e9;
            for (double c : {corner, -corner, 180 - corner, corner - 180})
                for (double turn : {-360.0, 0.0, 360.0})
                    best = std::min(best, std::fabs(a - c + turn));
            EXPECT_LT(best, 0.05) << "vertex at " << v.x << ", " << v.y;
            checked++;
        }
    EXPECT_GT(checked, 100);
}

}  // namespace

TEST_F(C64, FirstFrameClearsBlackThenLightBlueAroundTheDarkScreen)
{
    platSoundSetManual(true);
    glClearColor(0, 0, 0, 1);   // as the intro leaves it
    platSoundSetManualTime(22501);
    DrawGLScene();
    expectColour(glfix::canvasPixel(10, 10), BLACK, 0, "first frame, border");
    expectColour(glfix::canvasPixel(400, 300), DARK_BLUE, 0, "first frame, screen");
    auto c = clearColour();
    EXPECT_FLOAT_EQ(c[0], 0.48f);
    EXPECT_FLOAT_EQ(c[1], 0.43f);
    EXPECT_FLOAT_EQ(c[2], 0.85f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);

    platSoundSetManualTime(22517);
    DrawGLScene();
    expectHandOver("c64 through the timeline");
    expectCurrentColour(1, 1, 1, 1, "c64 through the timeline");
    // The screen covers canvas x 64 to 734, y 96 to 516; no letterbox.
    struct Probe {
        int x, y;
        RGBA want;
    } probes[] = {
        {10, 10, LIGHT_BLUE},  {400, 30, LIGHT_BLUE},  {400, 580, LIGHT_BLUE},
        {63, 300, LIGHT_BLUE}, {64, 300, DARK_BLUE},   {733, 300, DARK_BLUE},
        {734, 300, LIGHT_BLUE}, {400, 95, LIGHT_BLUE}, {400, 96, DARK_BLUE},
        {400, 515, DARK_BLUE}, {400, 516, LIGHT_BLUE}, {400, 300, DARK_BLUE},
    };
    for (const Probe& p : probes)
        expectColour(glfix::canvasPixel(p.x, p.y), p.want, 1, "second frame");
}

TEST_F(C64, SixtySpheresOnlyInsideTheirWindowAndNothingButTheScreenAt37)
{
    temp = 30;
    frameAt(30.0f);
    EXPECT_GT(countColour(64, 96, 734, 516, LIGHT_BLUE), 2000) << "the cloud at 30 s";
    for (float t : {23.0f, 25.0f, 37.0f}) {
        frameAt(t);
        EXPECT_EQ(countColour(64, 96, 734, 516, LIGHT_BLUE), 0) << "at " << t;
        EXPECT_EQ(countColour(64, 96, 734, 516, DARK_BLUE), 670 * 420) << "at " << t;
    }

    // Sixty of them. Placed a unit apart on a 4 x 4 x 4 grid (four points
    // left out) and seen through a plain scale (window x = 100 x + 400,
    // y = 100 y + 300, depth = -z / 20), the polygons of one sphere have
    // their centres within its radius, 0.2, of its own; those of two spheres
    // lie at least 0.6 apart. Polygons within half a unit are one sphere.
    for (int i = 0; i < 60; i++)
        vRand[i] = {3.0f * (i % 4) - 4.5f, 3.0f * (i / 4 % 4) - 4.5f, 3.0f * (i / 16) - 4.5f};
    std::vector<std::array<double, 3>> spheres;
    for (const FbPolygon& p : sceneThroughOrtho(30.0f, {-4, 4, -3, 3, 0, 20}, 0)) {
        if (std::fabs(p[0].r - 0.48f) > 1e-3 || std::fabs(p[0].b - 0.85f) > 1e-3)
            continue;   // the screen behind them
        std::array<double, 3> c{};
        for (const FbVertex& v : p) {
            c[0] += (v.x - 400) / 100 / p.size();
            c[1] += (v.y - 300) / 100 / p.size();
            c[2] += -20.0 * v.z / p.size();
        }
        bool known = false;
        for (const auto& s : spheres)
            known = known || std::hypot(c[0] - s[0], c[1] - s[1], c[2] - s[2]) < 0.5;
        if (!known)
            spheres.push_back(c);
    }
    EXPECT_EQ(spheres.size(), 60u);
}

TEST_F(C64, TheTunnelIs190RingsThreeUnitsApartComingAtFiveUnitsASecond)
{
    // Seen from the side (a quarter turn about y, then glOrtho: window
    // x = eye z + 700, y = 100 eye y + 300), every face of a ring spans its
    // 1.4 units of depth, so the middle of a face's window x range is the
    // ring's depth + 700. Ring i is at 5 (Time - 37) - 3 i for i up to 189:
    // at 46 s ring 0 is 45 units behind the eye, at 51.5 s 72.5. Rings the
    // show's camera cannot see (wholly behind the eye or past its far plane,
    // 100 units) may be left out; every ring wholly in between is there, and
    // nothing else. The rings are grey (syncbpm), the pyramid light blue and
    // black.
    syncbpm = 0.5f;
    for (float t : {46.0f, 51.5f}) {
        std::map<long, int> faces;   // ring depth + 700, in 1/100 units -> faces
        for (const FbPolygon& p : sceneThroughOrtho(t, {-700, 100, -3, 3, -10, 10}, 90)) {
            if (std::fabs(p[0].r - 0.5f) > 1e-3 || std::fabs(p[0].b - 0.5f) > 1e-3)
                continue;
            double lo = 1e9, hi = -1e9;
            for (const FbVertex& v : p) {
                lo = std::min(lo, (double)v.x);
                hi = std::max(hi, (double)v.x);
            }
            EXPECT_NEAR(hi - lo, 1.4, 1e-3) << t;
            faces[std::lround((lo + hi) / 2 * 100)]++;
        }
        std::set<long> places, seen;   // the 190 places; those that must be seen
        for (int i = 0; i < 190; i++) {
            double z = 5.0 * (t - 37) - 3.0 * i;
            places.insert(std::lround((z + 700) * 100));
            if (z + 0.7 < -0.1 && z - 0.7 > -100)
                seen.insert(std::lround((z + 700) * 100));
        }
        ASSERT_GE(seen.size(), 30u) << t;
        // Places match to two hundredths of a unit (float arithmetic).
        int perRing = faces.empty() ? 0 : faces.begin()->second;   // its faces, as GL splits them
        for (long x : seen) {
            auto it = faces.lower_bound(x - 2);
            EXPECT_TRUE(it != faces.end() && it->first <= x + 2)
                << "at " << t << " s no ring at window x " << x / 100.0;
        }
        for (const auto& [x, n] : faces) {
            auto it = places.lower_bound(x - 2);
            EXPECT_TRUE(it != places.end() && *it <= x + 2)
                << "at " << t << " s a ring at window x " << x / 100.0;
            EXPECT_EQ(n, perRing) << "at " << t << " s the ring at window x " << x / 100.0;
        }
    }
}

TEST_F(C64, TheCloudTurnsWithTimeAndJumps100DegreesOnEachBeat)
{
    // Sphere 0 at the turning point, the other 59 together two units off it.
    vRand[0] = {0, 0, 0};
    for (int i = 1; i < 60; i++)
        vRand[i] = {6, 0, 0};
    for (int beats : {12, 13, 14}) {
        temp = beats;
        frameAt(31.5f);
        expectColour(glfix::canvasPixel(400, 300), LIGHT_BLUE, 1, "the turning point");
        CanvasPoint p = cloudPoint({2, 0, 0}, beats, 31.5f);
        expectColour(glfix::canvasPixel(p.x, p.y), LIGHT_BLUE, 1, "the cloud's other sphere");
        // Where the previous beat put it, the screen shows again.
        CanvasPoint before = cloudPoint({2, 0, 0}, beats - 1, 31.5f);
        if (std::hypot(before.x - p.x, before.y - p.y) > 50)
            expectColour(glfix::canvasPixel(before.x, before.y), DARK_BLUE, 1, "a beat earlier");
    }
}

TEST_F(C64, At45TheRingsAreLightBlueUnrolledAndTheClearColourStays)
{
    glClearColor(0.1f, 0.2f, 0.3f, 1);
    Time = 45.0f;
    syncbpm = 0.5f;
    auto polys = feedback([] { drawC64Scene(); });
    ASSERT_GT(polys.size(), 4u);
    std::vector<FbPolygon> rings(polys.begin(), polys.end() - 4);
    for (const FbPolygon& p : rings)
        for (const FbVertex& v : p) {
            EXPECT_FLOAT_EQ(v.r, 0.48f);
            EXPECT_FLOAT_EQ(v.g, 0.43f);
            EXPECT_FLOAT_EQ(v.b, 0.85f);
        }
    expectRingsRolledBy(rings, 0);
    auto c = clearColour();
    EXPECT_FLOAT_EQ(c[0], 0.1f);
    EXPECT_FLOAT_EQ(c[2], 0.3f);

    // No screen: the centre of the view shows the tunnel and pyramid or the
    // clear colour, never dark blue.
    frameAt(45.0f);
    EXPECT_EQ(countColour(64, 96, 734, 516, DARK_BLUE), 0);
}

TEST_F(C64, After45TheRingsRollAndTheirGreyFollowsTheBeat)
{
    for (float s : {0.0f, 0.3f, 1.0f}) {
        Time = 46.0f;
        syncbpm = s;
        auto polys = feedback([] { drawC64Scene(); });
        ASSERT_GT(polys.size(), 4u);
        std::vector<FbPolygon> rings(polys.begin(), polys.end() - 4);
        for (const FbPolygon& p : rings)
            for (const FbVertex& v : p) {
                EXPECT_FLOAT_EQ(v.r, s);
                EXPECT_FLOAT_EQ(v.g, s);
                EXPECT_FLOAT_EQ(v.b, s);
            }
        if (s == 0.3f)
            expectRingsRolledBy(rings, 25);   // (46 - 45) x 25 degrees
    }
    Time = 47.2f;
    auto polys = feedback([] { drawC64Scene(); });
    expectRingsRolledBy(std::vector<FbPolygon>(polys.begin(), polys.end() - 4), 55);

    // The clear colour turns black with the grey rings, from the next frame.
    glClearColor(0.48f, 0.43f, 0.85f, 1);
    frameAt(46.0f);
    auto c = clearColour();
    EXPECT_EQ(c[0] + c[1] + c[2], 0.0f);
    EXPECT_EQ(c[3], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    expectColour(glfix::canvasPixel(10, 10), BLACK, 0, "cleared");
}

TEST_F(C64, ThePyramidHangsAheadAndGlidesNearerUntilTheNextBeat)
{
    for (float s : {0.0f, 0.5f, 1.0f}) {
        Time = 40.0f;
        syncbpm = s;
        auto polys = feedback([] { drawC64Scene(); });
        ASSERT_GE(polys.size(), 4u);
        // Apex down: (0, 1, 0) turned over and scaled is (0, -0.4, 0) about
        // the centre (0, -0.2, s - 4).
        CanvasPoint apex = project(0, -0.6, s - 4);
        for (int face = 0; face < 4; face++) {
            const FbPolygon& p = polys[polys.size() - 4 + face];
            ASSERT_EQ(p.size(), 3u);
            EXPECT_NEAR(p[0].x, apex.x, 0.01) << "face " << face;
            EXPECT_NEAR(600 - p[0].y, apex.y, 0.01) << "face " << face << " at syncbpm " << s;
            for (const FbVertex& v : p) {
                EXPECT_FLOAT_EQ(v.r, face % 2 ? 0.0f : 0.48f) << "face " << face;
                EXPECT_FLOAT_EQ(v.b, face % 2 ? 0.0f : 0.85f) << "face " << face;
            }
        }
    }
    frameAt(40.0f);
}
