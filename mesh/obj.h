// obj: Wavefront OBJ meshes: loading, normals and tangents, drawing.
//
// OBJ_LoadModel reads a file in two passes (count, then fill), allocates every
// array once at its exact size, computes smooth per-vertex normals and, when
// the file has texture coordinates, tangents. OBJ_Draw sends the model to GL
// as GL_TRIANGLES, group by group, newest group first, from a vertex array it
// packs on its first call for a record.
//
// Conventions for the whole module:
//   - indices are 1-based as written in the file; entry 0 of every per-vertex
//     and texture-coordinate array is a spare (vertices[0] is (0, 0, 0),
//     texCoords[0] is (0, 0), normals[0] and tangents[0] come out (0, 0, 0));
//   - positions are in the file's units; normals and tangents are unit
//     vectors or (0, 0, 0); texture coordinates are (u, v) as in the file;
//   - every array and group is allocated with malloc and owned by its record;
//     OBJ_FreeModel releases them.
//
// What is read. The file is a stream of white-space separated tokens (line
// ends are white space too). A statement starts with a keyword, classified by
// its first character:
//   v    exactly "v": a position, three numbers ("v x y z [w]", w ignored)
//   vn*  a normal line: counted in numNormals, its values are not kept
//   vt*  a texture coordinate, two numbers ("vt u v [w]", w ignored)
//   v?   any other "v" keyword (vp, ...): ignored, the words after it are
//        read as keywords
//   g*   a group: the first word of the rest of the line names it
//   f*   a face: "f a b c ...", each vertex "p", "p/t", "p/t/n" or "p//n"
//   else (#, o, s, usemtl, mtllib, ...): the rest of the line is skipped
// Numbers left after a statement's own (a fourth number on a "v" line, a
// third on a "vt" line) are read as keywords and so skip the rest of their
// line. The first vertex of a face decides the form of all its vertices; a
// face goes on, over line ends too, while the next token starts with a
// number in that form. A face of n vertices becomes the fan (1,2,3),
// (1,3,4), ... (1,n-1,n); a face of one or two vertices repeats the last one:
// "f 1" is (1,1,1), "f 1 2" is (1,2,2). Faces before the first "g" belong to
// the group "default", which always exists and is last in the list; a name
// used again selects its existing group. Normal indices in faces are read
// and ignored: normals are always computed from the triangles.
//
// Input that a well-formed file never has, and what the loader does with it:
//   - tokens, keywords and lines of any length are read whole: a skipped
//     line is skipped to its end, a group name is the whole first word;
//   - a "g" with no name selects the group "default";
//   - a face that uses a position index outside 1..numVertices (0, negative,
//     or past the last "v"), or a texture-coordinate index outside
//     1..numTexCoords in a file that has "vt" lines, is dropped whole; the
//     rest of the model loads, and numTriangles counts the kept triangles;
//   - a vertex that cannot be read repeats the previous vertex of its face;
//     a face whose first vertex is not a number has index 0 and is dropped;
//   - faces written "p" or "p//n" in a file with "vt" lines use the fixed
//     texture-coordinate entry 0, (0, 0); in a file without "vt" lines every
//     texCoordIndex of such a face is 0;
//   - a "v" or "vt" line with fewer numbers than it needs keeps 0 for the
//     missing ones;
//   - a statement hidden behind the numbers of a "v" or "vt" line ("v 1 2 3
//     f 1 2 3") is read by the filling pass only: a "g" there that names a
//     group the counting pass never saw leaves the current group unchanged,
//     and faces or positions beyond what was counted are dropped;
//   - a normal or tangent whose sum has zero length (or is not finite) is
//     stored as (0, 0, 0); a triangle whose texture coordinates span no area
//     adds nothing to its corners' tangents;
//   - a file that cannot be opened or read, a model too large for 32-bit
//     counts, or a failed allocation: OBJ_LoadModel returns 0, frees what it
//     had allocated and leaves the record untouched.
// Positions are kept as written, "nan" and "inf" included.
#pragma once

#include <cstddef>

#include "math/autovector.h"

struct OBJ_Triangle_t {
    int vertexIndex[3];     // into vertices, normals, tangents (1-based)
    int texCoordIndex[3];   // into texCoords (1-based; 0 = the fixed entry)
};

struct OBJ_Group_t {
    char* name;                // own heap copy, NUL-terminated
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
    // What OBJ_Draw hands GL, packed by its first call for this record.
    float* drawCorners;          // per corner u, v, normal, position: 8 floats; null until drawn
    unsigned int numDrawCorners; // 3 per triangle drawn
};

// 1 when loaded, 0 when the file cannot be opened or read, or memory runs
// out (the record is then untouched). Loading into a record that holds a
// model overwrites it without freeing: call OBJ_FreeModel first.
int OBJ_LoadModel(OBJ_Model_t* model, const char* path);

// The same from a file's text already in memory (length bytes, no NUL
// needed).
int OBJ_LoadModelText(OBJ_Model_t* model, const char* text, size_t length);

// Releases everything a loaded record owns and zeroes it. A zero record is fine.
void OBJ_FreeModel(OBJ_Model_t* model);

// Smooth per-vertex normals: the unnormalised face normals (twice the area,
// counter-clockwise corners face the viewer) summed per position index, then
// normalised. Float arithmetic throughout, square roots in double.
void OBJ_CalculateNormals(OBJ_Model_t* model);
// Per-vertex tangents (direction of growing u) summed and normalised the same
// way. Needs texCoords and tangents; does nothing without them.
void OBJ_CalculateTangentBasis(OBJ_Model_t* model);
// One triangle's unnormalised tangent: positions p0..p2 (3 floats each),
// texture coordinates t0..t2 (u, v), result in out (3 floats). (0, 0, 0)
// when the texture coordinates span no area.
void tangent_basis(float* p0, float* p1, float* p2, float* t0, float* t1, float* t2, float* out);

// The group with this name, or a new one at the head of the list (zero
// triangles, its own copy of the name). Null only when memory runs out.
OBJ_Group_t* OBJ_AddGroup(OBJ_Model_t* model, const char* name);
// The first group from the head whose name equals `name` (strcmp), or null.
OBJ_Group_t* OBJ_FindGroup(OBJ_Model_t* model, const char* name);

// Drawing; a zero record issues no GL calls. OBJ_Draw sends, per corner, the
// texture coordinate (only when the model has any), the normal and the
// position, the groups' triangles from the head on, in one glDrawArrays
// (GL_TRIANGLES) from client memory: the same vertices as a glBegin/glEnd per
// group, without a call per attribute. It leaves the current normal and
// texture coordinate at the last corner's, as immediate mode would, and
// changes no other state (the client arrays are pushed and popped). The array
// is packed on the first call and kept in the record (drawCorners) until
// OBJ_FreeModel: a record whose triangles change after it has been drawn
// must be freed and loaded again. OBJ_DrawVectors draws each corner's
// normal in red and tangent in green as 4-unit GL_LINES, lighting off, all
// attributes pushed and popped around it.
void OBJ_Draw(OBJ_Model_t* model);
void OBJ_DrawVectors(OBJ_Model_t* model);
