#!/usr/bin/env bash
# Renders frames of the show with the frame mode and tiles them into one PNG.
#
#   tools/showsheet.sh OUT.png [SECONDS ...]
#
# Run from the repository root after building (build/vallup reads data/...
# from here). Defaults to the first half of the show: 5 10 16 23 30 40 48 55
# 60 65 75 s. Each frame is rendered at 800 x 600, shrunk to 400 x 300 and
# labelled with its time; four frames a row.
# Environment: VALLUP (binary, default build/vallup), COLS (default 4),
# TILE (default 400x300).
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 OUT.png [SECONDS ...]" >&2
    exit 2
fi
out=$1
shift
times=("$@")
[ ${#times[@]} -gt 0 ] || times=(5 10 16 23 30 40 48 55 60 65 75)

vallup=${VALLUP:-build/vallup}
cols=${COLS:-4}
tile=${TILE:-400x300}
[ -x "$vallup" ] || { echo "$0: $vallup not found: build first (cmake --build build)" >&2; exit 1; }
command -v ffmpeg > /dev/null || { echo "$0: ffmpeg is needed to tile the frames" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

n=0
for t in "${times[@]}"; do
    f=$(printf '%s/frame%03d.png' "$work" "$n")
    "$vallup" --frame "$t" --out "$f" > /dev/null
    n=$((n + 1))
done

# Pad the last row with black tiles so the grid is full.
rows=$(( (n + cols - 1) / cols ))
tw=${tile%x*}
th=${tile#*x}
while [ "$n" -lt $((rows * cols)) ]; do
    ffmpeg -loglevel error -y -f lavfi -i "color=c=black:s=800x600" -frames:v 1 \
        "$(printf '%s/frame%03d.png' "$work" "$n")"
    times+=("")
    n=$((n + 1))
done

# Label each tile with its time, then tile them row by row.
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
label=""
if [ -n "$font" ] && [ -f "$font" ]; then
    label=",drawtext=fontfile=$font:text='%{metadata\:t}':x=8:y=8:fontsize=22:fontcolor=white:box=1:boxcolor=black@0.6"
fi
i=0
for t in "${times[@]}"; do
    f=$(printf '%s/frame%03d.png' "$work" "$i")
    txt=""
    [ -n "$t" ] && txt="$t s"
    ffmpeg -loglevel error -y -i "$f" \
        -vf "scale=${tw}:${th}:flags=area${label//%\{metadata\\:t\}/$txt}" \
        "$(printf '%s/tile%03d.png' "$work" "$i")"
    i=$((i + 1))
done

ffmpeg -loglevel error -y -framerate 1 -i "$work/tile%03d.png" \
    -vf "tile=${cols}x${rows}:padding=4:color=white" -frames:v 1 "$out"
echo "$out: ${#times[@]} tiles, ${cols} x ${rows}"
