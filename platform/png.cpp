// The PNG stand-in: libpng decodes to 8-bit RGB or RGBA rows, which go to GL
// as they come (first file row = texture row t = 0).
#include "platform/png.h"

#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static char lastError[256] = "";

const char* pngLastError() { return lastError; }

static void setError(const char* filename, const char* what)
{
    std::snprintf(lastError, sizeof lastError, "%s: %s", filename, what);
}

// libpng reports errors through this callback and expects it not to return:
// keep the message and unwind to the setjmp in pngBind.
static void onPngError(png_structp png, png_const_charp message)
{
    const char* filename = (const char*)png_get_error_ptr(png);
    char what[200];
    std::snprintf(what, sizeof what, "corrupt or truncated PNG (%s)", message);
    setError(filename, what);
    png_longjmp(png, 1);
}

// Warnings (odd ancillary chunks, incorrect sRGB profiles) do not stop a
// load and are not worth a line on the console.
static void onPngWarning(png_structp, png_const_charp) {}

// VIEWING_GAMMA, read at every load: the display's exponent, or 0 for
// "texels as stored". A bad value is reported once.
static double viewingGamma()
{
    static bool warned = false;
    const char* text = std::getenv("VIEWING_GAMMA");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end != text && *end == '\0' && value >= 0.5 && value <= 5)
        return value;
    if (!warned)
        std::fprintf(stderr,
                     "vallup: ignoring VIEWING_GAMMA=\"%s\": expected the display's gamma, a "
                     "number from 0.5 to 5 (2.2 for a usual monitor); textures load as stored\n",
                     text);
    warned = true;
    return 0;
}

// Halves an image (each output texel the mean of up to 2 x 2 inputs).
static void halve(const unsigned char* src, int w, int h, int channels, unsigned char* dst,
                  int dw, int dh)
{
    for (int y = 0; y < dh; y++)
        for (int x = 0; x < dw; x++)
            for (int c = 0; c < channels; c++) {
                int x0 = x * 2, y0 = y * 2;
                int x1 = x0 + 1 < w ? x0 + 1 : x0, y1 = y0 + 1 < h ? y0 + 1 : y0;
                int sum = src[((size_t)y0 * w + x0) * channels + c] +
                          src[((size_t)y0 * w + x1) * channels + c] +
                          src[((size_t)y1 * w + x0) * channels + c] +
                          src[((size_t)y1 * w + x1) * channels + c];
                dst[((size_t)y * dw + x) * channels + c] = (unsigned char)((sum + 2) / 4);
            }
}

// Uploads level 0 and, when asked, every smaller level down to 1 x 1.
static void upload(unsigned char* pixels, int w, int h, int channels, bool mipmaps)
{
    GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    GLint internal = channels == 4 ? GL_RGBA8 : GL_RGB8;
    glTexImage2D(GL_TEXTURE_2D, 0, internal, w, h, 0, format, GL_UNSIGNED_BYTE, pixels);
    if (!mipmaps)
        return;
    unsigned char* level = pixels;
    for (int n = 1; w > 1 || h > 1; n++) {
        int dw = w > 1 ? w / 2 : 1, dh = h > 1 ? h / 2 : 1;
        // Each level is at most a quarter of the one before, so it fits in place.
        halve(level, w, h, channels, level, dw, dh);
        w = dw;
        h = dh;
        glTexImage2D(GL_TEXTURE_2D, n, internal, w, h, 0, format, GL_UNSIGNED_BYTE, level);
    }
}

// The box round the RGBA texels whose alpha is not 0 (all 0 when none is).
static void findInk(const unsigned char* rgba, unsigned w, unsigned h, pngInfo* info)
{
    unsigned left = w, top = h, right = 0, bottom = 0;
    for (unsigned y = 0; y < h; y++)
        for (unsigned x = 0; x < w; x++)
            if (rgba[((size_t)y * w + x) * 4 + 3]) {
                left = x < left ? x : left;
                right = x + 1 > right ? x + 1 : right;
                top = y < top ? y : top;
                bottom = y + 1;
            }
    if (right == 0)
        left = top = 0;
    info->InkLeft = left;
    info->InkTop = top;
    info->InkRight = right;
    info->InkBottom = bottom;
}

static GLint baseFilter(GLint filter)
{
    switch (filter) {
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
        return GL_NEAREST;
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_LINEAR:
        return GL_LINEAR;
    default:
        return filter;
    }
}

unsigned int pngBind(const char* filename, int mipmap, int trans, pngInfo* info, int wrapst,
                     int minfilter, int magfilter)
{
    lastError[0] = '\0';
    if (info)
        *info = pngInfo{};
    if (!filename) {
        setError("(null)", "no file name");
        return 0;
    }

    FILE* file = std::fopen(filename, "rb");
    if (!file) {
        setError(filename, std::strerror(errno));
        return 0;
    }
    unsigned char signature[8];
    if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        std::fclose(file);
        setError(filename, "not a PNG file");
        return 0;
    }

    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, (png_voidp)filename, onPngError, onPngWarning);
    png_infop pinfo = png ? png_create_info_struct(png) : nullptr;
    if (!pinfo) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::fclose(file);
        setError(filename, "out of memory");
        return 0;
    }

    // Written after setjmp and read after a longjmp: volatile.
    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(pixels);
        std::free(rows);
        png_destroy_read_struct(&png, &pinfo, nullptr);
        std::fclose(file);
        return 0;
    }

    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_info(png, pinfo);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, pinfo, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize > 0 && (width > (png_uint_32)maxSize || height > (png_uint_32)maxSize)) {
        char what[128];
        std::snprintf(what, sizeof what, "%u x %u is larger than the GL's largest texture (%d)",
                      (unsigned)width, (unsigned)height, (int)maxSize);
        setError(filename, what);
        png_destroy_read_struct(&png, &pinfo, nullptr);
        std::fclose(file);
        return 0;
    }

    bool solid = trans == PNG_SOLID;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, pinfo, PNG_INFO_tRNS) && !solid)
        png_set_tRNS_to_alpha(png);
    if (depth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // Solid means RGB whatever the file holds: a palette with transparency
    // expands to RGBA even without the tRNS conversion, so its alpha goes too.
    if (solid && ((colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, pinfo, PNG_INFO_tRNS)))
        png_set_strip_alpha(png);
    if (double screen = viewingGamma()) {
        double fileGamma = 0;
        if (!png_get_gAMA(png, pinfo, &fileGamma))
            fileGamma = 1 / 2.2;
        png_set_gamma(png, screen, fileGamma);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, pinfo);

    int channels = png_get_channels(png, pinfo);
    size_t rowBytes = png_get_rowbytes(png, pinfo);
    if ((channels != 3 && channels != 4) || rowBytes != (size_t)width * channels) {
        setError(filename, "unexpected pixel layout after conversion");
        png_destroy_read_struct(&png, &pinfo, nullptr);
        std::fclose(file);
        return 0;
    }

    pixels = (unsigned char*)std::malloc(rowBytes * height);
    rows = (png_bytep*)std::malloc(sizeof(png_bytep) * height);
    if (!pixels || !rows) {
        setError(filename, "out of memory");
        png_longjmp(png, 1);
    }
    for (png_uint_32 y = 0; y < height; y++)
        rows[y] = pixels + rowBytes * y;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    pngInfo found = {(unsigned)width, (unsigned)height, (unsigned)depth, channels == 4 ? 8u : 0u,
                     0, 0, (unsigned)width, (unsigned)height};
    if (channels == 4)
        findInk(pixels, (unsigned)width, (unsigned)height, &found);
    png_destroy_read_struct(&png, &pinfo, nullptr);
    std::fclose(file);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    bool mipmaps = mipmap != PNG_NOMIPMAP;
    upload(pixels, (int)width, (int)height, channels, mipmaps);
    glPopClientAttrib();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? minfilter : baseFilter(minfilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magfilter);

    std::free(pixels);
    std::free(rows);
    if (info)
        *info = found;
    return name;
}
