#!/bin/bash
# A display on which no question box can be shown (no zenity, and no X core
# fonts for SDL's own box): each question goes to standard error with the
# answer taken, the one that keeps the show playing in a window. The start-up
# question is answered No; the fallback question (asked when --fullscreen
# meets a display without an 800 x 600 mode) is answered Yes.
set -u
BIN=$(realpath "$1")
[ "${VALLUP_E2E_SCREEN:-}" = nofonts ] ||
  VALLUP_E2E_SCREEN=nofonts exec xvfb-run -a -s "-noreset -screen 0 1024x768x24 -fp built-ins" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d); trap 'rm -rf "$work"; kill $PID 2>/dev/null' EXIT
# A zenity that fails, in case one is installed: SDL's own box must be the last resort.
mkdir "$work/bin"; printf '#!/bin/sh\nexit 1\n' > "$work/bin/zenity"; chmod +x "$work/bin/zenity"

for args in "" --fullscreen; do
  rm -f "$work/trace"
  PATH="$work/bin:$PATH" SDL_AUDIODRIVER=dummy VALLUP_TRACE=$work/trace "$BIN" $args > "$work/out" 2> "$work/err" &
  PID=$!
  win=$(wait_window "vallup 123 driskel") || fail "'$args': no show window; stderr: $(cat "$work/err")"
  wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 0' "$work/trace" \
    || fail "'$args': not in a window: $(head -1 "$work/trace")"
  wait_line '^[0-9.]+( |$)' "$work/trace" || fail "'$args': no frame drawn"
  if [ -z "$args" ]; then
    grep -q 'Start FullScreen?: "Would You Like To Run In Fullscreen Mode?" - answering No' "$work/err" \
      || fail "the start-up question is not on standard error: $(cat "$work/err")"
  else
    grep -q 'Vexa GL: "The Requested Fullscreen Mode Is Not Supported By Your Video Card. Use Windowed Mode Instead?" - answering Yes' \
      "$work/err" || fail "the fallback question is not on standard error: $(cat "$work/err")"
    grep -q "Start FullScreen" "$work/err" && fail "--fullscreen asked the start-up question"
  fi
  press "$win" Escape
  wait $PID; status=$?
  [ $status -eq 0 ] || fail "'$args': exit status $status, want 0"
done
echo "PASS"
