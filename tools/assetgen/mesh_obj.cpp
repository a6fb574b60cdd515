// mesh_obj: mesh helpers and the OBJ writer.
#include "mesh_obj.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

Vec3 normalize(Vec3 a)
{
    float l = std::sqrt(dot(a, a));
    return l > 0.f ? a * (1.f / l) : a;
}

void Mesh::addFace(const int* p, const int* t, const int* nn, int n)
{
    Face f{};
    f.n = n;
    for (int i = 0; i < n; i++) {
        f.p[i] = p[i];
        f.t[i] = t ? t[i] : 0;
        f.nn[i] = nn ? nn[i] : 0;
    }
    faces.push_back(f);
}

Vec3 faceCentroid(const Mesh& m, int face)
{
    const Face& f = m.faces[face];
    Vec3 c = {0, 0, 0};
    for (int i = 0; i < f.n; i++)
        c = c + m.pos[f.p[i]];
    return c * (1.f / f.n);
}

void orientFaces(Mesh& m, int from, int to, const std::function<Vec3(int)>& outward)
{
    double sum = 0;
    for (int i = from; i < to; i++) {
        const Face& f = m.faces[i];
        Vec3 p0 = m.pos[f.p[0]];
        Vec3 n = {0, 0, 0};
        for (int k = 1; k + 1 < f.n; k++)
            n = n + cross(m.pos[f.p[k]] - p0, m.pos[f.p[k + 1]] - p0);
        sum += dot(n, outward(i));
    }
    if (sum >= 0)
        return;
    for (int i = from; i < to; i++) {
        Face& f = m.faces[i];
        for (int a = 0, b = f.n - 1; a < b; a++, b--) {
            std::swap(f.p[a], f.p[b]);
            std::swap(f.t[a], f.t[b]);
            std::swap(f.nn[a], f.nn[b]);
        }
    }
}

bool writeObj(const Mesh& m, const std::string& path)
{
    std::string s;
    char buf[160];
    auto line = [&](const char* fmt, auto... args) {
        std::snprintf(buf, sizeof buf, fmt, args...);
        s += buf;
    };
    size_t tris = 0;
    for (const Face& f : m.faces)
        tris += f.n - 2;
    line("# %s\n", m.header.c_str());
    line("# made by tools/assetgen: %zu positions, %zu texture coordinates, %zu normals,\n",
         m.pos.size(), m.tex.size(), m.nrm.size());
    line("# %zu faces (%zu triangles), %zu groups\n", m.faces.size(), tris, m.groups.size());
    for (const Vec3& p : m.pos)
        line("v %.4f %.4f %.4f\n", p.x, p.y, p.z);
    for (const auto& t : m.tex)
        line("vt %.4f %.4f\n", t[0], t[1]);
    for (const Vec3& n : m.nrm)
        line("vn %.4f %.4f %.4f\n", n.x, n.y, n.z);
    size_t g = 0;
    for (size_t i = 0; i < m.faces.size(); i++) {
        while (g < m.groups.size() && m.groups[g].second == (int)i)
            line("g %s\n", m.groups[g++].first.c_str());
        const Face& f = m.faces[i];
        s += "f";
        for (int k = 0; k < f.n; k++) {
            switch (m.style) {
            case FaceStyle::PosTexNorm: line(" %d/%d/%d", f.p[k] + 1, f.t[k] + 1, f.nn[k] + 1); break;
            case FaceStyle::PosTex: line(" %d/%d", f.p[k] + 1, f.t[k] + 1); break;
            case FaceStyle::PosNorm: line(" %d//%d", f.p[k] + 1, f.nn[k] + 1); break;
            }
        }
        s += "\n";
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(s.data(), 1, s.size(), out) == s.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: cannot finish %s: %s\n", path.c_str(), std::strerror(errno));
        std::remove(path.c_str());
    }
    return ok;
}
