#!/bin/bash
# Frames come at the display's pace: Xvfb's software GL does not wait for a
# vertical blank at the swap and reports no refresh rate, so the show paces
# itself at 60 frames a second instead of drawing as fast as it can. Over
# three seconds of music about 60 frames a second are drawn, not hundreds.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" --windowed > "$work/out" 2>&1 &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window"
wait_line '^5\.[0-9]+ ' "$work/trace" 30 || fail "the music did not reach 5 s"
frames=$(awk '$1 !~ /^#/ && $1 >= 1 && $1 < 4' "$work/trace" | wc -l)
echo "frames drawn between 1 and 4 s of music: $frames"
[ "$frames" -le 195 ] || fail "$frames frames in 3 s: faster than the display's 60 Hz"
[ "$frames" -ge 60 ] || fail "only $frames frames in 3 s"

kill $PID; wait $PID 2>/dev/null; PID=
echo "PASS"
