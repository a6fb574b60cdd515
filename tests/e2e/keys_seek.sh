#!/bin/bash
# The seek keys move the show: each frame drawn while a key is held seeks from
# that frame's Time, Up +1000 ms, Down -1000, Right +500, Left -500, and with
# Up and Down held together Down (the later) wins. Seen in the trace, whose
# frame lines carry Time, the seek keys held after the frame and the wall clock.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" --windowed >"$work/out" 2>&1 &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window"

# Waits until the show has played past 3 s.
past3() { grep -v '^#' "$work/trace" | tail -1 | awk '{ t = $1 } END { exit !(NR > 0 && t > 3) }'; }
for ((i = 0; i < 200; i++)); do past3 && break; sleep 0.1; done
past3 || fail "the show did not reach 3 s: last line '$(tail -1 "$work/trace")'"

# Holds keys until that many frames were drawn with them held (the trace
# tags each frame with the seek keys held after it). Up first and longest, so
# the backward seeks stay clear of the track's start.
holdfor() {  # TAG COUNT KEYS...
  local tag=$1 count=$2 i; shift 2
  xdotool keydown "$@"
  for ((i = 0; i < 500; i++)); do
    [ "$(grep -c "^[^#][^ ]* $tag " "$work/trace")" -ge "$count" ] && break
    sleep 0.01
  done
  xdotool keyup "$@"
  sleep 0.3
}
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
holdfor U 12 Up
holdfor R 3 Right
holdfor D 3 Down
holdfor L 3 Left
holdfor UD 3 Up Down
press "$win" Escape
wait $PID; status=$?
[ $status -eq 0 ] || fail "exit status $status after Escape, want 0"

python3 - "$work/trace" <<'PY'
import sys
frames = [l.split() for l in open(sys.argv[1]) if not l.startswith('#')]
offset = {'U': 1.0, 'D': -1.0, 'R': 0.5, 'L': -0.5}
seen = {}
for (t, keys, _), (t2, _, _) in zip(frames, frames[1:]):
    d = float(t2) - float(t)
    if keys == '-':
        # No key: the music moves on by the frame's time, never back, never
        # by a seek's second.
        if not (-0.002 <= d < 0.9):
            sys.exit(f"FAIL: with no key held Time went from {t} to {t2}")
        continue
    else:
        # Several keys: each seeks from the same Time, the last of U D R L wins.
        want = offset[keys[-1]]
        # A seek before the track's start lands on its start.
        want = max(want, -float(t))
        seen[keys] = seen.get(keys, 0) + 1
    # A seek before the start of the track lands on 0.
    target = max(0.0, float(t) + want)
    late = float(t2) - target
    if not (-0.002 <= late <= 0.45):
        sys.exit(f"FAIL: after the frame at {t} with keys '{keys}' the next Time is {t2}: "
                 f"expected {target:.3f} s (a seek of {want:+.3f} s, clamped at 0) plus the frame's time")
for keys in ('U', 'R', 'D', 'L', 'UD'):
    if keys not in seen:
        sys.exit(f"FAIL: no frame was drawn while '{keys}' was held (seen: {seen})")
print("seek frames:", seen)
PY
[ $? -eq 0 ] || exit 1
echo PASS
