// The frame mode: a frame rendered after cheap catch-up frames (drawn into a
// one-pixel scissor box) is the frame a continuous run shows, pixel for pixel,
// with the same beat counter and clear colour. Each run is a fresh process
// (fork) so that nothing of one run's globals leaks into the other.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"

namespace {

const int W = 160, H = 120;

struct RunResult {
    bool ok = false;
    int temp = -1;
    float clear[4] = {};
    std::vector<unsigned char> rgb;
};

// Renders frames 0..last of a continuous run in a child process; the catch-up
// frames are cheap or full as asked. The child writes what it saw to a file.
RunResult runInChild(long last, bool cheap, FrameRate rate = {})
{
    char path[] = "/tmp/vallup-frame-XXXXXX";
    int fd = mkstemp(path);
    close(fd);
    pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);   // the missing-track lines
        if (!headlessStart(W, H))
            _exit(3);
        for (long k = 0; k < last; k++)
            headlessFrame(k, rate, cheap);
        headlessFrame(last, rate, false);
        std::vector<unsigned char> rgb(W * H * 3);
        headlessReadRGB(W, H, rgb.data());
        float clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        FILE* f = std::fopen(path, "wb");
        std::fwrite(&temp, sizeof temp, 1, f);
        std::fwrite(clear, sizeof clear, 1, f);
        std::fwrite(rgb.data(), 1, rgb.size(), f);
        std::fclose(f);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    FILE* f = std::fopen(path, "rb");
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && f) {
        r.rgb.resize(W * H * 3);
        r.ok = std::fread(&r.temp, sizeof r.temp, 1, f) == 1 &&
               std::fread(r.clear, sizeof r.clear, 1, f) == 1 &&
               std::fread(r.rgb.data(), 1, r.rgb.size(), f) == r.rgb.size();
    }
    if (f)
        std::fclose(f);
    std::remove(path);
    return r;
}

}  // namespace

TEST(FrameMode, FrameTimesAreWholeFramesOfTheRate)
{
    FrameRate r60;
    EXPECT_EQ(frameIndexAt(16.0, r60), 960);
    EXPECT_EQ(frameIndexAt(16.2, r60), 972);       // decimal times name their frame
    EXPECT_EQ(frameIndexAt(16.0166, r60), 960);    // the last frame not after the time
    EXPECT_EQ(frameTimeMs(1, r60), 16);            // floor(1000 / 60)
    EXPECT_EQ(frameTimeMs(960, r60), 16000);
    FrameRate ntsc{60000, 1001};
    EXPECT_EQ(frameIndexAt(10.0, ntsc), 599);      // 599 * 1001 / 60000 = 9.99 s
    EXPECT_EQ(frameTimeMs(599, ntsc), 9993);
}

// Times whose frames depend on what earlier frames left: the C64 scene's
// clear colour, the cube flash placement and plum, the passing row keeping the
// cross's clear colour, the tunnel showing the colour the balls left.
TEST(FrameMode, CheapCatchUpGivesTheFrameOfAContinuousRun)
{
    FrameRate rate{15, 1};   // any rate shows it; a low one keeps the runs short
    for (double seconds : {30.0, 56.3, 102.0, 107.5}) {
        long last = frameIndexAt(seconds, rate);
        RunResult full = runInChild(last, false, rate);
        RunResult cheap = runInChild(last, true, rate);
        ASSERT_TRUE(full.ok && cheap.ok) << "a headless run failed at " << seconds;
        EXPECT_EQ(cheap.temp, full.temp) << seconds;
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(cheap.clear[i], full.clear[i]) << seconds;
        EXPECT_TRUE(cheap.rgb == full.rgb) << "pixels differ at " << seconds << " s";
    }
}

TEST(FrameMode, BeatCounterIsThatOfAContinuousRun)
{
    // At 60 frames a second no beat is ever skipped: by 30 s beats 0..31
    // (31 x 0.94712 = 29.36 s) are registered and beat 32 (30.31 s) is not.
    RunResult r = runInChild(frameIndexAt(30.0, FrameRate{}), true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.temp, 32);
}
