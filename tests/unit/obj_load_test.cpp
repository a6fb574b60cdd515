// Reading OBJ text: groups, face forms, fans, continued faces, extra numbers,
// missing files, and what bad input turns into.
#include <gtest/gtest.h>

// fork and an address-space limit: the allocation test below
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mesh/obj.h"

namespace {

struct Loaded {
    OBJ_Model_t m{};
    int result = 0;
    explicit Loaded(const std::string& text)
    {
        result = OBJ_LoadModelText(&m, text.data(), text.size());
    }
    ~Loaded() { OBJ_FreeModel(&m); }
};

// Group names from the head of the list.
std::vector<std::string> groupNames(const OBJ_Model_t& m)
{
    std::vector<std::string> names;
    for (const OBJ_Group_t* g = m.groups; g; g = g->next)
        names.push_back(g->name);
    return names;
}

std::vector<int> groupTriangles(OBJ_Model_t& m, const char* name)
{
    const OBJ_Group_t* g = OBJ_FindGroup(&m, name);
    if (!g)
        return {-1};
    return std::vector<int>(g->triangleIndices, g->triangleIndices + g->numTriangles);
}

std::vector<int> positions(const OBJ_Triangle_t& t)
{
    return {t.vertexIndex[0], t.vertexIndex[1], t.vertexIndex[2]};
}

std::vector<int> texIndices(const OBJ_Triangle_t& t)
{
    return {t.texCoordIndex[0], t.texCoordIndex[1], t.texCoordIndex[2]};
}

const char* FIVE_POSITIONS = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 2 0\n";

}  // namespace

TEST(ObjGroups, FacesWithoutGroupStatementsAllGoToDefault)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2 3\nf 1 3 4\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numGroups, 1u);
    EXPECT_EQ(groupNames(l.m), std::vector<std::string>{"default"});
    EXPECT_EQ(groupTriangles(l.m, "default"), (std::vector<int>{0, 1}));
}

TEST(ObjGroups, NewestFirstDefaultLastRepeatedNamesAppend)
{
    Loaded l(std::string(FIVE_POSITIONS) +
             "f 1 2 3\n"          // 0: default
             "g top extra words\n"
             "f 1 2 4\n"          // 1: top
             "g bottom\n"
             "f 2 3 4\n"          // 2: bottom
             "g top\n"
             "f 3 4 5\n"          // 3: top again
             "g default\n"
             "f 1 4 5\n");        // 4: default again
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(groupNames(l.m), (std::vector<std::string>{"bottom", "top", "default"}));
    EXPECT_EQ(l.m.numGroups, 3u);
    EXPECT_EQ(groupTriangles(l.m, "top"), (std::vector<int>{1, 3}));
    EXPECT_EQ(groupTriangles(l.m, "bottom"), (std::vector<int>{2}));
    EXPECT_EQ(groupTriangles(l.m, "default"), (std::vector<int>{0, 4}));
}

TEST(ObjGroups, DefaultStaysLastAndEmptyWhenEveryFaceIsGrouped)
{
    Loaded l(std::string(FIVE_POSITIONS) + "g a\nf 1 2 3\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(groupNames(l.m), (std::vector<std::string>{"a", "default"}));
    const OBJ_Group_t* def = OBJ_FindGroup(&l.m, "default");
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->numTriangles, 0u);
    EXPECT_EQ(def->next, nullptr);
}

TEST(ObjGroups, NamelessGroupSelectsDefaultAndCaseMatters)
{
    Loaded l(std::string(FIVE_POSITIONS) + "g A\nf 1 2 3\ng\nf 1 2 4\ng a\nf 1 3 4\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(groupNames(l.m), (std::vector<std::string>{"a", "A", "default"}));
    EXPECT_EQ(groupTriangles(l.m, "default"), (std::vector<int>{1}));
}

TEST(ObjFaces, FansSplitAroundTheFirstVertex)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2 3 4\nf 1 2 3 4 5\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.m.numTriangles, 5u);
    EXPECT_EQ(positions(l.m.triangles[0]), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(positions(l.m.triangles[1]), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(positions(l.m.triangles[2]), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(positions(l.m.triangles[3]), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(positions(l.m.triangles[4]), (std::vector<int>{1, 4, 5}));
}

TEST(ObjFaces, ShortFacesRepeatTheirLastVertex)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2\nf 3\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.m.numTriangles, 2u);
    EXPECT_EQ(positions(l.m.triangles[0]), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(positions(l.m.triangles[1]), (std::vector<int>{3, 3, 3}));
}

TEST(ObjFaces, EachFormStoresItsTextureIndices)
{
    const std::string head = std::string(FIVE_POSITIONS) + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    Loaded pairs(head + "f 1/2 2/3 3/4\n");
    Loaded triples(head + "f 1/2/9 2/3/9 3/4/9\n");
    Loaded normalsOnly(head + "f 1//9 2//9 3//9\n");
    Loaded bare(head + "f 1 2 3\n");
    for (Loaded* l : {&pairs, &triples, &normalsOnly, &bare}) {
        ASSERT_EQ(l->result, 1);
        ASSERT_EQ(l->m.numTriangles, 1u);
        EXPECT_EQ(positions(l->m.triangles[0]), (std::vector<int>{1, 2, 3}));
    }
    EXPECT_EQ(texIndices(pairs.m.triangles[0]), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(texIndices(triples.m.triangles[0]), (std::vector<int>{2, 3, 4}));
    // Forms without texture indices use the fixed entry 0, (0, 0).
    EXPECT_EQ(texIndices(normalsOnly.m.triangles[0]), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(texIndices(bare.m.triangles[0]), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(bare.m.texCoords[0][0], 0.0f);
    EXPECT_EQ(bare.m.texCoords[0][1], 0.0f);
}

TEST(ObjFaces, FirstVertexPicksTheFormForTheWholeFace)
{
    // "1/2" picks position/texture: "3" then reads only a position and
    // keeps the previous texture index; "4//1" stops at its second '/'.
    Loaded l(std::string(FIVE_POSITIONS) + "vt 0 0\nvt 1 0\nvt 1 1\n"
             "f 1/2 3 4//1\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_GE(l.m.numTriangles, 1u);
    EXPECT_EQ(positions(l.m.triangles[0]), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(texIndices(l.m.triangles[0]), (std::vector<int>{2, 2, 2}));
}

TEST(ObjFaces, VerticesOnFollowingLinesContinueTheFace)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2\n3 4\n5\ng next\nf 1 2 3\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.m.numTriangles, 4u);
    EXPECT_EQ(positions(l.m.triangles[2]), (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(groupTriangles(l.m, "next"), (std::vector<int>{3}));
}

TEST(ObjStatements, ExtraNumbersNormalsAndUnknownKeywords)
{
    Loaded l("v 1 2 3 4\nvt 0.25 0.75 0.5\nvn 0 0 1\nvn 0 1 0\n"
             "v 5 6 7\nv 8 9 10\nvp 0.5 0.5\n# comment f 9 9 9\no obj\ns 1\n"
             "usemtl m\nmtllib x.mtl\nf 1/1 2/1 3/1\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numVertices, 3u);
    EXPECT_EQ(l.m.numNormals, 2u);
    EXPECT_EQ(l.m.numTexCoords, 1u);
    EXPECT_EQ(l.m.numTriangles, 1u);
    EXPECT_EQ(l.m.numGroups, 1u);
    EXPECT_EQ(l.m.vertices[1].x, 1.0f);
    EXPECT_EQ(l.m.vertices[1].z, 3.0f);
    EXPECT_EQ(l.m.vertices[2].x, 5.0f);
    EXPECT_EQ(l.m.texCoords[1][0], 0.25f);
    EXPECT_EQ(l.m.texCoords[1][1], 0.75f);
}

TEST(ObjStatements, NoTextureCoordinatesMeansNoTexCoordsOrTangents)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2 3\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numTexCoords, 0u);
    EXPECT_EQ(l.m.texCoords, nullptr);
    EXPECT_EQ(l.m.tangents, nullptr);
    EXPECT_NE(l.m.normals, nullptr);
}

TEST(ObjFiles, MissingFileLeavesTheRecordAlone)
{
    OBJ_Model_t m{};
    m.numVertices = 77;
    EXPECT_EQ(OBJ_LoadModel(&m, "data/3d/no-such-file.obj"), 0);
    EXPECT_EQ(m.numVertices, 77u);
    EXPECT_EQ(m.groups, nullptr);
    // A directory opens but cannot be read.
    EXPECT_EQ(OBJ_LoadModel(&m, "."), 0);
    EXPECT_EQ(m.numVertices, 77u);
}

TEST(ObjFiles, LoadsFromDiskAndFreesToZero)
{
    char path[] = "/tmp/obj_load_testXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    FILE* f = fdopen(fd, "w");
    std::fputs("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\n", f);
    std::fclose(f);
    OBJ_Model_t m{};
    ASSERT_EQ(OBJ_LoadModel(&m, path), 1);
    std::remove(path);
    EXPECT_EQ(m.numVertices, 3u);
    EXPECT_EQ(m.numTriangles, 1u);
    OBJ_FreeModel(&m);
    OBJ_Model_t zero{};
    EXPECT_EQ(std::memcmp(&m, &zero, sizeof m), 0);
    OBJ_FreeModel(&m);   // a zero record is fine
}

// ---- input a well-formed file never has --------------------------------

TEST(ObjBadInput, FacesWithIndicesOutOfRangeAreDroppedWhole)
{
    Loaded l(std::string(FIVE_POSITIONS) + "vt 0 0\nvt 1 1\n"
             "f 1/1 2/1 3/1\n"
             "f 0 1 2\n"            // index 0
             "f 1 -2 3\n"           // negative
             "f 1 2 3 6\n"          // past the last position: both triangles go
             "f 1/1 2/3 3/1\n"      // texture index past the last vt
             "f 1/0 2/1 3/1\n"      // texture index 0 written out
             "g later\nf 2/2 3/2 4/2\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.m.numTriangles, 2u);
    EXPECT_EQ(positions(l.m.triangles[1]), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(groupTriangles(l.m, "default"), (std::vector<int>{0}));
    EXPECT_EQ(groupTriangles(l.m, "later"), (std::vector<int>{1}));
}

TEST(ObjBadInput, FaceThatIsNotNumbersIsDropped)
{
    Loaded l(std::string(FIVE_POSITIONS) + "f\nf x y z\nf");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numTriangles, 0u);
}

TEST(ObjBadInput, OverlongTokensAndLinesAreReadWhole)
{
    const std::string longName(300, 'n');
    const std::string longComment = "#" + std::string(400, 'c') + " f 1 2 3\n";
    const std::string longKeyword = std::string(200, 'q') + " 1 2 3\n";
    Loaded l(std::string(FIVE_POSITIONS) + longComment + longKeyword + "g " + longName +
             "\nf 1 2 3\nf 00000000000000000000000000000000000000000000000000000000"
             "000000000000000000000000000000000000000000000000000000000000000000000000"
             "0000000000000000000000000002 3 4\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numTriangles, 2u);
    EXPECT_EQ(groupNames(l.m), (std::vector<std::string>{longName, "default"}));
    EXPECT_EQ(positions(l.m.triangles[1]), (std::vector<int>{2, 3, 4}));
}

TEST(ObjBadInput, ShortPositionLinesKeepZeroes)
{
    Loaded l("v 1\nv 2 3 x\nf 1 2 2\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.vertices[1].x, 1.0f);
    EXPECT_EQ(l.m.vertices[1].y, 0.0f);
    EXPECT_EQ(l.m.vertices[1].z, 0.0f);
    EXPECT_EQ(l.m.vertices[2].y, 3.0f);
    EXPECT_EQ(l.m.vertices[2].z, 0.0f);
}

TEST(ObjBadInput, DanglingExponentsReadAsTheNumberBeforeThem)
{
    // glibc's scanner, which the reader follows everywhere, takes "1e" and
    // "2e+" as 1 and 2 and goes on after them; the web's C library would fail
    // there, so this pins the reader on the web too.
    Loaded l("v 1e 2e+ 3E-\nv -4.5E+ 5.e 6e-\n");
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.m.numVertices, 2u);
    EXPECT_EQ(l.m.vertices[1].x, 1.0f);
    EXPECT_EQ(l.m.vertices[1].y, 2.0f);
    EXPECT_EQ(l.m.vertices[1].z, 3.0f);
    EXPECT_EQ(l.m.vertices[2].x, -4.5f);
    EXPECT_EQ(l.m.vertices[2].y, 5.0f);
    EXPECT_EQ(l.m.vertices[2].z, 6.0f);
}

TEST(ObjBadInput, StatementsBehindNumbersNeverOverrunTheCounts)
{
    // The counting pass skips the rest of a "v" line; the filling pass reads
    // what follows its numbers, so it meets faces, positions and a group
    // that were never counted.
    Loaded l(std::string(FIVE_POSITIONS) + "f 1 2 3\nv 1 2 3 f 1 2 3\nv 1 2 3 v 4 5 6\n"
             "vt 0 0 g unseen\nf 2 3 4\n");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numVertices, 7u);
    // The unseen group leaves "default" current. Two faces were counted for
    // it; the hidden one takes the second place, so the last face no longer
    // fits and is dropped.
    EXPECT_EQ(l.m.numTriangles, 2u);
    EXPECT_EQ(groupNames(l.m), std::vector<std::string>{"default"});
    EXPECT_EQ(groupTriangles(l.m, "default"), (std::vector<int>{0, 1}));
}

TEST(ObjBadInput, EmptyTextLoadsAnEmptyModel)
{
    Loaded l("");
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.m.numVertices, 0u);
    EXPECT_EQ(l.m.numTriangles, 0u);
    EXPECT_EQ(groupNames(l.m), std::vector<std::string>{"default"});
}

// Windows has neither fork nor an address-space limit to set; the web has no
// processes.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
TEST(ObjFiles, FailedAllocationReturnsZeroAndLeavesTheRecord)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot be combined with AddressSanitizer";
#endif
    // Two million positions need about 48 MB of arrays; the child process
    // gets only 8 MB of address space above what it already uses.
    std::string text;
    text.reserve(16u << 20);
    for (int i = 0; i < 2000000; i++)
        text += "v 0 0 0\n";
    text += "f 1 2 3\n";
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        rlim_t cap = (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE) + (8u << 20);
        struct rlimit rl = {cap, cap};
        if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0)
            _exit(2);
        OBJ_Model_t m{};
        m.numVertices = 42;
        int result = OBJ_LoadModelText(&m, text.data(), text.size());
        _exit(result == 0 && m.numVertices == 42 && m.groups == nullptr ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: loaded or touched the record, 2: no limit set";
}
#endif
