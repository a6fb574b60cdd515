// mesh_face: a smooth mask-like human head, 10 units tall, facing +z.
//
// A latitude-longitude grid over an egg-shaped skull, one vertex at each
// pole. The grid is denser towards the front and the middle rows, where the
// features are. The features are smooth bumps and dents pushed along +z on
// the front half: brow ridge, eye sockets with the eyeballs in them, the
// nose with its wings, cheekbones, lips with the mouth line, the chin.
// Positions carry their own normals (by finite differences of the surface)
// for the "p//n" faces; the loader computes its own from the triangles.
#include "mesh_obj.h"
#include "paint.h"

#include <cmath>

namespace {

const float pi = 3.14159265f;

float gauss(float x) { return std::exp(-x * x); }
float gauss2(float x, float y) { return std::exp(-(x * x + y * y)); }

// Front-plane relief at (x, y): units towards the viewer.
float relief(float x, float y)
{
    float ax = std::fabs(x);
    float h = 0.f;
    h += 0.30f * gauss((y - 1.55f) / 0.35f) * gauss(x / 2.1f);                 // brow ridge
    h -= 0.80f * gauss2((ax - 1.25f) / 0.72f, (y - 0.78f) / 0.50f);            // eye sockets
    h += 0.42f * gauss2((ax - 1.25f) / 0.40f, (y - 0.74f) / 0.30f);            // eyeballs
    h += 0.25f * gauss2((ax - 1.75f) / 0.60f, (y + 0.05f) / 0.50f);            // cheekbones
    // Nose: a ridge from between the eyes, widening and rising to the tip.
    float t = clamp01((1.1f - y) / 2.0f);
    float ridge = (0.22f + 1.05f * std::pow(t, 1.6f)) * gauss(x / (0.26f + 0.22f * t));
    if (y < -0.9f)
        ridge *= gauss((y + 0.9f) / 0.22f);
    if (y > 1.0f)
        ridge *= gauss((y - 1.0f) / 0.35f);   // fades out between the brows
    h += ridge;
    h += 0.30f * gauss2((ax - 0.42f) / 0.24f, (y + 0.92f) / 0.20f);            // nose wings
    h -= 0.10f * gauss2((ax - 0.30f) / 0.12f, (y + 1.08f) / 0.07f);            // nostrils
    h += 0.32f * gauss2(x / 1.30f, (y + 2.05f) / 0.75f);                       // muzzle
    h += 0.24f * gauss2(x / 0.85f, (y + 1.93f) / 0.15f);                       // upper lip
    h -= 0.22f * gauss2(x / 0.80f, (y + 2.17f) / 0.06f);                       // mouth line
    h += 0.22f * gauss2(x / 0.70f, (y + 2.40f) / 0.16f);                       // lower lip
    h -= 0.14f * gauss2(x / 0.80f, (y + 2.78f) / 0.20f);                       // under the lip
    h += 0.42f * gauss2(x / 0.95f, (y + 3.45f) / 0.45f);                       // chin
    return h;
}

// The surface point at longitude ph (0 = front, +z) and colatitude th (0 = top).
Vec3 headPoint(float ph, float th)
{
    float dx = std::sin(th) * std::sin(ph), dy = std::cos(th), dz = std::sin(th) * std::cos(ph);
    // Egg: wide cranium, narrower jaw; the back of the skull a little deeper.
    float x = 3.4f * dx * (1.f - 0.24f * smooth(0.1f, -0.9f, dy));
    float y = 5.0f * dy;
    float z = dz >= 0.f ? 3.7f * std::pow(dz, 0.85f) : 4.1f * dz;
    z *= 1.f - 0.15f * smooth(-0.2f, -0.95f, dy);   // the jaw recedes
    float front = smooth(0.2f, 0.6f, dz);
    z += front * relief(x, y);
    return {x, y, z};
}

} // namespace

Mesh makeFace()
{
    const int nu = 80, nv = 64;
    Mesh m;
    m.header = "face: a smooth mask-like head, 10 units tall, facing +z";
    m.style = FaceStyle::PosNorm;
    // Warped grid: longitude and colatitude steps are finer near the front
    // and the middle rows.
    auto phAt = [&](int i) {
        float s = -1.f + 2.f * i / nu;
        return pi * (0.5f * s + 0.5f * s * s * s);
    };
    auto thAt = [&](int j) {
        float w = -1.f + 2.f * j / nv;
        return 0.5f * pi * (1.f + 0.6f * w + 0.4f * w * w * w);
    };
    auto normalAt = [&](float ph, float th) {
        const float e = 0.002f;
        Vec3 a = headPoint(ph + e, th) - headPoint(ph - e, th);
        Vec3 b = headPoint(ph, th + e) - headPoint(ph, th - e);
        Vec3 n = normalize(cross(b, a));
        return dot(n, headPoint(ph, th)) < 0.f ? n * -1.f : n;   // outwards
    };
    m.pos.push_back(headPoint(0, 0));
    m.nrm.push_back({0, 1, 0});
    for (int j = 1; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            m.pos.push_back(headPoint(phAt(i), thAt(j)));
            m.nrm.push_back(normalAt(phAt(i), thAt(j)));
        }
    m.pos.push_back(headPoint(0, pi));
    m.nrm.push_back({0, -1, 0});
    int south = (int)m.pos.size() - 1;
    auto ring = [&](int j, int i) { return 1 + (j - 1) * nu + (i % nu); };

    // Front columns (the middle half of the longitudes) are the group "face",
    // the rest "scalp".
    auto isFront = [&](int i) { return i >= nu / 4 && i < 3 * nu / 4; };
    for (int pass = 0; pass < 2; pass++) {
        m.beginGroup(pass == 0 ? "face" : "scalp");
        for (int i = 0; i < nu; i++) {
            if (isFront(i) != (pass == 0))
                continue;
            int top[3] = {0, ring(1, i), ring(1, i + 1)};
            m.addFace(top, nullptr, top, 3);
            for (int j = 1; j < nv - 1; j++) {
                int a[3] = {ring(j, i), ring(j + 1, i), ring(j + 1, i + 1)};
                m.addFace(a, nullptr, a, 3);
                int b[3] = {ring(j, i), ring(j + 1, i + 1), ring(j, i + 1)};
                m.addFace(b, nullptr, b, 3);
            }
            int bot[3] = {south, ring(nv - 1, i + 1), ring(nv - 1, i)};
            m.addFace(bot, nullptr, bot, 3);
        }
    }
    orientFaces(m, 0, (int)m.faces.size(), [&](int f) { return faceCentroid(m, f); });
    return m;
}
