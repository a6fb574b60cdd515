// contactsheet: the show's nineteen texture slots and four meshes on one
// picture, loaded the way the show loads them (pngBind, OBJ_LoadModel) and
// drawn on the headless GL context.
//
// usage (from the repository root): contactsheet OUT.png
//
// Layout, 6 cells of 256 x 256 a row, left to right and top to bottom:
// texture slots 0 to 18, then the meshes torus2, face, spikeball and
// landscape_tube. Textures lie on a grey checker so their transparency
// shows; the ones the show draws mirrored (captions, bars, the C64 screen,
// the flashes, the bubbles) are drawn mirrored here too, so every cell looks
// the way the show puts it on screen. Meshes are sphere-mapped with envmap3
// as in the show (the tube with check2, seen from inside).
#include "app/app.h"
#include "mesh/obj.h"
#include "platform/headless.h"
#include "platform/png.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <vector>

namespace {

const int cell = 256, cols = 6, rows = 4;
const int width = cell * cols, height = cell * rows;

const char* const textureFiles[19] = {
    "fyllecell_01", "copper",  "orvel",   "c64",    "fyllecell_02", "inter01", "inter02",
    "fyllecell_03", "boll",    "extra01", "extra02", "envmap3",     "check2",  "bandaid",
    "bubblan",      "pratbubbla", "fyllecell_04", "bandaid", "1995"};
// Slots the show draws with u = 1 at the left edge.
const bool mirrored[19] = {true, true, false, true, true, true, true, true, false, false,
                           false, false, false, false, true, true, true, false, true};
const char* const meshFiles[4] = {"torus2", "face", "spikeball", "landscape_tube"};

void cellViewport(int index)
{
    int cx = index % cols, cy = index / cols;
    glViewport(cx * cell, height - (cy + 1) * cell, cell, cell);
}

void drawTextureCell(int index, GLuint tex, bool mirror)
{
    cellViewport(index);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);   // y down, like the show's canvas
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);   // the checker behind
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            float g = (x + y) & 1 ? 0.55f : 0.4f;
            glColor3f(g, g, g);
            glVertex2f(x / 8.f, y / 8.f);
            glVertex2f(x / 8.f, (y + 1) / 8.f);
            glVertex2f((x + 1) / 8.f, (y + 1) / 8.f);
            glVertex2f((x + 1) / 8.f, y / 8.f);
        }
    glEnd();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tex);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    float u0 = mirror ? 1.f : 0.f, u1 = 1.f - u0;
    const float m = 0.03f;
    glBegin(GL_QUADS);
    glTexCoord2f(u0, 0); glVertex2f(m, m);
    glTexCoord2f(u0, 1); glVertex2f(m, 1 - m);
    glTexCoord2f(u1, 1); glVertex2f(1 - m, 1 - m);
    glTexCoord2f(u1, 0); glVertex2f(1 - m, m);
    glEnd();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void drawMeshCell(int index, OBJ_Model_t* model, GLuint envmap, GLuint check, int which)
{
    cellViewport(index);
    glScissor((index % cols) * cell, height - (index / cols + 1) * cell, cell, cell);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.08f, 0.06f, 0.12f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    bool sphereMapped = which != 3;
    switch (which) {
    case 0: glTranslatef(0, 0, -12); glRotatef(35, 1, 0, 0); glRotatef(20, 0, 0, 1); break;
    case 1: glTranslatef(0, 0, -15); glRotatef(-20, 0, 1, 0); glRotatef(5, 1, 0, 0); break;
    case 2: glTranslatef(0, 0, -14); glRotatef(20, 1, 1, 0); break;
    case 3: gluLookAt(0, 2.5, 18, 0, 0, -10, 0, 1, 0); break;
    }
    if (sphereMapped) {
        glBindTexture(GL_TEXTURE_2D, envmap);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glBindTexture(GL_TEXTURE_2D, check);
    }
    OBJ_Draw(model);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: contactsheet OUT.png   (run from the repository root)\n");
        return 2;
    }
    const char* why = nullptr;
    if (!platHeadlessCreate(width, height, &why)) {
        std::fprintf(stderr, "contactsheet: no headless GL context: %s\n", why ? why : "unknown");
        return 1;
    }
    glClearColor(0.15f, 0.15f, 0.18f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    bool ok = true;
    GLuint textures[19];
    for (int slot = 0; slot < 19; slot++) {
        char path[128];
        std::snprintf(path, sizeof path, "data/textures/%s.png", textureFiles[slot]);
        pngInfo info;
        textures[slot] = pngBind(path, PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT, GL_NEAREST, GL_NEAREST);
        if (!textures[slot]) {
            std::fprintf(stderr, "contactsheet: cannot load %s\n", path);
            ok = false;
        }
        drawTextureCell(slot, textures[slot], mirrored[slot]);
    }
    static OBJ_Model_t models[4];
    for (int i = 0; i < 4; i++) {
        char path[128];
        std::snprintf(path, sizeof path, "data/3d/%s.obj", meshFiles[i]);
        if (!OBJ_LoadModel(&models[i], path) || models[i].numTriangles == 0) {
            std::fprintf(stderr, "contactsheet: cannot load %s (or the mesh library is not there yet)\n",
                         path);
            ok = false;
        }
        drawMeshCell(19 + i, &models[i], textures[11], textures[12], i);
    }
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    headlessReadRGB(width, height, rgb.data());
    if (!writePngRGB(argv[1], width, height, rgb.data(), &why)) {
        std::fprintf(stderr, "contactsheet: cannot write %s: %s\n", argv[1], why ? why : "unknown");
        return 1;
    }
    platHeadlessDestroy();
    return ok ? 0 : 1;
}
