// The choice of GL under the show's contexts (platform/headless.h): desktop
// GL 1.1 unless --gles asks for OpenGL ES 3 and gl11's shaders.
#include "platform/headless.h"

bool platGLES = false;
