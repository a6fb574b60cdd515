// The public entry points: each gl11X call goes to the system's GL 1.1 / GLU
// (when a build has them and gl11Start chose them) or to the shader path.
#include "gl11/gl11.h"
#include "gl11/es.h"

#ifdef GL11_HAS_FIXED_GL
// The system's headers: this module is built without the shadow ones.
#include <GL/gl.h>
#include <GL/glu.h>
#define PASS(call)                                                                                 \
    do {                                                                                           \
        if (!gl11Shaders) {                                                                        \
            call;                                                                                  \
            return;                                                                                \
        }                                                                                          \
    } while (0)
#define PASS_RETURN(call)                                                                          \
    do {                                                                                           \
        if (!gl11Shaders)                                                                          \
            return call;                                                                           \
    } while (0)
#else
// No GL 1.1 below: before gl11Start there is no state to draw with, and the
// call does nothing.
#define PASS(call)                                                                                 \
    do {                                                                                           \
        if (!gl11Shaders)                                                                          \
            return;                                                                                \
    } while (0)
#define PASS_RETURN(call)                                                                          \
    do {                                                                                           \
        if (!gl11Shaders)                                                                          \
            return {};                                                                             \
    } while (0)
#endif

bool gl11Shaders = false;

bool gl11Start(bool shaders, const char** why)
{
    const char* dummy;
    if (!why)
        why = &dummy;
    if (gl11Shaders)
        gl11es::Stop();
    gl11Shaders = false;
    if (!shaders) {
#ifdef GL11_HAS_FIXED_GL
        return true;
#else
        *why = "this build has no desktop OpenGL 1.1 underneath; it draws only through OpenGL ES";
        return false;
#endif
    }
    if (!gl11es::Start(why))
        return false;
    gl11Shaders = true;
    return true;
}

void gl11Stop()
{
    if (gl11Shaders)
        gl11es::Stop();
    gl11Shaders = false;
}

void gl11Flush()
{
    if (gl11Shaders)
        gl11es::Flush();
}

namespace es = gl11es;

void gl11Begin(GLenum mode)
{
    PASS(glBegin(mode));
    es::Begin(mode);
}
void gl11End()
{
    PASS(glEnd());
    es::End();
}
void gl11Vertex2f(GLfloat x, GLfloat y)
{
    PASS(glVertex2f(x, y));
    es::Vertex2f(x, y);
}
void gl11Vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    PASS(glVertex3f(x, y, z));
    es::Vertex3f(x, y, z);
}
void gl11TexCoord2f(GLfloat s, GLfloat t)
{
    PASS(glTexCoord2f(s, t));
    es::TexCoord2f(s, t);
}
void gl11TexCoord2fv(const GLfloat* v)
{
    PASS(glTexCoord2fv(v));
    es::TexCoord2fv(v);
}
void gl11TexCoord2s(GLshort s, GLshort t)
{
    PASS(glTexCoord2s(s, t));
    es::TexCoord2s(s, t);
}
void gl11Color3f(GLfloat r, GLfloat g, GLfloat b)
{
    PASS(glColor3f(r, g, b));
    es::Color3f(r, g, b);
}
void gl11Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    PASS(glColor4f(r, g, b, a));
    es::Color4f(r, g, b, a);
}
void gl11Color4fv(const GLfloat* v)
{
    PASS(glColor4fv(v));
    es::Color4fv(v);
}
void gl11Color3ub(GLubyte r, GLubyte g, GLubyte b)
{
    PASS(glColor3ub(r, g, b));
    es::Color3ub(r, g, b);
}
void gl11Normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    PASS(glNormal3f(x, y, z));
    es::Normal3f(x, y, z);
}
void gl11Normal3fv(const GLfloat* v)
{
    PASS(glNormal3fv(v));
    es::Normal3fv(v);
}
void gl11VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    PASS(glVertexPointer(size, type, stride, pointer));
    es::VertexPointer(size, type, stride, pointer);
}
void gl11TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    PASS(glTexCoordPointer(size, type, stride, pointer));
    es::TexCoordPointer(size, type, stride, pointer);
}
void gl11NormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer)
{
    PASS(glNormalPointer(type, stride, pointer));
    es::NormalPointer(type, stride, pointer);
}
void gl11EnableClientState(GLenum array)
{
    PASS(glEnableClientState(array));
    es::EnableClientState(array);
}
void gl11DisableClientState(GLenum array)
{
    PASS(glDisableClientState(array));
    es::DisableClientState(array);
}
void gl11DrawArrays(GLenum mode, GLint first, GLsizei count)
{
    PASS(glDrawArrays(mode, first, count));
    es::DrawArrays(mode, first, count);
}
void gl11PushClientAttrib(GLbitfield mask)
{
    PASS(glPushClientAttrib(mask));
    es::PushClientAttrib(mask);
}
void gl11PopClientAttrib()
{
    PASS(glPopClientAttrib());
    es::PopClientAttrib();
}
void gl11MatrixMode(GLenum mode)
{
    PASS(glMatrixMode(mode));
    es::MatrixMode(mode);
}
void gl11LoadIdentity()
{
    PASS(glLoadIdentity());
    es::LoadIdentity();
}
void gl11PushMatrix()
{
    PASS(glPushMatrix());
    es::PushMatrix();
}
void gl11PopMatrix()
{
    PASS(glPopMatrix());
    es::PopMatrix();
}
void gl11Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    PASS(glTranslatef(x, y, z));
    es::Translatef(x, y, z);
}
void gl11Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    PASS(glRotatef(angle, x, y, z));
    es::Rotatef(angle, x, y, z);
}
void gl11Scalef(GLfloat x, GLfloat y, GLfloat z)
{
    PASS(glScalef(x, y, z));
    es::Scalef(x, y, z);
}
void gl11Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    PASS(glOrtho(left, right, bottom, top, zNear, zFar));
    es::Ortho(left, right, bottom, top, zNear, zFar);
}
void gl11GenTextures(GLsizei n, GLuint* textures)
{
    PASS(glGenTextures(n, textures));
    es::GenTextures(n, textures);
}
void gl11BindTexture(GLenum target, GLuint texture)
{
    PASS(glBindTexture(target, texture));
    es::BindTexture(target, texture);
}
void gl11TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    PASS(glTexImage2D(target, level, internalformat, width, height, border, format, type, pixels));
    es::TexImage2D(target, level, internalformat, width, height, border, format, type, pixels);
}
void gl11TexParameteri(GLenum target, GLenum pname, GLint param)
{
    PASS(glTexParameteri(target, pname, param));
    es::TexParameteri(target, pname, param);
}
void gl11PixelStorei(GLenum pname, GLint param)
{
    PASS(glPixelStorei(pname, param));
    es::PixelStorei(pname, param);
}
void gl11GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params)
{
    PASS(glGetTexLevelParameteriv(target, level, pname, params));
    es::GetTexLevelParameteriv(target, level, pname, params);
}
void gl11CopyTexImage2D(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width, GLsizei height, GLint border)
{
    PASS(glCopyTexImage2D(target, level, internalformat, x, y, width, height, border));
    es::CopyTexImage2D(target, level, internalformat, x, y, width, height, border);
}
void gl11TexGeni(GLenum coord, GLenum pname, GLint param)
{
    PASS(glTexGeni(coord, pname, param));
    es::TexGeni(coord, pname, param);
}
void gl11Fogf(GLenum pname, GLfloat param)
{
    PASS(glFogf(pname, param));
    es::Fogf(pname, param);
}
void gl11Fogi(GLenum pname, GLint param)
{
    PASS(glFogi(pname, param));
    es::Fogi(pname, param);
}
void gl11Fogfv(GLenum pname, const GLfloat* params)
{
    PASS(glFogfv(pname, params));
    es::Fogfv(pname, params);
}
void gl11Enable(GLenum cap)
{
    PASS(glEnable(cap));
    es::Enable(cap);
}
void gl11Disable(GLenum cap)
{
    PASS(glDisable(cap));
    es::Disable(cap);
}
GLboolean gl11IsEnabled(GLenum cap)
{
    PASS_RETURN(glIsEnabled(cap));
    return es::IsEnabled(cap);
}
void gl11BlendFunc(GLenum sfactor, GLenum dfactor)
{
    PASS(glBlendFunc(sfactor, dfactor));
    es::BlendFunc(sfactor, dfactor);
}
void gl11DepthFunc(GLenum func)
{
    PASS(glDepthFunc(func));
    es::DepthFunc(func);
}
void gl11DepthMask(GLboolean flag)
{
    PASS(glDepthMask(flag));
    es::DepthMask(flag);
}
void gl11ClearDepth(GLclampd depth)
{
    PASS(glClearDepth(depth));
    es::ClearDepth(depth);
}
void gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    PASS(glClearColor(r, g, b, a));
    es::ClearColor(r, g, b, a);
}
void gl11ClearStencil(GLint s)
{
    PASS(glClearStencil(s));
    es::ClearStencil(s);
}
void gl11Clear(GLbitfield mask)
{
    PASS(glClear(mask));
    es::Clear(mask);
}
void gl11Scissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    PASS(glScissor(x, y, width, height));
    es::Scissor(x, y, width, height);
}
void gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    PASS(glViewport(x, y, width, height));
    es::Viewport(x, y, width, height);
}
void gl11Hint(GLenum target, GLenum mode)
{
    PASS(glHint(target, mode));
    es::Hint(target, mode);
}
void gl11ShadeModel(GLenum mode)
{
    PASS(glShadeModel(mode));
    es::ShadeModel(mode);
}
void gl11GetIntegerv(GLenum pname, GLint* params)
{
    PASS(glGetIntegerv(pname, params));
    es::GetIntegerv(pname, params);
}
void gl11GetFloatv(GLenum pname, GLfloat* params)
{
    PASS(glGetFloatv(pname, params));
    es::GetFloatv(pname, params);
}
void gl11PushAttrib(GLbitfield mask)
{
    PASS(glPushAttrib(mask));
    es::PushAttrib(mask);
}
void gl11PopAttrib()
{
    PASS(glPopAttrib());
    es::PopAttrib();
}
void gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    PASS(glReadPixels(x, y, width, height, format, type, pixels));
    es::ReadPixels(x, y, width, height, format, type, pixels);
}
void gl11Finish()
{
    PASS(glFinish());
    es::Finish();
}
GLUquadric* gl11uNewQuadric()
{
    PASS_RETURN(gluNewQuadric());
    return es::uNewQuadric();
}
void gl11uDeleteQuadric(GLUquadric* quad)
{
    PASS(gluDeleteQuadric(quad));
    es::uDeleteQuadric(quad);
}
void gl11uQuadricNormals(GLUquadric* quad, GLenum normal)
{
    PASS(gluQuadricNormals(quad, normal));
    es::uQuadricNormals(quad, normal);
}
void gl11uQuadricTexture(GLUquadric* quad, GLboolean texture)
{
    PASS(gluQuadricTexture(quad, texture));
    es::uQuadricTexture(quad, texture);
}
void gl11uSphere(GLUquadric* quad, GLdouble radius, GLint slices, GLint stacks)
{
    PASS(gluSphere(quad, radius, slices, stacks));
    es::uSphere(quad, radius, slices, stacks);
}
void gl11uCylinder(GLUquadric* quad, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    PASS(gluCylinder(quad, base, top, height, slices, stacks));
    es::uCylinder(quad, base, top, height, slices, stacks);
}
void gl11uPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    PASS(gluPerspective(fovy, aspect, zNear, zFar));
    es::uPerspective(fovy, aspect, zNear, zFar);
}
void gl11uLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    PASS(gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ));
    es::uLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}
