// usage: assetgen [--only music|meshes|textures] OUTDIR
// Writes the show's assets under OUTDIR (normally data/).
#include "assetgen.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

static bool makeDir(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) == 0)
        return true;
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int main(int argc, char** argv)
{
    std::string only, out;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: assetgen [--only music|meshes|textures] OUTDIR\n");
            return 2;
        } else
            out = argv[i];
    }
    if (out.empty() || (!only.empty() && only != "music" && only != "meshes" && only != "textures")) {
        std::fprintf(stderr, "usage: assetgen [--only music|meshes|textures] OUTDIR\n");
        return 2;
    }
    for (const char* sub : {"", "/music", "/3d", "/textures"}) {
        if (!makeDir(out + sub)) {
            std::fprintf(stderr, "assetgen: cannot create %s%s\n", out.c_str(), sub);
            return 1;
        }
    }
    bool ok = true;
    if (only.empty() || only == "meshes")
        ok = makeMeshes(out) && ok;
    if (only.empty() || only == "textures")
        ok = makeTextures(out) && ok;
    if (only.empty() || only == "music")
        ok = makeMusic(out) && ok;
    return ok ? 0 : 1;
}
