// Start-up time: from process start to the first presented frame, headless,
// with all the assets under data/, and where it goes.
//
// Each run forks and execs this program as a child, which starts the show as
// the frame mode does (headless context, InitGL), draws and presents frame 0,
// and reports CLOCK_MONOTONIC marks back through a pipe. The parent's clock
// starts just before fork, so "exec and libraries" is everything before the
// child's main. After its first frame the child also times the asset steps
// on their own (a second run, same process and context): the textures (19
// pngBind), the meshes (loadModels) and the audio opening (autoInitAudio),
// and the two render targets, reported as shares of the first InitGL, and a
// whole second InitGL (what F1 costs, less the new context).
//
// usage: bench_startup [runs]   (from the repository root; default 15 runs)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/png.h"
#include "platform/sound.h"
#include "render/render.h"

static double nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The texture manifest, as start-up loads it.
static const char* const TEXTURES[19] = {
    "fyllecell_01", "copper",  "orvel",   "c64",     "fyllecell_02", "inter01",
    "inter02",      "fyllecell_03", "boll", "extra01", "extra02",    "envmap3",
    "check2",       "bandaid", "bubblan", "pratbubbla", "fyllecell_04", "bandaid",
    "1995",
};

enum { MAIN, CONTEXT, INITGL, FRAME, TEXTURE_STEP, MESH_STEP, AUDIO_STEP, TARGET_STEP, AGAIN, MARKS };

static int child(int fd)
{
    double m[MARKS];
    m[MAIN] = nowMs();
    platSoundSetManual(true);
    const char* why = "";
    if (!platHeadlessCreate(800, 600, &why)) {
        std::fprintf(stderr, "bench_startup: no headless context: %s\n", why);
        return 1;
    }
    ReSizeGLScene(800, 600);
    m[CONTEXT] = nowMs();
    InitGL();
    m[INITGL] = nowMs();
    FrameRate rate;
    headlessFrame(0, rate, false);
    platHeadlessSwap();
    glFinish();
    m[FRAME] = nowMs();

    double t = nowMs();
    pngInfo info;
    char path[128];
    for (const char* name : TEXTURES) {
        std::snprintf(path, sizeof path, "data/textures/%s.png", name);
        pngBind(path, PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT, GL_NEAREST, GL_NEAREST);
    }
    glFinish();
    m[TEXTURE_STEP] = nowMs() - t;
    t = nowMs();
    loadModels();
    m[MESH_STEP] = nowMs() - t;
    t = nowMs();
    autoInitAudio();
    m[AUDIO_STEP] = nowMs() - t;
    t = nowMs();
    autoInitRenderTexture();
    autoInitRenderDepthTexture();
    glFinish();
    m[TARGET_STEP] = nowMs() - t;
    t = nowMs();
    InitGL();
    glFinish();
    m[AGAIN] = nowMs() - t;

    ssize_t put = write(fd, m, sizeof m);
    return put == (ssize_t)sizeof m ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc == 3 && !std::strcmp(argv[1], "--child"))
        return child(std::atoi(argv[2]));

    int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (runs < 1)
        runs = 1;
    if (access("data/textures", R_OK) != 0 || access("data/3d", R_OK) != 0 ||
        access("data/music/track.mp3", R_OK) != 0)
        std::printf("warning: data/ is incomplete here: the asset figures time missing files\n");

    std::vector<double> total, exec, context, initgl, frame, textures, meshes, audio, targets, again;
    for (int i = 0; i < runs; i++) {
        int fds[2];
        if (pipe(fds) != 0) {
            std::perror("bench_startup: pipe");
            return 1;
        }
        std::fflush(stdout);
        double t0 = nowMs();
        pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            std::freopen("/dev/null", "w", stdout);   // the music's "File Not Found" lines
            char fd[16];
            std::snprintf(fd, sizeof fd, "%d", fds[1]);
            execl("/proc/self/exe", argv[0], "--child", fd, (char*)nullptr);
            _exit(127);
        }
        close(fds[1]);
        double m[MARKS];
        ssize_t got = read(fds[0], m, sizeof m);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (got != (ssize_t)sizeof m || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "bench_startup: run %d failed\n", i);
            return 1;
        }
        total.push_back(m[FRAME] - t0);
        exec.push_back(m[MAIN] - t0);
        context.push_back(m[CONTEXT] - m[MAIN]);
        initgl.push_back(m[INITGL] - m[CONTEXT]);
        frame.push_back(m[FRAME] - m[INITGL]);
        textures.push_back(m[TEXTURE_STEP]);
        meshes.push_back(m[MESH_STEP]);
        audio.push_back(m[AUDIO_STEP]);
        targets.push_back(m[TARGET_STEP]);
        again.push_back(m[AGAIN]);
    }

    double init = median(initgl);
    std::printf("process start to first presented frame, headless 800x600, median of %d runs\n",
                runs);
    std::printf("  total                 %7.1f ms\n", median(total));
    std::printf("  exec and libraries    %7.1f ms\n", median(exec));
    std::printf("  GL context            %7.1f ms\n", median(context));
    std::printf("  InitGL                %7.1f ms\n", init);
    std::printf("  first frame           %7.1f ms\n", median(frame));
    std::printf("InitGL's asset steps, timed again on their own (share of InitGL)\n");
    auto share = [&](const char* what, double ms) {
        std::printf("  %-20s  %7.1f ms  %5.1f %%\n", what, ms, init > 0 ? 100 * ms / init : 0);
    };
    share("textures (19)", median(textures));
    share("meshes (4)", median(meshes));
    share("audio opening", median(audio));
    share("render targets (2)", median(targets));
    share("whole InitGL again", median(again));
    return 0;
}
