// The shader path's GLU: quadrics (spheres and cylinders, filled, normals
// pointing out) and the two projection helpers. The vertices, normals, texture
// coordinates and strip order are those Mesa's GLU 9 gives, computed in the
// same precision (angles as floats, their sines and cosines in double), so
// both paths draw the same triangles.
#include "gl11/es_internal.h"

#include <cmath>

struct GLUquadric {
    GLenum normals = GLU_SMOOTH;   // GLU_SMOOTH or GLU_NONE (GLU_FLAT drawn as GLU_NONE)
    bool textureCoords = false;
};

namespace gl11es {

static const double PI = 3.14159265358979323846;
static const int CACHE_SIZE = 240;

GLUquadric* uNewQuadric() { return new GLUquadric; }
void uDeleteQuadric(GLUquadric* quad) { delete quad; }
void uQuadricNormals(GLUquadric* quad, GLenum normal)
{
    if (quad)
        quad->normals = normal;
}
void uQuadricTexture(GLUquadric* quad, GLboolean texture)
{
    if (quad)
        quad->textureCoords = texture != 0;
}

void uSphere(GLUquadric* quad, GLdouble radius, GLint slices, GLint stacks)
{
    if (!quad)
        return;
    if (slices >= CACHE_SIZE)
        slices = CACHE_SIZE - 1;
    if (stacks >= CACHE_SIZE)
        stacks = CACHE_SIZE - 1;
    if (slices < 2 || stacks < 1 || radius < 0.0)
        return;
    const bool smooth = quad->normals == GLU_SMOOTH;
    float sin1a[CACHE_SIZE], cos1a[CACHE_SIZE];   // around the z axis
    float sin1b[CACHE_SIZE], cos1b[CACHE_SIZE];   // radius-scaled, pole to pole
    float sin2b[CACHE_SIZE], cos2b[CACHE_SIZE];   // unit, pole to pole (normals)
    for (int i = 0; i < slices; i++) {
        float angle = (float)(2 * PI * i / slices);
        sin1a[i] = (float)std::sin((double)angle);
        cos1a[i] = (float)std::cos((double)angle);
    }
    for (int j = 0; j <= stacks; j++) {
        float angle = (float)(PI * j / stacks);
        sin2b[j] = (float)std::sin((double)angle);
        cos2b[j] = (float)std::cos((double)angle);
        sin1b[j] = (float)(radius * std::sin((double)angle));
        cos1b[j] = (float)(radius * std::cos((double)angle));
    }
    sin1b[0] = 0;   // the poles come to a point
    sin1b[stacks] = 0;
    sin1a[slices] = sin1a[0];
    cos1a[slices] = cos1a[0];

    int start = 0, finish = stacks;
    if (!quad->textureCoords) {
        // The caps as fans (no texture coordinate to give the apex per slice).
        start = 1;
        finish = stacks - 1;
        float r = sin1b[1], z = cos1b[1], ns = sin2b[1], nc = cos2b[1];
        if (smooth)
            Normal3f(sin1a[0] * sin2b[0], cos1a[0] * sin2b[0], cos2b[0]);
        Begin(GL_TRIANGLE_FAN);
        Vertex3f(0.0f, 0.0f, (float)radius);
        for (int i = slices; i >= 0; i--) {
            if (smooth)
                Normal3f(sin1a[i] * ns, cos1a[i] * ns, nc);
            Vertex3f(r * sin1a[i], r * cos1a[i], z);
        }
        End();
        r = sin1b[stacks - 1], z = cos1b[stacks - 1];
        ns = sin2b[stacks - 1], nc = cos2b[stacks - 1];
        if (smooth) {
            // GLU takes the slice angle of index `stacks` here (any angle
            // gives the same normal, as sin2b[stacks] is about 0).
            const int k = stacks <= slices ? stacks : 0;
            Normal3f(sin1a[k] * sin2b[stacks], cos1a[k] * sin2b[stacks], cos2b[stacks]);
        }
        Begin(GL_TRIANGLE_FAN);
        Vertex3f(0.0f, 0.0f, (float)-radius);
        for (int i = 0; i <= slices; i++) {
            if (smooth)
                Normal3f(sin1a[i] * ns, cos1a[i] * ns, nc);
            Vertex3f(r * sin1a[i], r * cos1a[i], z);
        }
        End();
    }
    for (int j = start; j < finish; j++) {
        const float zLow = cos1b[j], zHigh = cos1b[j + 1];
        const float rLow = sin1b[j], rHigh = sin1b[j + 1];
        Begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            if (smooth)
                Normal3f(sin1a[i] * sin2b[j + 1], cos1a[i] * sin2b[j + 1], cos2b[j + 1]);
            if (quad->textureCoords)
                TexCoord2f(1 - (float)i / slices, 1 - (float)(j + 1) / stacks);
            Vertex3f(rHigh * sin1a[i], rHigh * cos1a[i], zHigh);
            if (smooth)
                Normal3f(sin1a[i] * sin2b[j], cos1a[i] * sin2b[j], cos2b[j]);
            if (quad->textureCoords)
                TexCoord2f(1 - (float)i / slices, 1 - (float)j / stacks);
            Vertex3f(rLow * sin1a[i], rLow * cos1a[i], zLow);
        }
        End();
    }
}

void uCylinder(GLUquadric* quad, GLdouble base, GLdouble top, GLdouble height, GLint slices,
               GLint stacks)
{
    if (!quad)
        return;
    if (slices >= CACHE_SIZE)
        slices = CACHE_SIZE - 1;
    if (slices < 2 || stacks < 1 || base < 0.0 || top < 0.0 || height < 0.0)
        return;
    const float deltaRadius = (float)(base - top);
    const float length = (float)std::sqrt((double)(deltaRadius * deltaRadius) + height * height);
    if (length == 0.0f)
        return;
    const bool smooth = quad->normals == GLU_SMOOTH;
    const float zNormal = deltaRadius / length;
    const float xyNormalRatio = (float)(height / length);
    float sinCache[CACHE_SIZE], cosCache[CACHE_SIZE];
    float sinCache2[CACHE_SIZE], cosCache2[CACHE_SIZE];
    for (int i = 0; i < slices; i++) {
        float angle = (float)(2 * PI * i / slices);
        sinCache2[i] = (float)(xyNormalRatio * std::sin((double)angle));
        cosCache2[i] = (float)(xyNormalRatio * std::cos((double)angle));
        sinCache[i] = (float)std::sin((double)angle);
        cosCache[i] = (float)std::cos((double)angle);
    }
    sinCache[slices] = sinCache[0];
    cosCache[slices] = cosCache[0];
    sinCache2[slices] = sinCache2[0];
    cosCache2[slices] = cosCache2[0];

    for (int j = 0; j < stacks; j++) {
        const float zLow = (float)(j * height / stacks);
        const float zHigh = (float)((j + 1) * height / stacks);
        const float radiusLow = (float)(base - deltaRadius * ((float)j / stacks));
        const float radiusHigh = (float)(base - deltaRadius * ((float)(j + 1) / stacks));
        Begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            if (smooth)
                Normal3f(sinCache2[i], cosCache2[i], zNormal);
            if (quad->textureCoords)
                TexCoord2f(1 - (float)i / slices, (float)j / stacks);
            Vertex3f(radiusLow * sinCache[i], radiusLow * cosCache[i], zLow);
            if (quad->textureCoords)
                TexCoord2f(1 - (float)i / slices, (float)(j + 1) / stacks);
            Vertex3f(radiusHigh * sinCache[i], radiusHigh * cosCache[i], zHigh);
        }
        End();
    }
}

void uPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2 * PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0)
        return;
    const double cotangent = std::cos(radians) / sine;
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    multMatrixd(m);
}

static void normalize(float v[3])
{
    float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f)
        return;
    v[0] /= r, v[1] /= r, v[2] /= r;
}

static void cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void uLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
             GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    float forward[3] = {(float)(centerX - eyeX), (float)(centerY - eyeY),
                        (float)(centerZ - eyeZ)};
    float up[3] = {(float)upX, (float)upY, (float)upZ};
    float side[3];
    normalize(forward);
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    double m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                    side[2], up[2], -forward[2], 0, 0, 0, 0, 1};
    multMatrixd(m);
    Translatef((float)-eyeX, (float)-eyeY, (float)-eyeZ);
}

}  // namespace gl11es
