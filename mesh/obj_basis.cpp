// obj_basis: smooth per-vertex normals and tangents of a loaded model.
//
// Both are sums over every triangle that uses a position index, normalised
// at the end. All arithmetic is in 32-bit floats (each difference and each
// cross-product component rounded to float); only the square root is taken
// in double. Sums are made in group-list order, then triangle order, so the
// rounding is the same on every load.
#include <cmath>

#include "mesh/obj.h"

namespace {

// Scales v to unit length; a sum of zero length, or one that does not give a
// finite unit vector, becomes (0, 0, 0) rather than not-a-number.
void normaliseOrZero(VECTOR3& v)
{
    float sq = v.x * v.x + v.y * v.y + v.z * v.z;
    float len = (float)std::sqrt((double)sq);
    if (len > 0.0f) {
        float s = 1.0f / len;
        v.x *= s;
        v.y *= s;
        v.z *= s;
        if (std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z))
            return;
    }
    v = VECTOR3{0.0f, 0.0f, 0.0f};
}

bool isFinite(const VECTOR3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The triangle behind a group entry, or null when the entry or one of its
// position indices is out of range (never so for a loaded model).
const OBJ_Triangle_t* triangleAt(const OBJ_Model_t* m, int entry)
{
    if (entry < 0 || (unsigned)entry >= m->numTriangles)
        return nullptr;
    const OBJ_Triangle_t* tri = &m->triangles[entry];
    for (int j = 0; j < 3; j++) {
        int v = tri->vertexIndex[j];
        if (v < 1 || (unsigned)v > m->numVertices)
            return nullptr;
    }
    return tri;
}

}  // namespace

void OBJ_CalculateNormals(OBJ_Model_t* model)
{
    if (!model || !model->normals || !model->vertices)
        return;
    OBJ_Model_t* m = model;
    for (unsigned i = 0; i <= m->numVertices; i++)
        m->normals[i] = VECTOR3{0.0f, 0.0f, 0.0f};

    for (OBJ_Group_t* g = m->groups; g; g = g->next) {
        for (unsigned k = 0; k < g->numTriangles; k++) {
            const OBJ_Triangle_t* tri = triangleAt(m, g->triangleIndices[k]);
            if (!tri)
                continue;
            const VECTOR3 p0 = m->vertices[tri->vertexIndex[0]];
            const VECTOR3 p1 = m->vertices[tri->vertexIndex[1]];
            const VECTOR3 p2 = m->vertices[tri->vertexIndex[2]];
            const VECTOR3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
            const VECTOR3 e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
            VECTOR3 n;
            n.x = e1.y * e2.z - e1.z * e2.y;
            n.y = e1.z * e2.x - e1.x * e2.z;
            n.z = e1.x * e2.y - e1.y * e2.x;
            for (int j = 0; j < 3; j++) {
                VECTOR3& sum = m->normals[tri->vertexIndex[j]];
                sum.x += n.x;
                sum.y += n.y;
                sum.z += n.z;
            }
        }
    }
    for (unsigned i = 0; i <= m->numVertices; i++)
        normaliseOrZero(m->normals[i]);
}

void tangent_basis(float* p0, float* p1, float* p2, float* t0, float* t1, float* t2, float* out)
{
    // Per axis k: a = (E1[k], du1, dv1), b = (E2[k], du2, dv2), c = a x b;
    // the tangent component is -c.y / c.x. c.x = du1*dv2 - dv1*du2 is the
    // same for every axis: zero means the texture coordinates span no area.
    for (int k = 0; k < 3; k++) {
        float ax = p1[k] - p0[k], ay = t1[0] - t0[0], az = t1[1] - t0[1];
        float bx = p2[k] - p0[k], by = t2[0] - t0[0], bz = t2[1] - t0[1];
        float cx = ay * bz - az * by;
        float cy = az * bx - ax * bz;
        if (cx == 0.0f) {
            out[0] = out[1] = out[2] = 0.0f;
            return;
        }
        out[k] = (-1.0f / cx) * cy;
    }
}

void OBJ_CalculateTangentBasis(OBJ_Model_t* model)
{
    if (!model || !model->tangents || !model->texCoords || !model->vertices)
        return;
    OBJ_Model_t* m = model;
    for (unsigned i = 0; i <= m->numVertices; i++)
        m->tangents[i] = VECTOR3{0.0f, 0.0f, 0.0f};

    for (OBJ_Group_t* g = m->groups; g; g = g->next) {
        for (unsigned k = 0; k < g->numTriangles; k++) {
            const OBJ_Triangle_t* tri = triangleAt(m, g->triangleIndices[k]);
            if (!tri)
                continue;
            float* p[3];
            float* t[3];
            bool texOk = true;
            for (int j = 0; j < 3; j++) {
                p[j] = &m->vertices[tri->vertexIndex[j]].x;
                int ti = tri->texCoordIndex[j];
                texOk = texOk && ti >= 0 && (unsigned)ti <= m->numTexCoords;
                t[j] = texOk ? m->texCoords[ti] : nullptr;
            }
            if (!texOk)
                continue;
            VECTOR3 out;
            tangent_basis(p[0], p[1], p[2], t[0], t[1], t[2], &out.x);
            if (!isFinite(out))   // a near-zero area or non-finite input
                continue;
            for (int j = 0; j < 3; j++) {
                VECTOR3& sum = m->tangents[tri->vertexIndex[j]];
                sum.x += out.x;
                sum.y += out.y;
                sum.z += out.z;
            }
        }
    }
    for (unsigned i = 0; i <= m->numVertices; i++)
        normaliseOrZero(m->tangents[i]);
}
