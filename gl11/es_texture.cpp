// The shader path's textures and pixels: names, images (OpenGL ES 3 wants the
// data's format to match the internal one, so mismatches are converted here),
// sizes that ES 3.0 cannot be asked for, copies from the frame, and reading
// pixels back in GL 1.1's formats.
#include "gl11/es_internal.h"

#include <cstring>
#include <vector>

namespace gl11es {

static TextureInfo& bound() { return ctx->textures[ctx->s.texture]; }

bool textureComplete()
{
    if (ctx->s.texture == 0)
        return false;
    auto it = ctx->textures.find(ctx->s.texture);
    if (it == ctx->textures.end() || !(it->second.levels & 1))
        return false;
    const TextureInfo& t = it->second;
    if (t.minFilter == GL_NEAREST || t.minFilter == GL_LINEAR)
        return true;
    // Mipmapped: every level down to 1 x 1.
    GLint w = t.width[0], h = t.height[0];
    for (int level = 0; level < 16; level++) {
        if (!(t.levels & (1u << level)))
            return false;
        if (w == 1 && h == 1)
            return true;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return false;
}

void GenTextures(GLsizei n, GLuint* textures) { glGenTextures(n, textures); }

void BindTexture(GLenum target, GLuint texture)
{
    if (target != GL_TEXTURE_2D || ctx->s.texture == texture)
        return;
    Flush();
    ctx->s.texture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

void TexParameteri(GLenum target, GLenum pname, GLint param)
{
    if (target != GL_TEXTURE_2D)
        return;
    Flush();
    if (pname == GL_TEXTURE_MIN_FILTER)
        bound().minFilter = param;
    if ((pname == GL_TEXTURE_WRAP_S || pname == GL_TEXTURE_WRAP_T) && param == GL_CLAMP)
        param = GL_CLAMP_TO_EDGE;   // ES has no border to blend with
    glTexParameteri(GL_TEXTURE_2D, pname, param);
}

static int channelsOf(GLenum format)
{
    switch (format) {
    case GL_RGB: case GL_RGB8: case 3: return 3;
    case GL_RGBA: case GL_RGBA8: case 4: return 4;
    default: return 0;
    }
}

static void record(GLint level, GLsizei width, GLsizei height)
{
    if (level < 0 || level >= 16)
        return;
    TextureInfo& t = bound();
    t.width[level] = width;
    t.height[level] = height;
    t.levels |= 1u << level;
}

void TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,
                GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    const int want = channelsOf((GLenum)internalformat), have = channelsOf(format);
    if (target != GL_TEXTURE_2D || border != 0 || type != GL_UNSIGNED_BYTE || !want || !have)
        return;
    Flush();
    const GLenum esInternal = want == 3 ? GL_RGB8 : GL_RGBA8;
    const GLenum esFormat = want == 3 ? GL_RGB : GL_RGBA;
    if (want == have || !pixels) {
        glTexImage2D(GL_TEXTURE_2D, level, esInternal, width, height, 0, esFormat,
                     GL_UNSIGNED_BYTE, pixels);
    } else {
        // Converted to the internal format's layout, rows packed tightly;
        // the source rows as the unpack state lays them out.
        const ClientState& c = ctx->c;
        const size_t rowPixels = c.unpackRowLength > 0 ? (size_t)c.unpackRowLength : (size_t)width;
        const size_t align = c.unpackAlignment > 0 ? (size_t)c.unpackAlignment : 1;
        const size_t rowBytes = (rowPixels * have + align - 1) / align * align;
        const unsigned char* src = (const unsigned char*)pixels +
                                   (size_t)c.unpackSkipRows * rowBytes +
                                   (size_t)c.unpackSkipPixels * have;
        std::vector<unsigned char> out((size_t)width * height * want);
        for (GLsizei y = 0; y < height; y++)
            for (GLsizei x = 0; x < width; x++) {
                const unsigned char* p = src + y * rowBytes + (size_t)x * have;
                unsigned char* q = &out[((size_t)y * width + x) * want];
                q[0] = p[0], q[1] = p[1], q[2] = p[2];
                if (want == 4)
                    q[3] = 255;
            }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glTexImage2D(GL_TEXTURE_2D, level, esInternal, width, height, 0, esFormat,
                     GL_UNSIGNED_BYTE, out.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, c.unpackAlignment);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, c.unpackRowLength);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, c.unpackSkipRows);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, c.unpackSkipPixels);
    }
    record(level, width, height);
}

void CopyTexImage2D(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y,
                    GLsizei width, GLsizei height, GLint border)
{
    const int want = channelsOf(internalformat);
    if (target != GL_TEXTURE_2D || border != 0 || !want)
        return;
    Flush();
    glCopyTexImage2D(GL_TEXTURE_2D, level, want == 3 ? GL_RGB : GL_RGBA, x, y, width, height, 0);
    // A new level 0 replaces the image; levels made before no longer count.
    if (level == 0)
        bound().levels = 0;
    record(level, width, height);
}

void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params)
{
    if (target != GL_TEXTURE_2D || level < 0 || level >= 16)
        return;
    const TextureInfo& t = bound();
    const bool defined = t.levels & (1u << level);
    if (pname == GL_TEXTURE_WIDTH)
        *params = defined ? t.width[level] : 0;
    else if (pname == GL_TEXTURE_HEIGHT)
        *params = defined ? t.height[level] : 0;
}

void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                GLvoid* pixels)
{
    const int channels = format == GL_RGB ? 3 : (format == GL_RGBA || format == GL_BGRA) ? 4 : 0;
    if (type != GL_UNSIGNED_BYTE || !channels || width <= 0 || height <= 0)
        return;
    Flush();
    std::vector<unsigned char> rgba((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t align = ctx->c.packAlignment > 0 ? (size_t)ctx->c.packAlignment : 1;
    const size_t rowBytes = ((size_t)width * channels + align - 1) / align * align;
    for (GLsizei row = 0; row < height; row++) {
        const unsigned char* p = &rgba[(size_t)row * width * 4];
        unsigned char* q = (unsigned char*)pixels + row * rowBytes;
        for (GLsizei i = 0; i < width; i++, p += 4, q += channels) {
            if (format == GL_BGRA) {
                q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = p[3];
            } else {
                q[0] = p[0], q[1] = p[1], q[2] = p[2];
                if (channels == 4)
                    q[3] = p[3];
            }
        }
    }
}

}  // namespace gl11es
