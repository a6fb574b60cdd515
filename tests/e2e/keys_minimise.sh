#!/bin/bash
# Minimised, the show draws nothing (and takes little CPU) while the music
# plays on; restored, it picks up at the music's position. Xvfb runs no
# window manager, so the window is minimised as a window manager does it: by
# unmapping it (the iconic state), and restored by mapping it again.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" --windowed >"$work/out" 2>&1 &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window"
past() { grep -v '^#' "$work/trace" | tail -1 | awk -v s="$1" '{ t = $1 } END { exit !(NR > 0 && t > s) }'; }
for ((i = 0; i < 200; i++)); do past 2 && break; sleep 0.1; done
past 2 || fail "the show did not reach 2 s"

xdotool windowunmap --sync "$win"
for ((i = 0; i < 50; i++)); do grep -q '^# active 0' "$work/trace" && break; sleep 0.1; done
grep -q '^# active 0' "$work/trace" || fail "drawing went on after the window was minimised"
n0=$(grep -vc '^#' "$work/trace")
cpu0=$(awk '{ print $14 + $15 }' /proc/$PID/stat)
sleep 3
cpu1=$(awk '{ print $14 + $15 }' /proc/$PID/stat)
n1=$(grep -vc '^#' "$work/trace")
[ "$n0" -eq "$n1" ] || fail "$((n1 - n0)) frames drawn while minimised"
# The loop still presents while minimised, at the display's pace: it does not spin.
[ $((cpu1 - cpu0)) -lt $(getconf CLK_TCK) ] || fail "minimised, the loop took $((cpu1 - cpu0)) CPU ticks in 3 s"
kill -0 $PID 2>/dev/null || fail "the program ended while minimised"

xdotool windowmap --sync "$win"
for ((i = 0; i < 50; i++)); do grep -q '^# active 1' "$work/trace" && break; sleep 0.1; done
grep -q '^# active 1' "$work/trace" || fail "drawing did not resume after restore"
sleep 1
press "$win" Escape
wait $PID; status=$?
[ $status -eq 0 ] || fail "exit status $status after Escape, want 0"

# Time across the pause: the music went on for the 3 s or more that the
# window was minimised, and the first frame after restore shows it.
awk '
  /^# active 0/ { before = last; paused = 1; next }
  /^# active 1/ { resumed = 1; next }
  /^#/ { next }
  resumed && !after { after = $1 }
  { last = $1 }
  END {
    gap = after - before
    if (!paused || !resumed || gap < 3 || gap > 8) {
      printf "FAIL: Time %s before minimising, %s after restoring: a step of %.3f s, expected 3 s or a little more\n", before, after, gap > "/dev/stderr"
      exit 1
    }
    printf "Time %s before minimising, %s after restoring\n", before, after
  }' "$work/trace" || exit 1
echo PASS
