// assetgen: makes every file under data/ from nothing but code.
//
// Each maker writes its files under `outDir` (which mirrors data/: music/,
// 3d/, textures/) and returns false after saying on standard error what
// failed. Every maker is deterministic: the same program makes the same bytes.
#pragma once

#include <string>

bool makeMusic(const std::string& outDir);      // music/track.mp3
bool makeMeshes(const std::string& outDir);     // 3d/*.obj
bool makeTextures(const std::string& outDir);   // textures/*.png
