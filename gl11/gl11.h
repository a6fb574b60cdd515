// gl11: the part of OpenGL 1.1 and GLU that this program calls, on either of
// two GLs underneath.
//
// The show draws with fixed-function GL 1.1: immediate mode and vertex arrays,
// the three matrix stacks, textures with the modulate environment, sphere-map
// texture generation, GL_LIGHT0 lighting, fog, blending, depth and scissor,
// glCopyTexImage2D, glReadPixels and the GLU quadrics. The code above
// platform/ includes <GL/gl.h> and <GL/glu.h> as usual; on Linux and web
// builds those names resolve to this module's shadow headers
// (gl11/include/GL/), whose `#define glBegin gl11Begin` macros send every call
// here. Nothing above platform/ knows which GL is under.
//
// Two ways to draw, chosen once a context is current:
//   gl11Start(false, &why)  every gl11X call passes straight to the system's
//                           GL 1.1 and GLU (Linux; frames are exactly those of
//                           a program linked to GL directly).
//   gl11Start(true, &why)   draws through a few GLSL ES 3.00 shaders on an
//                           OpenGL ES 3.0 / WebGL 2 context: the fixed-function
//                           state lives here, vertices are gathered into a
//                           buffer and drawn when state that affects them
//                           changes (or at glFinish, glReadPixels, glClear...).
// A build without a system GL 1.1 (the web; GL11_HAS_FIXED_GL undefined) has
// only the second: gl11Start(false) fails there.
//
// Only what the program uses is offered, with the GL defaults it relies on:
// per-vertex lighting from GL_LIGHT0 as GL initialises it (a white directional
// light along +z in eye space, global ambient 0.2, material specular 0) with
// GL_COLOR_MATERIAL tracking ambient and diffuse; GL_NORMALIZE; sphere-map
// texture generation; fog (linear, exp, exp2) from the eye distance |z_eye|;
// the GL_TEXTURE matrix; texture lookups divided by q; quads split into
// triangles (0,1,2) and (0,2,3) and GLU's quad strips along the diagonal
// Mesa takes. glBegin takes GL_TRIANGLES, GL_QUADS and GL_LINES (and the
// strips and fans GLU makes); vertex arrays are GL_FLOAT. On the shader path
// glLightfv, glMaterial and glShadeModel(GL_FLAT) are not offered or not
// followed, GL_CLAMP wraps as GL_CLAMP_TO_EDGE (ES has no texture border),
// glPushAttrib saves every group whatever its mask (the program pushes them
// all), and GLU draws filled quadrics with normals outward (GLU_SMOOTH or
// none). Anything else is ignored (drawn as nothing), never an abort.
//
// The matrices, vertex positions and GLU's tessellation use the arithmetic of
// Mesa and Mesa's GLU in the same precision and order, so on Mesa the shader
// path and GL 1.1 draw the same triangles: the show's frames through the two
// are pixel for pixel the same but for a few texels.
#pragma once

// The GL types, as the Khronos headers define them (a repeated identical
// typedef is allowed, so this header goes with <GL/gl.h> or <GLES3/gl3.h>).
typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

struct GLUquadric;
typedef struct GLUquadric GLUquadricObj;

// Call once a context is current (the window's or the headless one). shaders
// false: pass everything through to the system's GL 1.1; true: the shader path
// on the current OpenGL ES 3 context. False, with *why, when that cannot be.
bool gl11Start(bool shaders, const char** why);
// Before the context goes: frees the GL objects the shader path made.
void gl11Stop();
// Which of the two is in force (false before gl11Start).
extern bool gl11Shaders;
// Draws the vertices the shader path has gathered and not yet drawn. Call
// before presenting a frame (buffer swap, the end of a browser's animation
// frame); glFinish, glReadPixels, glCopyTexImage2D and glClear draw them too.
// Nothing to do when passing through.
void gl11Flush();

// GL 1.1
void gl11Begin(GLenum mode);
void gl11End();
void gl11Vertex2f(GLfloat x, GLfloat y);
void gl11Vertex3f(GLfloat x, GLfloat y, GLfloat z);
void gl11TexCoord2f(GLfloat s, GLfloat t);
void gl11TexCoord2fv(const GLfloat* v);
void gl11TexCoord2s(GLshort s, GLshort t);
void gl11Color3f(GLfloat r, GLfloat g, GLfloat b);
void gl11Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void gl11Color4fv(const GLfloat* v);
void gl11Color3ub(GLubyte r, GLubyte g, GLubyte b);
void gl11Normal3f(GLfloat x, GLfloat y, GLfloat z);
void gl11Normal3fv(const GLfloat* v);

void gl11VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void gl11TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void gl11NormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer);
void gl11EnableClientState(GLenum array);
void gl11DisableClientState(GLenum array);
void gl11DrawArrays(GLenum mode, GLint first, GLsizei count);
void gl11PushClientAttrib(GLbitfield mask);
void gl11PopClientAttrib();

void gl11MatrixMode(GLenum mode);
void gl11LoadIdentity();
void gl11PushMatrix();
void gl11PopMatrix();
void gl11Translatef(GLfloat x, GLfloat y, GLfloat z);
void gl11Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void gl11Scalef(GLfloat x, GLfloat y, GLfloat z);
void gl11Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar);

void gl11GenTextures(GLsizei n, GLuint* textures);
void gl11BindTexture(GLenum target, GLuint texture);
void gl11TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width,
                    GLsizei height, GLint border, GLenum format, GLenum type,
                    const GLvoid* pixels);
void gl11TexParameteri(GLenum target, GLenum pname, GLint param);
void gl11PixelStorei(GLenum pname, GLint param);
void gl11GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params);
void gl11CopyTexImage2D(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y,
                        GLsizei width, GLsizei height, GLint border);
void gl11TexGeni(GLenum coord, GLenum pname, GLint param);

void gl11Fogf(GLenum pname, GLfloat param);
void gl11Fogi(GLenum pname, GLint param);
void gl11Fogfv(GLenum pname, const GLfloat* params);

void gl11Enable(GLenum cap);
void gl11Disable(GLenum cap);
GLboolean gl11IsEnabled(GLenum cap);
void gl11BlendFunc(GLenum sfactor, GLenum dfactor);
void gl11DepthFunc(GLenum func);
void gl11DepthMask(GLboolean flag);
void gl11ClearDepth(GLclampd depth);
void gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void gl11ClearStencil(GLint s);
void gl11Clear(GLbitfield mask);
void gl11Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
void gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
void gl11Hint(GLenum target, GLenum mode);
void gl11ShadeModel(GLenum mode);
void gl11GetIntegerv(GLenum pname, GLint* params);
void gl11GetFloatv(GLenum pname, GLfloat* params);
void gl11PushAttrib(GLbitfield mask);
void gl11PopAttrib();
void gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                    GLvoid* pixels);
void gl11Finish();

// GLU
GLUquadric* gl11uNewQuadric();
void gl11uDeleteQuadric(GLUquadric* quad);
void gl11uQuadricNormals(GLUquadric* quad, GLenum normal);
void gl11uQuadricTexture(GLUquadric* quad, GLboolean texture);
void gl11uSphere(GLUquadric* quad, GLdouble radius, GLint slices, GLint stacks);
void gl11uCylinder(GLUquadric* quad, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                   GLint stacks);
void gl11uPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gl11uLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                 GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);
