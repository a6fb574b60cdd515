// obj: reading OBJ files into OBJ_Model_t, the group list, and release.
//
// The text is read into memory once and scanned twice: the counting pass
// sizes every array, the filling pass stores into them. Both passes read the
// text exactly as a stream scanner would (see obj_scan.h): the counting pass
// skips the rest of every position, normal and texture-coordinate line, the
// filling pass reads their numbers and goes on after them.
#include "mesh/obj.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "mesh/obj_io.h"
#include "mesh/obj_scan.h"

using objscan::Cursor;

namespace {

// The four vertex forms; the first vertex of a face picks one.
enum Pattern { PosNormal, PosTexNormal, PosTex, PosOnly };

// Reads one vertex in the form P: "%d//%d", "%d/%d/%d", "%d/%d" or "%d".
// v and t change only when their number converts; a vertex that fails to
// read thus keeps the previous vertex's indices. Returns the count of
// converted numbers.
template <Pattern P>
inline int readVertexAs(Cursor& c, int& v, int& t)
{
    using objscan::matchChar;
    using objscan::readInt;
    int value;
    if (!readInt(c, value))
        return 0;
    v = value;
    if constexpr (P == PosOnly) {
        return 1;
    } else if constexpr (P == PosNormal) {
        if (!matchChar(c, '/') || !matchChar(c, '/'))
            return 1;
        return readInt(c, value) ? 2 : 1;
    } else if constexpr (P == PosTex) {
        if (!matchChar(c, '/') || !readInt(c, value))
            return 1;
        t = value;
        return 2;
    } else {
        if (!matchChar(c, '/') || !readInt(c, value))
            return 1;
        t = value;
        if (!matchChar(c, '/'))
            return 2;
        return readInt(c, value) ? 3 : 2;
    }
}

int readVertex(Cursor& c, Pattern pat, int& v, int& t)
{
    switch (pat) {
    case PosNormal: return readVertexAs<PosNormal>(c, v, t);
    case PosTexNormal: return readVertexAs<PosTexNormal>(c, v, t);
    case PosTex: return readVertexAs<PosTex>(c, v, t);
    case PosOnly: return readVertexAs<PosOnly>(c, v, t);
    }
    return 0;
}

// Picks the form from the first vertex token and reads its indices from it.
// The token is scanned as a C string, so it ends at an embedded NUL.
Pattern choosePattern(const char* tok, size_t len, int& v, int& t)
{
    if (const void* nul = std::memchr(tok, '\0', len))
        len = (size_t)((const char*)nul - tok);
    const char* end = tok + len;
    v = t = 0;

    for (const char* s = tok; s + 1 < end; s++) {
        if (s[0] == '/' && s[1] == '/') {
            Cursor c{tok, end};
            readVertex(c, PosNormal, v, t);
            return PosNormal;
        }
    }
    // "%d/%d" and "%d" read the same numbers as a prefix of "%d/%d/%d", so
    // one scan of the longest form tells what each of them converts.
    Cursor c{tok, end};
    int converted = readVertex(c, PosTexNormal, v, t);
    if (converted == 3)
        return PosTexNormal;
    if (converted == 2)
        return PosTex;
    t = 0;
    return PosOnly;
}

// The face's vertices after the first (v, t), in the form P.
template <Pattern P, class Sink>
void readFaceAs(Cursor& c, Sink& sink, const int v1, const int t1)
{
    int v = v1, t = t1;
    readVertexAs<P>(c, v, t);   // the second and third are taken as read,
    int v2 = v, t2 = t;         // even when they fail
    readVertexAs<P>(c, v, t);
    int v3 = v, t3 = t;
    sink.triangle(P, v1, v2, v3, t1, t2, t3);
    while (readVertexAs<P>(c, v, t) > 0) {
        v2 = v3;
        t2 = t3;
        v3 = v;
        t3 = t;
        sink.triangle(P, v1, v2, v3, t1, t2, t3);
    }
    sink.endFace();
}

// Reads a face and hands each fan triangle to sink.triangle, then calls
// sink.endFace. Forms without texture coordinates report texture index 0.
template <class Sink>
void readFace(Cursor& c, Sink& sink)
{
    const char* tok = nullptr;
    size_t len = 0;
    int v = 0, t = 0;
    Pattern pat = PosOnly;
    if (objscan::readToken(c, tok, len))
        pat = choosePattern(tok, len, v, t);
    switch (pat) {
    case PosNormal: readFaceAs<PosNormal>(c, sink, v, t); break;
    case PosTexNormal: readFaceAs<PosTexNormal>(c, sink, v, t); break;
    case PosTex: readFaceAs<PosTex>(c, sink, v, t); break;
    case PosOnly: readFaceAs<PosOnly>(c, sink, v, t); break;
    }
}

// The rest of the line after a "g" keyword: its first word, or "default"
// when it has none. The word ends at white space or at a NUL byte, as a
// string scan of the line would. Leaves c after the line.
struct GroupName {
    char small[256];
    char* text;   // NUL-terminated; small or heap
};

bool readGroupName(Cursor& c, GroupName& name)
{
    const char* lineEnd = (const char*)std::memchr(c.p, '\n', (size_t)(c.end - c.p));
    if (!lineEnd)
        lineEnd = c.end;
    const char* stop = (const char*)std::memchr(c.p, '\0', (size_t)(lineEnd - c.p));
    if (!stop)
        stop = lineEnd;
    const char* s = c.p;
    while (s < stop && objscan::isSpace((unsigned char)*s))
        s++;
    const char* e = s;
    while (e < stop && !objscan::isSpace((unsigned char)*e))
        e++;
    c.p = lineEnd < c.end ? lineEnd + 1 : c.end;

    if (s == e) {
        s = "default";
        e = s + 7;
    }
    size_t n = (size_t)(e - s);
    name.text = n < sizeof name.small ? name.small : (char*)std::malloc(n + 1);
    if (!name.text)
        return false;
    std::memcpy(name.text, s, n);
    name.text[n] = '\0';
    return true;
}

void releaseName(GroupName& name)
{
    if (name.text != name.small)
        std::free(name.text);
}

// Counts never exceed this: indices are 32-bit signed, plus the spare entry.
const uint64_t COUNT_LIMIT = (uint64_t)INT_MAX - 1;

// ---- counting pass --------------------------------------------------------

struct CountSink {
    uint64_t triangles = 0;
    uint64_t groupTriangles = 0;   // of the current group, checked at the end
    OBJ_Group_t* group = nullptr;
    bool tooMany = false;

    void triangle(Pattern, int, int, int, int, int, int)
    {
        triangles++;
        if (group->numTriangles == UINT_MAX)
            tooMany = true;
        else
            group->numTriangles++;
    }
    void endFace() {}
};

// Counts positions, normals, texture coordinates and triangles, creates every
// group and allocates each group's index list. Leaves each group's
// numTriangles at its count (the filling pass takes it as the list's
// capacity and resets it). 0 when memory runs out or a count is too large.
int OBJ_FirstPass(OBJ_Model_t* model, const char* text, size_t length)
{
    CountSink sink;
    sink.group = OBJ_AddGroup(model, "default");
    if (!sink.group)
        return 0;
    uint64_t positions = 0, normals = 0, texCoords = 0;

    Cursor c{text, text + length};
    const char* kw;
    size_t kwLen;
    while (objscan::readToken(c, kw, kwLen)) {
        char k1 = kwLen > 1 && kw[0] ? kw[1] : '\0';
        switch (kw[0]) {
        case 'v':
            if (k1 == '\0')
                positions++;
            else if (k1 == 'n')
                normals++;
            else if (k1 == 't')
                texCoords++;
            else
                break;   // vp and the like: the words after it are keywords
            objscan::skipLine(c);
            break;
        case 'g': {
            GroupName name;
            if (!readGroupName(c, name))
                return 0;
            if (std::strcmp(sink.group->name, name.text) != 0)
                sink.group = OBJ_AddGroup(model, name.text);
            releaseName(name);
            if (!sink.group)
                return 0;
            break;
        }
        case 'f':
            readFace(c, sink);
            break;
        default:
            objscan::skipLine(c);
            break;
        }
    }
    if (sink.tooMany || positions > COUNT_LIMIT || normals > COUNT_LIMIT ||
        texCoords > COUNT_LIMIT || sink.triangles > COUNT_LIMIT)
        return 0;

    model->numVertices = (unsigned)positions;
    model->numNormals = (unsigned)normals;
    model->numTexCoords = (unsigned)texCoords;
    model->numTriangles = (unsigned)sink.triangles;
    for (OBJ_Group_t* g = model->groups; g; g = g->next) {
        if (g->numTriangles) {
            g->triangleIndices = (int*)std::malloc(g->numTriangles * sizeof(int));
            if (!g->triangleIndices)
                return 0;
        }
    }
    return 1;
}

// ---- filling pass ---------------------------------------------------------

struct FillSink {
    OBJ_Model_t* model;
    unsigned counter = 0;        // next entry of triangles
    OBJ_Group_t* group = nullptr;
    unsigned groupCap = 0;       // entries in group->triangleIndices
    unsigned faceStored = 0;     // triangles of the current face stored so far
    bool faceDropped = false;

    bool validPosition(int v) const { return v >= 1 && (unsigned)v <= model->numVertices; }
    bool validTexCoord(int t) const { return t >= 1 && (unsigned)t <= model->numTexCoords; }

    void triangle(Pattern pat, int v1, int v2, int v3, int t1, int t2, int t3)
    {
        if (faceDropped)
            return;
        bool texChecked = model->numTexCoords && (pat == PosTex || pat == PosTexNormal);
        if (!validPosition(v1) || !validPosition(v2) || !validPosition(v3) ||
            (texChecked && (!validTexCoord(t1) || !validTexCoord(t2) || !validTexCoord(t3))) ||
            counter >= model->numTriangles || group->numTriangles >= groupCap) {
            faceDropped = true;
            return;
        }
        OBJ_Triangle_t& tri = model->triangles[counter];
        tri.vertexIndex[0] = v1;
        tri.vertexIndex[1] = v2;
        tri.vertexIndex[2] = v3;
        tri.texCoordIndex[0] = t1;
        tri.texCoordIndex[1] = t2;
        tri.texCoordIndex[2] = t3;
        group->triangleIndices[group->numTriangles++] = (int)counter;
        counter++;
        faceStored++;
    }

    void endFace()
    {
        if (faceDropped) {   // take back what the face had stored
            counter -= faceStored;
            group->numTriangles -= faceStored;
        }
        faceStored = 0;
        faceDropped = false;
    }
};

// Fills the arrays that OBJ_LoadModelText allocated from the counts. Ends
// with numTriangles equal to the triangles kept.
int OBJ_SecondPass(OBJ_Model_t* model, const char* text, size_t length)
{
    // The counting pass left each group's count; it is now the capacity.
    unsigned n = model->numGroups;
    OBJ_Group_t** list = (OBJ_Group_t**)std::malloc(n * sizeof *list);
    unsigned* caps = (unsigned*)std::malloc(n * sizeof *caps);
    if (!list || !caps) {
        std::free(list);
        std::free(caps);
        return 0;
    }
    unsigned i = 0;
    for (OBJ_Group_t* g = model->groups; g && i < n; g = g->next, i++) {
        list[i] = g;
        caps[i] = g->numTriangles;
        g->numTriangles = 0;
    }
    n = i;

    FillSink sink{model};
    for (i = 0; i < n; i++) {
        if (std::strcmp(list[i]->name, "default") == 0) {
            sink.group = list[i];
            sink.groupCap = caps[i];
            break;
        }
    }
    unsigned nextPosition = 1, nextTexCoord = 1;

    Cursor c{text, text + length};
    const char* kw;
    size_t kwLen;
    bool ok = sink.group != nullptr;
    while (ok && objscan::readToken(c, kw, kwLen)) {
        char k1 = kwLen > 1 && kw[0] ? kw[1] : '\0';
        switch (kw[0]) {
        case 'v':
            if (k1 == '\0') {
                float p[3] = {0.0f, 0.0f, 0.0f};
                if (objscan::readFloat(c, p[0]) && objscan::readFloat(c, p[1]))
                    objscan::readFloat(c, p[2]);
                if (nextPosition <= model->numVertices)
                    model->vertices[nextPosition] = VECTOR3{p[0], p[1], p[2]};
                nextPosition++;
            } else if (k1 == 't') {
                float uv[2] = {0.0f, 0.0f};
                if (objscan::readFloat(c, uv[0]))
                    objscan::readFloat(c, uv[1]);
                if (nextTexCoord <= model->numTexCoords) {
                    model->texCoords[nextTexCoord][0] = uv[0];
                    model->texCoords[nextTexCoord][1] = uv[1];
                }
                nextTexCoord++;
            } else if (k1 == 'n') {
                objscan::skipLine(c);
            }
            break;
        case 'g': {
            GroupName name;
            if (!readGroupName(c, name)) {
                ok = false;
                break;
            }
            for (i = 0; i < n; i++) {
                if (std::strcmp(list[i]->name, name.text) == 0) {
                    sink.group = list[i];
                    sink.groupCap = caps[i];
                    break;
                }
            }
            releaseName(name);
            break;
        }
        case 'f':
            readFace(c, sink);
            break;
        default:
            objscan::skipLine(c);
            break;
        }
    }
    model->numTriangles = sink.counter;
    // Entry 0 and any entries the text never reached (when the filling pass
    // met fewer lines than the counting pass) are zero.
    model->vertices[0] = VECTOR3{0.0f, 0.0f, 0.0f};
    for (unsigned k = nextPosition; k <= model->numVertices; k++)
        model->vertices[k] = VECTOR3{0.0f, 0.0f, 0.0f};
    if (model->texCoords) {
        model->texCoords[0][0] = model->texCoords[0][1] = 0.0f;
        for (unsigned k = nextTexCoord; k <= model->numTexCoords; k++)
            model->texCoords[k][0] = model->texCoords[k][1] = 0.0f;
    }
    std::free(list);
    std::free(caps);
    return ok ? 1 : 0;
}

// malloc of n entries (left unset: the passes write every entry that is
// read), or null for none; false when memory runs out.
template <class T>
bool allocArray(T*& p, uint64_t n)
{
    p = nullptr;
    if (n == 0)
        return true;
    p = (T*)std::malloc((size_t)n * sizeof(T));
    if (p)
        objio::adviseLarge(p, (size_t)n * sizeof(T));
    return p != nullptr;
}

}  // namespace

OBJ_Group_t* OBJ_FindGroup(OBJ_Model_t* model, const char* name)
{
    if (!model || !name)
        return nullptr;
    for (OBJ_Group_t* g = model->groups; g; g = g->next)
        if (std::strcmp(g->name, name) == 0)
            return g;
    return nullptr;
}

OBJ_Group_t* OBJ_AddGroup(OBJ_Model_t* model, const char* name)
{
    if (!model || !name)
        return nullptr;
    if (OBJ_Group_t* found = OBJ_FindGroup(model, name))
        return found;
    OBJ_Group_t* g = (OBJ_Group_t*)std::malloc(sizeof *g);
    char* copy = strdup(name);
    if (!g || !copy) {
        std::free(g);
        std::free(copy);
        return nullptr;
    }
    g->name = copy;
    g->numTriangles = 0;
    g->triangleIndices = nullptr;
    g->next = model->groups;
    model->groups = g;
    model->numGroups++;
    return g;
}

void OBJ_FreeModel(OBJ_Model_t* model)
{
    if (!model)
        return;
    OBJ_Group_t* g = model->groups;
    while (g) {
        OBJ_Group_t* next = g->next;
        std::free(g->name);
        std::free(g->triangleIndices);
        std::free(g);
        g = next;
    }
    std::free(model->vertices);
    std::free(model->tangents);
    std::free(model->normals);
    std::free(model->texCoords);
    std::free(model->triangles);
    std::free(model->drawCorners);
    std::memset(model, 0, sizeof *model);
}

int OBJ_LoadModelText(OBJ_Model_t* model, const char* text, size_t length)
{
    if (!model || (!text && length))
        return 0;
    OBJ_Model_t m;
    std::memset(&m, 0, sizeof m);
    bool ok = OBJ_FirstPass(&m, text, length) &&
              allocArray(m.triangles, m.numTriangles) &&
              allocArray(m.vertices, (uint64_t)m.numVertices + 1) &&
              allocArray(m.normals, (uint64_t)m.numVertices + 1);
    if (ok && m.numTexCoords)
        ok = allocArray(m.texCoords, (uint64_t)m.numTexCoords + 1) &&
             allocArray(m.tangents, (uint64_t)m.numVertices + 1);
    ok = ok && OBJ_SecondPass(&m, text, length);
    if (!ok) {
        OBJ_FreeModel(&m);
        return 0;
    }
    OBJ_CalculateNormals(&m);
    if (m.numTexCoords)
        OBJ_CalculateTangentBasis(&m);
    *model = m;
    return 1;
}

int OBJ_LoadModel(OBJ_Model_t* model, const char* path)
{
    if (!model || !path)
        return 0;
    objio::FileText file;
    if (!objio::readWholeFile(path, file))
        return 0;
    int ok = OBJ_LoadModelText(model, file.text, file.length);
    objio::releaseFile(file);
    return ok;
}
