// libFuzzer target for the OBJ loader. Every input must load without a
// sanitizer report, and a loaded model must hold together: group counts add
// up, every triangle sits in exactly one group, every stored index is in
// range, and every normal and tangent is finite. Inputs whose lines fit the
// stream reader's buffers are also read by the stream-scanner reference,
// and the two results must be the same bit for bit.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "mesh/obj.h"
#include "obj_reference.h"

namespace {

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "obj_fuzz: %s\n", why.c_str());
    std::abort();
}

bool finite(const VECTOR3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void checkModel(const OBJ_Model_t& m)
{
    if (!m.vertices || !m.normals)
        fail("positions or normals missing");
    if ((m.numTexCoords == 0) != (m.texCoords == nullptr) ||
        (m.numTexCoords == 0) != (m.tangents == nullptr))
        fail("texture arrays do not match numTexCoords");
    std::vector<int> seen(m.numTriangles, 0);
    std::set<std::string> names;
    unsigned groups = 0, sum = 0;
    const OBJ_Group_t* last = nullptr;
    for (const OBJ_Group_t* g = m.groups; g; g = g->next) {
        groups++;
        last = g;
        if (!names.insert(g->name).second)
            fail(std::string("group name twice: ") + g->name);
        sum += g->numTriangles;
        for (unsigned k = 0; k < g->numTriangles; k++) {
            int t = g->triangleIndices[k];
            if (t < 0 || (unsigned)t >= m.numTriangles || seen[t]++)
                fail("triangle list entry out of range or repeated");
        }
    }
    if (groups != m.numGroups || sum != m.numTriangles)
        fail("group counts do not add up");
    if (!last || std::strcmp(last->name, "default") != 0)
        fail("default is not the last group");
    for (unsigned i = 0; i < m.numTriangles; i++) {
        for (int j = 0; j < 3; j++) {
            int v = m.triangles[i].vertexIndex[j];
            int t = m.triangles[i].texCoordIndex[j];
            if (v < 1 || (unsigned)v > m.numVertices)
                fail("position index out of range");
            if (m.numTexCoords && (t < 0 || (unsigned)t > m.numTexCoords))
                fail("texture index out of range");
        }
    }
    for (unsigned i = 0; i <= m.numVertices; i++) {
        if (!finite(m.normals[i]))
            fail("normal not finite");
        if (m.tangents && !finite(m.tangents[i]))
            fail("tangent not finite");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = (const char*)data;
    OBJ_Model_t m{};
    if (!OBJ_LoadModelText(&m, text, size))
        fail("a readable text did not load");
    checkModel(m);
    if (objref::refWithinLimits(text, size)) {
        objref::Model ref;
        if (!objref::refLoad(text, size, ref))
            fail("reference could not make its temporary file");
        std::string diff = objref::refCompare(ref, m);
        if (!diff.empty())
            fail("differs from the stream reader: " + diff);
    }
    OBJ_FreeModel(&m);
    return 0;
}
