// The program's <GL/glu.h> on builds that draw through gl11: the GLU calls the
// program makes, renamed to this module's entry points (gl11/gl11.h).
#pragma once
#ifndef __glu_h__
#define __glu_h__
#endif

#include <GL/gl.h>

#define gluCylinder gl11uCylinder
#define gluDeleteQuadric gl11uDeleteQuadric
#define gluLookAt gl11uLookAt
#define gluNewQuadric gl11uNewQuadric
#define gluPerspective gl11uPerspective
#define gluQuadricNormals gl11uQuadricNormals
#define gluQuadricTexture gl11uQuadricTexture
#define gluSphere gl11uSphere
