// meshes: the four OBJ meshes, sized for where the show puts them.
//
//   torus2.obj          a smooth torus, 7 units across (a third of the screen
//                       height 25 units away); v, vt, vn; "p/t/n" quads.
//   face.obj            a mask-like head 10 units tall facing +z (built in
//                       mesh_face.cpp); v, vn; "p//n" triangles; two groups.
//   spikeball.obj       a ball with 42 long spikes, 5 units to the tips (the
//                       show scales it by 0.2); v, vt; "p/t" triangles.
//   landscape_tube.obj  a tube 60 units long whose inner wall is hilly;
//                       v, vt, vn; "p/t/n" quads.
//
// Every position is used by at least one face of non-zero area (the loader
// averages face normals per position and a lone position would have none),
// and faces wind counter-clockwise seen from the side their normals face
// (outwards; inwards for the tube, which is seen from inside).
#include "assetgen.h"
#include "mesh_obj.h"
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

const float pi = 3.14159265f;

Vec3 torusPoint(float u, float v, float R, float r)
{
    return {(R + r * std::cos(v)) * std::cos(u), r * std::sin(v), (R + r * std::cos(v)) * std::sin(u)};
}

Mesh makeTorus()
{
    const int nu = 48, nv = 24;
    const float R = 2.5f, r = 1.0f;
    Mesh m;
    m.header = "torus2: a smooth torus, ring radius 2.5, tube radius 1, about the y axis";
    m.style = FaceStyle::PosTexNorm;
    for (int i = 0; i < nu; i++)
        for (int j = 0; j < nv; j++) {
            float u = 2 * pi * i / nu, v = 2 * pi * j / nv;
            m.pos.push_back(torusPoint(u, v, R, r));
            m.nrm.push_back({std::cos(v) * std::cos(u), std::sin(v), std::cos(v) * std::sin(u)});
        }
    // Texture coordinates repeat the seam columns so the picture wraps once
    // around each way without a jump.
    for (int i = 0; i <= nu; i++)
        for (int j = 0; j <= nv; j++)
            m.tex.push_back({(float)i / nu, (float)j / nv});
    m.beginGroup("torus");
    for (int i = 0; i < nu; i++)
        for (int j = 0; j < nv; j++) {
            int i1 = (i + 1) % nu, j1 = (j + 1) % nv;
            int p[4] = {i * nv + j, i * nv + j1, i1 * nv + j1, i1 * nv + j};
            int t[4] = {i * (nv + 1) + j, i * (nv + 1) + j + 1, (i + 1) * (nv + 1) + j + 1,
                        (i + 1) * (nv + 1) + j};
            m.addFace(p, t, p, 4);
        }
    orientFaces(m, 0, (int)m.faces.size(), [&](int f) {
        // outwards from the ring's centre line
        Vec3 c = faceCentroid(m, f);
        float u = std::atan2(c.z, c.x);
        Vec3 ring = {R * std::cos(u), 0, R * std::sin(u)};
        return c - ring;
    });
    return m;
}

Mesh makeSpikeball()
{
    const int nu = 32, nv = 16, spikes = 42, sides = 8;
    const float core = 2.2f, baseDepth = 1.9f, tipLen = 5.0f, baseRadius = 0.45f;
    Mesh m;
    m.header = "spikeball: a ball of radius 2.2 with 42 spikes reaching 5 units from its centre";
    m.style = FaceStyle::PosTex;

    // The core: a latitude-longitude sphere with one vertex at each pole.
    m.pos.push_back({0, core, 0});
    for (int j = 1; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            float th = pi * j / nv, ph = 2 * pi * i / nu;
            m.pos.push_back({core * std::sin(th) * std::cos(ph), core * std::cos(th),
                             core * std::sin(th) * std::sin(ph)});
        }
    m.pos.push_back({0, -core, 0});
    int south = (int)m.pos.size() - 1;
    for (int j = 0; j <= nv; j++)
        for (int i = 0; i <= nu; i++)
            m.tex.push_back({(float)i / nu, 1.f - (float)j / nv});
    auto ring = [&](int j, int i) { return 1 + (j - 1) * nu + (i % nu); };   // j in 1..nv-1
    auto tx = [&](int j, int i) { return j * (nu + 1) + i; };
    m.beginGroup("core");
    for (int i = 0; i < nu; i++) {
        int p[3] = {0, ring(1, i + 1), ring(1, i)};
        int t[3] = {tx(0, i), tx(1, i + 1), tx(1, i)};
        m.addFace(p, t, nullptr, 3);
    }
    for (int j = 1; j < nv - 1; j++)
        for (int i = 0; i < nu; i++) {
            int a[3] = {ring(j, i), ring(j, i + 1), ring(j + 1, i + 1)};
            int ta[3] = {tx(j, i), tx(j, i + 1), tx(j + 1, i + 1)};
            m.addFace(a, ta, nullptr, 3);
            int b[3] = {ring(j, i), ring(j + 1, i + 1), ring(j + 1, i)};
            int tb[3] = {tx(j, i), tx(j + 1, i + 1), tx(j + 1, i)};
            m.addFace(b, tb, nullptr, 3);
        }
    for (int i = 0; i < nu; i++) {
        int p[3] = {south, ring(nv - 1, i), ring(nv - 1, i + 1)};
        int t[3] = {tx(nv, i), tx(nv - 1, i), tx(nv - 1, i + 1)};
        m.addFace(p, t, nullptr, 3);
    }
    int coreFaces = (int)m.faces.size();
    orientFaces(m, 0, coreFaces, [&](int f) { return faceCentroid(m, f); });

    // The spikes: open cones along evenly spread directions (a golden-angle
    // spiral), their bases sunk into the core.
    m.beginGroup("spikes");
    int texBase = (int)m.tex.size();
    for (int k = 0; k <= sides; k++)
        m.tex.push_back({(float)k / sides, 0.f});
    m.tex.push_back({0.5f, 1.f});
    for (int s = 0; s < spikes; s++) {
        float y = 1.f - 2.f * (s + 0.5f) / spikes;
        float rr = std::sqrt(1.f - y * y), ph = s * 2.39996323f;
        Vec3 d = {rr * std::cos(ph), y, rr * std::sin(ph)};
        Vec3 a = std::fabs(d.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
        Vec3 e1 = normalize(cross(d, a)), e2 = cross(d, e1);
        int first = (int)m.pos.size();
        for (int k = 0; k < sides; k++) {
            float an = 2 * pi * k / sides;
            m.pos.push_back(d * baseDepth + e1 * (baseRadius * std::cos(an)) + e2 * (baseRadius * std::sin(an)));
        }
        int tip = (int)m.pos.size();
        m.pos.push_back(d * tipLen);
        int from = (int)m.faces.size();
        for (int k = 0; k < sides; k++) {
            int p[3] = {first + k, first + (k + 1) % sides, tip};
            int t[3] = {texBase + k, texBase + k + 1, texBase + sides + 1};
            m.addFace(p, t, nullptr, 3);
        }
        orientFaces(m, from, (int)m.faces.size(), [&](int f) {
            Vec3 c = faceCentroid(m, f);
            return c - d * dot(c, d);   // away from the spike's axis
        });
    }
    return m;
}

// Rolling hills on the tube's inner wall: a few waves that close up around
// the tube, plus tiling value noise.
float hills(float u, float z)
{
    float h = 0.5f + 0.25f * std::sin(3 * u + z * 0.35f) + 0.15f * std::sin(5 * u - z * 0.6f + 1.3f);
    h += 0.45f * (valueNoise(u * 8 / (2 * pi), z * 0.25f, 8, 11u) - 0.5f);
    return 1.6f * std::max(0.f, h);
}

Mesh makeTube()
{
    const int nu = 48, nz = 64;
    const float radius = 5.f, length = 60.f;
    Mesh m;
    m.header = "landscape_tube: a tube of radius 5 and length 60 along z whose inner wall is a landscape of hills";
    m.style = FaceStyle::PosTexNorm;
    auto point = [&](float u, float z) {
        float r = radius - hills(u, z);
        return Vec3{r * std::cos(u), r * std::sin(u), z};
    };
    for (int k = 0; k <= nz; k++)
        for (int i = 0; i < nu; i++) {
            float u = 2 * pi * i / nu, z = -length / 2 + length * k / nz;
            m.pos.push_back(point(u, z));
            // normal by finite differences, facing the axis
            float du = 0.01f, dz = 0.01f;
            Vec3 a = point(u + du, z) - point(u - du, z), b = point(u, z + dz) - point(u, z - dz);
            Vec3 n = normalize(cross(b, a)), p = m.pos.back();
            m.nrm.push_back(n.x * p.x + n.y * p.y > 0.f ? n * -1.f : n);
        }
    for (int k = 0; k <= nz; k++)
        for (int i = 0; i <= nu; i++)
            m.tex.push_back({2.f * i / nu, (float)k * 6 / nz});
    m.beginGroup("hills");
    for (int k = 0; k < nz; k++)
        for (int i = 0; i < nu; i++) {
            int i1 = (i + 1) % nu;
            int p[4] = {k * nu + i, (k + 1) * nu + i, (k + 1) * nu + i1, k * nu + i1};
            int t[4] = {k * (nu + 1) + i, (k + 1) * (nu + 1) + i, (k + 1) * (nu + 1) + i + 1,
                        k * (nu + 1) + i + 1};
            m.addFace(p, t, p, 4);
        }
    orientFaces(m, 0, (int)m.faces.size(), [&](int f) {
        Vec3 c = faceCentroid(m, f);
        return Vec3{-c.x, -c.y, 0};   // towards the axis
    });
    return m;
}

} // namespace

bool makeMeshes(const std::string& outDir)
{
    bool ok = true;
    ok = writeObj(makeTorus(), outDir + "/3d/torus2.obj") && ok;
    ok = writeObj(makeFace(), outDir + "/3d/face.obj") && ok;
    ok = writeObj(makeSpikeball(), outDir + "/3d/spikeball.obj") && ok;
    ok = writeObj(makeTube(), outDir + "/3d/landscape_tube.obj") && ok;
    return ok;
}
