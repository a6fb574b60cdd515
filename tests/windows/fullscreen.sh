#!/bin/bash
# Fullscreen under Wine's virtual desktop, whose display offers the usual
# modes (bare Xvfb offers only its own size: windowed.sh takes the refusal):
#   start       -> "Start FullScreen?"; Return answers Yes: fullscreen 800 x 600
#   F1          -> a 640 x 480 window with the tutorial title
#   F1          -> fullscreen at 640 x 480
#   Escape      -> the show ends, and with it the desktop
# Usage: fullscreen.sh VALLUP.EXE (from the repository root; Wine's prefix from
# WINEPREFIX). The desktop's explorer does not pass on the exit status
# (windowed.sh checks it).
set -u
EXE=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
. "$(dirname "$0")/boxes.bash"
export WINEDEBUG=${WINEDEBUG:--all}

work=$(mktemp -d); PID=
trap '[ -z "$PID" ] || kill $PID 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
# The desktop's display modes stay in the prefix, and a later run on bare X
# would take them for the screen's (and fullscreen would "succeed" there):
# the desktop runs in a copy of the prefix.
cp -a "${WINEPREFIX:-$HOME/.wine}" "$work/prefix" || fail "cannot copy the Wine prefix"
export WINEPREFIX=$work/prefix
TUT="Vexa's Textures, Lighting & Keyboard Tutorial"
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace \
  wine explorer /desktop=vallup-test,1024x768 "$EXE" >"$work/out" 2>&1 &
PID=$!

# The desktop is one X window; Wine gives each window inside it an X window
# of its own, under the desktop's, named by its title. Keys go to the one
# that has Wine's focus.
wait_window "Start FullScreen?" 30 >/dev/null || fail "no start-up question: $(cat "$work/out")"
answer "Start FullScreen?" Return || fail "the start-up question did not take Return"   # Yes
win=$(wait_window "vallup 123 driskel") || fail "no show window after Yes"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 1' \
  "$work/trace" || fail "trace: $(grep '^#' "$work/trace")"
wait_line '^[0-9.]+ ' "$work/trace" || fail "no frame drawn"

hold "$win" F1 0.5   # a key must be down at a frame: slow frames need a long press
wait_line "^# window \"$TUT\" asked 640x480 client 640x480 colorbits 32 fullscreen 0" \
  "$work/trace" || fail "trace after the first F1: $(grep '^#' "$work/trace")"
tut=$(wait_window "$TUT") || fail "no window after the first F1"
hold "$tut" F1 0.5
wait_line "^# window \"$TUT\" asked 640x480 client 640x480 colorbits 32 fullscreen 1" \
  "$work/trace" || fail "trace after the second F1: $(grep '^#' "$work/trace")"
[ -z "$(window_id "Vexa GL")" ] || fail "the fallback question came although 640 x 480 exists"
before=$(grep -vc '^#' "$work/trace"); sleep 1; after=$(grep -vc '^#' "$work/trace")
[ "$after" -gt "$before" ] || fail "no frames drawn fullscreen"

tut=$(wait_window "$TUT") || fail "no fullscreen window"
hold "$tut" Escape 0.5
for ((i = 0; i < 150; i++)); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
kill -0 $PID 2>/dev/null && fail "the show did not end on Escape"
PID=
echo "PASS"
