#!/bin/bash
# Yes to fullscreen on a display whose mode is 800 x 600: no fallback
# question, an 800 x 600 fullscreen window; Escape ends with status 0.
set -u
BIN=$(realpath "$1")
[ "${VALLUP_E2E_SCREEN:-}" = 800 ] || VALLUP_E2E_SCREEN=800 exec xvfb-run -a -s "-noreset -screen 0 800x600x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" > "$work/out" 2>&1 &
PID=$!
box=$(wait_window "Start FullScreen?") || fail "no start-up question"
press "$box" Return                     # Yes
win=$(wait_window "vallup 123 driskel") || fail "no show window"
[ -z "$(window_id "Vexa GL")" ] || fail "the fallback question came although the mode exists"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 1' "$work/trace" \
  || fail "trace: $(head -1 "$work/trace")"
press "$win" Escape
wait $PID; status=$?
[ $status -eq 0 ] || fail "exit status $status, want 0"
echo "PASS"
