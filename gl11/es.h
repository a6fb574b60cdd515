// The shader path's entry points, one for each gl11X call (gl11/gl11.h), in
// namespace gl11es. dispatch.cpp sends a call here when gl11Shaders is set.
#pragma once

#include "gl11/gl11.h"

namespace gl11es {

// Compiles the shaders and makes the buffers on the current OpenGL ES 3
// context and resets every piece of fixed-function state to GL's defaults.
bool Start(const char** why);
void Stop();
// Draws what has been gathered so far.
void Flush();

void Begin(GLenum mode);
void End();
void Vertex2f(GLfloat x, GLfloat y);
void Vertex3f(GLfloat x, GLfloat y, GLfloat z);
void TexCoord2f(GLfloat s, GLfloat t);
void TexCoord2fv(const GLfloat* v);
void TexCoord2s(GLshort s, GLshort t);
void Color3f(GLfloat r, GLfloat g, GLfloat b);
void Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void Color4fv(const GLfloat* v);
void Color3ub(GLubyte r, GLubyte g, GLubyte b);
void Normal3f(GLfloat x, GLfloat y, GLfloat z);
void Normal3fv(const GLfloat* v);
void VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void NormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer);
void EnableClientState(GLenum array);
void DisableClientState(GLenum array);
void DrawArrays(GLenum mode, GLint first, GLsizei count);
void PushClientAttrib(GLbitfield mask);
void PopClientAttrib();
void MatrixMode(GLenum mode);
void LoadIdentity();
void PushMatrix();
void PopMatrix();
void Translatef(GLfloat x, GLfloat y, GLfloat z);
void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void Scalef(GLfloat x, GLfloat y, GLfloat z);
void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
void GenTextures(GLsizei n, GLuint* textures);
void BindTexture(GLenum target, GLuint texture);
void TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels);
void TexParameteri(GLenum target, GLenum pname, GLint param);
void PixelStorei(GLenum pname, GLint param);
void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params);
void CopyTexImage2D(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width, GLsizei height, GLint border);
void TexGeni(GLenum coord, GLenum pname, GLint param);
void Fogf(GLenum pname, GLfloat param);
void Fogi(GLenum pname, GLint param);
void Fogfv(GLenum pname, const GLfloat* params);
void Enable(GLenum cap);
void Disable(GLenum cap);
GLboolean IsEnabled(GLenum cap);
void BlendFunc(GLenum sfactor, GLenum dfactor);
void DepthFunc(GLenum func);
void DepthMask(GLboolean flag);
void ClearDepth(GLclampd depth);
void ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void ClearStencil(GLint s);
void Clear(GLbitfield mask);
void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
void Hint(GLenum target, GLenum mode);
void ShadeModel(GLenum mode);
void GetIntegerv(GLenum pname, GLint* params);
void GetFloatv(GLenum pname, GLfloat* params);
void PushAttrib(GLbitfield mask);
void PopAttrib();
void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels);
void Finish();
GLUquadric* uNewQuadric();
void uDeleteQuadric(GLUquadric* quad);
void uQuadricNormals(GLUquadric* quad, GLenum normal);
void uQuadricTexture(GLUquadric* quad, GLboolean texture);
void uSphere(GLUquadric* quad, GLdouble radius, GLint slices, GLint stacks);
void uCylinder(GLUquadric* quad, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks);
void uPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void uLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);

}  // namespace gl11es
