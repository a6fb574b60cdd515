#!/bin/bash
# The track missing, garbage, or cut in half, in a window: the show runs on
# the silent clock (Time moves with real time), the seek keys still move it,
# and it ends by itself past 128 s with status 0. A missing track prints
# "Error!" and "File Not Found" on standard output; the others print nothing.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
ROOT=$(pwd)
TRACK=$ROOT/data/music/track.mp3
[ -s "$TRACK" ] || fail "data/music/track.mp3 is not in the repository (tools/assetgen makes it)"

work=$(mktemp -d); trap 'rm -rf "$work"; [ -n "${PID:-}" ] && kill $PID 2>/dev/null' EXIT
cp -r "$ROOT/data" "$work/data"

for how in missing garbage truncated; do
  case $how in
    missing) rm -f "$work/data/music/track.mp3" ;;
    garbage) head -c 65536 /dev/urandom >"$work/data/music/track.mp3" ;;
    truncated) head -c $(($(stat -c %s "$TRACK") / 2)) "$TRACK" >"$work/data/music/track.mp3" ;;
  esac
  rm -f "$work/trace"
  (cd "$work" && SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace exec "$BIN" --windowed \
     >"$work/out" 2>"$work/err") &
  PID=$!
  win=$(wait_window "vallup 123 driskel") || fail "$how: no show window (the program $(kill -0 $PID 2>/dev/null && echo runs || echo ended)): $(cat "$work/err")"

  # The clock runs: about two seconds of Time in two seconds.
  for ((i = 0; i < 100; i++)); do [ "$(grep -vc '^#' "$work/trace")" -gt 2 ] && break; sleep 0.1; done
  t0=$(grep -v '^#' "$work/trace" | tail -1 | cut -d' ' -f1)
  sleep 2
  t1=$(grep -v '^#' "$work/trace" | tail -1 | cut -d' ' -f1)
  awk -v a="$t0" -v b="$t1" 'BEGIN { exit !(b - a > 1.5 && b - a < 3) }' ||
    fail "$how: Time went from $t0 to $t1 in 2 s of real time"

  # Up held seeks a second a frame: the show reaches its end and quits.
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  xdotool keydown Up
  for ((i = 0; i < 600; i++)); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
  xdotool keyup Up
  kill -0 $PID 2>/dev/null && fail "$how: the show did not end with Up held for a minute"
  wait $PID; st=$?; PID=
  [ $st -eq 0 ] || { cat "$work/err"; fail "$how: exit status $st, want 0"; }
  last=$(grep -v '^#' "$work/trace" | tail -1 | cut -d' ' -f1)
  awk -v t="$last" 'BEGIN { exit !(t > 120 && t <= 128) }' || fail "$how: the last frame drawn was at $last s"
  if [ $how = missing ]; then
    [ "$(cat "$work/out")" = "$(printf 'Error!\nFile Not Found')" ] || fail "$how: stdout was '$(cat "$work/out")'"
  else
    [ -z "$(cat "$work/out")" ] || fail "$how: stdout was '$(cat "$work/out")'"
  fi
  grep -Eq "AddressSanitizer|runtime error" "$work/err" && { cat "$work/err"; fail "$how: sanitizer report"; }
  echo "$how track: silent clock ran, show ended at its last frame $last s, status 0"
  cp "$TRACK" "$work/data/music/track.mp3"
done
echo PASS
