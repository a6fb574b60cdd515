#include "music_clicktrack.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>

ClickTrack makeClickTrack(double seconds, long clickEvery, int rate)
{
    ClickTrack t;
    t.samples = (long)(seconds * rate);
    t.clickEvery = clickEvery;
    t.pcm.resize((size_t)t.samples * 2);
    double phase = 0;
    for (long i = 0; i < t.samples; i++) {
        double hz = 200 + 1800 * (double)i / t.samples;
        phase += 2 * M_PI * hz / rate;
        double v = 0.15 * std::sin(phase);
        long k = i % clickEvery;
        if (k < 40)
            v += 0.7 * std::sin(M_PI * k / 40) * ((k / 4) % 2 ? -1 : 1);
        t.pcm[2 * i] = (short)(v * 32000);
        t.pcm[2 * i + 1] = (short)(v * 16000);
    }

    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, rate);
    lame_set_out_samplerate(gf, rate);
    lame_set_num_channels(gf, 2);
    lame_set_brate(gf, 192);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);   // the header frame with delay and padding
    lame_init_params(gf);

    std::vector<unsigned char> out(t.samples * 5 / 4 + 7200 * 2 + 16384);
    size_t used = 0;
    const long CHUNK = 8192;
    for (long i = 0; i < t.samples; i += CHUNK) {
        int n = (int)std::min(CHUNK, t.samples - i);
        int got = lame_encode_buffer_interleaved(gf, &t.pcm[2 * i], n, out.data() + used,
                                                 (int)(out.size() - used));
        if (got < 0)
            break;
        used += got;
    }
    int got = lame_encode_flush(gf, out.data() + used, (int)(out.size() - used));
    if (got > 0)
        used += got;
    out.resize(used);
    // The header frame is known only now; it replaces the placeholder at the start.
    unsigned char tag[8192];
    size_t tagSize = lame_get_lametag_frame(gf, tag, sizeof tag);
    if (tagSize > 0 && tagSize <= out.size())
        std::copy(tag, tag + tagSize, out.begin());
    lame_close(gf);
    t.mp3 = out;
    return t;
}

bool writeFile(const char* path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
