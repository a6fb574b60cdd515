#!/bin/bash
# Capture benchmark: the whole show at 60 frames a second into an .mp4, at
# each size given (default 800x600 and 1920x1080). Prints the wall time as a
# share of the show's 128 s, and checks the result: the frame count is the
# show's frames at that rate (those not past 128 s), and the sound is as long
# as the video to within one frame.
#   usage, from the repository root: bench/capture.sh [BINARY] [WxH ...]
set -eu
BIN=$(realpath "${1:-build/vallup}")
shift || true
SIZES=("$@")
[ ${#SIZES[@]} -gt 0 ] || SIZES=(800x600 1920x1080)
FPS=${FPS:-60}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

want=$(awk -v n="$FPS" 'BEGIN { k = 0; while (int(k * 1000 / n) <= 128000) k++; print k }')
printf '%-10s %7s %7s %9s %12s %14s\n' size frames wanted "wall s" "of 128 s" "sound-video ms"
for size in "${SIZES[@]}"; do
  start=$(date +%s.%N)
  "$BIN" --capture "$OUT/show.mp4" --size "$size" --fps "$FPS" >/dev/null 2>"$OUT/err" ||
    { cat "$OUT/err" >&2; exit 1; }
  end=$(date +%s.%N)
  frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$OUT/show.mp4")
  video=$(ffprobe -v error -select_streams v:0 -show_entries stream=duration -of csv=p=0 "$OUT/show.mp4")
  sound=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$OUT/show.mp4")
  awk -v s="$size" -v f="$frames" -v w="$want" -v a="$start" -v b="$end" -v v="$video" -v snd="$sound" -v n="$FPS" 'BEGIN {
    d = (snd - v) * 1000
    printf "%-10s %7d %7d %9.1f %11.2fx %14.1f%s\n", s, f, w, b - a, (b - a) / 128, d,
           (f != w || d > 1000 / n || d < -1000 / n) ? "  MISMATCH" : ""
  }'
  rm -f "$OUT/show.mp4"
done
