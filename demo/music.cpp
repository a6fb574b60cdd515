// The music clock and the beat table.
//
// The track is read whole into memory once and played from there; the
// stream's position is the show's clock. One stream plays for the life of the
// process: a later start-up (after F1 re-creates the window) keeps it, so the
// music and the picture go on from where they were. A track that cannot be
// read or played leaves a silent stream that keeps time all the same, so the
// show still plays through and ends.
#include "demo/demo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

PlatStream* stream;
int channel = -1;
float bpmtable[1024];
int temp;
float trig[4];
VECTOR3 vRand[2000];

const char* const TRACK = "data/music/track.mp3";

// The whole file in a new buffer that is never freed (the stream plays from
// it); null with errno set when it cannot be read.
static unsigned char* readTrack(const char* path, size_t* size)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return nullptr;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        errno = EISDIR;   // a directory or a device: not a track
        return nullptr;
    }
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        int e = errno;
        std::fclose(file);
        errno = e ? e : EIO;
        return nullptr;
    }
    unsigned char* buffer = (unsigned char*)std::malloc(length > 0 ? (size_t)length : 1);
    size_t got = buffer ? std::fread(buffer, 1, (size_t)length, file) : 0;
    int e = buffer ? (std::ferror(file) ? errno : 0) : ENOMEM;
    std::fclose(file);
    if (!buffer || got != (size_t)length) {
        std::free(buffer);
        errno = e ? e : EIO;
        return nullptr;
    }
    *size = got;
    return buffer;
}

void autoInitAudio()
{
    if (stream)
        return;   // the stream of an earlier start-up plays on

    platSoundInit(44100);

    size_t size = 0;
    unsigned char* buffer = readTrack(TRACK, &size);
    if (!buffer) {
        int e = errno;
        std::fputs("Error!\n", stdout);
        std::fflush(stdout);
        std::fputs("File Not Found\n", stdout);
        std::fflush(stdout);
        char here[4096];
        std::fprintf(stderr, "vallup: cannot read %s in %s (%s): the show plays without music\n",
                     TRACK, getcwd(here, sizeof here) ? here : ".", std::strerror(e));
        platSoundClose();
        stream = platStreamOpenSilent();
    } else {
        const char* why = "";
        stream = platStreamOpen(buffer, size, &why);
        if (!stream) {
            std::fprintf(stderr, "vallup: cannot play %s (%s): the show plays without music\n",
                         TRACK, why);
            std::free(buffer);
            stream = platStreamOpenSilent();
        }
    }

    if (channel < 0) {
        channel = platStreamPlayPaused(stream);
        platSetPaused(channel, false);
    }
}

void autoSetTime(int offset)
{
    platStreamSetTime(stream, offset + (int)(Time * 1000));
}

void calcbpm(float bpm)
{
    for (int i = 0; i < 1024; i++)
        bpmtable[i] = (float)(i * 60) / bpm;
}

void bpmsync()
{
    // The counter stops at the table's end (beat 1023 is at 969 s, long after
    // the show, but a seek can get there).
    if (temp < 1024 && Time >= bpmtable[temp]) {
        temp++;
        bdTriggered();
    }
}

void bdTriggered()
{
    trig[0] = Time * 1000;
}

void genrandtab()
{
    for (int i = 0; i < 2000; i++) {
        vRand[i].x = (float)(std::rand() % 100 - 50) / 5;
        vRand[i].y = (float)(std::rand() % 100 - 50) / 5;
        vRand[i].z = (float)(std::rand() % 100 - 50) / 5;
    }
}

void autoExitShaders()
{
    std::exit(0);
}
