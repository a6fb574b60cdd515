#!/bin/bash
# --capture when things go wrong: no ffmpeg, a bad target, a full disk, and
# Ctrl-C, which keeps a playable video of what was done.
set -u
BIN=$(realpath "$1")
ROOT=$(pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$ROOT"

# No ffmpeg on PATH: a clear error and nothing written; PNG frames still work.
PATH=/nonexistent "$BIN" --capture "$TMP/v.mp4" --size 64x48 >/dev/null 2>"$TMP/err"
st=$?
[ $st -eq 1 ] || fail "without ffmpeg a video capture ended with status $st, not 1"
grep -q "ffmpeg is not installed" "$TMP/err" || fail "without ffmpeg the message was: $(cat "$TMP/err")"
ls "$TMP"/v.mp4* >/dev/null 2>&1 && fail "without ffmpeg a file was left: $(ls "$TMP")"
PATH=/nonexistent "$BIN" --capture "$TMP/pngs" --fps 2 --size 32x24 >/dev/null 2>"$TMP/err" ||
  fail "PNG frames without ffmpeg failed: $(cat "$TMP/err")"
[ "$(ls "$TMP/pngs" | wc -l)" -eq 257 ] || fail "PNG frames without ffmpeg: $(ls "$TMP/pngs" | wc -l) files, expected 257"

# Bad command lines are status 2.
for args in "--capture $TMP/v.avi" "--capture $TMP/v.mp4 --size 65x48" "--capture" \
            "--capture $TMP/v.mp4 --frame 3" "--capture $TMP/v.mp4 --windowed"; do
  "$BIN" $args >/dev/null 2>&1
  st=$?
  [ $st -eq 2 ] || fail "'vallup $args' ended with status $st, not 2"
done

# A full disk: a small file system of its own in a private mount namespace.
full() {
  unshare -rm bash -c "mount -t tmpfs -o size=$1 vallup-full '$TMP/full' && cd '$ROOT' && \"\$@\"" \
    full "${@:2}"
}
mkdir -p "$TMP/full"
full 12k true || fail "cannot mount a small tmpfs in a private namespace (unshare -rm)"
full 12k bash -c "'$BIN' --capture '$TMP/full/v.mp4' --size 320x240 >/dev/null 2>'$TMP/err'; echo \$? >'$TMP/st'; ls -A '$TMP/full' >'$TMP/left'"
[ "$(cat "$TMP/st")" = 1 ] || fail "video on a full disk ended with status $(cat "$TMP/st"), not 1"
grep -q "full disk" "$TMP/err" || fail "video on a full disk: message was $(cat "$TMP/err")"
[ -s "$TMP/left" ] && fail "video on a full disk left $(cat "$TMP/left")"
full 12k bash -c "'$BIN' --capture '$TMP/full/f' --fps 30 --size 320x240 >/dev/null 2>'$TMP/err'; echo \$? >'$TMP/st'; cp -r '$TMP/full/f' '$TMP/kept'"
[ "$(cat "$TMP/st")" = 1 ] || fail "PNG frames on a full disk ended with status $(cat "$TMP/st"), not 1"
grep -q "disk full" "$TMP/err" || fail "PNG frames on a full disk: message was $(cat "$TMP/err")"
python3 - "$TMP/kept" <<'PY' || exit 1
import os, sys
d = sys.argv[1]
names = sorted(os.listdir(d))
if not names:
    sys.exit("FAIL: no frame was written before the disk was full")
for i, n in enumerate(names):
    data = open(os.path.join(d, n), 'rb').read()
    if n != 'frame-%06d.png' % i or not data.endswith(b'IEND\xaeB`\x82'):
        sys.exit(f"FAIL: {n} on the full disk is not a whole frame in sequence")
PY

# Ctrl-C: the capture stops after the frame in hand, the video so far is
# kept and playable, and the process ends by that signal (status 130).
command -v ffprobe >/dev/null || fail "ffprobe (package ffmpeg) is needed by this test"
"$BIN" --capture "$TMP/cut.mp4" --size 640x480 >/dev/null 2>"$TMP/err" &
pid=$!
sleep 3
kill -INT $pid
wait $pid
st=$?
[ $st -eq 130 ] || fail "after Ctrl-C the status was $st, not 130 (death by SIGINT)"
grep -q "stopped:" "$TMP/err" || fail "no word of the stop on stderr: $(cat "$TMP/err")"
[ -f "$TMP/cut.mp4" ] || fail "Ctrl-C left no video"
[ -f "$TMP/cut.mp4.part" ] && fail "Ctrl-C left the temporary file"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$TMP/cut.mp4")
[ "${frames:-0}" -gt 0 ] && [ "$frames" -lt 7681 ] || fail "the cut video has '$frames' frames"
sound=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$TMP/cut.mp4")
python3 -c "import sys; sys.exit(abs($sound - $frames / 60) > 0.1)" ||
  fail "the cut video's sound lasts $sound s for $frames frames"
echo ok
