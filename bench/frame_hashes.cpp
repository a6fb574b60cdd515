// The pictures of a whole show, as one hash a frame: the show run headless at
// a fixed frame rate exactly as --capture runs it, every EVERY-th frame read
// back whole (BGRA, alpha included) and hashed; the frames between are drawn
// as the cheap catch-up frames of --frame (a 1x1 scissor box), which leave the
// same state behind. bench/same_pictures.sh compares two builds' lists.
//
// Prints "k hash" for each hashed frame, then "frames N".
// usage (from the repository root): bench_frame_hashes WxH [fps] [every]
//        (default 60 frames a second, every frame)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "platform/headless.h"

#include <GL/gl.h>


// 64-bit FNV-1a taken 8 bytes at a time; an odd tail byte by byte.
static uint64_t hashBytes(const unsigned char* p, size_t n)
{
    uint64_t h = 1469598103934665603ull;
    size_t words = n / 8;
    for (size_t i = 0; i < words; i++) {
        uint64_t w;
        std::memcpy(&w, p + i * 8, 8);
        h = (h ^ w) * 1099511628211ull;
    }
    for (size_t i = words * 8; i < n; i++)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

int main(int argc, char** argv)
{
    int width = 0, height = 0, fps = argc > 2 ? std::atoi(argv[2]) : 60;
    long every = argc > 3 ? std::atol(argv[3]) : 1;
    if (argc < 2 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width < 1 ||
        height < 1 || fps < 1 || every < 1) {
        std::fprintf(stderr, "usage: bench_frame_hashes WxH [fps] [every]   (positive numbers)\n");
        return 2;
    }
    if (!enterDataRoot())
        return 1;
    if (!headlessStart(width, height))
        return 1;

    FrameRate rate = {fps, 1};
    std::vector<unsigned char> pixels((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    long k = 0;
    for (;; k++) {
        bool hashed = k % every == 0;
        if (!headlessFrame(k, rate, !hashed))
            break;   // past the end: not a frame of the show
        if (!hashed)
            continue;
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        std::printf("%ld %016llx\n", k, (unsigned long long)hashBytes(pixels.data(), pixels.size()));
    }
    std::printf("frames %ld\n", k);
    platHeadlessDestroy();
    return 0;
}
