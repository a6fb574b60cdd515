"""The web tests' driver: Debian's Chromium, headless, over its DevTools
protocol, and the site served on a loopback port. Python 3 standard library
and Debian's python3-websocket; run with Debian's own /usr/bin/python3.

    with Site(folder) as site, Browser() as page:
        page.goto(site.url("index.html?frame=10"))
        page.wait_title("ready")
        page.screenshot("shot.png")          # the 800 x 600 canvas at the top-left
        page.click("#no")                    # a left click at the element's centre
        page.key("ArrowUp")                  # held for one frame of the page
        t = page.eval("window.vallupTime")

Browser starts `chromium --headless=new` with WebGL on SwiftShader, a fresh
profile and a free DevTools port (read from its "DevTools listening on" line),
and talks to its first tab. The viewport is fixed at 1024 x 768 CSS pixels, one
device pixel each. Leaving the `with` block (or close()) ends every process of
the browser and removes its profile, whatever happened.

Whatever the page says on its console, and its uncaught exceptions, are kept
in Browser.log (printed by fail(), so a failing test shows them).

fail(message) prints "FAIL: message" and ends the test with status 1.
"""
import base64
import functools
import http.server
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

import websocket

CHROMIUM = "chromium"
VIEWPORT = (1024, 768)   # CSS pixels = device pixels

_open_browsers = []

# A test stopped by `timeout` (SIGTERM) still ends its browser and servers:
# the signal unwinds through the tests' `with` and `finally` blocks.
signal.signal(signal.SIGTERM, lambda sig, frame: sys.exit(128 + sig))


def fail(message):
    for b in _open_browsers:
        b.print_log()
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


class Site:
    """A folder served over HTTP on 127.0.0.1 and a free port, in a thread of
    this process (http.server's handler: what `python3 -m http.server` does).
    Requests go to a log (Site.requests), not to standard error."""

    def __init__(self, folder):
        if not os.path.isfile(os.path.join(folder, "index.html")):
            fail("no site in %s (index.html is missing): run make web" % folder)
        self.folder = folder
        self.requests = []

    def __enter__(self):
        site = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def log_message(self, fmt, *args):
                site.requests.append(fmt % args)

        handler = functools.partial(Handler, directory=self.folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()

    def url(self, path):
        return "http://127.0.0.1:%d/%s" % (self.server.server_address[1], path)


class Browser:
    """Headless Chromium with one tab under the protocol. extra_args are
    further command-line switches (a later switch wins over an earlier one);
    env replaces the environment. headless=False opens a real window on the
    environment's DISPLAY instead (the benchmarks' Xvfb), whose viewport is
    the window's own."""

    def __init__(self, extra_args=(), env=None, headless=True):
        self.extra_args = list(extra_args)
        self.env = env
        self.headless = headless
        self.proc = None
        self.ws = None
        self.next_id = 0
        self.log = []      # console messages and exceptions, in order
        self.dir = None

    # ---- start and stop ---------------------------------------------------
    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self):
        self.dir = tempfile.mkdtemp(prefix="vallup-chromium-")
        profile = os.path.join(self.dir, "profile")
        self.stderr_path = os.path.join(self.dir, "chromium.log")
        args = [CHROMIUM] + (["--headless=new"] if self.headless else []) + [
                "--no-sandbox", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", "--remote-debugging-port=0",
                "--user-data-dir=" + profile, "--window-size=%d,%d" % VIEWPORT,
                "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync"] + self.extra_args + ["about:blank"]
        with open(self.stderr_path, "wb") as err:
            # A session of its own: close() ends the browser's whole group.
            self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=err, stderr=err,
                                         env=self.env, start_new_session=True)
        _open_browsers.append(self)
        url = None
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and url is None:
            if self.proc.poll() is not None:
                raise RuntimeError("chromium ended at start (status %d): %s"
                                   % (self.proc.returncode, self.stderr_tail()))
            with open(self.stderr_path, "rb") as f:
                m = re.search(rb"DevTools listening on (ws://\S+)", f.read())
            if m:
                url = m.group(1).decode()
            else:
                time.sleep(0.05)
        if url is None:
            raise RuntimeError("chromium gave no DevTools address in 60 s: " + self.stderr_tail())
        self.ws = websocket.create_connection(url, timeout=60, suppress_origin=True)
        # The first tab, attached with a flat session: one socket for all.
        targets = self.call("Target.getTargets")["targetInfos"]
        tab = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=tab["targetId"],
                                 flatten=True)["sessionId"]
        self.send("Runtime.enable")
        self.send("Page.enable")
        if self.headless:
            self.send("Emulation.setDeviceMetricsOverride", width=VIEWPORT[0], height=VIEWPORT[1],
                      deviceScaleFactor=1, mobile=False)
        # A headless tab never has the focus; the page should behave as if it had.
        self.send("Emulation.setFocusEmulationEnabled", enabled=True)

    def close(self):
        if self.ws is not None:
            try:
                self.ws.close()
            except Exception:
                pass
            self.ws = None
        if self.proc is not None:
            if self.proc.poll() is None:
                for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
                    try:
                        os.killpg(self.proc.pid, sig)
                    except ProcessLookupError:
                        break
                    try:
                        self.proc.wait(wait)
                        break
                    except subprocess.TimeoutExpired:
                        pass
            # Its helpers (zygote, GPU, renderers) are in the same group.
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc = None
        if self in _open_browsers:
            _open_browsers.remove(self)
        if self.dir is not None:
            shutil.rmtree(self.dir, ignore_errors=True)
            self.dir = None

    def stderr_tail(self, lines=15):
        try:
            with open(self.stderr_path, "rb") as f:
                return "\n".join(f.read().decode(errors="replace").splitlines()[-lines:])
        except OSError:
            return ""

    def print_log(self):
        if self.log:
            print("the page's console and exceptions:", file=sys.stderr)
            for line in self.log[-40:]:
                print("  " + line, file=sys.stderr)

    # ---- the protocol -----------------------------------------------------
    def call(self, method, session=None, timeout=60, **params):
        """Sends one command and returns its result; events that come in the
        meantime are noted. Raises RuntimeError on a protocol error."""
        self.next_id += 1
        msg = {"id": self.next_id, "method": method, "params": params}
        if session:
            msg["sessionId"] = session
        self.ws.send(json.dumps(msg))
        deadline = time.monotonic() + timeout
        while True:
            self.ws.settimeout(max(0.1, deadline - time.monotonic()))
            try:
                reply = json.loads(self.ws.recv())
            except websocket.WebSocketTimeoutException:
                raise RuntimeError("%s: no answer in %d s" % (method, timeout))
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"].get("message")))
                return reply.get("result", {})
            self.note_event(reply)

    def send(self, method, timeout=60, **params):
        """A command to the tab."""
        return self.call(method, session=self.session, timeout=timeout, **params)

    def note_event(self, ev):
        method = ev.get("method")
        p = ev.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in p.get("args", []))
            self.log.append("console.%s: %s" % (p.get("type"), text))
        elif method == "Runtime.exceptionThrown":
            d = p.get("exceptionDetails", {})
            self.log.append("exception: %s %s" % (d.get("text", ""),
                                                 d.get("exception", {}).get("description", "")))

    # ---- the page ---------------------------------------------------------
    def goto(self, url):
        r = self.send("Page.navigate", url=url)
        if r.get("errorText"):
            raise RuntimeError("cannot open %s: %s" % (url, r["errorText"]))

    def eval(self, expression, timeout=60):
        """The value of a JavaScript expression in the page; a promise is
        awaited. Raises RuntimeError when it throws."""
        r = self.send("Runtime.evaluate", timeout=timeout, expression=expression,
                      returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in r:
            d = r["exceptionDetails"]
            raise RuntimeError("%s: %s" % (expression, d.get("exception", {}).get(
                "description", d.get("text"))))
        return r["result"].get("value")

    def title(self):
        return self.eval("document.title")

    def wait_title(self, want, timeout=60):
        """Waits until document.title is `want` (a string, or a function of the
        title); returns the title, or None after `timeout` seconds."""
        ok = want if callable(want) else (lambda t: t == want)
        deadline = time.monotonic() + timeout
        while True:
            try:
                t = self.title()
            except RuntimeError:   # between two documents
                t = None
            if t is not None and ok(t):
                return t
            if time.monotonic() > deadline:
                return None
            time.sleep(0.1)

    def wait_for(self, expression, timeout=30):
        """Waits until the expression is truthy; returns its value, or None."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                v = self.eval(expression)
            except RuntimeError:
                v = None
            if v:
                return v
            if time.monotonic() > deadline:
                return None
            time.sleep(0.1)

    def frame_sample(self):
        """Waits for the page's next animation frame and returns [vallupTime,
        the frame's timestamp in s]. A callback asked for now runs after the
        page's own for that frame (callbacks run in the order asked), so
        vallupTime is the Time of the frame just drawn."""
        return self.eval("new Promise(r => requestAnimationFrame(t => "
                         "r([typeof window.vallupTime == 'number' ? window.vallupTime : null,"
                         " t / 1000])))")

    def record_frames(self, seconds):
        """Starts noting every animation frame of the page for `seconds` s, from
        a callback that runs after the page's own in each frame: the frame's
        timestamp (s), window.vallupTime, and the keys (KeyboardEvent.key)
        held then, by the events the page has had. Returns at once;
        recorded_frames() waits for the list of [timestamp, time, "keys"]."""
        self.eval("""window.__vallupFrames = new Promise(done => {
            const held = new Set(), out = [];
            const down = e => held.add(e.key), up = e => held.delete(e.key);
            addEventListener('keydown', down); addEventListener('keyup', up);
            const end = performance.now() + %d;
            const f = t => {
              out.push([t / 1000, window.vallupTime, [...held].join(' ')]);
              if (t < end) { requestAnimationFrame(f); return; }
              removeEventListener('keydown', down); removeEventListener('keyup', up);
              done(out);
            };
            requestAnimationFrame(f);
          }), 0""" % int(seconds * 1000))

    def recorded_frames(self):
        return self.eval("window.__vallupFrames", timeout=120)

    def click(self, selector):
        """A left click at the centre of the element (it must be shown)."""
        box = self.eval("(() => { const e = document.querySelector(%s); if (!e) return null;"
                        " const r = e.getBoundingClientRect();"
                        " return [r.left + r.width / 2, r.top + r.height / 2, r.width, r.height]; })()"
                        % json.dumps(selector))
        if not box or box[2] <= 0 or box[3] <= 0:
            raise RuntimeError("no visible %s to click" % selector)
        x, y = box[0], box[1]
        self.send("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        self.send("Input.dispatchMouseEvent", type="mousePressed", x=x, y=y, button="left",
                  buttons=1, clickCount=1)
        self.send("Input.dispatchMouseEvent", type="mouseReleased", x=x, y=y, button="left",
                  buttons=0, clickCount=1)

    KEYS = {"ArrowUp": 38, "ArrowDown": 40, "ArrowLeft": 37, "ArrowRight": 39,
            "Escape": 27, "F1": 112, "Enter": 13}

    def key(self, name, frames=1):
        """Presses a key (a KeyboardEvent.key name from KEYS) and releases it
        after the page has drawn `frames` frames with it down: as a person's
        short press, which the page sees both as events and as a key held at
        a frame."""
        vk = self.KEYS[name]
        common = dict(key=name, code=name, windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk)
        self.send("Input.dispatchKeyEvent", type="rawKeyDown", **common)
        for _ in range(frames):
            self.frame_sample()
        self.send("Input.dispatchKeyEvent", type="keyUp", **common)

    def screenshot(self, path, clip=(0, 0, 800, 600)):
        """A PNG of the viewport's region (x, y, width, height), CSS = device pixels."""
        x, y, w, h = clip
        r = self.send("Page.captureScreenshot", format="png",
                      clip=dict(x=x, y=y, width=w, height=h, scale=1), captureBeyondViewport=False)
        with open(path, "wb") as f:
            f.write(base64.b64decode(r["data"]))


SHOW_TITLE = "vallup 123 driskel"   # the show's window title, the page's while it plays


def start_show(page, site, past=0.5, timeout=60):
    """Opens index.html, answers the question with "No" (a click, which also
    lets the page start its sound) and waits until the show's Time is past
    `past` s. Returns the first frame_sample() past it."""
    page.goto(site.url("index.html"))
    if not page.wait_for("(() => { const e = document.getElementById('no');"
                         " return e && e.getBoundingClientRect().width > 0; })()", timeout):
        fail("index.html offers no \"No\" button (id no) within %d s; the page says: %r"
             % (timeout, page.eval("document.body ? document.body.innerText : ''")))
    page.click("#no")
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        s = page.frame_sample()
        if s[0] is not None and s[0] > past:
            return s
        time.sleep(0.05)
    fail("after \"No\" the show's Time did not pass %s s in %d s (vallupTime %r, title %r)"
         % (past, timeout, page.eval("window.vallupTime"), page.title()))
