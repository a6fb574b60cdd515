// The shader path's one program: the fixed-function vertex and fragment stages
// the program uses, in GLSL ES 3.00 (OpenGL ES 3.0, WebGL 2), and the drawing
// of a batch with the state in force.
//
// Vertex stage (per vertex, as Mesa's fixed-function vertex program):
//   lighting  colour = clamp(0.2 * ambient + max(n . L, 0) * diffuse), alpha =
//             the diffuse alpha; GL_LIGHT0 at its defaults (white diffuse and
//             specular, black ambient, directional along +z in eye space), the
//             material's specular and emission black, so neither adds; ambient
//             and diffuse are the vertex colour under GL_COLOR_MATERIAL; n is
//             normalised only under GL_NORMALIZE.
//   sphere map  u = the unit eye position, r = u - 2 n (n . u),
//             m = 2 sqrt(r.x^2 + r.y^2 + (r.z + 1)^2), (s, t) = r.xy / m + 1/2,
//             then the texture matrix.
// Fragment stage: the colour times the texel (GL_MODULATE) when a complete
// texture is enabled, then fog, linear in |z_eye| from start to end.
#include "gl11/es_internal.h"

#include <cmath>
#include <cstddef>
#include <string>

namespace gl11es {

static const char* VERTEX_SHADER = R"(#version 300 es
precision highp float;
layout(location = 0) in vec4 aClip;
layout(location = 1) in vec3 aEye;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec4 aColor;
layout(location = 4) in vec4 aTex;
uniform bool uLighting, uLight0, uColorMaterial, uNormalize, uGenS, uGenT;
uniform vec4 uMatAmbient, uMatDiffuse;
uniform mat4 uTexMatrix;
out vec4 vColor;
out vec4 vTex;
out float vFogDistance;
void main()
{
    gl_Position = aClip;
    vec3 n = uNormalize ? normalize(aNormal) : aNormal;
    vec4 color = aColor;
    if (uLighting) {
        vec4 ambient = uColorMaterial ? aColor : uMatAmbient;
        vec4 diffuse = uColorMaterial ? aColor : uMatDiffuse;
        vec3 lit = vec3(0.2) * ambient.rgb;
        if (uLight0)
            lit += max(dot(n, vec3(0.0, 0.0, 1.0)), 0.0) * diffuse.rgb;
        color = vec4(lit, diffuse.a);
    }
    vColor = clamp(color, 0.0, 1.0);
    vec4 tc = aTex;
    if (uGenS || uGenT) {
        vec3 u = normalize(aEye);
        vec3 r = u - 2.0 * n * dot(n, u);
        vec3 rp = r + vec3(0.0, 0.0, 1.0);
        float inverseM = inversesqrt(dot(rp, rp)) * 0.5;
        vec2 st = r.xy * inverseM + 0.5;
        if (uGenS) tc.x = st.x;
        if (uGenT) tc.y = st.y;
        tc = uTexMatrix * tc;
    }
    vTex = tc;
    vFogDistance = abs(aEye.z);
}
)";

static const char* FRAGMENT_SHADER = R"(#version 300 es
precision highp float;
in vec4 vColor;
in vec4 vTex;
in float vFogDistance;
uniform bool uTexture, uFog;
uniform sampler2D uSampler;
uniform int uFogMode;
uniform vec4 uFogColor;
uniform float uFogStart, uFogEnd, uFogDensity;
out vec4 fragColor;
void main()
{
    vec4 color = vColor;
    if (uTexture)
        color *= textureProj(uSampler, vTex);   // divided by q, as GL 1.1 does
    if (uFog) {
        float f;
        if (uFogMode == 0)
            f = (uFogEnd - vFogDistance) / (uFogEnd - uFogStart);
        else if (uFogMode == 1)
            f = exp(-uFogDensity * vFogDistance);
        else
            f = exp(-(uFogDensity * vFogDistance) * (uFogDensity * vFogDistance));
        color.rgb = mix(uFogColor.rgb, color.rgb, clamp(f, 0.0, 1.0));
    }
    fragColor = color;
}
)";

namespace {
struct Uniforms {
    GLint lighting, light0, colorMaterial, normalize, genS, genT, matAmbient, matDiffuse,
        texMatrix, texture, fog, sampler, fogMode, fogColor, fogStart, fogEnd, fogDensity;
} u;
}

static GLuint compile(GLenum type, const char* source, const char** why)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        static std::string log;
        char text[1024] = "";
        glGetShaderInfoLog(shader, sizeof text, nullptr, text);
        log = std::string("cannot compile gl11's shaders: ") + text;
        *why = log.c_str();
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool makeProgram(const char** why)
{
    const char* version = (const char*)glGetString(GL_VERSION);
    if (!version || std::string(version).find("OpenGL ES 3") == std::string::npos) {
        // WebGL 2 reports "WebGL 2.0 (OpenGL ES 3.0 ...)"
        if (!version || std::string(version).find("WebGL 2") == std::string::npos) {
            *why = "gl11's shaders need an OpenGL ES 3.0 (or WebGL 2) context";
            return false;
        }
    }
    GLuint vs = compile(GL_VERTEX_SHADER, VERTEX_SHADER, why);
    if (!vs)
        return false;
    GLuint fs = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER, why);
    if (!fs) {
        glDeleteShader(vs);
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        *why = "cannot link gl11's shaders";
        glDeleteProgram(program);
        return false;
    }
    ctx->program = program;
    glUseProgram(program);
    auto loc = [&](const char* name) { return glGetUniformLocation(program, name); };
    u = {loc("uLighting"),  loc("uLight0"),   loc("uColorMaterial"), loc("uNormalize"),
         loc("uGenS"),      loc("uGenT"),     loc("uMatAmbient"),    loc("uMatDiffuse"),
         loc("uTexMatrix"), loc("uTexture"),  loc("uFog"),           loc("uSampler"),
         loc("uFogMode"),   loc("uFogColor"), loc("uFogStart"),      loc("uFogEnd"),
         loc("uFogDensity")};
    glUniform1i(u.sampler, 0);

    glGenVertexArrays(1, &ctx->vao);
    glBindVertexArray(ctx->vao);
    glGenBuffers(1, &ctx->vbo);
    glBindBuffer(GL_ARRAY_BUFFER, ctx->vbo);
    glGenBuffers(1, &ctx->ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ctx->ibo);   // part of the vertex array's state
    const GLsizei stride = sizeof(Vertex);
    struct Attribute {
        GLint size;
        size_t offset;
    } attributes[] = {
        {4, offsetof(Vertex, clip)},  {3, offsetof(Vertex, eye)}, {3, offsetof(Vertex, normal)},
        {4, offsetof(Vertex, color)}, {4, offsetof(Vertex, tex)},
    };
    for (GLuint i = 0; i < 5; i++) {
        glEnableVertexAttribArray(i);
        glVertexAttribPointer(i, attributes[i].size, GL_FLOAT, GL_FALSE, stride,
                              (const void*)attributes[i].offset);
    }
    glActiveTexture(GL_TEXTURE0);
    return true;
}

void drawBatch()
{
    const ServerState& s = ctx->s;
    const bool lighting = enabled(GL_LIGHTING);
    glUniform1i(u.lighting, lighting);
    glUniform1i(u.light0, enabled(GL_LIGHT0));
    glUniform1i(u.colorMaterial, enabled(GL_COLOR_MATERIAL));
    glUniform1i(u.normalize, enabled(GL_NORMALIZE));
    const bool genS = enabled(GL_TEXTURE_GEN_S) && s.texGenMode[0] == GL_SPHERE_MAP;
    const bool genT = enabled(GL_TEXTURE_GEN_T) && s.texGenMode[1] == GL_SPHERE_MAP;
    glUniform1i(u.genS, genS);
    glUniform1i(u.genT, genT);
    glUniform4fv(u.matAmbient, 1, s.matAmbient);
    glUniform4fv(u.matDiffuse, 1, s.matDiffuse);
    glUniformMatrix4fv(u.texMatrix, 1, GL_FALSE, top(2).m);
    glUniform1i(u.texture, enabled(GL_TEXTURE_2D) && textureComplete());
    glUniform1i(u.fog, enabled(GL_FOG));
    glUniform1i(u.fogMode, s.fogMode == GL_LINEAR ? 0 : s.fogMode == GL_EXP ? 1 : 2);
    glUniform4fv(u.fogColor, 1, s.fogColor);
    glUniform1f(u.fogStart, s.fogStart);
    glUniform1f(u.fogEnd, s.fogEnd);
    glUniform1f(u.fogDensity, s.fogDensity);

    // New storage every time: rewriting storage an earlier draw still reads
    // would make the GL wait for that draw to finish.
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(ctx->batch.size() * sizeof(Vertex)),
                 ctx->batch.data(), GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(ctx->indices.size() * sizeof(GLuint)),
                 ctx->indices.data(), GL_STREAM_DRAW);
    glDrawElements(ctx->batchMode, (GLsizei)ctx->indices.size(), GL_UNSIGNED_INT, nullptr);
    ctx->batch.clear();
    ctx->indices.clear();
}

}  // namespace gl11es
