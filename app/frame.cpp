// The headless modes: the show rendered on the headless context with the
// music clock set by hand for every frame.
#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/sound.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1   // GL 1.2; Windows' own GL header stops at 1.1
#endif

int frameTimeMs(long k, FrameRate rate)
{
    return (int)((long long)k * 1000 * rate.den / rate.num);
}

long frameIndexAt(double seconds, FrameRate rate)
{
    if (seconds <= 0)
        return 0;
    // A tiny allowance so that a time written in decimal (16.2 at 60 frames a
    // second) still names the frame it means.
    return (long)std::floor(seconds * rate.num / rate.den + 1e-9);
}

bool headlessStart(int width, int height)
{
    platSoundSetManual(true);
    const char* why = "";
    if (!platHeadlessCreate(width, height, &why)) {
        std::fprintf(stderr, "vallup: cannot create the headless GL context: %s\n", why);
        return false;
    }
    ReSizeGLScene(width, height);
    InitGL();
    return true;
}

bool headlessFrame(long k, FrameRate rate, bool cheap)
{
    platSoundSetManualTime(frameTimeMs(k, rate));
    if (cheap) {
        // Everything a frame leaves behind (beat counter, clear colour, scene
        // state) comes from running it; its pixels are not needed.
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
    }
    bool more = DrawGLScene();
    if (cheap)
        glDisable(GL_SCISSOR_TEST);
    return more;
}

void headlessReadRGB(int width, int height, unsigned char* out)
{
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> rows((size_t)width * height * 3);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL's first row is the bottom one; a picture's is the top.
    size_t stride = (size_t)width * 3;
    for (int y = 0; y < height; y++)
        std::copy(rows.begin() + (size_t)(height - 1 - y) * stride,
                  rows.begin() + (size_t)(height - y) * stride, out + (size_t)y * stride);
}

void headlessReadBGRA(int width, int height, unsigned char* out)
{
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out);
}

bool writePngRGB(const char* path, int width, int height, const unsigned char* rgb,
                 const char** why)
{
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        *why = "cannot open the file for writing";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        *why = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        *why = "write failed (disk full?)";
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, (png_bytep)(rgb + (size_t)y * width * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        *why = "write failed (disk full?)";
        return false;
    }
    return true;
}

int runFrame(double seconds, const char* outPath, int width, int height, FrameRate rate)
{
    if (!headlessStart(width, height))
        return 1;
    long last = frameIndexAt(seconds, rate);
    for (long k = 0; k < last; k++)
        headlessFrame(k, rate, true);
    headlessFrame(last, rate, false);

    std::vector<unsigned char> rgb((size_t)width * height * 3);
    headlessReadRGB(width, height, rgb.data());
    platHeadlessDestroy();

    const char* why = "";
    if (!writePngRGB(outPath, width, height, rgb.data(), &why)) {
        std::fprintf(stderr, "vallup: cannot write %s: %s\n", outPath, why);
        return 1;
    }
    return 0;
}
