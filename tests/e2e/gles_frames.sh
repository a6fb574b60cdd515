#!/bin/bash
# The whole show drawn through gl11's shaders on OpenGL ES 3 (--gles) against
# the same show on desktop GL 1.1, both captured at 2 frames a second: every
# frame within 1% of pixels more than 16 levels off in a channel and a mean
# difference of 2 levels (rasterisers may differ at edges; the two paths
# should not differ in what they draw). framediff prints every frame and the
# worst.
set -u
BIN=$(realpath "$1")
FRAMEDIFF=$(dirname "$BIN")/tests/framediff
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
[ -x "$FRAMEDIFF" ] || fail "no framediff beside the program ($FRAMEDIFF)"

"$BIN" --capture "$work/gl" --fps 2 2>"$work/gl.err" || { cat "$work/gl.err"; fail "GL 1.1 capture ended with status $?"; }
"$BIN" --gles --capture "$work/gles" --fps 2 2>"$work/gles.err" || { cat "$work/gles.err"; fail "--gles capture ended with status $?"; }
n=$(ls "$work/gl" | wc -l)
[ "$n" -gt 250 ] || fail "only $n frames captured"
[ "$(ls "$work/gles" | wc -l)" -eq "$n" ] || fail "--gles captured $(ls "$work/gles" | wc -l) frames, GL 1.1 $n"
"$FRAMEDIFF" "$work/gl" "$work/gles" > "$work/diff"
st=$?
grep -E "OUTSIDE|^worst|frames," "$work/diff"
[ $st -eq 0 ] || fail "frames drawn through OpenGL ES differ from GL 1.1's beyond the limits (status $st)"
echo "PASS: $n frames through --gles within 1% over 16 levels and a mean of 2 levels"
