"""The arrow keys seek the playing show as on the desktop: Up +1 s, Right
+0.5 s, Down -1 s, Left -0.5 s. Each key is pressed for one frame of the
page; the show's Time less the page's frame clock (the median of the frames
around) moves by the key's step, within 0.15 s (a frame or two on a loaded
machine).
Usage: seek.py SITE_DIR (from the repository root).
"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Site, fail, start_show  # noqa: E402

STEPS = [("ArrowUp", 1.0), ("ArrowRight", 0.5), ("ArrowDown", -1.0), ("ArrowLeft", -0.5)]
TOLERANCE = 0.15   # s


def offset(page):
    """The median of Time less the frame clock over the next 7 frames sampled."""
    v = []
    for _ in range(7):
        t, w = page.frame_sample()
        v.append(t - w)
        time.sleep(0.05)
    return statistics.median(v)


site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
with Site(site_dir) as site, Browser() as page:
    start_show(page, site, past=2.0)   # clear of the track's start for the steps back
    bad = []
    for key, step in STEPS:
        before = offset(page)
        page.key(key)
        time.sleep(0.3)   # the seek is heard; the clock settles on it
        moved = offset(page) - before
        print("%-10s moved Time by %+.3f s (want %+.1f)" % (key, moved, step))
        if abs(moved - step) > TOLERANCE:
            bad.append("%s moved Time by %+.3f s, not %+.1f" % (key, moved, step))
    if bad:
        fail("; ".join(bad))
    print("PASS")
