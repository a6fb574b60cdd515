"""The page draws the show's frames as the Linux build does:
index.html?frame=T&fps=N in headless Chromium (WebGL 2 on SwiftShader) against
build/vallup --frame T --fps N, compared by framediff (at most 1% of pixels
more than 16 levels off in any channel, mean difference at most 2 levels).
One time in each act and what it shows, at a frame rate that keeps the
frames leading up to it (each is run, scissored to a pixel, for the state it
leaves) few: the page runs them at about a tenth of the native speed.
  16     60 fps  the intro's caption over the copper bars, letterbox bands
  44     20      the C64 screen with its spinning triangle (after the sphere cloud)
  56.3   30      the lit cube on the flashing background, letterbox
  60.5   20      the rotozoomer and its first caption sliding in
  83     20      the chrome face (sphere-mapped) and the "1995" caption
  92     10      the ball column, additive sprites
  97.5   12      the tumbling cross
  110    10      the chrome tube tunnel and an interlude picture
  117    12      the chrome torus
  122    8       the closing caption
No scene enables fog (start-up only sets its parameters).
Not from 25 s to 37 s: the sphere cloud there comes from the C runtime's
rand() (c64_cloud.py checks that act). Prints each frame's figures and the
worst; keeps both pictures of a failing frame in WEB_TEST_KEEP if set.
Usage: frames.py SITE_DIR (from the repository root; the Linux program from
VALLUP_LINUX_BINARY, default build/vallup; framediff from VALLUP_FRAMEDIFF,
default build/tests/framediff).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Site, fail  # noqa: E402

FRAMES = [(16, 60), (44, 20), (56.3, 30), (60.5, 20), (83, 20), (92, 10), (97.5, 12),
          (110, 10), (117, 12), (122, 8)]

site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
linux = os.path.abspath(os.environ.get("VALLUP_LINUX_BINARY", "build/vallup"))
framediff = os.path.abspath(os.environ.get("VALLUP_FRAMEDIFF", "build/tests/framediff"))
for path, what in ((linux, "the Linux program"), (framediff, "framediff")):
    if not os.access(path, os.X_OK):
        fail("no %s at %s: build it (make build)" % (what, path))

work = tempfile.mkdtemp(prefix="vallup-frames-")
linux_jobs = None
try:
    # Linux's pictures on one core while the browser draws on the other.
    linux_jobs = subprocess.Popen(
        ["bash", "-c", 'dir=$1; shift; for a in "$@"; do t=${a%/*}; fps=${a#*/}; '
         '"$0" --frame $t --fps $fps --out "$dir/linux-$t.png" >"$dir/linux-$t.log" 2>&1; done',
         linux, work] + ["%s/%s" % f for f in FRAMES])   # $0 the program, then the folder, T/FPS...

    with Site(site_dir) as site, Browser() as page:
        for t, fps in FRAMES:
            t0 = time.monotonic()
            page.goto(site.url("index.html?frame=%s&fps=%d" % (t, fps)))
            title = page.wait_title("ready", 90)
            if title is None:
                fail("index.html?frame=%s&fps=%d: the title never became \"ready\" (it is %r)"
                     % (t, fps, page.title()))
            shown = page.eval("window.vallupTime")
            if not isinstance(shown, (int, float)) or abs(shown - t) > 1.0 / fps + 1e-3:
                fail("index.html?frame=%s&fps=%d: vallupTime is %r" % (t, fps, shown))
            page.screenshot(os.path.join(work, "web-%s.png" % t))
            print("index.html?frame=%s&fps=%d ready in %.1f s" % (t, fps, time.monotonic() - t0),
                  flush=True)
    if linux_jobs.wait() != 0:
        fail("the Linux pictures failed")

    worst = None
    bad = []
    print("time fps pixels_over_16_percent mean_difference")
    for t, fps in FRAMES:
        a = os.path.join(work, "linux-%s.png" % t)
        b = os.path.join(work, "web-%s.png" % t)
        if not os.path.isfile(a):
            fail("build/vallup --frame %s gave no picture: %s"
                 % (t, open(os.path.join(work, "linux-%s.log" % t)).read()))
        r = subprocess.run([framediff, a, b], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True)
        fields = r.stdout.split()
        try:
            pct, mean = float(fields[-2]), float(fields[-1])
        except (IndexError, ValueError):
            fail("framediff %s %s said: %s" % (a, b, r.stdout.strip()))
        print("%-6s %3d %8.3f %8.3f%s" % (t, fps, pct, mean, "  over the limits" if r.returncode else ""))
        if worst is None or (pct, mean) > (worst[2], worst[3]):
            worst = (t, fps, pct, mean)
        if r.returncode != 0:
            bad.append(t)
            keep = os.environ.get("WEB_TEST_KEEP")
            if keep:
                os.makedirs(keep, exist_ok=True)
                shutil.copy(a, keep)
                shutil.copy(b, keep)
    print("worst: %s s (%d fps): %.3f%% of pixels over 16, mean %.3f" % worst)
    if bad:
        fail("the page's frames at %s s differ from Linux's beyond the limits"
             % ", ".join(map(str, bad)))
    print("PASS")
finally:
    if linux_jobs and linux_jobs.poll() is None:
        linux_jobs.kill()
        linux_jobs.wait()
    shutil.rmtree(work, ignore_errors=True)
