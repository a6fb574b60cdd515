// Start-up: the fixed GL state, the tables, and every asset in its slot.
//
// InitGL runs once per GL context (at start and after every F1). The steps
// come in a fixed order: GL state, quadric, tables, meshes, textures, render
// targets, and the music last, so it starts only when everything is loaded.
// Missing or unreadable files are not reported: a texture slot keeps 0, a
// mesh slot its previous (at first, empty) record.
#include "demo/demo.h"
#include "platform/png.h"
#include "render/render.h"

#include <unistd.h>

#include <string>

GLuint texture[64];
InkBox textureInk[64];
OBJ_Model_t model[32];
GLUquadricObj* q;

static pngInfo info;   // scratch for every texture load; read by nothing

static const char* const MODEL_FILES[4] = {
    "data/3d/torus2.obj",
    "data/3d/face.obj",
    "data/3d/spikeball.obj",
    "data/3d/landscape_tube.obj",
};

static const char* const TEXTURE_FILES[19] = {
    "data/textures/fyllecell_01.png",  // 0
    "data/textures/copper.png",        // 1
    "data/textures/orvel.png",         // 2
    "data/textures/c64.png",           // 3
    "data/textures/fyllecell_02.png",  // 4
    "data/textures/inter01.png",       // 5
    "data/textures/inter02.png",       // 6
    "data/textures/fyllecell_03.png",  // 7
    "data/textures/boll.png",          // 8
    "data/textures/extra01.png",       // 9
    "data/textures/extra02.png",       // 10
    "data/textures/envmap3.png",       // 11
    "data/textures/check2.png",        // 12
    "data/textures/bandaid.png",       // 13
    "data/textures/bubblan.png",       // 14
    "data/textures/pratbubbla.png",    // 15
    "data/textures/fyllecell_04.png",  // 16
    "data/textures/bandaid.png",       // 17: same file as 13, its own texture
    "data/textures/1995.png",          // 18
};

bool holdsShowData(const char* dir)
{
    auto holds = [dir](const char* file) {
        std::string path = std::string(dir) + "/" + file;
        return access(path.c_str(), F_OK) == 0;
    };
    if (holds(TRACK))
        return true;
    for (const char* file : MODEL_FILES)
        if (holds(file))
            return true;
    for (const char* file : TEXTURE_FILES)
        if (holds(file))
            return true;
    return false;
}

// Each mesh is read into a fresh record first. InitGL runs again at every
// window re-creation (F1): a slot's arrays from the previous start-up are
// released only once its file has loaded again, so nothing leaks, and a mesh
// that can no longer be read keeps the one already in its slot.
void loadModels()
{
    for (int slot = 0; slot < 4; slot++) {
        OBJ_Model_t fresh = {};
        if (OBJ_LoadModel(&fresh, MODEL_FILES[slot])) {
            OBJ_FreeModel(&model[slot]);
            model[slot] = fresh;
        }
    }
}

bool InitGL()
{
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearStencil(0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);

    GLfloat fogColor[4] = {0.0f, 0.0f, 0.0f, 0.5f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_START, 40.0f);
    glFogf(GL_FOG_END, 80.0f);

    // The quadric is plain client memory (no GL objects): the one from a
    // previous start-up is simply replaced.
    if (q)
        gluDeleteQuadric(q);
    q = gluNewQuadric();
    gluQuadricNormals(q, GLU_SMOOTH);
    gluQuadricTexture(q, GL_TRUE);

    genrandtab();
    calcbpm(63.35f);

    loadModels();

    for (int slot = 0; slot < 19; slot++) {
        texture[slot] = pngBind(TEXTURE_FILES[slot], PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT,
                                GL_NEAREST, GL_NEAREST);
        textureInk[slot] = {texture[slot], (int)info.Width, (int)info.Height, (int)info.InkLeft,
                            (int)info.InkTop, (int)info.InkRight, (int)info.InkBottom};
    }

    autoInitRenderTexture();
    autoInitRenderDepthTexture();

    autoInitAudio();
    return true;
}
