// Finding the show's data, so that it starts from any directory.
#include "app/app.h"
#include "demo/demo.h"
#include "platform/files.h"

#include <cstdio>
#include <filesystem>

std::vector<DataPlace> dataPlaces()
{
    std::vector<DataPlace> places;
    std::error_code err;
    std::string cwd = std::filesystem::current_path(err).u8string();
    if (!err)
        places.push_back({cwd, "the working directory"});
    std::string exe = platExecutablePath();
    if (!exe.empty()) {
        // Unpacked from an archive (data/ beside the program), or installed
        // (<prefix>/bin/vallup and <prefix>/share/vallup/data).
        std::filesystem::path bin = std::filesystem::u8path(exe).parent_path();
        places.push_back({bin.u8string(), "beside the program"});
        std::filesystem::path share = bin.parent_path() / "share" / "vallup";
        places.push_back({share.lexically_normal().u8string(), "installed beside the program"});
    }
#ifdef VALLUP_SOURCE_DIR
    places.push_back({VALLUP_SOURCE_DIR, "the source tree it was built from"});
#endif
    return places;
}

std::string findDataRoot(const std::vector<DataPlace>& places)
{
    for (const DataPlace& place : places)
        if (holdsShowData(place.dir.c_str()))
            return place.dir;
    return "";
}

bool enterDataRoot()
{
    std::vector<DataPlace> places = dataPlaces();
    std::string root = findDataRoot(places);
    if (root.empty()) {
        std::fprintf(stderr, "vallup: cannot find the show's data (%s, data/3d, data/textures); "
                             "looked in:\n", TRACK);
        for (const DataPlace& place : places) {
            std::filesystem::path data = std::filesystem::u8path(place.dir) / "data";
            std::fprintf(stderr, "  %s (%s)\n", data.make_preferred().u8string().c_str(),
                         place.what);
        }
        std::fprintf(stderr, "vallup: run it from the directory that holds data/, keep data/ "
                             "beside the program, or install it (make install)\n");
        return false;
    }
    std::error_code err;
    std::filesystem::current_path(std::filesystem::u8path(root), err);
    if (err) {
        std::fprintf(stderr, "vallup: cannot enter the data's folder %s: %s\n", root.c_str(),
                     err.message().c_str());
        return false;
    }
    return true;
}
