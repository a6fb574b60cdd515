// The OBJ reader written the plain way, with the C library's stream scanner
// (fscanf "%s", "%d/%d", "%f", fgets) over a temporary file: the oracle that
// the in-memory loader must match byte for byte. It keeps the loader's rules
// for bad input (dropped faces, unset values as 0, the fixed texture entry,
// counted capacity) so that the two can be compared on any text whose lines
// fit the stream reader's 127-character buffers (refWithinLimits).
// Used by the unit tests and by the fuzz target.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mesh/obj.h"

namespace objref {

struct Group {
    std::string name;
    std::vector<int> triangles;
};

struct Model {
    unsigned numVertices = 0, numNormals = 0, numTexCoords = 0;
    std::vector<VECTOR3> vertices;            // numVertices + 1
    std::vector<float> texCoords;             // 2 * (numTexCoords + 1)
    std::vector<OBJ_Triangle_t> triangles;    // kept triangles
    std::vector<Group> groups;                // newest first
};

// True when every line (the '\n' not counted) is at most 127 bytes, so that
// no token or line overruns the stream reader's buffers.
inline bool refWithinLimits(const char* text, size_t length)
{
    size_t run = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] == '\n')
            run = 0;
        else if (++run > 127)
            return false;
    }
    return true;
}

enum { A_PosNormal, B_PosTexNormal, C_PosTex, D_Pos };

inline int refVertex(FILE* f, int pat, int& v, int& t)
{
    int a = 0, b = 0, n = 0, r = 0;
    switch (pat) {
    case A_PosNormal: r = std::fscanf(f, "%d//%d", &a, &n); break;
    case B_PosTexNormal: r = std::fscanf(f, "%d/%d/%d", &a, &b, &n); break;
    case C_PosTex: r = std::fscanf(f, "%d/%d", &a, &b); break;
    default: r = std::fscanf(f, "%d", &a); break;
    }
    if (r >= 1)
        v = a;
    if (r >= 2 && (pat == B_PosTexNormal || pat == C_PosTex))
        t = b;
    return r;
}

struct Face {
    int pat = D_Pos;
    std::vector<int> v, t;   // fan order: (v[0], v[i], v[i+1])
};

inline Face refFace(FILE* f)
{
    Face face;
    char tok[128];
    if (std::fscanf(f, "%127s", tok) != 1)
        tok[0] = '\0';
    int v = 0, t = 0, a = 0, b = 0, n = 0;
    if (std::strstr(tok, "//")) {
        face.pat = A_PosNormal;
        if (std::sscanf(tok, "%d//%d", &a, &n) >= 1)
            v = a;
    } else if (std::sscanf(tok, "%d/%d/%d", &a, &b, &n) == 3) {
        face.pat = B_PosTexNormal;
        v = a;
        t = b;
    } else if (std::sscanf(tok, "%d/%d", &a, &b) == 2) {
        face.pat = C_PosTex;
        v = a;
        t = b;
    } else if (std::sscanf(tok, "%d", &a) == 1) {
        v = a;
    }
    face.v.push_back(v);
    face.t.push_back(t);
    refVertex(f, face.pat, v, t);
    face.v.push_back(v);
    face.t.push_back(t);
    refVertex(f, face.pat, v, t);
    face.v.push_back(v);
    face.t.push_back(t);
    while (refVertex(f, face.pat, v, t) > 0) {
        face.v.push_back(v);
        face.t.push_back(t);
    }
    return face;
}

inline std::string refGroupName(FILE* f)
{
    char line[128], word[128];
    if (!std::fgets(line, sizeof line, f))
        line[0] = '\0';
    if (std::sscanf(line, "%127s", word) != 1)
        std::strcpy(word, "default");
    return word;
}

inline int refFind(const Model& m, const std::string& name)
{
    for (size_t i = 0; i < m.groups.size(); i++)
        if (m.groups[i].name == name)
            return (int)i;
    return -1;
}

// Reads the text through a temporary file. False when no file can be made.
inline bool refLoad(const char* text, size_t length, Model& m)
{
    FILE* f = std::tmpfile();
    if (!f)
        return false;
    if (length && std::fwrite(text, 1, length, f) != length) {
        std::fclose(f);
        return false;
    }
    char kw[128], line[128];

    // Counting pass: groups are created by name, each remembers its count.
    std::rewind(f);
    m = Model();
    m.groups.insert(m.groups.begin(), Group{"default", {}});
    std::vector<std::string> order{"default"};   // creation order
    std::vector<size_t> counts{0};               // by creation order
    size_t current = 0, total = 0;
    while (std::fscanf(f, "%127s", kw) == 1) {
        switch (kw[0]) {
        case 'v':
            if (kw[1] == '\0')
                m.numVertices++;
            else if (kw[1] == 'n')
                m.numNormals++;
            else if (kw[1] == 't')
                m.numTexCoords++;
            else
                break;
            if (!std::fgets(line, sizeof line, f))
                line[0] = '\0';
            break;
        case 'g': {
            std::string name = refGroupName(f);
            size_t i = 0;
            while (i < order.size() && order[i] != name)
                i++;
            if (i == order.size()) {
                order.push_back(name);
                counts.push_back(0);
                m.groups.insert(m.groups.begin(), Group{name, {}});
            }
            current = i;
            break;
        }
        case 'f': {
            Face face = refFace(f);
            size_t tris = face.v.size() - 2;
            counts[current] += tris;
            total += tris;
            break;
        }
        default:
            if (!std::fgets(line, sizeof line, f))
                line[0] = '\0';
            break;
        }
    }

    // Filling pass.
    std::rewind(f);
    m.vertices.assign(m.numVertices + 1, VECTOR3{0, 0, 0});
    m.texCoords.assign(m.numTexCoords ? 2 * (m.numTexCoords + 1) : 0, 0.0f);
    auto capOf = [&](const std::string& name) {
        for (size_t i = 0; i < order.size(); i++)
            if (order[i] == name)
                return counts[i];
        return (size_t)0;
    };
    int group = refFind(m, "default");
    size_t cap = capOf("default");
    unsigned nextV = 1, nextT = 1;
    auto okV = [&](int v) { return v >= 1 && (unsigned)v <= m.numVertices; };
    auto okT = [&](int t) { return t >= 1 && (unsigned)t <= m.numTexCoords; };
    while (std::fscanf(f, "%127s", kw) == 1) {
        switch (kw[0]) {
        case 'v':
            if (kw[1] == '\0') {
                float x = 0, y = 0, z = 0;
                std::fscanf(f, "%f %f %f", &x, &y, &z);
                if (nextV <= m.numVertices)
                    m.vertices[nextV] = VECTOR3{x, y, z};
                nextV++;
            } else if (kw[1] == 't') {
                float u = 0, v = 0;
                std::fscanf(f, "%f %f", &u, &v);
                if (nextT <= m.numTexCoords) {
                    m.texCoords[2 * nextT] = u;
                    m.texCoords[2 * nextT + 1] = v;
                }
                nextT++;
            } else if (kw[1] == 'n') {
                if (!std::fgets(line, sizeof line, f))
                    line[0] = '\0';
            }
            break;
        case 'g': {
            std::string name = refGroupName(f);
            int i = refFind(m, name);
            if (i >= 0) {
                group = i;
                cap = capOf(name);
            }
            break;
        }
        case 'f': {
            Face face = refFace(f);
            bool texChecked = m.numTexCoords && (face.pat == B_PosTexNormal || face.pat == C_PosTex);
            std::vector<OBJ_Triangle_t> tris;
            bool keep = true;
            for (size_t i = 1; i + 1 < face.v.size(); i++) {
                OBJ_Triangle_t tri = {{face.v[0], face.v[i], face.v[i + 1]},
                                      {face.t[0], face.t[i], face.t[i + 1]}};
                for (int j = 0; j < 3; j++)
                    keep = keep && okV(tri.vertexIndex[j]) &&
                           (!texChecked || okT(tri.texCoordIndex[j]));
                tris.push_back(tri);
            }
            std::vector<int>& list = m.groups[group].triangles;
            if (!keep || m.triangles.size() + tris.size() > total ||
                list.size() + tris.size() > cap)
                break;
            for (const OBJ_Triangle_t& tri : tris) {
                list.push_back((int)m.triangles.size());
                m.triangles.push_back(tri);
            }
            break;
        }
        default:
            if (!std::fgets(line, sizeof line, f))
                line[0] = '\0';
            break;
        }
    }
    std::fclose(f);
    return true;
}

// The first difference between the reference and a loaded model, or "".
inline std::string refCompare(const Model& r, const OBJ_Model_t& m)
{
    if (r.numVertices != m.numVertices || r.numNormals != m.numNormals ||
        r.numTexCoords != m.numTexCoords)
        return "counts differ: v " + std::to_string(r.numVertices) + "/" +
               std::to_string(m.numVertices) + " vn " + std::to_string(r.numNormals) + "/" +
               std::to_string(m.numNormals) + " vt " + std::to_string(r.numTexCoords) + "/" +
               std::to_string(m.numTexCoords);
    if (r.triangles.size() != m.numTriangles)
        return "triangle counts differ: " + std::to_string(r.triangles.size()) + "/" +
               std::to_string(m.numTriangles);
    for (unsigned i = 1; i <= r.numVertices; i++)
        if (std::memcmp(&r.vertices[i], &m.vertices[i], sizeof(VECTOR3)) != 0)
            return "position " + std::to_string(i) + " differs";
    for (unsigned i = 1; i <= r.numTexCoords; i++)
        if (std::memcmp(&r.texCoords[2 * i], m.texCoords[i], 2 * sizeof(float)) != 0)
            return "texture coordinate " + std::to_string(i) + " differs";
    for (size_t i = 0; i < r.triangles.size(); i++)
        if (std::memcmp(&r.triangles[i], &m.triangles[i], sizeof(OBJ_Triangle_t)) != 0)
            return "triangle " + std::to_string(i) + " differs";
    const OBJ_Group_t* g = m.groups;
    for (const Group& rg : r.groups) {
        if (!g)
            return "group " + rg.name + " missing";
        if (rg.name != g->name)
            return "group " + rg.name + " is " + g->name;
        if (rg.triangles.size() != g->numTriangles ||
            (g->numTriangles &&
             std::memcmp(rg.triangles.data(), g->triangleIndices,
                         g->numTriangles * sizeof(int)) != 0))
            return "group " + rg.name + " holds other triangles";
        g = g->next;
    }
    if (g)
        return std::string("extra group ") + g->name;
    if (m.numGroups != r.groups.size())
        return "numGroups differs";
    return "";
}

}  // namespace objref
