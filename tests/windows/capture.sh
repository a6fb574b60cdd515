#!/bin/bash
# --capture of the Windows program, under Wine on Xvfb: PNG frames need no
# ffmpeg, a video with no ffmpeg.exe on PATH is a clear error, and against a
# stand-in ffmpeg.exe (ffmpeg_standin.c, built here) every frame goes down the
# pipe, the track's samples reach the encoder through the spill file, a name
# with a space survives the command line, nothing temporary is left, and an
# encoder that stops reading is reported as such.
# Usage: bash tests/windows/capture.sh build-windows/build/vallup.exe
set -u
EXE=$(realpath "$1")
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
TMP=$(mktemp -d)
XVFB=
trap '[ -n "$XVFB" ] && kill $XVFB; rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
win() { echo "Z:${1//\//\\}"; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${WINEPREFIX:-$TMP/prefix}
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$TMP/display" 2>/dev/null &
XVFB=$!
for _ in $(seq 50); do [ -s "$TMP/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$TMP/display")
wineboot -i >/dev/null 2>&1 || fail "cannot make the Wine prefix $WINEPREFIX"

mkdir "$TMP/bin"
x86_64-w64-mingw32-gcc -O2 -o "$TMP/bin/ffmpeg.exe" "$ROOT/tests/windows/ffmpeg_standin.c" \
  -lshell32 || fail "cannot build the stand-in ffmpeg.exe"
cd "$ROOT"   # the show's data
W=32 H=24
frames=$(python3 -c "
k = 0
while k * 1000 <= 128000: k += 1
print(k)")

# PNG frames with no ffmpeg anywhere: one whole picture a frame.
WINEPATH= wine "$EXE" --capture "$(win "$TMP/pngs")" --fps 1 --size ${W}x$H >/dev/null \
  2>"$TMP/err" || fail "PNG frames failed: $(cat "$TMP/err")"
[ "$(ls "$TMP/pngs" | wc -l)" -eq "$frames" ] ||
  fail "PNG frames: $(ls "$TMP/pngs" | wc -l) files, expected $frames"
for f in "$TMP"/pngs/*; do
  tail -c 8 "$f" | od -An -tx1 | grep -q "49 45 4e 44 ae 42 60 82" || fail "$f is not a whole PNG"
done

# A video with no ffmpeg.exe on PATH: the clear error, status 1, nothing written.
WINEPATH= wine "$EXE" --capture "$(win "$TMP/v.mp4")" --size ${W}x$H >/dev/null 2>"$TMP/err"
st=$?
[ $st -eq 1 ] || fail "without ffmpeg.exe a video capture ended with status $st, not 1"
grep -q "ffmpeg is not installed" "$TMP/err" || fail "without ffmpeg.exe: $(cat "$TMP/err")"
ls "$TMP"/v.mp4* >/dev/null 2>&1 && fail "without ffmpeg.exe a file was left: $(ls "$TMP")"

# The stand-in: the frames and the samples (2 s of them) arrive whole.
mkdir "$TMP/out dir"
WINEPATH=$(win "$TMP/bin") wine "$EXE" --capture "$(win "$TMP/out dir/my show.mp4")" --fps 1 \
  --size ${W}x$H >/dev/null 2>"$TMP/err" || fail "video with the stand-in: $(cat "$TMP/err")"
[ "$(ls "$TMP/out dir")" = "my show.mp4" ] ||
  fail "in the output's folder: $(ls "$TMP/out dir")"
encoder=$(grep -a "stdin=" "$TMP/bin/calls.txt")
[[ "$encoder" == *"|$(win "$TMP/out dir/my show.mp4").part stdin="* ]] ||
  fail "the encoder's output argument: $encoder"
[[ "$encoder" == *" stdin=$((frames * W * H * 4)) sound=$((2 * 44100 * 4))" ]] ||
  fail "the encoder got other byte counts than $frames frames and 2 s of sound: $encoder"

# An encoder that stops reading: said so, status 1, nothing kept.
STANDIN_STOP_AFTER=1000 WINEPATH=$(win "$TMP/bin") wine "$EXE" --capture \
  "$(win "$TMP/stop.mkv")" --size ${W}x$H >/dev/null 2>"$TMP/err"
st=$?
[ $st -eq 1 ] || fail "an encoder that stopped reading: status $st, not 1"
grep -q "ffmpeg stopped reading frames" "$TMP/err" || fail "encoder stopped: $(cat "$TMP/err")"
ls "$TMP"/stop.mkv* >/dev/null 2>&1 && fail "a stopped encoder left $(ls "$TMP"/stop.mkv*)"
echo ok
