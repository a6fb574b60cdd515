// obj: Wavefront OBJ meshes: loading, normals and tangents, drawing.
//
// OBJ_LoadModel reads a file in two passes (count, then fill), allocates every
// array once at its exact size, computes smooth per-vertex normals and, when
// the file has texture coordinates, tangents. OBJ_Draw sends the model to GL
// in immediate mode, one GL_TRIANGLES batch per group, newest group first.
// Indices are 1-based as written in the file; entry 0 of every per-vertex and
// texture-coordinate array is a spare.
#pragma once

#include "math/autovector.h"

struct OBJ_Triangle_t {
    int vertexIndex[3];     // into vertices, normals, tangents (1-based)
    int texCoordIndex[3];   // into texCoords (1-based)
};

struct OBJ_Group_t {
    char* name;                // own heap copy
    unsigned int numTriangles;
    int* triangleIndices;      // numTriangles indices into the model's triangles
    OBJ_Group_t* next;         // next (older) group, or null
};

struct OBJ_Model_t {
    unsigned int numVertices;    // count of `v` lines
    VECTOR3* vertices;           // numVertices + 1 entries, entry 0 spare
    VECTOR3* tangents;           // numVertices + 1 entries, null without `vt`
    unsigned int numNormals;     // count of `vn` lines (values not kept)
    VECTOR3* normals;            // numVertices + 1 entries, one per position
    unsigned int numTexCoords;   // count of `vt` lines
    float (*texCoords)[2];       // numTexCoords + 1 (u, v) pairs, null without `vt`
    unsigned int numTriangles;   // after fan splitting
    OBJ_Triangle_t* triangles;   // numTriangles entries, from 0, file order
    unsigned int numGroups;      // including "default"
    OBJ_Group_t* groups;         // newest first; "default" is last
};

// 1 when loaded, 0 when the file cannot be opened (the record is untouched).
int OBJ_LoadModel(OBJ_Model_t* model, const char* path);

// Releases everything a loaded record owns and zeroes it. A zero record is fine.
void OBJ_FreeModel(OBJ_Model_t* model);

void OBJ_CalculateNormals(OBJ_Model_t* model);
void OBJ_CalculateTangentBasis(OBJ_Model_t* model);
void tangent_basis(float* p0, float* p1, float* p2, float* t0, float* t1, float* t2, float* out);

OBJ_Group_t* OBJ_AddGroup(OBJ_Model_t* model, const char* name);
OBJ_Group_t* OBJ_FindGroup(OBJ_Model_t* model, const char* name);

// Immediate-mode drawing; a zero record issues no GL calls.
void OBJ_Draw(OBJ_Model_t* model);
void OBJ_DrawVectors(OBJ_Model_t* model);
