// The whole show, headless at 60 frames a second, checked after every frame
// for the GL state every scene hands over: no GL error, both matrix stacks at
// their base, the model-view matrix selected, blending off, the texture
// matrix the identity, and the current colour opaque white. The run ends at
// the first frame past 128 s.
//
// VALLUP_CONFORMANCE_SIZE=WxH sets the frame size (default 320x240; the
// checks do not depend on it, only the run time does).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "app/app.h"
#include "demo/demo.h"
#include "glfixture.h"

namespace {

struct Breach {
    long frames = 0;        // frames that broke it
    long firstFrame = -1;
    float firstTime = 0;    // s
    std::string firstScene;
    std::string detail;     // what was found at the first
};

const char* glErrorName(GLenum e)
{
    switch (e) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    default: return "unknown GL error";
    }
}

// Every way the state after this frame breaks the hand-over, one per check.
std::map<std::string, std::string> checkFrame()
{
    std::map<std::string, std::string> found;

    std::string errors;
    for (int i = 0; i < 16; i++) {
        GLenum e = glGetError();
        if (e == GL_NO_ERROR)
            break;
        errors += std::string(errors.empty() ? "" : ", ") + glErrorName(e);
    }
    if (!errors.empty())
        found["no GL error"] = errors;

    int mv = glfix::modelviewDepth(), proj = glfix::projectionDepth();
    if (mv != 1 || proj != 1)
        found["matrix stacks at base depth"] =
            "model-view depth " + std::to_string(mv) + ", projection depth " + std::to_string(proj);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    if (mode != GL_MODELVIEW)
        found["model-view selected"] = mode == GL_PROJECTION ? "GL_PROJECTION selected"
                                       : mode == GL_TEXTURE  ? "GL_TEXTURE selected"
                                                             : "another matrix selected";

    if (glIsEnabled(GL_BLEND))
        found["blending off"] = "GL_BLEND enabled";

    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    bool identity = glfix::textureDepth() == 1;
    for (int i = 0; i < 16; i++)
        identity = identity && m[i] == (i % 5 == 0 ? 1.0f : 0.0f);
    if (!identity) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "texture stack depth %d, matrix diagonal %g %g %g %g, translation %g %g",
                      glfix::textureDepth(), m[0], m[5], m[10], m[15], m[12], m[13]);
        found["texture matrix identity"] = text;
    }

    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    if (c[0] != 1 || c[1] != 1 || c[2] != 1 || c[3] != 1) {
        char text[96];
        std::snprintf(text, sizeof text, "current colour %g %g %g %g", c[0], c[1], c[2], c[3]);
        found["colour opaque white"] = text;
    }
    return found;
}

void frameSize(int* w, int* h)
{
    *w = 320;
    *h = 240;
    const char* env = std::getenv("VALLUP_CONFORMANCE_SIZE");
    if (env && std::sscanf(env, "%dx%d", w, h) != 2) {
        *w = 320;
        *h = 240;
    }
}

}  // namespace

TEST(Conformance, EveryFrameOfTheShowHandsOverTheAgreedState)
{
    int width, height;
    frameSize(&width, &height);
    // A fresh process's show, whatever ran before in this one.
    glfix::freshShow(width, height);
    ASSERT_TRUE(InitGL());
    std::map<std::string, std::string> atStart = checkFrame();
    EXPECT_TRUE(atStart.empty()) << "after InitGL: " << atStart.begin()->first << ": "
                                 << atStart.begin()->second;

    FrameRate rate;   // 60/1
    std::map<std::string, Breach> breaches;
    long k = 0;
    float previous = 0;
    for (;; k++) {
        bool more = headlessFrame(k, rate, false);
        for (const auto& [check, detail] : checkFrame()) {
            Breach& b = breaches[check];
            if (b.frames++ == 0) {
                b.firstFrame = k;
                b.firstTime = Time;
                b.firstScene = *sceneName ? sceneName : "(no scene)";
                b.detail = detail;
            }
        }
        if (!more)
            break;
        ASSERT_LE(Time, 128.0f) << "the show went on past 128 s at frame " << k;
        previous = Time;
        ASSERT_LT(k, 20000) << "the show does not end";
    }

    // The end: the first frame past 128 s, frame 7681 at 60 fps.
    EXPECT_GT(Time, 128.0f);
    EXPECT_LE(previous, 128.0f);
    EXPECT_EQ(k, 7681);

    std::ostringstream report;
    for (const auto& [check, b] : breaches)
        report << "  " << check << ": broken in " << b.frames << " frames; first at frame "
               << b.firstFrame << ", Time " << b.firstTime << " s, scene " << b.firstScene
               << ": " << b.detail << "\n";
    EXPECT_TRUE(breaches.empty()) << "hand-over state broken:\n" << report.str();
}
