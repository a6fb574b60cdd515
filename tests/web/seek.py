"""The arrow keys seek the playing show as on the desktop: every frame drawn
while a key is held seeks from that frame's Time, Up +1 s, Down -1 s, Right
+0.5 s, Left -0.5 s, so the next frame's Time is exactly this one's plus the
step (the clock then holds there until the new sound is heard). Each key is
pressed over the protocol and released after the page's next frame; every
frame of the page is noted with window.vallupTime and the keys the page has
had down (tests/web/cdp.py, record_frames). Checked for each pair of frames:
after a frame with a key down, Time moved by exactly its step (within 2 ms);
after one with none, Time did not go back and moved no more than the frames'
interval and 0.3 s. Each key seeks at least once.
Usage: seek.py SITE_DIR (from the repository root).
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Site, fail, start_show  # noqa: E402

STEPS = {"ArrowUp": 1.0, "ArrowRight": 0.5, "ArrowDown": -1.0, "ArrowLeft": -0.5}
ORDER = ["ArrowUp", "ArrowRight", "ArrowDown", "ArrowLeft"]   # Up first: clear of the start
EXACT = 0.002   # s: a seek lands on the millisecond
SLACK = 0.3     # s: how much more than the frame interval Time may move between frames
                # (a loaded machine starts a frame late after its timestamp); a
                # seek of 0.5 s or more in a frame of under 0.2 s still shows


def problems(frames, shift):
    """What breaks the seek rule when frame k's window.vallupTime is the Time
    of frame k - shift (0: as the page promises). Returns (problems, seeks per key)."""
    out, seeks = [], {k: 0 for k in STEPS}
    for k in range(shift, len(frames) - 1):
        t0, t1 = frames[k][1], frames[k + 1][1]
        held = frames[k - shift][2].split()
        dt = frames[k + 1 - shift][0] - frames[k - shift][0]
        step = sum(STEPS.get(key, 0.0) for key in held)
        where = "after the frame at %.3f s (Time %.3f, keys %r)" % (frames[k][0], t0, " ".join(held))
        if any(key in STEPS for key in held):
            for key in held:
                seeks[key] = seeks.get(key, 0) + 1
            if abs(t1 - t0 - step) > EXACT:
                out.append("%s Time moved %+.3f s, not %+.1f" % (where, t1 - t0, step))
        elif t1 < t0 - EXACT:
            out.append("%s Time went back %.3f s with no key down" % (where, t0 - t1))
        elif t1 - t0 > dt + SLACK:
            out.append("%s Time moved %+.3f s in %.3f s with no key down" % (where, t1 - t0, dt))
    return out, seeks


site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
with Site(site_dir) as site, Browser() as page:
    start_show(page, site, past=2.0)
    page.record_frames(1.0 + 1.2 * len(ORDER) + 1.0)
    time.sleep(1.0)
    for key in ORDER:
        page.key(key)
        time.sleep(1.2)
    frames = page.recorded_frames()
if os.environ.get("WEB_TEST_KEEP"):
    os.makedirs(os.environ["WEB_TEST_KEEP"], exist_ok=True)
    with open(os.path.join(os.environ["WEB_TEST_KEEP"], "seek-frames.txt"), "w") as f:
        f.writelines("%.3f %.3f %s\n" % (t, tm, keys or "-") for t, tm, keys in frames)

print("%d frames noted from %.3f s (Time %.3f) to %.3f s (Time %.3f)"
      % (len(frames), frames[0][0], frames[0][1], frames[-1][0], frames[-1][1]))
for k in range(len(frames) - 1):
    if frames[k][2] or frames[k + 1][1] < frames[k][1]:
        print("  frame at %.3f s: Time %.3f, keys %-12r next Time %.3f (%+.3f)"
              % (frames[k][0], frames[k][1], frames[k][2], frames[k + 1][1],
                 frames[k + 1][1] - frames[k][1]))
found, seeks = problems(frames, 0)
print("seeks per key: %s" % seeks)
missed = [k for k in ORDER if seeks[k] == 0]
if missed:
    fail("no frame was drawn with %s down (the page did not see the key)" % ", ".join(missed))
if found:
    late, _ = problems(frames, 1)
    if not late:
        fail("window.vallupTime lags a frame: every seek shows in it one frame after the frame "
             "that drew the seek's target (with that lag allowed, every seek is exact); as "
             "promised: %s" % "; ".join(found[:4]))
    fail("%s (and with a frame's lag allowed: %s)" % ("; ".join(found[:6]), "; ".join(late[:6])))
print("PASS")
