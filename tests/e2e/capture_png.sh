#!/bin/bash
# --capture into a directory: one PNG per frame from frame 0 to the show's end,
# and frame k is byte for byte the picture --frame k/N writes.
set -u
BIN=$(realpath "$1")
ROOT=$(pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Frames a run at NUM/DEN presents: those whose music position (whole ms)
# is not past 128 s.
expected() { python3 -c "
num, den = $1, $2
k = 0
while k * 1000 * den // num <= 128000: k += 1
print(k)"; }

cd "$ROOT"
"$BIN" --capture "$TMP/frames" --fps 10 --size 80x60 >"$TMP/out" 2>"$TMP/err"
st=$?
[ $st -eq 0 ] || { cat "$TMP/err"; fail "capture into a directory ended with status $st"; }
want=$(expected 10 1)
got=$(ls "$TMP/frames" | wc -l)
[ "$got" -eq "$want" ] || fail "$got frames written, expected $want (0 to 128 s at 10 fps)"
[ -f "$TMP/frames/frame-000000.png" ] || fail "frame 0 is not frame-000000.png"
last=$(printf 'frame-%06d.png' $((want - 1)))
[ -f "$TMP/frames/$last" ] || fail "the last frame is not $last"
grep -q "frame $want/$want" "$TMP/err" || fail "no final progress line 'frame $want/$want' on stderr"
grep -Eq "100%.*fps.*left" "$TMP/err" || fail "progress line lacks percent, fps or time left"

# Frames across every scene window, on both sides of a few bounds (22.5, 52,
# 82, 119.25 s) and the last one.
for k in 0 1 50 224 225 226 400 520 521 560 700 819 821 870 930 980 1030 1100 1170 1192 1193 1250 $((want - 1)); do
  secs=$(python3 -c "print(repr($k / 10))")
  "$BIN" --frame "$secs" --fps 10 --size 80x60 --out "$TMP/single.png" >/dev/null 2>&1 ||
    fail "--frame $secs failed"
  cmp -s "$TMP/single.png" "$TMP/frames/$(printf 'frame-%06d.png' $k)" ||
    fail "captured frame $k differs from --frame $secs"
done

# A fractional rate: frame k at k * 1001 / 30000 s exactly.
"$BIN" --capture "$TMP/ntsc" --fps 30000/1001 --size 32x24 >/dev/null 2>"$TMP/err" ||
  { cat "$TMP/err"; fail "capture at 30000/1001 failed"; }
want=$(expected 30000 1001)
got=$(ls "$TMP/ntsc" | wc -l)
[ "$got" -eq "$want" ] || fail "$got frames at 30000/1001, expected $want"
for k in 700 2000 3500; do
  secs=$(python3 -c "print(repr($k * 1001 / 30000))")
  "$BIN" --frame "$secs" --fps 30000/1001 --size 32x24 --out "$TMP/single.png" >/dev/null 2>&1
  cmp -s "$TMP/single.png" "$TMP/ntsc/$(printf 'frame-%06d.png' $k)" ||
    fail "frame $k at 30000/1001 differs from --frame $secs --fps 30000/1001"
done
echo "ok"
