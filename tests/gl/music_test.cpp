// The show on the music clock: with the track missing it writes the two
// lines, plays on the silent clock and ends by itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "demo/demo.h"
#include "glfixture.h"

namespace {

TEST(MusicShow, MissingTrackStillPlaysAndEnds)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    char tmpl[] = "/tmp/vallup-show-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    ASSERT_EQ(chdir(tmpl), 0);   // no data/ here: every asset is missing

    glfix::context();
    platSoundSetManual(false);
    stream = nullptr;
    channel = -1;
    temp = 0;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    InitGL();
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "Error!\nFile Not Found\n");

    // The clock runs: frames move on through the intro.
    ASSERT_TRUE(DrawGLScene());
    float t0 = Time;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_TRUE(DrawGLScene());
    EXPECT_GT(Time, t0 + 0.1f);
    EXPECT_STREQ(sceneName, "intro");

    // Seek to just before the end, as the Up key would; the show then ends
    // by itself on the silent clock.
    Time = 127.7f;
    autoSetTime(0);
    auto start = std::chrono::steady_clock::now();
    bool more = true;
    while (more && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        more = DrawGLScene();
    EXPECT_FALSE(more) << "the show did not end; Time " << Time;
    EXPECT_GT(Time, 128.0f);
    EXPECT_LT(Time, 129.0f);

    platStreamClose(stream);
    stream = nullptr;
    channel = -1;
    platSoundClose();
    ASSERT_EQ(chdir(cwd), 0);
    std::filesystem::remove_all(tmpl);
}

}  // namespace
