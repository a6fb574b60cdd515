"""A browser without WebGL gets a clear message, not a blank page: Chromium
with --disable-webgl, then with --disable-3d-apis, opens index.html (and
answers "No" if the question comes first) and index.html?frame=10; within
20 s the page's shown text names WebGL, and the frame page never says
"ready".
Usage: no_webgl.py SITE_DIR (from the repository root).
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Site, fail  # noqa: E402

SHOWN_TEXT = "document.body ? document.body.innerText : ''"
site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
bad = []
with Site(site_dir) as site:
    for switch in ("--disable-webgl", "--disable-3d-apis"):
        with Browser([switch]) as page:
            if page.eval("!!document.createElement('canvas').getContext('webgl2')"):
                fail("Chromium %s still offers WebGL 2" % switch)
            for path in ("index.html", "index.html?frame=10"):
                page.goto(site.url(path))
                deadline = time.monotonic() + 20
                said, clicked = "", False
                while time.monotonic() < deadline:
                    said = page.eval(SHOWN_TEXT) or ""
                    if "webgl" in said.lower():
                        break
                    if not clicked and page.eval(
                            "(() => { const e = document.getElementById('no');"
                            " return !!e && e.getBoundingClientRect().width > 0; })()"):
                        page.click("#no")
                        clicked = True
                    time.sleep(0.2)
                title = page.title()
                print("%s, %s: title %r, the page says %r" % (switch, path, title, said.strip()))
                if "webgl" not in said.lower():
                    bad.append("%s with %s: no message about WebGL in 20 s" % (path, switch))
                if title == "ready":
                    bad.append("%s with %s says \"ready\"" % (path, switch))
if bad:
    fail("; ".join(bad))
print("PASS")
