#!/bin/bash
# The Windows build draws the show as the Linux build does: vallup.exe
# --frame under Wine against build/vallup --frame, pixel for pixel, at a time
# in each act. Not from 25 s to 37 s: the C64 scene's sphere cloud comes from
# the C runtime's rand(), msvcrt's on Windows, glibc's on Linux (the unit
# test RandomTable.IsMsvcrtsSequenceFromItsStart pins the Windows one).
# Usage: frames.sh VALLUP.EXE (from the repository root; Wine's prefix from
# WINEPREFIX; the Linux program from VALLUP_LINUX_BINARY, default build/vallup).
set -u
EXE=$(realpath "$1")
LINUX=$(realpath "${VALLUP_LINUX_BINARY:-build/vallup}")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
[ -x "$LINUX" ] || fail "no Linux program at $LINUX to compare with: build it (make build)"
export WINEDEBUG=${WINEDEBUG:--all}

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
TIMES="10 40 56.3 70 86 97.5 110 117"

# rgb PNG: the picture's pixels as raw RGB bytes.
rgb() { ffmpeg -nostdin -v error -i "$1" -f rawvideo -pix_fmt rgb24 -; }

# Linux's pictures on one core, Windows' on the other.
(for t in $TIMES; do "$LINUX" --frame "$t" --out "$work/linux-$t.png" >"$work/linux-$t.log" 2>&1
 done) &
linux=$!
for t in $TIMES; do
  wine "$EXE" --frame "$t" --out "$work/windows-$t.png" >"$work/windows-$t.log" 2>&1 \
    || fail "vallup.exe --frame $t failed: $(cat "$work/windows-$t.log")"
done
wait $linux

bad=0
for t in $TIMES; do
  [ -s "$work/linux-$t.png" ] || fail "build/vallup --frame $t failed: $(cat "$work/linux-$t.log")"
  rgb "$work/linux-$t.png" >"$work/linux.rgb"
  rgb "$work/windows-$t.png" >"$work/windows.rgb"
  [ "$(stat -c %s "$work/windows.rgb")" = 1440000 ] || fail "the picture at $t s is not 800x600"
  cmp -s "$work/linux.rgb" "$work/windows.rgb" && continue
  bad=1   # say which pixels differ: their count and the first few
  python3 - "$work/linux.rgb" "$work/windows.rgb" "$t" <<'PY'
import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
px = sorted({i // 3 for i in range(len(a)) if a[i] != b[i]})
print("FAIL: at %s s %d pixels differ from Linux's, first (x, y): %s" % (
    sys.argv[3], len(px), [(p % 800, p // 800) for p in px[:5]]), file=sys.stderr)
PY
done
[ $bad -eq 0 ] || exit 1
echo "PASS"
