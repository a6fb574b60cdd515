// The C64 scene, 22.5 to 52 s, without letterbox: a dark-blue screen in a
// light-blue border (to 45 s), a tumbling cloud of light-blue spheres that
// jumps 100 degrees on every beat (25 to 37 s), then a tunnel of rectangular
// rings streaming at the viewer with a spinning two-coloured pyramid that
// pulses on the beat (from 37 s); from 45 s the background is black and the
// rings roll, grey following syncbpm.
//
// Untextured and unlit; relies on the state the intro leaves (texturing,
// blending, lighting and fog off, depth test GL_LEQUAL, colour white) and sets
// none of it. The clear colour is its lasting effect: light blue while the
// backdrop shows, black once Time has passed 45, inherited by what follows.
#include "demo/demo.h"
#include "render/render.h"

static const GLubyte DARK_BLUE[3] = {69, 49, 162};
static const float LIGHT_BLUE[3] = {0.48f, 0.43f, 0.85f};

static void lightBlue() { glColor3f(LIGHT_BLUE[0], LIGHT_BLUE[1], LIGHT_BLUE[2]); }

// An open sleeve: the four faces of the cube [-1, 1]^3 that are parallel to z.
static void drawRing()
{
    static const float V[16][3] = {
        {1, 1, -1},  {-1, 1, -1},  {-1, 1, 1},   {1, 1, 1},     // top
        {1, -1, 1},  {-1, -1, 1},  {-1, -1, -1}, {1, -1, -1},   // bottom
        {-1, 1, 1},  {-1, 1, -1},  {-1, -1, -1}, {-1, -1, 1},   // left
        {1, 1, -1},  {1, 1, 1},    {1, -1, 1},   {1, -1, -1},   // right
    };
    glBegin(GL_QUADS);
    for (const auto& v : V)
        glVertex3f(v[0], v[1], v[2]);
    glEnd();
}

// Four sides of a pyramid, apex (0, 1, 0), base left open; light blue and
// black faces in turn.
static void drawPyramid()
{
    static const float BASE[5][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    glBegin(GL_TRIANGLES);
    for (int face = 0; face < 4; face++) {
        if (face % 2 == 0)
            lightBlue();
        else
            glColor3f(0, 0, 0);
        glVertex3f(0, 1, 0);
        glVertex3f(BASE[face][0], -1, BASE[face][1]);
        glVertex3f(BASE[face + 1][0], -1, BASE[face + 1][1]);
    }
    glEnd();
}

void drawC64Scene()
{
    glLoadIdentity();

    // The screen: a far-plane backdrop, so every 3D shape drawn after it
    // stays in front.
    if (Time < 45.0f) {
        ViewOrtho2();
        glClearColor(LIGHT_BLUE[0], LIGHT_BLUE[1], LIGHT_BLUE[2], 1);   // from the next frame on
        glPushMatrix();
        glTranslatef(64, 96, 0);
        glColor3ub(DARK_BLUE[0], DARK_BLUE[1], DARK_BLUE[2]);
        glBegin(GL_QUADS);
        glVertex2f(0, 0);
        glVertex2f(0, 420);
        glVertex2f(670, 420);
        glVertex2f(670, 0);
        glEnd();
        glPopMatrix();
        ViewPerspective();
    }

    // The sphere cloud turns about a point 9 units ahead; both angles jump
    // 100 degrees on every beat.
    glLoadIdentity();
    glTranslatef(0, 0, -9);
    glRotatef((float)(temp * 100) + Time * 25, 1, 0, 1);
    glRotatef((float)(temp * 100) + Time * 10, 0, 1, 0);

    if (Time > 25.0f && Time < 37.0f) {
        for (int i = 0; i < 60; i++) {
            lightBlue();
            glPushMatrix();
            glTranslatef(vRand[i].x / 3, vRand[i].y / 3, vRand[i].z / 3);
            gluSphere(q, 0.2, 32, 8);
            glPopMatrix();
        }
    }

    glLoadIdentity();

    // The tunnel: 190 rings 3 units apart, all moving at the viewer at
    // 5 units a second. Only about 35 are between the near and far planes
    // (0.1 and 100 units away, ReSizeGLScene's) at any time; a ring wholly
    // behind the eye or beyond the far plane, with a unit to spare, would be
    // clipped whole, so it is not sent.
    if (Time > 37.0f) {
        const float ahead = (Time - 37) * 5;   // ring 0's z in the eye's frame
        glTranslatef(0, 0, ahead);
        if (Time > 45.0f) {
            glColor3f(syncbpm, syncbpm, syncbpm);
            glClearColor(0, 0, 0, 1);   // from the next frame on
        } else {
            lightBlue();
        }
        for (int i = 0; i < 190; i++) {
            const float z = ahead - 3.0f * i;   // a ring spans z +-0.7 about it
            if (z - 0.7f > 1.0f || z + 0.7f < -101.0f)
                continue;
            glPushMatrix();
            glTranslatef(0, 0, (float)(-3 * i));
            if (Time > 45.0f)
                glRotatef((Time - 45) * 25, 0, 0, 1);
            glScalef(0.9f, 0.6f, 0.7f);
            drawRing();
            glPopMatrix();
        }
    }

    glColor3f(1, 1, 1);

    // The pyramid hangs apex down 4 units ahead at each beat and glides one
    // unit nearer until the next.
    if (Time > 37.0f) {
        glLoadIdentity();
        glTranslatef(0, -0.2f, syncbpm - 4);
        glRotatef(180, 1, 0, 0);
        glRotatef(Time * 65, 0, 1, 0);
        glScalef(0.4f, 0.4f, 0.4f);
        drawPyramid();
    }

    glColor3f(1, 1, 1);
}
