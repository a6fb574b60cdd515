#!/bin/bash
# The start-up question, the windowed road, F1 and back, and Escape.
#   No  -> an 800 x 600 window titled "vallup 123 driskel", 32 colour bits
#   F1  -> Xvfb has no 640 x 480 mode either, so the fallback question comes;
#          Yes -> a 640 x 480 window with the tutorial title, still 32 bits
#   F1  -> fullscreen asked again, refused again: Yes -> a window, frames go on
#   Escape -> exit status 0
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" > "$work/out" 2>&1 &
PID=$!

box=$(wait_window "Start FullScreen?") || fail "no start-up question"
press "$box" Escape                     # Escape answers No
win=$(wait_window "vallup 123 driskel") || fail "no show window after No"
[ "$(client_size "$win")" = 800x600 ] || fail "client area $(client_size "$win"), want 800x600"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 0' "$work/trace" \
  || fail "trace: $(head -1 "$work/trace")"
wait_line '^[0-9.]+( |$)' "$work/trace" || fail "no frame drawn"

press "$win" F1
box=$(wait_window "Vexa GL") || fail "no fallback question after F1 to fullscreen"
press "$box" Return                     # Return answers Yes
tut=$(wait_window "Vexa's Textures, Lighting & Keyboard Tutorial") || fail "no re-created window"
[ "$(client_size "$tut")" = 640x480 ] || fail "re-created client area $(client_size "$tut"), want 640x480"
[ -z "$(window_id "vallup 123 driskel")" ] || fail "the first window was not destroyed"
wait_line "^# window \"Vexa's Textures, Lighting & Keyboard Tutorial\" asked 640x480 client 640x480 colorbits 32 fullscreen 0" \
  "$work/trace" || fail "trace after F1: $(grep '^#' "$work/trace")"

press "$tut" F1                         # the refusal left fullscreen off, so F1 asks for it again
box=$(wait_window "Vexa GL") || fail "no fallback question after the second F1"
press "$box" Return
wait_line "^# window .* fullscreen 0" "$work/trace" || fail "no window after the second F1"
sleep 2
before=$(grep -vc '^#' "$work/trace"); sleep 2; after=$(grep -vc '^#' "$work/trace")
[ "$after" -gt "$before" ] || fail "the show stopped after the second F1"
tut=$(wait_window "Vexa's Textures, Lighting & Keyboard Tutorial") || fail "no window after the second F1"
press "$tut" Escape
wait $PID; status=$?
[ $status -eq 0 ] || fail "exit status $status after Escape, want 0"
echo "PASS"
