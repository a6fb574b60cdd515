// The music clock and the beat table.
#include "demo/demo.h"

#include <cstdio>
#include <cstdlib>

PlatStream* stream;
int channel = -1;
float bpmtable[1024];
int temp;
float trig[4];
VECTOR3 vRand[2000];

static const char* const TRACK = "data/music/track.mp3";

void autoInitAudio()
{
    platSoundInit(44100);

    FILE* file = std::fopen(TRACK, "rb");
    if (!file) {
        std::fputs("Error!\n", stdout);
        std::fputs("File Not Found\n", stdout);
        std::fflush(stdout);
        platSoundClose();
        return;
    }
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    char* buffer = (char*)std::malloc(size > 0 ? size : 1);
    size_t got = std::fread(buffer, 1, size > 0 ? size : 0, file);
    std::fclose(file);

    stream = platStreamOpen(buffer, got);

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
    if (temp < 1024 && Time >= bpmtable[temp]) {
        temp++;
        bdTriggered();
    }
}

void bdTriggered() { trig[0] = Time * 1000; }

void genrandtab()
{
    for (int i = 0; i < 2000; i++) {
        vRand[i].x = (float)(std::rand() % 100 - 50) / 5;
        vRand[i].y = (float)(std::rand() % 100 - 50) / 5;
        vRand[i].z = (float)(std::rand() % 100 - 50) / 5;
    }
}

void autoExitShaders() { std::exit(0); }
