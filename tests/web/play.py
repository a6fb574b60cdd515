"""The page plays the show in time: after "No" (id no), every frame of the
page over 5 s is noted with window.vallupTime, the Time of the frame just
drawn (tests/web/cdp.py, record_frames). Time never goes back; Time less the
frame's timestamp stays within 0.3 s (a loaded machine draws late frames,
never late music) and Time advances as the frames' clock and Python's
monotonic clock do (within the same 0.3 s); the page's title is the show's
all the while.
Usage: play.py SITE_DIR (from the repository root).
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import SHOW_TITLE, Browser, Site, fail, start_show  # noqa: E402

SECONDS = 5.0
SPREAD = 0.3   # s

site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
with Site(site_dir) as site, Browser() as page:
    start_show(page, site)
    wall0 = time.monotonic()
    page.record_frames(SECONDS)
    titles = set()
    while time.monotonic() - wall0 < SECONDS:
        titles.add(page.title())
        time.sleep(0.5)
    frames = page.recorded_frames()
    wall = time.monotonic() - wall0

(t0, time0, _), (t1, time1, _) = frames[0], frames[-1]
offsets = [tm - t for t, tm, _ in frames]
spread = max(offsets) - min(offsets)
intervals = sorted(b[0] - a[0] for a, b in zip(frames, frames[1:]))
print("%d frames over %.3f s of frame clock (%.3f s by Python's clock; intervals median %.0f ms, "
      "longest %.0f ms): Time from %.3f to %.3f s (+%.3f); Time less the frame clock spread "
      "over %.3f s" % (len(frames), t1 - t0, wall, 1000 * intervals[len(intervals) // 2],
                       1000 * intervals[-1], time0, time1, time1 - time0, spread))
back = [(a[1], b[1]) for a, b in zip(frames, frames[1:]) if b[1] < a[1]]
if back:
    fail("Time went back between frames: %s" % back[:5])
if titles != {SHOW_TITLE}:
    fail("the title while playing was %s, not %r" % (sorted(titles), SHOW_TITLE))
if abs((time1 - time0) - (t1 - t0)) > SPREAD or abs((time1 - time0) - wall) > SPREAD + 0.5:
    fail("Time advanced %.3f s while the frames' clock advanced %.3f s" % (time1 - time0, t1 - t0))
if spread > SPREAD:
    lagged = [tm - prev[0] for prev, (_, tm, _) in zip(frames, frames[1:])]
    if max(lagged) - min(lagged) <= SPREAD / 3:
        fail("Time less the frame clock spread over %.3f s; less the previous frame's timestamp "
             "only %.3f s: window.vallupTime lags a frame behind the frame drawn"
             % (spread, max(lagged) - min(lagged)))
    fail("Time did not keep the frames' pace: Time less the frame clock spread over %.3f s" % spread)
print("PASS")
