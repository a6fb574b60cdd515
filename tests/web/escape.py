"""Escape ends the playing show: the page's title becomes "ended", the page
says the show ended and offers a button to play again (id again), and Time
stops. That button starts the show again from its beginning (after the question,
if it is asked again): the show's title, and Time from under 1.5 s (it had
reached 3 s).
Usage: escape.py SITE_DIR (from the repository root).
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import SHOW_TITLE, Browser, Site, fail, start_show  # noqa: E402

site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
with Site(site_dir) as site, Browser() as page:
    start_show(page, site, past=3.0)
    page.key("Escape")
    if page.wait_title("ended", 10) is None:
        fail("after Escape the title is %r, not \"ended\"" % page.title())
    again = page.wait_for("(() => { const e = document.getElementById('again');"
                          " return e && e.getBoundingClientRect().width > 0; })()", 5)
    if not again:
        fail("after Escape no button to play again (id again) is shown; the page says: %r"
             % page.eval("document.body.innerText"))
    said = page.eval("document.body.innerText")
    print("the page after Escape says: %r" % said)
    stopped = page.eval("window.vallupTime")
    time.sleep(1.0)
    if page.eval("window.vallupTime") != stopped:
        fail("Time still moves after Escape: %r then %r" % (stopped, page.eval("window.vallupTime")))

    page.click("#again")
    # Playing again may ask the question again: then "No" once more.
    if page.wait_for("(() => { const e = document.getElementById('no');"
                     " return e && e.getBoundingClientRect().width > 0; })()", 2):
        page.click("#no")
    if page.wait_title(SHOW_TITLE, 10) is None:
        fail("after \"again\" the title is %r, not the show's" % page.title())
    deadline = time.monotonic() + 30
    first = None
    while time.monotonic() < deadline:
        t, _ = page.frame_sample()
        if t is not None and t != stopped:
            first = t if first is None else first
            if t > first + 0.5:
                break
        time.sleep(0.1)
    else:
        fail("after \"again\" Time does not run: %r" % page.eval("window.vallupTime"))
    if first > 1.5:
        fail("after \"again\" the show started at %.3f s, not from its beginning" % first)
    print("again: the show restarted, its first Time seen %.3f s" % first)
    print("PASS")
