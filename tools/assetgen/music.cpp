// The music track: render the piece, master it to the target loudness under
// a peak ceiling, and encode it as a gapless 192 kbit/s MP3.
#include "assetgen.h"
#include "song.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <vector>

static const double targetLufs = -13.8;     // integrated loudness of the track
static const float ceilingDb = -2.2f;        // sample peak before encoding; the codec adds a little

// Gain and limiting in turn until the limited mix sits at the target loudness.
static void master(const SynthStereo& mix, SynthStereo& out)
{
    const float ceiling = std::pow(10.0f, ceilingDb / 20.0f);
    double gainDb = targetLufs - synthLoudness(mix);
    for (int pass = 0; pass < 4; pass++) {
        float g = (float)std::pow(10.0, gainDb / 20.0);
        out = mix;
        for (size_t n = 0; n < out.l.size(); n++) {
            out.l[n] *= g;
            out.r[n] *= g;
        }
        synthLimit(out, ceiling, synthRate / 500, 0.08f);
        double lufs = synthLoudness(out);
        if (std::fabs(lufs - targetLufs) < 0.05)
            break;
        gainDb += targetLufs - lufs;
    }
}

// Encodes `pcm` to `path`. The first frame lame writes is a placeholder for
// its Info/LAME tag (stream length, encoder delay and padding, which make
// gapless decoding exact); it is filled in once the stream is complete.
static bool encodeMp3(const SynthStereo& pcm, const std::string& path)
{
    lame_global_flags* gf = lame_init();
    if (!gf) {
        std::fprintf(stderr, "assetgen: cannot start the MP3 encoder (lame_init failed)\n");
        return false;
    }
    lame_set_in_samplerate(gf, synthRate);
    lame_set_out_samplerate(gf, synthRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, 192);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        std::fprintf(stderr, "assetgen: the MP3 encoder rejected 44100 Hz stereo 192 kbit/s\n");
        lame_close(gf);
        return false;
    }

    std::vector<unsigned char> mp3;
    const int chunk = 8192;
    std::vector<unsigned char> buf(chunk * 5 / 4 + 7200);
    const int frames = (int)pcm.l.size();
    for (int at = 0; at < frames; at += chunk) {
        int n = std::min(chunk, frames - at);
        int got = lame_encode_buffer_ieee_float(gf, pcm.l.data() + at, pcm.r.data() + at, n, buf.data(),
                                                (int)buf.size());
        if (got < 0) {
            std::fprintf(stderr, "assetgen: MP3 encoding failed (lame error %d)\n", got);
            lame_close(gf);
            return false;
        }
        mp3.insert(mp3.end(), buf.begin(), buf.begin() + got);
    }
    int got = lame_encode_flush(gf, buf.data(), (int)buf.size());
    if (got < 0) {
        std::fprintf(stderr, "assetgen: MP3 encoding failed at the flush (lame error %d)\n", got);
        lame_close(gf);
        return false;
    }
    mp3.insert(mp3.end(), buf.begin(), buf.begin() + got);

    std::vector<unsigned char> tag(4096);
    size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
    lame_close(gf);
    if (tagSize == 0 || tagSize > mp3.size()) {
        std::fprintf(stderr, "assetgen: the MP3 encoder gave no gapless tag frame\n");
        return false;
    }
    std::copy(tag.begin(), tag.begin() + tagSize, mp3.begin());

    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", tmp.c_str());
        return false;
    }
    bool ok = std::fwrite(mp3.data(), 1, mp3.size(), f) == mp3.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "assetgen: cannot write %s (disk full or not writable?)\n", path.c_str());
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool makeMusic(const std::string& outDir)
{
    SynthStereo mix, mastered;
    songRender(mix);
    master(mix, mastered);
    std::fprintf(stderr, "assetgen: music %.1f s, %.2f LUFS, peak %.2f dBFS before encoding\n",
                 (double)mastered.l.size() / synthRate, synthLoudness(mastered),
                 20.0 * std::log10(synthPeak(mastered)));
    return encodeMp3(mastered, outDir + "/music/track.mp3");
}
