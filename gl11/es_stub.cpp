// Placeholder shader path: not drawn yet.
#include "gl11/es.h"

namespace gl11es {

bool Start(const char** why) { *why = "the shader path is not built yet"; return false; }
void Stop() {}
void Flush() {}
void Begin(GLenum) {}
void End() {}
void Vertex2f(GLfloat, GLfloat) {}
void Vertex3f(GLfloat, GLfloat, GLfloat) {}
void TexCoord2f(GLfloat, GLfloat) {}
void TexCoord2fv(const GLfloat*) {}
void TexCoord2s(GLshort, GLshort) {}
void Color3f(GLfloat, GLfloat, GLfloat) {}
void Color4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void Color4fv(const GLfloat*) {}
void Color3ub(GLubyte, GLubyte, GLubyte) {}
void Normal3f(GLfloat, GLfloat, GLfloat) {}
void Normal3fv(const GLfloat*) {}
void VertexPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void TexCoordPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void NormalPointer(GLenum, GLsizei, const GLvoid*) {}
void EnableClientState(GLenum) {}
void DisableClientState(GLenum) {}
void DrawArrays(GLenum, GLint, GLsizei) {}
void PushClientAttrib(GLbitfield) {}
void PopClientAttrib() {}
void MatrixMode(GLenum) {}
void LoadIdentity() {}
void PushMatrix() {}
void PopMatrix() {}
void Translatef(GLfloat, GLfloat, GLfloat) {}
void Rotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void Scalef(GLfloat, GLfloat, GLfloat) {}
void Ortho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void GenTextures(GLsizei, GLuint*) {}
void BindTexture(GLenum, GLuint) {}
void TexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
void TexParameteri(GLenum, GLenum, GLint) {}
void PixelStorei(GLenum, GLint) {}
void GetTexLevelParameteriv(GLenum, GLint, GLenum, GLint*) {}
void CopyTexImage2D(GLenum, GLint, GLenum, GLint, GLint, GLsizei, GLsizei, GLint) {}
void TexGeni(GLenum, GLenum, GLint) {}
void Fogf(GLenum, GLfloat) {}
void Fogi(GLenum, GLint) {}
void Fogfv(GLenum, const GLfloat*) {}
void Enable(GLenum) {}
void Disable(GLenum) {}
GLboolean IsEnabled(GLenum) { return 0; }
void BlendFunc(GLenum, GLenum) {}
void DepthFunc(GLenum) {}
void DepthMask(GLboolean) {}
void ClearDepth(GLclampd) {}
void ClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void ClearStencil(GLint) {}
void Clear(GLbitfield) {}
void Scissor(GLint, GLint, GLsizei, GLsizei) {}
void Viewport(GLint, GLint, GLsizei, GLsizei) {}
void Hint(GLenum, GLenum) {}
void ShadeModel(GLenum) {}
void GetIntegerv(GLenum, GLint*) {}
void GetFloatv(GLenum, GLfloat*) {}
void PushAttrib(GLbitfield) {}
void PopAttrib() {}
void ReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {}
void Finish() {}
GLUquadric* uNewQuadric() { return nullptr; }
void uDeleteQuadric(GLUquadric*) {}
void uQuadricNormals(GLUquadric*, GLenum) {}
void uQuadricTexture(GLUquadric*, GLboolean) {}
void uSphere(GLUquadric*, GLdouble, GLint, GLint) {}
void uCylinder(GLUquadric*, GLdouble, GLdouble, GLdouble, GLint, GLint) {}
void uPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}
void uLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}

}  // namespace gl11es
