// InitGL on real GL, on a new context, in a scratch directory holding
// texture files this test writes (each slot's file a colour of its own) and
// the show's four meshes: the fixed state, every texture and mesh in its
// slot, the music started last, missing files, and a second start-up as
// after F1.
#include <gtest/gtest.h>
#include <png.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>

#include "demo/demo.h"
#include "glfixture.h"
#include "render/render.h"

namespace {

const char* const FILES[] = {
    "fyllecell_01", "copper", "orvel",   "c64",        "fyllecell_02", "inter01", "inter02",
    "fyllecell_03", "boll",   "extra01", "extra02",    "envmap3",      "check2",  "bandaid",
    "bubblan",      "pratbubbla", "fyllecell_04", "1995",
};
const int FILE_COUNT = sizeof FILES / sizeof FILES[0];

// The manifest: slot -> file (17 loads bandaid again).
const char* const SLOT_FILE[19] = {
    "fyllecell_01", "copper",  "orvel",   "c64",    "fyllecell_02", "inter01", "inter02",
    "fyllecell_03", "boll",    "extra01", "extra02", "envmap3",     "check2",  "bandaid",
    "bubblan",      "pratbubbla", "fyllecell_04", "bandaid", "1995",
};

// The file's one colour: red = its index in FILES + 1, green 10, blue 200.
int fileIndex(const std::string& name)
{
    for (int i = 0; i < FILE_COUNT; i++)
        if (name == FILES[i])
            return i;
    return -1;
}

// The manifest's meshes by slot, and what each file holds, counted straight
// from it: its "v" lines, and an "f" line of n corners as n - 2 triangles.
const char* const MESH_FILE[4] = {"torus2", "face", "spikeball", "landscape_tube"};

struct MeshCounts {
    unsigned vertices = 0, triangles = 0;
};

MeshCounts countMesh(const std::string& path)
{
    MeshCounts c;
    std::ifstream in(path);
    std::string line, word;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        if (!(words >> word))
            continue;
        if (word == "v") {
            c.vertices++;
        } else if (word == "f") {
            int corners = 0;
            while (words >> word)
                corners++;
            c.triangles += corners - 2;
        }
    }
    return c;
}

void writeSolidPng(const std::string& path, int index)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, 2, 2, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    unsigned char row[6];
    for (int x = 0; x < 2; x++) {
        row[x * 3] = (unsigned char)(index + 1);
        row[x * 3 + 1] = 10;
        row[x * 3 + 2] = 200;
    }
    png_write_row(png, row);
    png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

// Each test starts the show as a window creation does, whatever ran before
// in this process: a new context, no texture, mesh or render target loaded,
// no music stream yet. The meshes and stream of earlier tests are put back
// afterwards.
class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        glfix::freshContext();
        platSoundSetManual(true);
        for (int slot = 0; slot < 32; slot++) {
            savedModel[slot] = model[slot];
            model[slot] = {};
        }
        for (GLuint& t : texture)
            t = 0;
        rendertexture = depthtexture = 0;   // names in the old context
        savedStream = stream;
        savedChannel = channel;
        stream = nullptr;
        channel = -1;

        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
        home = buf;
        char tmpl[] = "/tmp/vallup_startup_XXXXXX";
        dir = mkdtemp(tmpl);
        mkdir((dir + "/data").c_str(), 0755);
        mkdir((dir + "/data/textures").c_str(), 0755);
        mkdir((dir + "/data/3d").c_str(), 0755);
        for (int i = 0; i < FILE_COUNT; i++)
            writeSolidPng(dir + "/data/textures/" + FILES[i] + ".png", i);
        for (const char* mesh : MESH_FILE) {
            std::string name = std::string("/data/3d/") + mesh + ".obj";
            ASSERT_EQ(symlink((VALLUP_ROOT + name).c_str(), (dir + name).c_str()), 0) << name;
        }
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir(home.c_str()), 0);
        std::system(("rm -rf " + dir).c_str());
        for (int slot = 0; slot < 32; slot++) {
            OBJ_FreeModel(&model[slot]);
            model[slot] = savedModel[slot];
        }
        if (stream)
            platStreamClose(stream);
        stream = savedStream;
        channel = savedChannel;
        glfix::baselineState();
    }

    // Slots 0..3 hold the manifest's meshes, told apart by their counts
    // (the four files differ in both); 4..31 stay empty.
    void expectMeshesInTheirSlots(const char* when)
    {
        MeshCounts want[4];
        for (int slot = 0; slot < 4; slot++)
            want[slot] = countMesh(std::string(VALLUP_ROOT "/data/3d/") + MESH_FILE[slot] + ".obj");
        for (int slot = 0; slot < 4; slot++) {
            for (int other = 0; other < slot; other++)
                ASSERT_NE(want[slot].vertices, want[other].vertices) << "files that look alike";
            EXPECT_EQ(model[slot].numVertices, want[slot].vertices) << when << ", slot " << slot;
            EXPECT_EQ(model[slot].numTriangles, want[slot].triangles) << when << ", slot " << slot;
        }
        for (int slot = 4; slot < 32; slot++) {
            EXPECT_EQ(model[slot].numVertices, 0u) << when << ", slot " << slot;
            EXPECT_EQ(model[slot].vertices, nullptr) << when << ", slot " << slot;
        }
    }

    // Red channel of the bound-to-slot texture's first texel, -1 for slot 0.
    int texelRed(int slot)
    {
        if (!texture[slot])
            return -1;
        unsigned char px[2 * 2 * 4] = {};
        glBindTexture(GL_TEXTURE_2D, texture[slot]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
        return px[0];
    }

    std::string home, dir;
    OBJ_Model_t savedModel[32];
    PlatStream* savedStream;
    int savedChannel;
};

// Puts every piece of state InitGL sets to something else first.
void scrambleState()
{
    glDisable(GL_TEXTURE_2D);
    glClearColor(1, 0, 0, 0);
    glShadeModel(GL_FLAT);
    glClearDepth(0.25);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glClearStencil(3);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_START, 1);
    glFogf(GL_FOG_END, 2);
}

// What start-up had loaded when it began to open the track. The track is a
// FIFO here, so its open waits until the other end is opened. A watcher
// thread reads the starting thread's current system call
// (/proc/self/task/TID/syscall) until that thread waits in openat() on TRACK,
// notes the slots then (the thread cannot move on meanwhile), and opens the
// other end to let it go on. Nothing is written: the show plays silently.
struct AtTheTrack {
    std::string trouble;   // why nothing was noted; "" when it was
    GLuint textures[19] = {};
    unsigned meshVertices[4] = {};
    GLuint targets[2] = {};
};

bool startUpWatchingTheTrack(AtTheTrack* at)
{
    mkdir("data/music", 0755);
    if (mkfifo(TRACK, 0644) != 0) {
        at->trouble = "cannot make the FIFO";
        return false;
    }
    const std::string calls = "/proc/self/task/" + std::to_string(syscall(SYS_gettid)) + "/syscall";
    at->trouble = "start-up never opened the track";
    std::atomic<bool> finished{false};
    std::thread watcher([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!finished) {
            char line[256] = "";
            FILE* f = std::fopen(calls.c_str(), "r");
            bool read = f && std::fgets(line, sizeof line, f);
            if (f)
                std::fclose(f);
            long call = -1;
            unsigned long dir = 0, path = 0;
            if (!read) {
                at->trouble = "cannot read " + calls;
                break;
            }
            if (std::sscanf(line, "%ld %lx %lx", &call, &dir, &path) == 3 && call == SYS_openat &&
                path == (unsigned long)TRACK) {
                for (int slot = 0; slot < 19; slot++)
                    at->textures[slot] = texture[slot];
                for (int slot = 0; slot < 4; slot++)
                    at->meshVertices[slot] = model[slot].numVertices;
                at->targets[0] = rendertexture;
                at->targets[1] = depthtexture;
                at->trouble = "";
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                at->trouble = "start-up was not seen opening the track in 30 s";
                break;
            }
            usleep(100);
        }
        while (!finished) {   // let the open go on, now or whenever it comes
            int fd = open(TRACK, O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                close(fd);
                break;
            }
            usleep(100);
        }
    });
    testing::internal::CaptureStdout();   // the missing-track lines
    testing::internal::CaptureStderr();
    bool ok = InitGL();
    finished = true;
    watcher.join();
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    return ok;
}

}  // namespace

TEST_F(Startup, SetsTheBaselineStateFillsEverySlotAndStartsTheMusicLast)
{
    scrambleState();
    AtTheTrack at;
    bool ok = startUpWatchingTheTrack(&at);
    ASSERT_TRUE(ok);
    ASSERT_EQ(at.trouble, "");
    for (int slot = 0; slot < 19; slot++)
        EXPECT_NE(at.textures[slot], 0u) << "texture slot " << slot << " still empty at the music";
    for (int slot = 0; slot < 4; slot++)
        EXPECT_NE(at.meshVertices[slot], 0u) << "mesh slot " << slot << " still empty at the music";
    EXPECT_NE(at.targets[0], 0u) << "no render target yet at the music";
    EXPECT_NE(at.targets[1], 0u) << "no second render target yet at the music";

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat f[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, f);
    EXPECT_EQ(f[0] + f[1] + f[2], 0.0f);
    EXPECT_EQ(f[3], 1.0f);
    GLint i = 0;
    glGetIntegerv(GL_SHADE_MODEL, &i);
    EXPECT_EQ(i, GL_SMOOTH);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, f);
    EXPECT_EQ(f[0], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &i);
    EXPECT_EQ(i, GL_LEQUAL);
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &i);
    EXPECT_EQ(i, 0);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &i);
    EXPECT_EQ(i, GL_NICEST);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &i);
    EXPECT_EQ(i, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &i);
    EXPECT_EQ(i, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    glGetIntegerv(GL_FOG_MODE, &i);
    EXPECT_EQ(i, GL_LINEAR);
    glGetFloatv(GL_FOG_COLOR, f);
    EXPECT_EQ(f[0] + f[1] + f[2], 0.0f);
    EXPECT_EQ(f[3], 0.5f);
    glGetFloatv(GL_FOG_START, f);
    EXPECT_EQ(f[0], 40.0f);
    glGetFloatv(GL_FOG_END, f);
    EXPECT_EQ(f[0], 80.0f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &i);
    EXPECT_EQ(i, GL_MODULATE);
    EXPECT_NE(q, nullptr);
    EXPECT_NE(vRand[0].x + vRand[1].y + vRand[2].z, 0.0f);
    EXPECT_NEAR(bpmtable[1], 60 / 63.35f, 1e-4);

    // Slots 0..18 hold the manifest's files (each told apart by its colour),
    // all distinct names; 13 and 17 the same file as two textures; 19..63 empty.
    for (int slot = 0; slot < 19; slot++) {
        EXPECT_NE(texture[slot], 0u) << "slot " << slot;
        EXPECT_EQ(texelRed(slot), fileIndex(SLOT_FILE[slot]) + 1) << "slot " << slot;
        GLint wrap = 0, minf = 0, magf = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minf);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magf);
        EXPECT_EQ(wrap, GL_REPEAT);
        EXPECT_EQ(minf, GL_NEAREST);
        EXPECT_EQ(magf, GL_NEAREST);
        for (int other = 0; other < slot; other++)
            EXPECT_NE(texture[slot], texture[other]) << slot << " and " << other;
    }
    EXPECT_NE(texture[13], texture[17]);
    for (int slot = 19; slot < 64; slot++)
        EXPECT_EQ(texture[slot], 0u) << "slot " << slot;

    // The render targets exist and are neither of the pictures.
    EXPECT_NE(rendertexture, 0u);
    EXPECT_NE(depthtexture, 0u);
    for (int slot = 0; slot < 19; slot++) {
        EXPECT_NE(texture[slot], rendertexture);
        EXPECT_NE(texture[slot], depthtexture);
    }

    expectMeshesInTheirSlots("first start-up");
}

TEST_F(Startup, MissingAndBrokenTexturesLeaveZeroAndTheRestLoads)
{
    std::remove("data/textures/copper.png");
    FILE* f = std::fopen("data/textures/bandaid.png", "wb");   // slots 13 and 17
    std::fputs("not a picture", f);
    std::fclose(f);
    f = std::fopen("data/textures/1995.png", "wb");            // cut short
    std::fputs("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", f);
    std::fclose(f);

    ASSERT_TRUE(InitGL());
    for (int slot = 0; slot < 19; slot++) {
        bool gone = slot == 1 || slot == 13 || slot == 17 || slot == 18;
        if (gone)
            EXPECT_EQ(texture[slot], 0u) << "slot " << slot;
        else
            EXPECT_EQ(texelRed(slot), fileIndex(SLOT_FILE[slot]) + 1) << "slot " << slot;
    }
    EXPECT_NE(rendertexture, 0u) << "start-up went on to the render targets";
}

TEST_F(Startup, ASecondStartUpReloadsEverythingIntoTheSameSlots)
{
    ASSERT_TRUE(InitGL());
    GLuint first[19];
    for (int slot = 0; slot < 19; slot++)
        first[slot] = texture[slot];
    GLUquadricObj* firstQuadric = q;
    ASSERT_NE(firstQuadric, nullptr);

    ASSERT_TRUE(InitGL());   // as after F1 (here in the same context)
    EXPECT_NE(q, nullptr);
    for (int slot = 0; slot < 19; slot++) {
        EXPECT_NE(texture[slot], 0u);
        EXPECT_NE(texture[slot], first[slot]) << "slot " << slot << ": a new texture";
        EXPECT_EQ(texelRed(slot), fileIndex(SLOT_FILE[slot]) + 1) << "slot " << slot;
    }
    expectMeshesInTheirSlots("second start-up");
}
