// mesh_obj: a small mesh record for the mesh makers and its OBJ writer.
//
// Indices are 0-based here and written 1-based. A face has 3 or 4 corners,
// each with a position index and, as the mesh's FaceStyle says, a texture
// coordinate index and a normal index. Coordinates are written with four
// decimals, so the same mesh always gives the same text.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

struct Vec3 {
    float x, y, z;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalize(Vec3 a);

// How faces are written: "p/t/n", "p/t" or "p//n".
enum class FaceStyle { PosTexNorm, PosTex, PosNorm };

struct Face {
    int n;                 // corners: 3 or 4
    int p[4], t[4], nn[4]; // position, texture coordinate, normal indices
};

struct Mesh {
    std::string header;                        // first comment line
    FaceStyle style = FaceStyle::PosTexNorm;
    std::vector<Vec3> pos, nrm;                // v and vn lines
    std::vector<std::array<float, 2>> tex;     // vt lines
    std::vector<Face> faces;
    std::vector<std::pair<std::string, int>> groups;   // name, first face

    // Starts a `g` group: faces added from now on belong to it.
    void beginGroup(const std::string& name) { groups.push_back({name, (int)faces.size()}); }
    // Adds a face; t or nn may be null when the style does not use them.
    void addFace(const int* p, const int* t, const int* nn, int n);
};

Vec3 faceCentroid(const Mesh& m, int face);
// Turns the faces [from, to) round if, taken together, their winding
// normals point against `outward(face)`. The makers build each part with
// one consistent winding, so a whole part turns at once.
void orientFaces(Mesh& m, int from, int to, const std::function<Vec3(int)>& outward);

// Writes the mesh; false after saying on standard error what failed.
bool writeObj(const Mesh& m, const std::string& path);

// The head (mesh_face.cpp).
Mesh makeFace();
