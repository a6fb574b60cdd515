// The program's <GL/gl.h> on builds that draw through gl11 (Linux, web): the
// GL 1.1 types and constants, and every GL 1.1 call the program makes renamed
// to this module's entry points (gl11/gl11.h says what they do). A call not
// listed here fails to compile: add it to gl11 first.
#pragma once
#ifndef __gl_h_
#define __gl_h_
#endif

#include "../../gl11.h"
#include "../../gl11_enums.h"

#define glBegin gl11Begin
#define glBindTexture gl11BindTexture
#define glBlendFunc gl11BlendFunc
#define glClear gl11Clear
#define glClearColor gl11ClearColor
#define glClearDepth gl11ClearDepth
#define glClearStencil gl11ClearStencil
#define glColor3f gl11Color3f
#define glColor3ub gl11Color3ub
#define glColor4f gl11Color4f
#define glColor4fv gl11Color4fv
#define glCopyTexImage2D gl11CopyTexImage2D
#define glDepthFunc gl11DepthFunc
#define glDepthMask gl11DepthMask
#define glDisable gl11Disable
#define glDisableClientState gl11DisableClientState
#define glDrawArrays gl11DrawArrays
#define glEnable gl11Enable
#define glEnableClientState gl11EnableClientState
#define glEnd gl11End
#define glFinish gl11Finish
#define glFogf gl11Fogf
#define glFogfv gl11Fogfv
#define glFogi gl11Fogi
#define glGenTextures gl11GenTextures
#define glGetFloatv gl11GetFloatv
#define glGetIntegerv gl11GetIntegerv
#define glGetTexLevelParameteriv gl11GetTexLevelParameteriv
#define glHint gl11Hint
#define glIsEnabled gl11IsEnabled
#define glLoadIdentity gl11LoadIdentity
#define glMatrixMode gl11MatrixMode
#define glNormal3f gl11Normal3f
#define glNormal3fv gl11Normal3fv
#define glNormalPointer gl11NormalPointer
#define glOrtho gl11Ortho
#define glPixelStorei gl11PixelStorei
#define glPopAttrib gl11PopAttrib
#define glPopClientAttrib gl11PopClientAttrib
#define glPopMatrix gl11PopMatrix
#define glPushAttrib gl11PushAttrib
#define glPushClientAttrib gl11PushClientAttrib
#define glPushMatrix gl11PushMatrix
#define glReadPixels gl11ReadPixels
#define glRotatef gl11Rotatef
#define glScalef gl11Scalef
#define glScissor gl11Scissor
#define glShadeModel gl11ShadeModel
#define glTexCoord2f gl11TexCoord2f
#define glTexCoord2fv gl11TexCoord2fv
#define glTexCoord2s gl11TexCoord2s
#define glTexCoordPointer gl11TexCoordPointer
#define glTexGeni gl11TexGeni
#define glTexImage2D gl11TexImage2D
#define glTexParameteri gl11TexParameteri
#define glTranslatef gl11Translatef
#define glVertex2f gl11Vertex2f
#define glVertex3f gl11Vertex3f
#define glVertexPointer gl11VertexPointer
#define glViewport gl11Viewport
#define glX gl11X
