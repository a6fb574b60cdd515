"""The page plays the show in time: after "No" (id no), the show's Time
(window.vallupTime, read right after each frame the page draws) follows the
page's frame clock for 5 s: it never goes back, and Time less the frame
timestamps stays within 0.3 s of where it was (a loaded machine draws late
frames, never late music); the page's title is the show's all the while.
Usage: play.py SITE_DIR (from the repository root).
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import SHOW_TITLE, Browser, Site, fail, start_show  # noqa: E402

SECONDS = 5.0
SPREAD = 0.3   # s: how far Time less the frame clock may wander

site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
with Site(site_dir) as site, Browser() as page:
    first = start_show(page, site)
    samples = [first]
    titles = set()
    while samples[-1][1] - first[1] < SECONDS:
        time.sleep(0.2)
        samples.append(page.frame_sample())
        titles.add(page.title())
    offsets = [t - w for t, w in samples]
    print("%d samples over %.2f s of frames: Time from %.3f to %.3f s; Time less frame clock "
          "from %+.3f to %+.3f s" % (len(samples), samples[-1][1] - first[1], first[0],
                                      samples[-1][0], min(offsets) - offsets[0],
                                      max(offsets) - offsets[0]))
    back = [(a[0], b[0]) for a, b in zip(samples, samples[1:]) if b[0] < a[0]]
    if back:
        fail("Time went back: %s" % back[:5])
    if max(offsets) - min(offsets) > SPREAD:
        fail("Time did not keep the frame clock's pace: (Time, frame s) %s"
             % [(round(t, 3), round(w, 3)) for t, w in samples])
    if titles != {SHOW_TITLE}:
        fail("the title while playing was %s, not %r" % (sorted(titles), SHOW_TITLE))
    print("PASS")
