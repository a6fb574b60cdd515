#!/bin/bash
# The start-up question on bare Xvfb under Wine (no window manager):
#   start  -> "Start FullScreen?"; Return answers Yes
#   Wine offers only the screen's own size, so 800 x 600 fullscreen fails and
#   the fallback question comes; Return answers Yes: an 800 x 600 window
#   Escape -> exit status 0
# Usage: question.sh VALLUP.EXE (from the repository root; Wine's prefix from
# WINEPREFIX).
set -u
EXE=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
. "$(dirname "$0")/boxes.bash"
export WINEDEBUG=${WINEDEBUG:--all}

work=$(mktemp -d); PID=
trap 'rm -rf "$work"; [ -z "$PID" ] || kill $PID 2>/dev/null' EXIT

SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace wine "$EXE" >"$work/out" 2>&1 &
PID=$!
wait_window "Start FullScreen?" 30 >/dev/null || fail "no start-up question: $(cat "$work/out")"
answer "Start FullScreen?" Return || fail "the start-up question did not take Return"
wait_window "Vexa GL" >/dev/null || fail "no fallback question after the refused fullscreen"
answer "Vexa GL" Return || fail "the fallback question did not take Return"
win=$(wait_window "vallup 123 driskel") || fail "no show window after the fallback's Yes"
[ "$(client_size "$win")" = 800x600 ] || fail "client area $(client_size "$win"), want 800x600"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 0' \
  "$work/trace" || fail "trace: $(grep '^#' "$work/trace")"
wait_line '^[0-9.]+ ' "$work/trace" || fail "no frame drawn"
hold "$win" Escape 0.5
wait $PID; status=$?; PID=
[ $status -eq 0 ] || fail "exit status $status after Escape, want 0: $(cat "$work/out")"
echo "PASS"
