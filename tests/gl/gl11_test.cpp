// gl11's shader path against the system's GL 1.1 on drawings the show's
// frames do not pin down: a quad whose four corners differ in colour (which
// diagonal the quad is split along shows in the colours between), lit and
// textured quadrics whose colour varies across each strip, an image uploaded
// as RGBA into an RGB8 texture with a rotated texture matrix, linear fog
// (set up by the show, never switched on by it), additive blending, and
// scissoring, and reading back as GL_BGRA. The same calls are made through gl11 on a GL 1.1
// context (passed through) and on an OpenGL ES 3 context (the shaders); the
// two pictures must agree to within rasteriser rounding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "gl11/gl11.h"
#include "glfixture.h"
#include "platform/headless.h"

namespace {

const int SIZE = 96;

// Mesa's values of the constants used here (the test keeps the system's
// headers, which define the GL ones; GLU_SMOOTH is GLU's).
const GLenum SMOOTH_NORMALS = 100000;

std::vector<unsigned char> drawProbe()
{
    gl11Viewport(0, 0, SIZE, SIZE);
    gl11ClearColor(0.1f, 0.1f, 0.1f, 1);
    gl11ClearDepth(1);
    gl11Enable(GL_DEPTH_TEST);
    gl11DepthFunc(GL_LEQUAL);
    gl11Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Flat: the four-colour quad, and a blended white triangle over it.
    gl11MatrixMode(GL_PROJECTION);
    gl11LoadIdentity();
    gl11Ortho(0, SIZE, 0, SIZE, -1, 1);
    gl11MatrixMode(GL_MODELVIEW);
    gl11LoadIdentity();
    gl11Begin(GL_QUADS);
    gl11Color3f(1, 0, 0);
    gl11Vertex2f(2, 2);
    gl11Color3f(0, 1, 0);
    gl11Vertex2f(46, 2);
    gl11Color3f(0, 0, 1);
    gl11Vertex2f(46, 46);
    gl11Color3ub(255, 255, 255);
    gl11Vertex2f(2, 46);
    gl11End();
    gl11Enable(GL_BLEND);
    gl11BlendFunc(GL_SRC_ALPHA, GL_ONE);
    gl11Begin(GL_TRIANGLES);
    gl11Color4f(0.3f, 0.2f, 0.1f, 0.5f);
    gl11Vertex3f(10, 30, 0.5f);
    gl11Vertex3f(40, 20, 0.5f);
    gl11Vertex3f(30, 44, 0.5f);
    gl11End();
    gl11Disable(GL_BLEND);

    // A 16 x 16 checker given as RGBA to an RGB8 texture, sampled through a
    // rotated and scaled texture matrix.
    std::vector<unsigned char> texels(16 * 16 * 4);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            unsigned char* t = &texels[(y * 16 + x) * 4];
            bool on = ((x / 4) + (y / 4)) % 2;
            t[0] = on ? 240 : 30, t[1] = (unsigned char)(x * 16), t[2] = (unsigned char)(y * 16);
            t[3] = 0;
        }
    GLuint name = 0;
    gl11GenTextures(1, &name);
    gl11BindTexture(GL_TEXTURE_2D, name);
    gl11PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl11TexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    gl11TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl11TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl11Enable(GL_TEXTURE_2D);
    gl11MatrixMode(GL_TEXTURE);
    gl11LoadIdentity();
    gl11Rotatef(30, 0, 0, 1);
    gl11Scalef(1.5f, 1.5f, 1);
    gl11MatrixMode(GL_MODELVIEW);
    gl11Color4f(1, 1, 1, 1);
    gl11Begin(GL_QUADS);
    gl11TexCoord2f(0, 0);
    gl11Vertex2f(50, 2);
    gl11TexCoord2f(1, 0);
    gl11Vertex2f(94, 2);
    gl11TexCoord2f(1, 1);
    gl11Vertex2f(94, 46);
    gl11TexCoord2f(0, 1);
    gl11Vertex2f(50, 46);
    gl11End();
    gl11MatrixMode(GL_TEXTURE);
    gl11LoadIdentity();
    gl11MatrixMode(GL_MODELVIEW);

    // In perspective: a textured cylinder and a lit sphere, then a fogged
    // floor running away from the viewer, scissored.
    gl11MatrixMode(GL_PROJECTION);
    gl11LoadIdentity();
    gl11uPerspective(45, 1, 0.1, 100);
    gl11MatrixMode(GL_MODELVIEW);
    gl11LoadIdentity();
    gl11uLookAt(0, 0.5, 6, 0, 0, 0, 0, 1, 0);
    GLUquadric* q = gl11uNewQuadric();
    gl11uQuadricNormals(q, SMOOTH_NORMALS);
    gl11uQuadricTexture(q, GL_TRUE);
    gl11PushMatrix();
    gl11Translatef(-1.2f, 0.6f, 0);
    gl11Rotatef(70, 1, 0.3f, 0);
    gl11uCylinder(q, 0.6, 0.3, 1.4, 12, 3);
    gl11PopMatrix();
    gl11Disable(GL_TEXTURE_2D);
    gl11PushMatrix();
    gl11Translatef(1.2f, 0.6f, 0);
    gl11Scalef(1.3f, 1.3f, 1.3f);   // normals not renormalised: darker, as in GL
    gl11Color3ub(110, 192, 205);
    gl11Enable(GL_COLOR_MATERIAL);
    gl11Enable(GL_LIGHTING);
    gl11Enable(GL_LIGHT0);
    gl11uSphere(q, 0.8, 16, 8);
    gl11Disable(GL_LIGHT0);
    gl11Disable(GL_LIGHTING);
    gl11Disable(GL_COLOR_MATERIAL);
    gl11PopMatrix();
    gl11uDeleteQuadric(q);

    const GLfloat fogColor[4] = {0.2f, 0.4f, 0.6f, 1};
    gl11Fogi(GL_FOG_MODE, GL_LINEAR);
    gl11Fogfv(GL_FOG_COLOR, fogColor);
    gl11Fogf(GL_FOG_START, 2);
    gl11Fogf(GL_FOG_END, 12);
    gl11Enable(GL_FOG);
    // Over everything, in the bottom quarter only.
    gl11Disable(GL_DEPTH_TEST);
    gl11Enable(GL_SCISSOR_TEST);
    gl11Scissor(0, 0, SIZE, SIZE / 4);
    gl11Color3f(1, 0.9f, 0.2f);
    gl11Begin(GL_QUADS);
    gl11Vertex3f(-3, -1, 4);
    gl11Vertex3f(3, -1, 4);
    gl11Color3f(0.2f, 0.9f, 1);
    gl11Vertex3f(3, -1, -40);
    gl11Vertex3f(-3, -1, -40);
    gl11End();
    gl11Disable(GL_FOG);
    gl11Disable(GL_SCISSOR_TEST);

    std::vector<unsigned char> bgra(SIZE * SIZE * 4);
    gl11PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl11ReadPixels(0, 0, SIZE, SIZE, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    return bgra;
}

std::vector<unsigned char> drawOn(bool gles)
{
    platGLES = gles;
    glfix::freshContext(SIZE, SIZE);
    platGLES = false;
    std::vector<unsigned char> picture;
    if (!::testing::Test::HasFatalFailure())
        picture = drawProbe();
    // Later tests get a desktop GL context again.
    glfix::freshContext(SIZE, SIZE);
    return picture;
}

TEST(Gl11, ShadersDrawWhatGl11Draws)
{
    const std::vector<unsigned char> gl = drawOn(false);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gl11Shaders, false);
    const std::vector<unsigned char> es = drawOn(true);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gl.size(), es.size());

    // The picture has the drawing in it (else agreeing would mean little).
    std::set<unsigned> colours;
    for (size_t i = 0; i < gl.size(); i += 4)
        colours.insert(gl[i] | gl[i + 1] << 8 | gl[i + 2] << 16);
    EXPECT_GT(colours.size(), 500u);

    int over = 0;
    long sum = 0;
    for (size_t i = 0; i < gl.size(); i += 4) {
        int worst = 0;
        for (int c = 0; c < 3; c++) {
            int d = std::abs(gl[i + c] - es[i + c]);
            sum += d;
            worst = std::max(worst, d);
        }
        over += worst > 16;
        EXPECT_EQ(es[i + 3], 255) << "alpha at pixel " << i / 4;
    }
    const double pixels = SIZE * SIZE;
    // Both are Mesa's rasteriser, so only rounding in the arithmetic before it
    // may differ. A quadric strip split along its other diagonal gives about
    // 0.1% and 0.06 here.
    EXPECT_LE(over / pixels, 0.001) << over << " pixels more than 16 levels off";
    EXPECT_LE(sum / (pixels * 3), 0.03) << "mean difference in levels";
}

}  // namespace
