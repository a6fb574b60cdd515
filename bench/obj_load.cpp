// OBJ loading speed: our loader (read, two passes, normals and tangents)
// against tinyobjloader (read, parse, triangulate), side by side on one large
// generated file: a wavy grid of quads with texture coordinates and normals
// lines, in several groups. Prints the median of each, MB/s, the ratio and
// both triangle counts, which must agree. Times are the process's CPU time
// (the machine is shared, so wall time mostly measures the neighbours);
// wall-clock medians are printed beside them.
//
//   build/bench/bench_obj_load [runs] [file]    (defaults: 7, /tmp/vallup_obj_bench.obj)
#include <tiny_obj_loader.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mesh/obj.h"

namespace {

// 711 x 711 positions, 710 x 710 quads: 1 008 200 triangles.
const int GRID = 711;

bool writeGrid(const char* path)
{
    FILE* f = std::fopen(path, "w");
    if (!f)
        return false;
    std::fprintf(f, "# benchmark grid\nmtllib none.mtl\no grid\n");
    for (int y = 0; y < GRID; y++)
        for (int x = 0; x < GRID; x++)
            std::fprintf(f, "v %.6f %.6f %.6f\n", x * 0.1f, std::sin(x * 0.05f) * std::cos(y * 0.07f),
                         y * -0.1f);
    for (int y = 0; y < GRID; y++)
        for (int x = 0; x < GRID; x++)
            std::fprintf(f, "vt %.6f %.6f\n", x / (float)(GRID - 1), y / (float)(GRID - 1));
    std::fprintf(f, "vn 0 1 0\n");
    for (int y = 0; y + 1 < GRID; y++) {
        if (y % 100 == 0)
            std::fprintf(f, "g band%d\nusemtl m%d\ns 1\n", y / 100, y / 100);
        for (int x = 0; x + 1 < GRID; x++) {
            int a = y * GRID + x + 1, b = a + 1, c = a + GRID + 1, d = a + GRID;
            std::fprintf(f, "f %d/%d %d/%d %d/%d %d/%d\n", a, a, d, d, c, c, b, b);
        }
    }
    return std::fclose(f) == 0;
}

double seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double cpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const char* path = argc > 2 ? argv[2] : "/tmp/vallup_obj_bench.obj";
    if (runs < 1)
        runs = 1;
    if (!writeGrid(path)) {
        std::fprintf(stderr, "bench_obj_load: cannot write %s; pass a writable path\n", path);
        return 1;
    }
    FILE* f = std::fopen(path, "rb");
    std::fseek(f, 0, SEEK_END);
    double megabytes = std::ftell(f) / 1e6;
    std::fclose(f);

    std::vector<double> ours, tiny, oursWall, tinyWall;
    size_t oursTriangles = 0, tinyTriangles = 0;
    for (int r = 0; r < runs; r++) {
        double w0 = seconds(), t0 = cpuSeconds();
        OBJ_Model_t m{};
        if (!OBJ_LoadModel(&m, path)) {
            std::fprintf(stderr, "bench_obj_load: OBJ_LoadModel failed on %s\n", path);
            return 1;
        }
        ours.push_back(cpuSeconds() - t0);
        oursWall.push_back(seconds() - w0);
        oursTriangles = m.numTriangles;
        OBJ_FreeModel(&m);

        w0 = seconds();
        t0 = cpuSeconds();
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path)) {
            std::fprintf(stderr, "bench_obj_load: tinyobjloader failed: %s\n", err.c_str());
            return 1;
        }
        tiny.push_back(cpuSeconds() - t0);
        tinyWall.push_back(seconds() - w0);
        tinyTriangles = 0;
        for (const tinyobj::shape_t& s : shapes)
            tinyTriangles += s.mesh.indices.size() / 3;
    }

    double mo = median(ours), mt = median(tiny);
    std::printf("file: %s, %.1f MB, %d runs each, interleaved\n", path, megabytes, runs);
    std::printf("ours (load + normals + tangents): median %.1f ms CPU  %.0f MB/s  (wall %.1f ms)"
                "  %zu triangles\n",
                mo * 1e3, megabytes / mo, median(oursWall) * 1e3, oursTriangles);
    std::printf("tinyobjloader (load, triangulate): median %.1f ms CPU  %.0f MB/s  (wall %.1f ms)"
                "  %zu triangles\n",
                mt * 1e3, megabytes / mt, median(tinyWall) * 1e3, tinyTriangles);
    std::printf("CPU time ratio ours / tinyobjloader: %.3f (%.2fx faster)\n", mo / mt, mt / mo);
    if (oursTriangles != tinyTriangles) {
        std::printf("TRIANGLE COUNTS DIFFER\n");
        return 1;
    }
    return 0;
}
