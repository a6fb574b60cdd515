"""Runs the web scene benchmark's page (bench/web/scene_fps.html) in headless
Chromium (WebGL 2 on SwiftShader, the web tests' flags) and prints its table.

    scene_fps.py FOLDER FRAMES [NAME]

FOLDER holds index.html (the page) and bench_scene_fps.{js,wasm,data}, served
on a loopback port; FRAMES samples a scene; NAME: only the scenes whose name
starts so. Run with Debian's /usr/bin/python3 (python3-websocket); uses the
web tests' driver, tests/web/cdp.py.
"""
import json
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from cdp import Browser, Site  # noqa: E402


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: scene_fps.py FOLDER FRAMES [NAME]")
    folder, frames = sys.argv[1], int(sys.argv[2])
    only = sys.argv[3] if len(sys.argv) == 4 else ""
    load0 = os.getloadavg()[0]
    started = time.monotonic()
    with Site(folder) as site, Browser() as page:
        page.goto(site.url("index.html?frames=%d&only=%s" % (frames, only)))
        renderer = page.wait_for(
            "(() => { const g = document.createElement('canvas').getContext('webgl2');"
            " if (!g) return 'no WebGL 2'; const d = g.getExtension('WEBGL_debug_renderer_info');"
            " return d ? g.getParameter(d.UNMASKED_RENDERER_WEBGL) : g.getParameter(g.RENDERER); })()")
        title = page.wait_title(lambda t: t in ("done", "failed"), timeout=3600)
        if title != "done":
            page.print_log()
            sys.exit("scene_fps.py: the page says %r: %s"
                     % (title, page.eval("window.benchError || ''") if title else "no answer"))
        results = page.eval("window.benchResults")
    load1 = os.getloadavg()[0]

    print("scene frames against a plain WebGL fill in headless Chromium (%s), 800 x 600,"
          " medians of %d alternating frames each" % (renderer, frames))
    print("scene: clear + scene through gl11 + glFinish + one pixel read back; fill: the same"
          " clear + plain WebGL quads\nof the scene's kind over as many pixels as the scene frame"
          " wrote (counted in the stencil buffer) + the read;\nratio = scene / fill; sync: the"
          " read alone (in both); 1px: the scene frame kept to a one-pixel\nscissor box (all but the"
          " filling); scr: pixels written, in screens; kind: texture slot or flat,"
          " blending, depth test (z) or none (-)")
    print("%-22s | %-14s | %8s %8s %6s %7s %7s %5s" % ("scene", "kind", "scene ms", "fill ms",
                                                        "ratio", "sync ms", "1px ms", "scr"))
    for r in results:
        name = r["scene"] + (" *" if r["unscheduled"] else "")
        ratio = r["ms"] / r["fill_ms"] if r["fill_ms"] > 0 else float("inf")
        print("%-22s | %-14s | %8.2f %8.2f %6.2f %7.2f %7.2f %5.2f"
              % (name, r["kind"], r["ms"], r["fill_ms"], ratio, r["sync_ms"], r["px1_ms"],
                 r["screens"]))
    print("(* unscheduled: no window of the timeline draws it)")
    print("load average: %.2f at the start, %.2f at the end; %.0f s" % (load0, load1,
                                                                         time.monotonic() - started))
    print("json: " + json.dumps(results))


if __name__ == "__main__":
    main()
