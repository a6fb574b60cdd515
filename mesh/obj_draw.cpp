// obj_draw: immediate-mode drawing of a loaded model.
#include <GL/gl.h>

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

void OBJ_Draw(OBJ_Model_t* model)
{
    if (!model)
        return;
    const bool textured = model->numTexCoords != 0 && model->texCoords;
    for (OBJ_Group_t* g = model->groups; g; g = g->next) {
        glBegin(GL_TRIANGLES);
        for (unsigned k = 0; k < g->numTriangles; k++) {
            const OBJ_Triangle_t* tri = drawableTriangle(model, g->triangleIndices[k]);
            if (!tri)
                continue;
            for (int j = 0; j < 3; j++) {
                const int v = tri->vertexIndex[j];
                if (textured)
                    glTexCoord2fv(model->texCoords[tri->texCoordIndex[j]]);
                glNormal3fv(&model->normals[v].x);
                const VECTOR3& p = model->vertices[v];
                glVertex3f(p.x, p.y, p.z);
            }
        }
        glEnd();
    }
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
