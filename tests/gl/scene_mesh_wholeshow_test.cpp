// The whole show as a continuous 60 fps run plays it, headless, from 0 to
// its end: every frame hands over the state the scenes promise each other,
// and the run ends at the first frame above 128 s.
#include "scenes2_support.h"

#include <map>
#include <string>

#include "app/app.h"

TEST(WholeShow, EveryFrameAt60FpsHandsOverCleanStateAndTheShowEndsAfter128s)
{
    glfix::freshShow(160, 120);   // whatever ran before in this process
    ASSERT_TRUE(InitGL());

    FrameRate rate;
    std::map<std::string, int> frames;
    std::string firstFault;
    long k = 0;
    int lastMs = 0;
    for (;; k++) {
        lastMs = frameTimeMs(k, rate);
        platSoundSetManualTime(lastMs);
        bool more = DrawGLScene();
        const std::string scene = sceneName;
        frames[scene]++;

        std::string fault;
        GLenum err = glGetError();
        if (err != GL_NO_ERROR)
            fault = "GL error " + std::to_string(err);
        else if (glfix::modelviewDepth() != 1 || glfix::projectionDepth() != 1 ||
                 glfix::textureDepth() != 1)
            fault = "matrix stacks not at their base";
        else {
            GLint mode = 0;
            glGetIntegerv(GL_MATRIX_MODE, &mode);
            GLboolean mask = GL_FALSE;
            glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
            if (mode != GL_MODELVIEW)
                fault = "matrix mode not model-view";
            else if (glIsEnabled(GL_BLEND))
                fault = "blending left on";
            else if (glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T))
                fault = "texture generation left on";
            else if (!glIsEnabled(GL_DEPTH_TEST) || !mask)
                fault = "depth test or depth writes left off";
            else if (glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_FOG))
                fault = "lighting or fog left on";
            else if (Time > 0 && s2::currentColour() != std::array<float, 4>{1, 1, 1, 1})
                fault = "the colour is not opaque white at the end of the frame";
            else if ((scene == "face" || scene == "column" || scene == "cross" ||
                      scene == "row" || scene == "torus" || scene == "caption") &&
                     glIsEnabled(GL_TEXTURE_2D))
                fault = "texturing left on";
            else if (scene == "tunnel" && !glIsEnabled(GL_TEXTURE_2D))
                fault = "the tunnel hands over texturing on";
        }
        if (!fault.empty() && firstFault.empty())
            firstFault = fault + " after the " + (scene.empty() ? "empty" : scene) +
                         " frame at " + std::to_string(lastMs) + " ms";
        if (!more)
            break;
        ASSERT_LT(k, 10000) << "the show did not end";
    }
    EXPECT_EQ(firstFault, "");
    // The first frame above 128 s ends the show; the one before did not.
    EXPECT_GT(lastMs, 128000);
    EXPECT_LE(frameTimeMs(k - 1, rate), 128000);
    EXPECT_EQ(k, 7681);
    // Every section of the show had its frames.
    for (const char* s : {"intro", "c64", "cubeflash", "rotozoomer", "face", "column", "cross",
                          "row", "tunnel", "torus", "caption"})
        EXPECT_GT(frames[s], 100) << s;
    // Beats 0 to 135 before 128 s, and the one at 128.8 s not yet.
    EXPECT_EQ(temp, 136);
}
