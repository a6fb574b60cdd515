"""The page's sound is heard: Chromium plays into a private PulseAudio server
(a null sink, "web"; XDG_RUNTIME_DIR a fresh folder, HOME one for the
server's cookie) and its monitor is recorded with parec.
  - After "No", Chromium has a stream on the sink, and 3 s recorded while the
    show plays are the track at the show's place: each half second's 5 ms
    loudness envelope is matched with the track's within 0.5 s of where the
    show's Time says, and the median of their normalised correlations is at
    least 0.8; the recording's loudness is the track's there within 3 dB
    (Web Audio plays the samples at full scale).
  - After Escape the sink is silent (the loudest 5 ms of 1 s recorded is
    under 1% of the track's loudness while playing).
Usage: sound.py SITE_DIR (from the repository root; the track is
data/music/track.mp3, decoded with ffmpeg).
"""
import array
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Site, fail, start_show  # noqa: E402

RATE = 44100
BLOCK = 220          # 5 ms
MAX_LAG = 0.5        # s: how far from the show's Time the sound may be found
WINDOW = 100         # blocks: half a second
site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
track_path = "data/music/track.mp3"


def mono(raw):
    """s16le stereo bytes -> mid samples (left + right) / 2, floats."""
    a = array.array("h")
    a.frombytes(raw[:len(raw) // 4 * 4])
    if sys.byteorder != "little":
        a.byteswap()
    return [(l + r) / 2.0 for l, r in zip(a[0::2], a[1::2])]


def envelope(x):
    return [math.sqrt(sum(v * v for v in x[k * BLOCK:(k + 1) * BLOCK]) / BLOCK)
            for k in range(len(x) // BLOCK)]


def rms(x):
    return math.sqrt(sum(v * v for v in x) / len(x)) if x else 0.0


def corr(a, b):
    ma, mb = sum(a) / len(a), sum(b) / len(b)
    num = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    den = math.sqrt(sum((x - ma) ** 2 for x in a) * sum((y - mb) ** 2 for y in b))
    return num / den if den else 0.0


work = tempfile.mkdtemp(prefix="vallup-sound-")
env = dict(os.environ)
env.pop("PULSE_SERVER", None)
env["XDG_RUNTIME_DIR"] = os.path.join(work, "run")
env["HOME"] = os.path.join(work, "home")   # the server's cookie, and Chromium's
os.mkdir(env["XDG_RUNTIME_DIR"], 0o700)
os.mkdir(env["HOME"])
silence = None


def pa(*args, **kw):
    return subprocess.run(list(args), env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, **kw)


def record(seconds):
    """The sink's monitor for `seconds` s, as mono samples."""
    p = subprocess.Popen(["parec", "-d", "web.monitor", "--raw", "--format=s16le",
                          "--rate=%d" % RATE, "--channels=2", "--latency-msec=20"],
                         env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    raw = p.stdout.read(int(seconds * RATE) * 4)
    p.kill()
    p.wait()
    return mono(raw)


try:
    r = pa("pulseaudio", "--daemonize=yes", "--exit-idle-time=-1", "-n",
           "--load=module-null-sink sink_name=web", "--load=module-native-protocol-unix")
    if r.returncode != 0:
        fail("cannot start a private PulseAudio: " + r.stdout)
    for _ in range(50):
        if pa("pactl", "info").returncode == 0:
            break
        time.sleep(0.1)
    # An idle null sink's monitor delivers little: a stream of silence keeps it running.
    silence = subprocess.Popen(["pacat", "-d", "web", "--raw", "--format=s16le",
                                "--rate=%d" % RATE, "--channels=2", "--latency-msec=20"],
                               env=env, stdin=open("/dev/zero", "rb"),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    with Site(site_dir) as site, Browser(env=env) as page:
        start_show(page, site, past=2.0)
        inputs = pa("pactl", "list", "sink-inputs").stdout
        if "chrom" not in inputs.lower():
            fail("Chromium plays no stream into the private server; its sink inputs: %r" % inputs)
        t0 = page.frame_sample()[0]
        heard = record(3.0)
        t1 = page.frame_sample()[0]
        page.key("Escape")
        if page.wait_title("ended", 10) is None:
            fail("Escape did not end the show (title %r)" % page.title())
        time.sleep(0.5)
        after = record(1.0)

    # Where in the track the recording is: the show's Time when it began,
    # give or take MAX_LAG (output latency, a frame's lag of vallupTime).
    # The track from `origin` s on, decoded from its start (gapless, as the show).
    origin = max(0.0, t0 - MAX_LAG - 0.1)
    track = mono(subprocess.run(
        ["ffmpeg", "-nostdin", "-v", "error", "-i", track_path, "-af",
         "atrim=start=%.4f:end=%.4f" % (origin, t0 + 5), "-f", "s16le", "-ac", "2", "-ar",
         str(RATE), "-"], stdout=subprocess.PIPE, check=True).stdout)
    rec_env = envelope(heard)
    if len(rec_env) < 2 * WINDOW:
        fail("the recording holds %d samples" % len(heard))
    track_env = envelope(track)
    lag_blocks = int(MAX_LAG * RATE) // BLOCK
    start = int((t0 - origin) * RATE) // BLOCK   # the track's block heard first, by Time
    # Each half second of the recording on its own, so that a break in the
    # sound (the output running dry) shows as a moved lag, not as a mismatch.
    matches = []   # (correlation, lag in blocks) per window
    for w in range(0, len(rec_env) - WINDOW + 1, WINDOW):
        part = rec_env[w:w + WINDOW]
        lo = max(0, start + w - lag_blocks)
        hi = min(len(track_env) - WINDOW, start + w + lag_blocks)
        matches.append(max((corr(part, track_env[k:k + WINDOW]), k - start - w)
                           for k in range(lo, hi + 1)))
    c = sorted(m[0] for m in matches)[len(matches) // 2]
    lag = sorted(m[1] for m in matches)[len(matches) // 2]
    place = t0 + lag * BLOCK / RATE
    at = int((place - origin) * RATE)
    segment = track[at:at + len(heard)]
    db = 20 * math.log10(max(rms(heard), 1e-9) / max(rms(segment), 1e-9))
    loudest_after = max(envelope(after), default=0.0)
    print("recorded 3 s while Time went %.3f to %.3f s; each half second's envelope against the "
          "track's (correlation, ms from Time): %s; loudness %.0f, the track's there %.0f "
          "(%+.2f dB); after Escape the loudest 5 ms %.1f"
          % (t0, t1, ", ".join("%.3f %+.0f" % (m[0], 1000 * m[1] * BLOCK / RATE) for m in matches),
             rms(heard), rms(segment), db, loudest_after))
    if rms(heard) < 1:
        fail("the recording is silent: Chromium's sound did not reach the server")
    if c < 0.8:
        fail("the sound heard is not the track near Time %.3f s (median envelope correlation "
             "%.3f)" % (t0, c))
    if abs(db) > 3:
        fail("the track is heard %+.2f dB from its own loudness" % db)
    if loudest_after > 0.01 * rms(heard):
        fail("sound is still heard after Escape (loudest 5 ms %.1f)" % loudest_after)
    print("PASS")
finally:
    if silence is not None:
        silence.kill()
        silence.wait()
    pa("pulseaudio", "--kill")
    shutil.rmtree(work, ignore_errors=True)
