// Placeholder until the render targets land.
#include "render/render.h"

int ScreenWidth = 1024;
int ScreenHeight = 1024;
GLuint rendertexture;
GLuint depthtexture;

void autoInitRenderTexture() {}
void autoInitRenderDepthTexture() {}
void autoMaterialBlendMode(int) {}
void DrawQuad(float, float, float, float) {}
void autoSetViewPort(int) {}
void autoRenderToTexture(int, GLuint) {}
