#!/bin/bash
# F1 asks for 640 x 480 at 16 bits. A display of that size offers only its own
# 24-bit depth, as today's displays do: the depth is a preference, so F1 goes
# fullscreen with no fallback question, and the pixel format still asks for
# 32 colour bits. F1 again returns to a window; Escape ends with status 0.
set -u
BIN=$(realpath "$1")
[ "${VALLUP_E2E_SCREEN:-}" = 640 ] || VALLUP_E2E_SCREEN=640 exec xvfb-run -a -s "-noreset -screen 0 640x480x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" --windowed > "$work/out" 2>&1 &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window"
wait_line '^[0-9.]+( |$)' "$work/trace" || fail "no frame drawn"

press "$win" F1
tut=$(wait_window "Vexa's Textures, Lighting & Keyboard Tutorial") || fail "no window after F1"
[ -z "$(window_id "Vexa GL")" ] || fail "the fallback question came although a 640 x 480 mode exists"
wait_line "^# window \"Vexa's Textures, Lighting & Keyboard Tutorial\" asked 640x480 client 640x480 colorbits 32 fullscreen 1" \
  "$work/trace" || fail "not fullscreen after F1: $(grep '^#' "$work/trace")"

press "$tut" F1
wait_line "^# window .* fullscreen 0" "$work/trace" || fail "F1 did not return to a window: $(grep '^#' "$work/trace")"
tut=$(wait_window "Vexa's Textures, Lighting & Keyboard Tutorial") || fail "no window after the second F1"
press "$tut" Escape
wait $PID; status=$?
[ $status -eq 0 ] || fail "exit status $status, want 0"
echo "PASS"
