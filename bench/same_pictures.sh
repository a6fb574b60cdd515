#!/bin/bash
# The same pictures: the whole show at 60 frames a second, every frame at
# 800 x 600 and every 8th at 1920 x 1080, hashed (bench_frame_hashes) by this
# tree's build and by a build of BASE, a commit (default HEAD). Any frame whose
# pixels differ is listed and the script fails.
#   usage, from the repository root: bench/same_pictures.sh [BASE] [BUILD]
# BASE is built once in /tmp/vallup-pictures-REV (with this tree's
# bench/frame_hashes.cpp, which an older commit may lack) and its hash lists
# are kept there for the next comparison.
set -eu
ROOT=$(pwd)
BASE=$(git rev-parse --short "${1:-HEAD}")
BUILD=${2:-build}
CASES=("800x600 1" "1920x1080 8")

cmake --build "$BUILD" --target bench_frame_hashes >/dev/null
HERE=$(realpath "$BUILD/bench/bench_frame_hashes")

OLD=/tmp/vallup-pictures-$BASE
if [ ! -x "$OLD/build/bench/bench_frame_hashes" ]; then
  rm -rf "$OLD"
  git worktree add --detach "$OLD" "$BASE" >/dev/null 2>&1 ||
    { echo "same_pictures: cannot check out $BASE into $OLD" >&2; exit 1; }
  cp bench/frame_hashes.cpp "$OLD/bench/"
  cmake -S "$OLD" -B "$OLD/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$OLD/build" --target bench_frame_hashes >/dev/null
fi

status=0
for c in "${CASES[@]}"; do
  set -- $c
  size=$1 every=$2
  [ -s "$OLD/hashes-$size-$every" ] ||
    (cd "$OLD" && build/bench/bench_frame_hashes "$size" 60 "$every" > "hashes-$size-$every.new" &&
       mv "hashes-$size-$every.new" "hashes-$size-$every")
  start=$(date +%s.%N)
  "$HERE" "$size" 60 "$every" > "/tmp/vallup-pictures-here-$size"
  end=$(date +%s.%N)
  diffs=$(diff "$OLD/hashes-$size-$every" "/tmp/vallup-pictures-here-$size" | grep -c '^>' || true)
  hashed=$(grep -vc '^frames' "/tmp/vallup-pictures-here-$size")
  printf '%-10s %5d frames hashed against %s: %d differ (%.0f s)\n' "$size" "$hashed" "$BASE" \
    "$diffs" "$(echo "$end - $start" | bc)"
  if [ "$diffs" != 0 ]; then
    diff "$OLD/hashes-$size-$every" "/tmp/vallup-pictures-here-$size" | grep '^>' | head -n 20 |
      awk '{ printf "  frame %d (%.3f s) differs\n", $2, $2 / 60 }'
    status=1
  fi
done
cd "$ROOT"
exit $status
