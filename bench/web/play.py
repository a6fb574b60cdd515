"""The web build's side of bench/sync.sh: plays the site in Chromium with a
window (not headless) on the environment's DISPLAY, its sound going to the
PulseAudio server the environment names (XDG_RUNTIME_DIR, and HOME for the
server's cookie), as a viewer would watch it.

    play.py SITE_DIR WORK_DIR

Serves SITE_DIR on a loopback port and opens index.html?trace=/trace in a
kiosk window filling the screen (no frame, at 0,0), waits for the question
and answers "No" with a click (which also lets the page start its sound),
then, while the show plays:
  WORK/geometry  "X Y WIDTH HEIGHT": the canvas's drawing area on the screen,
                 in screen pixels (written once it has its size)
  WORK/progress  "TIME - WALL" lines, about every 50 ms: the music Time of the
                 last frame drawn and the wall clock then (s since 1970), in
                 the VALLUP_TRACE format bench/private_av.sh's wait_time reads
  WORK/renderer  the WebGL renderer the page draws with
PLAY_WINDOW ("W,H", default 800,600) is the window's size, PLAY_CHROMIUM_ARGS
further switches for Chromium (split at spaces), PLAY_NICE a nice level for
all of Chromium's processes (negative: ahead of other work; needs root). When WORK/stop appears, or the show ends, it copies the program's own trace
(every frame's Time and wall clock, from the page's file system) to
WORK/trace and closes the browser. Messages go to standard error; the status
is 0 when the trace was copied.

Run with Debian's /usr/bin/python3 (python3-websocket); uses the web tests'
driver, tests/web/cdp.py.
"""
import json
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from cdp import Browser, Site  # noqa: E402


def say(text):
    print("play.py: " + text, file=sys.stderr, flush=True)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: play.py SITE_DIR WORK_DIR")
    site_dir, work = sys.argv[1], sys.argv[2]

    def out(name):
        return os.path.join(work, name)

    # A window as large as the screen, without a frame: the canvas's place on
    # the screen is the page's. WebGL draws on SwiftShader (the driver's
    # flags); the page is composited on the CPU, as Chromium does where it
    # finds no GPU it trusts: composited on SwiftShader too, a window of
    # 800 x 600 gets an animation frame only every 25 ms or so here, on the
    # CPU every 16.7 ms (the display's 60 Hz).
    args = ["--kiosk", "--window-position=0,0", "--window-size=%s" % os.environ.get(
        "PLAY_WINDOW", "800,600"), "--disable-gpu-compositing"]
    args += os.environ.get("PLAY_CHROMIUM_ARGS", "").split()
    with Site(site_dir) as site, Browser(extra_args=args, env=dict(os.environ),
                                         headless=False) as page:
        nice = os.environ.get("PLAY_NICE")
        if nice:
            # The browser's processes (one group) and those they start later.
            os.setpriority(os.PRIO_PGRP, page.proc.pid, int(nice))
        page.goto(site.url("index.html?trace=/trace"))
        if not page.wait_for("(() => { const e = document.getElementById('no');"
                             " return e && e.getBoundingClientRect().width > 0; })()", 60):
            page.print_log()
            sys.exit("play.py: the page offers no \"No\" button (id no) within 60 s")
        renderer = page.eval("(() => { const g = document.createElement('canvas')"
                             ".getContext('webgl2'); if (!g) return 'no WebGL 2';"
                             " const d = g.getExtension('WEBGL_debug_renderer_info');"
                             " return d ? g.getParameter(d.UNMASKED_RENDERER_WEBGL)"
                             " : g.getParameter(g.RENDERER); })()")
        with open(out("renderer"), "w") as f:
            f.write(renderer + "\n")
        page.click("#no")

        # The canvas's drawing area in screen pixels: the window's place plus
        # the page's offset in it (a kiosk window has no frame).
        geometry = page.wait_for(
            "(() => { const c = document.getElementById('canvas');"
            " if (!c || !c.width) return null; const r = c.getBoundingClientRect(),"
            " d = devicePixelRatio, fx = (outerWidth - innerWidth) / 2,"
            " fy = outerHeight - innerHeight;"
            " return [Math.round((screenX + fx + r.left) * d), Math.round((screenY + fy + r.top) * d),"
            " c.width, c.height]; })()", 60)
        if not geometry:
            page.print_log()
            sys.exit("play.py: no canvas after \"No\"")
        with open(out("geometry.part"), "w") as f:
            f.write("%d %d %d %d\n" % tuple(geometry))
        os.rename(out("geometry.part"), out("geometry"))
        say("canvas %dx%d at %d,%d on the screen; WebGL: %s"
            % (geometry[2], geometry[3], geometry[0], geometry[1], renderer))

        with open(out("progress"), "w") as progress:
            while not os.path.exists(out("stop")):
                t, wall, title = page.eval("[Module.vallupTime(), Date.now() / 1000, document.title]")
                progress.write("%.3f - %.6f\n" % (t, wall))
                progress.flush()
                if title in ("ended", "failed"):
                    say("the page's title is %r" % title)
                    break
                time.sleep(0.05)

        trace = page.eval("(() => { try { return FS.readFile('/trace', { encoding: 'utf8' }); }"
                          " catch (e) { return null; } })()")
        if not trace:
            page.print_log()
            sys.exit("play.py: the page wrote no trace (does index.html take ?trace=FILE?)")
        with open(out("trace"), "w") as f:
            f.write(trace)
        say("trace: %d lines; the page's console: %s"
            % (trace.count("\n"), json.dumps(page.log[-5:])))


if __name__ == "__main__":
    main()
