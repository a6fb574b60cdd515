// --capture: the whole show rendered headless at a fixed frame rate, from
// frame 0 to the show's end, into a video (raw frames piped to ffmpeg, the
// track as its sound) or into a directory of numbered PNG files.
//
// Frame k is rendered exactly as a continuous run shows it (headlessFrame at
// frameTimeMs(k)), so it is byte for byte the picture `--frame k/N` writes.
// The show ends at its first frame past the end; that frame is not part of
// the video, just as the real-time loop never presents it.
#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/process.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const int SOUND_RATE = 44100;   // Hz, the video's sound
const int AAC_PRIMING = 1024;   // samples of delay ffmpeg's AAC encoder puts first

bool endsWith(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; i++)
        if (std::tolower((unsigned char)s[s.size() - n + i]) != tail[i])
            return false;
    return true;
}

// Frames the show presents at this rate: those whose Time is not above the end.
long expectedFrames(FrameRate rate)
{
    long k = frameIndexAt(SHOW_END, rate);
    while ((float)frameTimeMs(k, rate) / 1000 <= SHOW_END)
        k++;
    while (k > 0 && (float)frameTimeMs(k - 1, rate) / 1000 > SHOW_END)
        k--;
    return k;
}

std::string mmss(double seconds)
{
    if (seconds < 0 || !std::isfinite(seconds))
        seconds = 0;
    long s = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

// Whether ffmpeg finds a sound stream it can decode in the track.
bool trackPlayable()
{
    FILE* track = platOpenFile(TRACK, "rb");
    if (!track)
        return false;
    std::fclose(track);
    std::string why;
    PlatProcess probe = platSpawn({"ffmpeg", "-nostdin", "-v", "error", "-i", TRACK, "-map",
                                   "0:a:0", "-t", "1", "-f", "null", "-"},
                                  PLAT_NONE, PLAT_NONE, nullptr, true, &why);
    return probe != PLAT_NONE && platWait(probe) == 0;
}

// Frames go down the pipe to ffmpeg from a thread of their own, so that the
// next frame is rendered while this one is written: two buffers, one being
// filled by read-back while the other is written. After a failed write the
// thread writes nothing more; what failed is kept for the message.
struct FrameWriter {
    PlatHandle pipe = PLAT_NONE;
    std::vector<unsigned char> buffer[2];
    bool full[2] = {false, false};   // handed over, not yet written
    int filling = 0;                 // the buffer read-back fills next
    bool closing = false;            // no more frames come
    std::string failure;             // the first failed write, "" if none
    std::mutex lock;
    std::condition_variable changed;
    std::thread thread;
};

void writerLoop(FrameWriter* w)
{
    std::unique_lock<std::mutex> hold(w->lock);
    for (int next = 0;; next ^= 1) {
        w->changed.wait(hold, [&] { return w->full[next] || w->closing; });
        if (!w->full[next])
            return;   // closing, and everything handed over is written
        bool failedBefore = !w->failure.empty();
        hold.unlock();
        std::string why;
        PlatWriteResult result =
            failedBefore ? PLAT_WRITTEN
                         : platWriteAll(w->pipe, w->buffer[next].data(), w->buffer[next].size(),
                                        &why);
        hold.lock();
        if (result == PLAT_READER_GONE)
            w->failure = "ffmpeg stopped reading frames";
        else if (result == PLAT_WRITE_FAILED)
            w->failure = "writing to ffmpeg failed: " + why;
        w->full[next] = false;
        w->changed.notify_all();
    }
}

void startWriter(FrameWriter& w, PlatHandle pipe, size_t frameBytes)
{
    w.pipe = pipe;
    w.buffer[0].resize(frameBytes);
    w.buffer[1].resize(frameBytes);
    w.thread = std::thread(writerLoop, &w);
}

// The buffer to read the next frame into, once the writer is done with it;
// null when a write has failed (w.failure says how).
unsigned char* frameBuffer(FrameWriter& w)
{
    std::unique_lock<std::mutex> hold(w.lock);
    w.changed.wait(hold, [&] { return !w.full[w.filling] || !w.failure.empty(); });
    if (!w.failure.empty())
        return nullptr;
    return w.buffer[w.filling].data();
}

// Hands the buffer frameBuffer gave over to be written.
void submitFrame(FrameWriter& w)
{
    std::lock_guard<std::mutex> hold(w.lock);
    w.full[w.filling] = true;
    w.filling ^= 1;
    w.changed.notify_all();
}

// Waits until every frame handed over is written; false (w.failure set) when
// a write failed.
bool stopWriter(FrameWriter& w)
{
    {
        std::lock_guard<std::mutex> hold(w.lock);
        w.closing = true;
        w.changed.notify_all();
    }
    if (w.thread.joinable())
        w.thread.join();
    return w.failure.empty();
}

struct Progress {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last = start;
    bool tty = platStderrIsTerminal();
    bool shown = false;
};

void showProgress(Progress& p, long done, long total, bool final)
{
    auto now = std::chrono::steady_clock::now();
    double sinceLast = std::chrono::duration<double>(now - p.last).count();
    // A live line on a terminal; in a log, a line every ten seconds.
    if (!final && sinceLast < (p.tty ? 0.25 : 10.0))
        return;
    p.last = now;
    double elapsed = std::chrono::duration<double>(now - p.start).count();
    double fps = elapsed > 0 ? done / elapsed : 0;
    long shownTotal = total > done ? total : done;
    double left = fps > 0 ? (shownTotal - done) / fps : 0;
    std::fprintf(stderr, "%sframe %ld/%ld  %3.0f%%  %.1f fps  %s left%s",
                 p.tty ? "\r" : "", done, shownTotal, 100.0 * done / shownTotal, fps,
                 mmss(left).c_str(), p.tty ? "   " : "\n");
    if (p.tty && final)
        std::fputc('\n', stderr);
    p.shown = true;
}

enum Target { TARGET_VIDEO, TARGET_DIRECTORY, TARGET_BAD };

Target classify(const std::string& path, const char** container)
{
    if (endsWith(path, ".mp4")) {
        *container = "mp4";
        return TARGET_VIDEO;
    }
    if (endsWith(path, ".mkv")) {
        *container = "matroska";
        return TARGET_VIDEO;
    }
    PlatPathKind kind = platPathKind(path);
    if (kind != PLAT_MISSING)
        return kind == PLAT_DIRECTORY ? TARGET_DIRECTORY : TARGET_BAD;
    // A new name: a directory unless it looks like a file of some other kind.
    if (std::strchr(PLAT_SEPARATORS, path.back()))
        return TARGET_DIRECTORY;
    size_t slash = path.find_last_of(PLAT_SEPARATORS);
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    return leaf.find('.') == std::string::npos ? TARGET_DIRECTORY : TARGET_BAD;
}

}  // namespace

bool captureTargetValid(const char* path, int width, int height, const char** why)
{
    const char* container = "";
    switch (classify(path, &container)) {
    case TARGET_BAD:
        *why = "--capture writes a .mp4 or .mkv video or a directory of PNG files";
        return false;
    case TARGET_VIDEO:
        if (width % 2 || height % 2) {
            *why = "a video needs an even width and height (--size)";
            return false;
        }
        return true;
    default:
        return true;
    }
}

int runCapture(const char* path, int width, int height, FrameRate rate)
{
    const char* container = "";
    Target target = classify(path, &container);
    bool video = target == TARGET_VIDEO;
    std::string out = path;
    std::string part = out + ".part";   // the video is renamed into place when complete

    bool withSound = false;
    if (video) {
        if (platFindProgram("ffmpeg").empty()) {
            std::fprintf(stderr,
                         "vallup: cannot write %s: ffmpeg is not installed (or not on PATH).\n"
                         "vallup: install it (apt-get install ffmpeg), or capture PNG frames "
                         "instead: vallup --capture frames/\n",
                         path);
            return 1;
        }
        FILE* probe = platOpenFile(part, "wb");
        if (!probe) {
            std::fprintf(stderr, "vallup: cannot write %s: %s\n", part.c_str(),
                         std::strerror(errno));
            return 1;
        }
        std::fclose(probe);
        withSound = trackPlayable();
        if (!withSound)
            std::fprintf(stderr,
                         "vallup: %s is missing or holds no playable sound: the video gets a "
                         "silent sound track\n",
                         TRACK);
    } else {
        std::string why;
        if (!platMakeDirectory(path, &why)) {
            std::fprintf(stderr, "vallup: cannot make the directory %s: %s\n", path,
                         why.c_str());
            return 1;
        }
    }

    if (!headlessStart(width, height)) {
        if (video)
            platRemoveFile(part);
        return 1;
    }

    // Ctrl-C (and a polite kill) ends the capture after the frame in hand and
    // leaves what was done; a reader that goes away is a write error, not death.
    platCatchStop();

    PlatProcess encoder = PLAT_NONE;
    PlatHandle frameIn = PLAT_NONE, frameOut = PLAT_NONE;   // the pipe to the encoder
    PlatFeed sound;   // the track's samples for the encoder
    if (video) {
        // A larger pipe lets a whole frame's write overlap ffmpeg's encoding.
        std::string why;
        if (!platPipe(&frameIn, &frameOut, 1 << 20, &why)) {
            std::fprintf(stderr, "vallup: cannot make a pipe to ffmpeg: %s\n", why.c_str());
            platRemoveFile(part);
            return 1;
        }

        char size[32], fps[48];
        std::snprintf(size, sizeof size, "%dx%d", width, height);
        std::snprintf(fps, sizeof fps, "%ld/%ld", rate.num, rate.den);
        long long samples = std::llround((double)expectedFrames(rate) * rate.den / rate.num *
                                         SOUND_RATE);
        // AAC comes in frames of 1024 samples (23 ms), and a player may play
        // the last one whole: end the sound on the frame boundary nearest the
        // video's end (within 12 ms). MP4 hides the encoder's 1024 samples of
        // priming with its edit list; Matroska plays them, so there the sound
        // starts that much into the track to stay in step with the picture.
        samples = (samples + 512) / 1024 * 1024;
        std::string soundFilter = "aresample=" + std::to_string(SOUND_RATE);
        if (std::strcmp(container, "mp4") != 0) {
            samples -= AAC_PRIMING;
            soundFilter += ",atrim=start_sample=" + std::to_string(AAC_PRIMING) +
                           ",asetpts=PTS-STARTPTS";
        }
        soundFilter += ",apad=whole_len=" + std::to_string(samples) +
                                  ",atrim=end_sample=" + std::to_string(samples);
        std::vector<std::string> args = {
            "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-xerror", "-y",
            "-f", "rawvideo", "-pix_fmt", "bgra", "-video_size", size, "-framerate", fps,
            "-i", "pipe:0",
        };
        // The track is decoded by a second ffmpeg of its own, which skips
        // damaged stretches, and reaches the encoder as plain samples through
        // a feed: the encoder then stops on errors of its own only (a full
        // disk), never on a flaw in the track.
        if (withSound)
            platFeedStart(&sound,
                          {"ffmpeg", "-nostdin", "-v", "quiet", "-i", TRACK, "-map", "0:a:0",
                           "-ac", "2", "-ar", std::to_string(SOUND_RATE), "-f", "s16le",
                           "pipe:1"},
                          out + ".sound");
        if (!sound.name.empty())
            args.insert(args.end(), {"-f", "s16le", "-ar", std::to_string(SOUND_RATE), "-ac",
                                     "2", "-i", sound.name});
        else
            args.insert(args.end(), {"-f", "lavfi", "-i",
                                     "anullsrc=cl=stereo:r=" + std::to_string(SOUND_RATE)});
        args.insert(args.end(), {
            "-map", "0:v:0", "-map", "1:a:0",
            // Frames arrive bottom row first, as GL reads them. BT.709 in
            // limited range, tagged, so players show the colours we drew.
            "-vf", "vflip,scale=out_color_matrix=bt709:out_range=tv",
            "-c:v", "libx264", "-preset", "ultrafast", "-crf", "20", "-pix_fmt", "yuv420p",
            "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
            "-color_range", "tv",
            // The sound is padded with silence and cut to the whole video's
            // length (a stopped capture is cut afterwards). No -shortest: it
            // may drop the last picture when the sound ends a little before it.
            "-af", soundFilter,
            "-c:a", "aac", "-b:a", "192k",
            "-f", container, part,
        });
        encoder = platSpawn(args, frameIn, PLAT_NONE, &sound, false, &why);
        platClose(frameIn);
        if (encoder == PLAT_NONE) {
            std::fprintf(stderr, "vallup: cannot start ffmpeg: %s\n", why.c_str());
            platClose(frameOut);
            platFeedEnd(&sound);
            platRemoveFile(part);
            return 1;
        }
    }

    long total = expectedFrames(rate);
    std::vector<unsigned char> pixels;
    FrameWriter writer;
    if (video)
        startWriter(writer, frameOut, (size_t)width * height * 4);
    else
        pixels.resize((size_t)width * height * 3);
    Progress progress;
    long k = 0;
    bool failed = false;
    std::string failure;
    for (;; k++) {
        if (platStopRequested())
            break;
        if (!headlessFrame(k, rate, false))
            break;   // the show is over; this frame is not shown
        if (video) {
            unsigned char* frame = frameBuffer(writer);
            if (!frame) {
                failed = true;
                failure = writer.failure;
                break;
            }
            headlessReadBGRA(width, height, frame);
            submitFrame(writer);
        } else {
            headlessReadRGB(width, height, pixels.data());
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06ld.png", k);
            std::string file = out + name;
            const char* why = "";
            if (!writePngRGB(file.c_str(), width, height, pixels.data(), &why)) {
                platRemoveFile(file);   // never leave half a picture
                failed = true;
                failure = "cannot write " + file + ": " + why;
                break;
            }
        }
        showProgress(progress, k + 1, total, false);
    }
    if (video && !stopWriter(writer) && !failed) {
        failed = true;
        failure = writer.failure;
    }
    long frames = k;
    if (progress.shown || !failed)
        showProgress(progress, frames, platStopRequested() ? total : frames, true);
    platHeadlessDestroy();

    if (video) {
        platClose(frameOut);   // end of input: ffmpeg finishes the file
        int status = platWait(encoder);
        platFeedEnd(&sound);   // the decoder done, or stopped by the encoder's end
        if (status != 0 && !failed) {
            failed = true;
            failure = "ffmpeg failed (status " + std::to_string(status) + ")";
        }
        if (failed) {
            platRemoveFile(part);
            std::fprintf(stderr,
                         "vallup: cannot write %s: %s; see ffmpeg's message above (a full "
                         "disk?). Nothing was kept.\n",
                         path, failure.c_str());
            return 1;
        }
        if (platStopRequested()) {
            // Stopped early: the sound runs on to the show's end. Cut both
            // streams where the pictures end (the sound to its 23 ms frame).
            std::string cut = out + ".cut";
            char until[32];
            std::snprintf(until, sizeof until, "%.6f", (double)frames * rate.den / rate.num);
            std::string why;
            PlatProcess trim = platSpawn({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", part,
                                          "-map", "0", "-c", "copy", "-t", until, "-f",
                                          container, cut},
                                         PLAT_NONE, PLAT_NONE, nullptr, false, &why);
            bool cutDone = trim != PLAT_NONE && platWait(trim) == 0 &&
                           platRenameFile(cut, part, &why);
            if (!cutDone)
                platRemoveFile(cut);   // keep the uncut video: still playable
        }
        std::string why;
        if (!platRenameFile(part, path, &why)) {
            std::fprintf(stderr, "vallup: cannot rename %s to %s: %s\n", part.c_str(), path,
                         why.c_str());
            return 1;
        }
    } else if (failed) {
        std::fprintf(stderr, "vallup: %s. Frames 0 to %ld are in %s.\n", failure.c_str(),
                     frames - 1, path);
        return 1;
    }

    double seconds = (double)frames * rate.den / rate.num;
    if (platStopRequested()) {
        std::fprintf(stderr, "vallup: stopped: %s holds the first %s of the show (%ld frames)\n",
                     path, mmss(seconds).c_str(), frames);
        platEndByStop();   // as the stop would have ended us, so a calling script stops too
    }
    std::fprintf(stderr, "vallup: wrote %ld frames (%.3f s at %ld/%ld fps) to %s\n", frames,
                 seconds, rate.num, rate.den, path);
    return 0;
}
