#!/bin/bash
# Yes to fullscreen on a display without an 800 x 600 mode (Xvfb has only its
# screen size): the fallback question with caption "Vexa GL"; No there closes
# the program with "Program Will Now Close." and status 0 (the viewer's choice).
# Then the same with Yes: the show goes on in a window; closing it ends with 0.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
XCLOSE=$(dirname "$BIN")/tests/xclose

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT

SDL_AUDIODRIVER=dummy "$BIN" > "$work/out" 2>&1 &
PID=$!
box=$(wait_window "Start FullScreen?") || fail "no start-up question"
press "$box" Return                     # Yes
box=$(wait_window "Vexa GL") || fail "no fallback question"
press "$box" Escape                     # No
box=$(wait_window "ERROR") || fail "no closing message"
press "$box" Return
wait $PID; status=$?
[ $status -eq 0 ] || fail "status $status after refusing the fallback, want 0"
grep -q "Program Will Now Close." "$work/out" || fail "the reason is not on standard error"

SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" > "$work/out" 2>&1 &
PID=$!
box=$(wait_window "Start FullScreen?") || fail "no start-up question (second run)"
press "$box" Return
box=$(wait_window "Vexa GL") || fail "no fallback question (second run)"
press "$box" Return                     # Yes: windowed instead
win=$(wait_window "vallup 123 driskel") || fail "no window after the fallback"
[ "$(client_size "$win")" = 800x600 ] || fail "client area $(client_size "$win")"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 0' "$work/trace" \
  || fail "fullscreen not cleared after the fallback: $(head -1 "$work/trace")"
"$XCLOSE" "$win"                        # the window manager's close box
wait $PID; status=$?
[ $status -eq 0 ] || fail "status $status after closing the window, want 0"
echo "PASS"
