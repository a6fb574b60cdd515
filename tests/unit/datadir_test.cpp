// Finding the show's data at start: a place counts only when its data/ holds
// a file the show reads, and the first such place wins.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/app.h"

namespace fs = std::filesystem;

TEST(DataRoot, FirstPlaceWhoseDataHoldsAShowFileWins)
{
    fs::path base = fs::temp_directory_path() / ("vallup-datadir-" + std::to_string(getpid()));
    fs::remove_all(base);
    // A data/ folder of someone else's files, as a home directory may have.
    fs::create_directories(base / "other/data/music");
    std::ofstream(base / "other/data/music/song.mp3") << "x";
    // A copy that holds only one texture: still the show's data (a broken copy
    // still plays, with what it has).
    fs::create_directories(base / "partial/data/textures");
    std::ofstream(base / "partial/data/textures/check2.png") << "x";
    fs::create_directories(base / "empty");

    std::vector<DataPlace> places = {{(base / "empty").string(), "a"},
                                     {(base / "other").string(), "b"},
                                     {(base / "partial").string(), "c"},
                                     {VALLUP_ROOT, "d"}};
    EXPECT_EQ(findDataRoot(places), (base / "partial").string());
    places.erase(places.begin() + 2);
    EXPECT_EQ(findDataRoot(places), VALLUP_ROOT);
    places.pop_back();
    EXPECT_EQ(findDataRoot(places), "");   // nothing found: the caller says where it looked
    fs::remove_all(base);
}

TEST(DataRoot, WorkingDirectoryThenBesideTheProgramThenTheInstalledCopyThenTheSourceTree)
{
    std::vector<DataPlace> places = dataPlaces();
#ifdef _WIN32   // a Windows build goes elsewhere with its data: no source tree to look in
    ASSERT_EQ(places.size(), 3u);
#else
    ASSERT_EQ(places.size(), 4u);
#endif
    EXPECT_EQ(places[0].dir, fs::current_path().string());
    // This test program lies in build/tests/: unpacked data would be there,
    // an installed copy in build/share/vallup (in the system's separators).
    fs::path build = fs::path(VALLUP_BINARY).parent_path();
    EXPECT_EQ(places[1].dir, (build / "tests").make_preferred().string());
    EXPECT_EQ(places[2].dir, (build / "share/vallup").make_preferred().string());
#ifndef _WIN32
    EXPECT_EQ(fs::canonical(places[3].dir), fs::canonical(VALLUP_ROOT));
#endif
}
