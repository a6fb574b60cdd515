// framediff: how far two renderings of the show are apart.
//
//   framediff [--max-over PCT] [--max-mean LEVELS] A.png B.png
//   framediff [--max-over PCT] [--max-mean LEVELS] DIR_A DIR_B
//
// Per frame, over the red, green and blue channels (8 bits each): the percent
// of pixels more than 16 levels off in any channel, and the mean absolute
// difference of all channels in levels. Two files: one line
// "pixels_over_16_percent mean_difference". Two directories: every PNG in
// DIR_A with its namesake in DIR_B, one line per frame "NAME pct mean", then
// "worst over 16: NAME pct mean" and "worst mean: NAME pct mean".
//
// Exit status 0 when every frame is within the limits (default 1% over 16 and
// a mean of 2 levels), 1 when one is not, 2 when a picture cannot be read,
// the sizes differ or a frame is missing.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Image {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool readPng(const std::string& path, Image* out)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    out->width = image.width;
    out->height = image.height;
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

struct Difference {
    double overPercent = 0;   // pixels more than 16 levels off in a channel, %
    double mean = 0;          // mean absolute difference over all channels, levels
};

Difference compare(const Image& a, const Image& b)
{
    const size_t pixels = (size_t)a.width * a.height;
    size_t over = 0;
    unsigned long long sum = 0;
    for (size_t i = 0; i < pixels; i++) {
        int worst = 0;
        for (int c = 0; c < 3; c++) {
            int d = std::abs((int)a.rgb[i * 3 + c] - (int)b.rgb[i * 3 + c]);
            sum += (unsigned)d;
            worst = std::max(worst, d);
        }
        if (worst > 16)
            over++;
    }
    Difference d;
    if (pixels) {
        d.overPercent = 100.0 * over / pixels;
        d.mean = (double)sum / (pixels * 3);
    }
    return d;
}

int usage()
{
    std::fprintf(stderr, "usage: framediff [--max-over PCT] [--max-mean LEVELS] A.png B.png\n"
                         "       framediff [--max-over PCT] [--max-mean LEVELS] DIR_A DIR_B\n");
    return 2;
}

// Reads both and compares them; false (with a message) when that cannot be.
bool diffPair(const std::string& a, const std::string& b, Difference* d)
{
    Image ia, ib;
    if (!readPng(a, &ia)) {
        std::fprintf(stderr, "framediff: cannot read %s as a PNG\n", a.c_str());
        return false;
    }
    if (!readPng(b, &ib)) {
        std::fprintf(stderr, "framediff: cannot read %s as a PNG\n", b.c_str());
        return false;
    }
    if (ia.width != ib.width || ia.height != ib.height) {
        std::fprintf(stderr, "framediff: %s is %u x %u, %s is %u x %u\n", a.c_str(), ia.width,
                     ia.height, b.c_str(), ib.width, ib.height);
        return false;
    }
    *d = compare(ia, ib);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    double maxOver = 1.0, maxMean = 2.0;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if ((a == "--max-over" || a == "--max-mean") && i + 1 < argc) {
            char* end = nullptr;
            double v = std::strtod(argv[++i], &end);
            if (!end || *end || v < 0)
                return usage();
            (a == "--max-over" ? maxOver : maxMean) = v;
        } else if (!a.empty() && a[0] == '-') {
            return usage();
        } else {
            paths.push_back(a);
        }
    }
    if (paths.size() != 2)
        return usage();
    auto within = [&](const Difference& d) { return d.overPercent <= maxOver && d.mean <= maxMean; };

    std::error_code ec;
    if (!fs::is_directory(paths[0], ec)) {
        Difference d;
        if (!diffPair(paths[0], paths[1], &d))
            return 2;
        std::printf("%.4f %.4f\n", d.overPercent, d.mean);
        return within(d) ? 0 : 1;
    }

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(paths[0], ec))
        if (entry.path().extension() == ".png")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        std::fprintf(stderr, "framediff: no PNG files in %s\n", paths[0].c_str());
        return 2;
    }
    Difference worstOver{-1, 0}, worstMean{0, -1};
    std::string worstOverName, worstMeanName;
    int outside = 0;
    for (const std::string& name : names) {
        Difference d;
        if (!diffPair((fs::path(paths[0]) / name).string(), (fs::path(paths[1]) / name).string(),
                      &d))
            return 2;
        std::printf("%s %.4f %.4f%s\n", name.c_str(), d.overPercent, d.mean,
                    within(d) ? "" : "  OUTSIDE");
        if (!within(d))
            outside++;
        if (d.overPercent > worstOver.overPercent)
            worstOver = d, worstOverName = name;
        if (d.mean > worstMean.mean)
            worstMean = d, worstMeanName = name;
    }
    std::printf("worst over 16: %s %.4f %.4f\n", worstOverName.c_str(), worstOver.overPercent,
                worstOver.mean);
    std::printf("worst mean: %s %.4f %.4f\n", worstMeanName.c_str(), worstMean.overPercent,
                worstMean.mean);
    std::printf("%zu frames, %d outside %.4g%% over 16 / mean %.4g\n", names.size(), outside,
                maxOver, maxMean);
    return outside ? 1 : 0;
}
