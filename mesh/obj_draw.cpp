// obj_draw: drawing a loaded model (from a packed vertex array) and its vectors.
#include <GL/gl.h>

#include <cstdlib>

#include "mesh/obj.h"

// glPushAttrib mask of every attribute group OpenGL 1.1 defines.
static const GLbitfield ALL_ATTRIB_BITS_1_1 = 0x000FFFFF;

// The triangle behind a group entry when all its indices are in range
// (always so for a loaded model; a hand-made record may break it).
static const OBJ_Triangle_t* drawableTriangle(const OBJ_Model_t* m, int entry)
{
    if (entry < 0 || (unsigned)entry >= m->numTriangles)
        return nullptr;
    const OBJ_Triangle_t* tri = &m->triangles[entry];
    for (int j = 0; j < 3; j++) {
        int v = tri->vertexIndex[j];
        int t = tri->texCoordIndex[j];
        if (v < 1 || (unsigned)v > m->numVertices)
            return nullptr;
        if (m->numTexCoords && (t < 0 || (unsigned)t > m->numTexCoords))
            return nullptr;
    }
    return tri;
}

// Packs every drawable triangle's corners, groups from the head on, as
// u, v, nx, ny, nz, x, y, z (u, v are 0 for a model without texture
// coordinates; they are not sent then). False when memory runs out.
static bool packCorners(OBJ_Model_t* model)
{
    size_t triangles = 0;
    for (const OBJ_Group_t* g = model->groups; g; g = g->next)
        triangles += g->numTriangles;
    float* out = triangles ? (float*)std::malloc(triangles * 3 * 8 * sizeof(float)) : nullptr;
    if (triangles && !out)
        return false;
    const bool textured = model->numTexCoords != 0 && model->texCoords;
    unsigned corners = 0;
    for (const OBJ_Group_t* g = model->groups; g; g = g->next) {
        for (unsigned k = 0; k < g->numTriangles; k++) {
            const OBJ_Triangle_t* tri = drawableTriangle(model, g->triangleIndices[k]);
            if (!tri)
                continue;
            for (int j = 0; j < 3; j++) {
                const int v = tri->vertexIndex[j];
                float* c = out + (size_t)corners++ * 8;
                c[0] = textured ? model->texCoords[tri->texCoordIndex[j]][0] : 0;
                c[1] = textured ? model->texCoords[tri->texCoordIndex[j]][1] : 0;
                c[2] = model->normals[v].x;
                c[3] = model->normals[v].y;
                c[4] = model->normals[v].z;
                c[5] = model->vertices[v].x;
                c[6] = model->vertices[v].y;
                c[7] = model->vertices[v].z;
            }
        }
    }
    model->drawCorners = out;
    model->numDrawCorners = corners;
    return true;
}

void OBJ_Draw(OBJ_Model_t* model)
{
    if (!model || !model->groups)
        return;
    if (!model->drawCorners && !packCorners(model))
        return;
    if (model->numDrawCorners == 0)
        return;
    const bool textured = model->numTexCoords != 0 && model->texCoords;
    const float* c = model->drawCorners;
    const GLsizei stride = 8 * sizeof(float);

    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, c);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, c + 2);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, c + 5);
    glDisableClientState(GL_COLOR_ARRAY);
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)model->numDrawCorners);
    glPopClientAttrib();

    // The current values immediate mode would have left.
    const float* last = c + (size_t)(model->numDrawCorners - 1) * 8;
    if (textured)
        glTexCoord2fv(last);
    glNormal3fv(last + 2);
}

void OBJ_DrawVectors(OBJ_Model_t* model)
{
    if (!model || !model->groups)
        return;
    const bool textured = model->numTexCoords != 0 && model->tangents;
    glPushAttrib(ALL_ATTRIB_BITS_1_1);
    glDisable(GL_LIGHTING);
    for (OBJ_Group_t* g = model->groups; g; g = g->next) {
        glBegin(GL_LINES);
        for (unsigned k = 0; k < g->numTriangles; k++) {
            const OBJ_Triangle_t* tri = drawableTriangle(model, g->triangleIndices[k]);
            if (!tri)
                continue;
            for (int j = 0; j < 3; j++) {
                const int v = tri->vertexIndex[j];
                const VECTOR3& p = model->vertices[v];
                const VECTOR3& n = model->normals[v];
                glColor3f(1.0f, 0.0f, 0.0f);
                glVertex3f(p.x, p.y, p.z);
                glVertex3f(n.x * 4.0f + p.x, n.y * 4.0f + p.y, n.z * 4.0f + p.z);
                if (textured) {
                    const VECTOR3& t = model->tangents[v];
                    glColor3f(0.0f, 1.0f, 0.0f);
                    glVertex3f(p.x, p.y, p.z);
                    glVertex3f(t.x * 4.0f + p.x, t.y * 4.0f + p.y, t.z * 4.0f + p.z);
                }
                glColor3f(1.0f, 1.0f, 1.0f);
            }
        }
        glEnd();
    }
    glPopAttrib();
}
