#!/usr/bin/env bash
# Renders the second half of the show at ten moments and tiles them, left to
# right and top to bottom, into one picture (5 x 2, each frame at half size).
# usage: tools/contactsheet2.sh [OUT.png] [BINARY]   (from the repository root)
set -euo pipefail
out=${1:-docs/show-second-half.png}
bin=${2:-build/vallup}
times=(84 88 92 97 102 107 110 113 117 124)

[ -x "$bin" ] || { echo "contactsheet2: $bin not found; build first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "contactsheet2: ffmpeg is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in "${!times[@]}"; do
    frame=$(printf '%s/f%02d.png' "$work" "$i")
    "$bin" --frame "${times[$i]}" --out "$frame" --size 800x600 >/dev/null
done
mkdir -p "$(dirname "$out")"
ffmpeg -loglevel error -y -framerate 1 -i "$work/f%02d.png" \
    -vf "scale=400:300:flags=area,tile=5x2" -frames:v 1 "$out"
echo "contactsheet2: wrote $out (frames at ${times[*]} s)"
