#!/usr/bin/env python3
"""Analysis for bench/sync.sh and bench/sound_load.sh (Python 3 standard
library only).

Finds when each beat of the track was heard in a recording of the sound
server's monitor, and (sync) when the show's beat flash appeared in a screen
grab made on the same clock.

  sync_analyse.py sync DIR HINT_WALL HINT_TIME
  sync_analyse.py drift DIR [HINT_WALL HINT_TIME]
  sync_analyse.py heard DIR HINT_WALL HINT_TIME

DIR holds what the calling script recorded and extracted:
  track.s16          the track decoded to s16le stereo 44.1 kHz (sample 0 is
                     the show's time 0)
  rec.s16            the recorded monitor sound, s16le stereo 44.1 kHz
  audio_packets.csv  "pts_time,size" of each recorded sound packet, in order
  video.rgb          (sync) the grabbed images, rgb24, one after another
  video_pts.csv      (sync) the grab time of each image, in order
  trace              (sync) the show's VALLUP_TRACE file
HINT_WALL, HINT_TIME: a wall-clock time (the recording's clock) at which the
trace showed the music time HINT_TIME; places the first beat to within a few
hundred milliseconds, the search does the rest. Without them (drift) the
recording starts before the show and its first sound is the track's.

heard: for each beat heard in the recording, how far the picture was from it:
the Time the trace shows at the wall time the beat was heard (interpolated
between the frames' wall clocks, the trace's third column) less the beat's
time, in ms; one line "beat offset_ms" per beat found.

Sound: the recording is the track itself, delayed and with gaps where the
output ran dry. For beat b, a 5 ms envelope of the track around b is matched
against the recording's near the previous beat's delay, then a 50 ms window of
the track's waveform (5 ms before b to 45 ms after: the attack) is
cross-correlated against the recording sample by sample, the peak refined to a
fraction of a sample. Its sample index, through the recorded packets'
timestamps, is A_b: the recording's time at which track time b was heard.

Picture: the grab watches a few background pixels at the left edge of the
window. The cube flash (52 to 59.4 s) drops them from plum to black, the ball
column and the tumbling cross (90 to 100 s) raise them from black to white.
The background is the clear colour, which a frame sets for the next frame: a
beat registered by the first frame whose Time T >= b shows in the background
of the frame after it, whose Time T' the trace gives. That picture belongs at
A_b + (T' - b); F_b is the grab time of the first grabbed image that shows
the step. The offset F_b - (A_b + (T' - b)) is negative when the picture
comes before its sound.
"""
import array
import bisect
import math
import operator
import statistics
import struct
import sys

RATE = 44100
BLOCK = 220                 # envelope block, 5 ms
REGION_BYTES = 8 * 8 * 3    # the grabbed region, 8 x 8 rgb24


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def beat_time(i):
    """bpmtable[i] = (float)(i * 60) / 63.35f, in 32-bit float."""
    return f32(f32(i * 60) / f32(63.35))


def load_mono(path):
    """s16le stereo file -> left + right per sample, as an int array."""
    a = array.array("h")
    with open(path, "rb") as f:
        a.frombytes(f.read())
    if sys.byteorder != "little":
        a.byteswap()
    return array.array("i", map(operator.add, a[0::2], a[1::2]))


def envelope(x):
    return [sum(map(abs, x[k * BLOCK:(k + 1) * BLOCK])) for k in range(len(x) // BLOCK)]


def norm_corr(a, b):
    den = math.sqrt(sum(map(operator.mul, a, a)) * sum(map(operator.mul, b, b)))
    return sum(map(operator.mul, a, b)) / den if den else 0.0


class Sound:
    """The track and a recording of it, and the recording's timestamps."""

    def __init__(self, d):
        self.track = load_mono(d + "/track.s16")
        self.rec = load_mono(d + "/rec.s16")
        self.track_env = envelope(self.track)
        self.rec_env = envelope(self.rec)
        self.pts, self.start = [], []
        n = 0
        with open(d + "/audio_packets.csv") as f:
            for line in f:
                p = line.strip().split(",")
                if len(p) < 2 or p[0] in ("", "N/A"):
                    continue
                self.pts.append(float(p[0]))
                self.start.append(n)
                n += int(p[1]) // 4
        if max(map(abs, self.rec), default=0) < 64:
            sys.exit("FAIL: the recording is silent (did the show play its track?)")
        if n != len(self.rec):
            sys.exit(f"FAIL: the packets hold {n} samples, the decoded recording {len(self.rec)}")

    def time_of(self, r):
        """The recording's clock at (fractional) sample index r."""
        k = max(0, bisect.bisect_right(self.start, r) - 1)
        return self.pts[k] + (r - self.start[k]) / RATE

    def index_of(self, t):
        k = max(0, bisect.bisect_right(self.pts, t) - 1)
        return self.start[k] + (t - self.pts[k]) * RATE

    def match(self, s, lo, hi):
        """Where track sample s (fractional) is in the recording, searching
        delays lo..hi (samples, recording index minus track index). Returns
        (delay, correlation) or None when the windows leave the recordings."""
        k0, k1 = int((s - 0.3 * RATE) // BLOCK), int((s + 0.5 * RATE) // BLOCK)
        if k0 < 0 or k1 > len(self.track_env):
            return None
        te = self.track_env[k0:k1]
        l0, l1 = round(lo / BLOCK), round(hi / BLOCK)
        if k0 + l0 < 0 or k1 + l1 > len(self.rec_env):
            return None
        best = max(range(l0, l1 + 1), key=lambda l: norm_corr(te, self.rec_env[k0 + l:k1 + l]))

        pre, post, half = 220, 1980, 330
        t0 = int(s) - pre
        tw = self.track[t0:t0 + pre + post]
        tt = sum(map(operator.mul, tw, tw))
        centre = best * BLOCK
        if t0 + centre - half - 1 < 0 or t0 + centre + half + 1 + len(tw) > len(self.rec):
            return None
        corr = {}
        for d in range(centre - half - 1, centre + half + 2):
            rw = self.rec[t0 + d:t0 + d + len(tw)]
            rr = sum(map(operator.mul, rw, rw))
            corr[d] = sum(map(operator.mul, tw, rw)) / math.sqrt(tt * rr) if tt and rr else 0.0
        d = max(range(centre - half, centre + half + 1), key=corr.get)
        y0, y1, y2 = corr[d - 1], corr[d], corr[d + 1]
        den = y0 - 2 * y1 + y2
        frac = 0.5 * (y0 - y2) / den if den else 0.0
        return d + frac, y1

    def follow(self, beats, delay, first, step):
        """Finds the beats in turn, each near the delay of the last one found:
        the first within first = (lo, hi) seconds of delay, the next within
        step. Returns [(i, b, A_b or None, correlation)]."""
        out, rng = [], first
        for i in beats:
            b = beat_time(i)
            m = self.match(b * RATE, delay + rng[0] * RATE, delay + rng[1] * RATE)
            if m is None:
                continue
            d, c = m
            if c >= 0.9:
                delay, rng = d, step
                out.append((i, b, self.time_of(b * RATE + d), c))
            else:
                out.append((i, b, None, c))
        return out


def ms(x):
    return f"{x * 1000:+.1f}"


def early_late(x):
    return "picture early" if x < 0 else "picture late"


def sync(d, hint_wall, hint_time):
    snd = Sound(d)
    # Recording index of track time 0, roughly: from the hint.
    zero = snd.index_of(hint_wall - hint_time)
    found = snd.follow(range(1, 140), zero, (-0.35, 0.35), (-0.05, 0.3))
    heard = {i: a for i, b, a, c in found if a is not None}
    if len(heard) < 2:
        sys.exit("FAIL: the track was not found in the recording")
    lags = [heard[i] - beat_time(i) for i in sorted(heard)]

    pts = []
    with open(d + "/video_pts.csv") as f:
        for line in f:
            if line.strip() not in ("", "N/A"):
                pts.append(float(line.split(",")[0]))
    with open(d + "/video.rgb", "rb") as f:
        raw = f.read()
    if len(raw) != len(pts) * REGION_BYTES:
        sys.exit(f"FAIL: {len(pts)} grab times but {len(raw) // REGION_BYTES} images")
    level = [sum(raw[k * REGION_BYTES:(k + 1) * REGION_BYTES]) / REGION_BYTES for k in range(len(pts))]
    gaps = sorted(pts[k + 1] - pts[k] for k in range(len(pts) - 1))
    if not gaps:
        sys.exit("FAIL: nothing grabbed")

    times = []
    with open(d + "/trace") as f:
        for line in f:
            if line and line[0] != "#" and line.strip():
                times.append(float(line.split()[0]))

    rows = []
    for i in sorted(heard):
        b = beat_time(i)
        if 52.0 < b < 59.4:
            dark = True
        elif 90.0 < b < 100.0:
            dark = False
        else:
            continue
        n = next((k for k, t in enumerate(times) if f32(t) >= b), None)
        if n is None or n + 1 >= len(times):
            continue
        t_next = times[n + 1]          # the frame whose background shows beat i
        due = heard[i] + (t_next - b)  # when the sound of that frame's Time is heard
        k = bisect.bisect_left(pts, due - 0.25)
        flash = None
        while k < len(pts) and pts[k] <= due + 0.25:
            if k > 0:
                a, z = level[k - 1], level[k]
                if (dark and a >= 30 and z <= 8) or (not dark and a <= 100 and z >= 200):
                    flash = k
                    break
            k += 1
        rows.append((i, b, times[n], t_next, heard[i], due, flash))

    t0 = pts[0]
    print(f"{'beat':>4} {'at s':>8} {'frame':>8} {'shown':>8} {'heard s':>9} {'flash s':>9}"
          f" {'offset ms':>9} {'grab gap':>8}")
    offsets = []
    for i, b, t, t_next, a, due, k in rows:
        if k is None:
            print(f"{i:4d} {b:8.3f} {t:8.3f} {t_next:8.3f} {a - t0:9.4f} {'-':>9} {'no flash':>9}")
            continue
        off = pts[k] - due
        offsets.append(off)
        print(f"{i:4d} {b:8.3f} {t:8.3f} {t_next:8.3f} {a - t0:9.4f} {pts[k] - t0:9.4f}"
              f" {ms(off):>9} {(pts[k] - pts[k - 1]) * 1000:7.1f}")
    print("(frame: Time of the frame that registers the beat; shown: Time of the next frame, whose")
    print(" background shows it; heard, flash: seconds from the first grab; grab gap: the time")
    print(" since the grab before the flash, the uncertainty of the flash's time)")

    span = pts[-1] - pts[0]
    print(f"grab: {len(pts)} images in {span:.1f} s, {(len(pts) - 1) / span:.0f} a second;"
          f" interval median {statistics.median(gaps) * 1000:.2f} ms,"
          f" 99th percentile {gaps[int(0.99 * (len(gaps) - 1))] * 1000:.2f} ms, largest {gaps[-1] * 1000:.1f} ms")
    print(f"sound: {len(heard)} beats found in {len(snd.rec) / RATE:.1f} s of recording; the heard track fell"
          f" {ms(lags[-1] - lags[0])} ms behind from the first to the last (largest fall between two beats"
          f" {ms(max(lags[k + 1] - lags[k] for k in range(len(lags) - 1)))} ms)")
    steps = [t_next - t for _, _, t, t_next, _, _, k in rows]
    if steps:
        print(f"frames at the flashes: {statistics.median(steps) * 1000:.1f} ms of music apart (median)")
    if not offsets:
        sys.exit("FAIL: the watched region never flashed")
    if len(offsets) < 12:
        sys.exit(f"FAIL: only {len(offsets)} flashes matched to beats (want 12 or more)")
    med = statistics.median(offsets)
    worst = max(offsets, key=abs)
    print(f"picture against sound over {len(offsets)} beat flashes: median {ms(med)} ms ({early_late(med)}),"
          f" worst {ms(worst)} ms ({early_late(worst)}), range {ms(min(offsets))} to {ms(max(offsets))} ms")


def drift(d, hint=None):
    snd = Sound(d)
    if hint:
        zero = snd.index_of(hint[0] - hint[1])
        first_beat = next(i for i in range(1024) if beat_time(i) > hint[1])
        # Less than half a beat either way: the track's off-beats sound like
        # its beats, and a wider search may slip onto them.
        found = snd.follow(range(first_beat, 140), zero, (-0.35, 0.35), (-0.05, 0.45))
    else:
        # The recording starts before the show: the first sound heard is the
        # track's first sound.
        quiet = 64
        r = next((k for k, v in enumerate(snd.rec) if abs(v) > quiet), None)
        t = next((k for k, v in enumerate(snd.track) if abs(v) > quiet), None)
        if r is None or t is None:
            sys.exit("FAIL: the recording is silent")
        found = snd.follow(range(1, 140), r - t, (-0.1, 0.6), (-0.05, 0.5))
    heard = [(i, b, a) for i, b, a, c in found if a is not None]
    lost = len(found) - len(heard)
    if len(heard) < 2:
        sys.exit("FAIL: the track was not found in the recording")
    (i0, b0, a0), (i1, b1, a1) = heard[0], heard[-1]
    lag = [a - b for i, b, a in heard]
    falls = [f"{heard[k + 1][0]} {ms(lag[k + 1] - lag[k])}" for k in range(len(lag) - 1)
             if lag[k + 1] - lag[k] > 0.002]
    print(f"beats {i0} ({b0:.2f} s) to {i1} ({b1:.2f} s): {len(heard)} found"
          f"{', not recognised: ' + ' '.join(str(i) for i, b, a, c in found if a is None) if lost else ''}")
    print(f"falls of more than 2 ms between two beats (beat, ms): {', '.join(falls) if falls else 'none'}")
    print(f"largest fall between two beats: {ms(max(lag[k + 1] - lag[k] for k in range(len(lag) - 1)))} ms")
    print(f"drift: {ms((a1 - b1) - (a0 - b0))} ms (the heard track behind real time at the last beat"
          f" against the first)")


def heard(d, hint_wall, hint_time):
    snd = Sound(d)
    zero = snd.index_of(hint_wall - hint_time)
    first_beat = next(i for i in range(1024) if beat_time(i) > hint_time)
    found = snd.follow(range(first_beat, first_beat + 140), zero, (-0.35, 0.35), (-0.05, 0.3))
    frames = []
    with open(d + "/trace") as f:
        for line in f:
            p = line.split()
            if line[0] != "#" and len(p) >= 3:
                frames.append((float(p[2]), float(p[0])))
    walls = [w for w, t in frames]
    for i, b, a, c in found:
        k = bisect.bisect_right(walls, a) if a is not None else 0
        if k == 0 or k == len(frames):
            continue
        (w0, t0), (w1, t1) = frames[k - 1], frames[k]
        shown = t0 + (t1 - t0) * (a - w0) / (w1 - w0) if w1 > w0 else t0
        print(f"{i} {(shown - b) * 1000:+.1f}")


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "sync":
        sync(sys.argv[2], float(sys.argv[3]), float(sys.argv[4]))
    elif len(sys.argv) in (3, 5) and sys.argv[1] == "drift":
        drift(sys.argv[2], tuple(map(float, sys.argv[3:5])) or None)
    elif len(sys.argv) == 5 and sys.argv[1] == "heard":
        heard(sys.argv[2], float(sys.argv[3]), float(sys.argv[4]))
    else:
        sys.exit(__doc__.split("\n\n")[1])


if __name__ == "__main__":
    main()
