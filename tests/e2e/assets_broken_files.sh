#!/bin/bash
# Every file the show reads, in turn missing, replaced by garbage, and cut in
# half: the show still renders every frame to its end with status 0.
#  - a texture that cannot be read leaves its slot 0: the frames are the same
#    whichever way the file is broken, and differ from the intact show;
#  - a missing mesh is an empty one: the frames differ where it is drawn;
#  - files loaded but drawn by no scheduled scene (the landscape_tube mesh,
#    orvel, bandaid and pratbubbla) change no frame, however broken;
#  - a missing track prints its two lines; the pictures do not change.
# The show is captured into PNG files at 2 frames a second, 64 x 48 (the
# frame at k/2 s is the one a 60 fps run shows then), from a copy of data/.
# Prints the results as a table.
set -u
BIN=$(realpath "$1")
ROOT=$(pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

FILES=(
  music/track.mp3
  3d/torus2.obj 3d/face.obj 3d/spikeball.obj 3d/landscape_tube.obj
  textures/fyllecell_01.png textures/copper.png textures/orvel.png textures/c64.png
  textures/fyllecell_02.png textures/inter01.png textures/inter02.png
  textures/fyllecell_03.png textures/boll.png textures/extra01.png textures/extra02.png
  textures/envmap3.png textures/check2.png textures/bandaid.png textures/bubblan.png
  textures/pratbubbla.png textures/fyllecell_04.png textures/1995.png
)
for f in "${FILES[@]}"; do
  [ -s "$ROOT/data/$f" ] || fail "data/$f is not in the repository (tools/assetgen makes it)"
done
mkdir -p "$TMP/show"
cp -r "$ROOT/data" "$TMP/show/data"
FRAMES=257   # 0 to 128 s at 2 fps

# run NAME: captures the show; prints the frames' checksums to $TMP/NAME.sums.
run() {
  local name=$1
  (cd "$TMP/show" && "$BIN" --capture "$TMP/frames" --fps 2 --size 64x48 \
     >"$TMP/$name.out" 2>"$TMP/$name.err")
  local st=$?
  [ $st -eq 0 ] || { cat "$TMP/$name.err" >&2; fail "$name: status $st"; }
  grep -Eq "AddressSanitizer|runtime error|LeakSanitizer" "$TMP/$name.err" &&
    { cat "$TMP/$name.err" >&2; fail "$name: sanitizer report"; }
  local n; n=$(ls "$TMP/frames" | wc -l)
  [ "$n" -eq $FRAMES ] || fail "$name: $n frames, expected $FRAMES: the show did not play to its end"
  (cd "$TMP/frames" && md5sum frame-*.png) >"$TMP/$name.sums"
  rm -rf "$TMP/frames"
}
differing() { diff <(cut -d' ' -f1 "$1") <(cut -d' ' -f1 "$2") | grep -c '^<'; }

run intact
[ -s "$TMP/intact.out" ] && fail "the intact show wrote to stdout: $(cat "$TMP/intact.out")"

printf '| File | Missing | Garbage | Cut in half |\n|---|---|---|---|\n'
for f in "${FILES[@]}"; do
  file="$TMP/show/data/$f"
  key=$(echo "$f" | tr '/.' '__')
  row="| data/$f"
  for how in missing garbage truncated; do
    case $how in
      missing) rm "$file" ;;
      garbage) python3 -c "
import random, sys
random.seed(9)
sys.stdout.buffer.write(bytes(random.getrandbits(8) for _ in range(8192)))" >"$file" ;;
      truncated) head -c $(($(stat -c %s "$ROOT/data/$f") / 2)) "$ROOT/data/$f" >"$file" ;;
    esac
    run "$key.$how"
    cp "$ROOT/data/$f" "$file"

    out=$(cat "$TMP/$key.$how.out")
    if [ "$f" = music/track.mp3 ] && [ $how = missing ]; then
      [ "$out" = "$(printf 'Error!\nFile Not Found')" ] || fail "$f $how: stdout was '$out'"
    else
      [ -z "$out" ] || fail "$f $how: stdout was '$out'"
    fi
    d=$(differing "$TMP/intact.sums" "$TMP/$key.$how.sums")
    case $f in
      music/*) [ "$d" -eq 0 ] || fail "$f $how: $d frames changed; the pictures do not depend on the track" ;;
      3d/landscape_tube.obj | textures/orvel.png | textures/bandaid.png | textures/pratbubbla.png)
        [ "$d" -eq 0 ] || fail "$f $how: $d frames changed, yet no scheduled scene draws it" ;;
      3d/*) [ $how != missing ] || [ "$d" -gt 0 ] || fail "$f missing: no frame changed" ;;
      textures/*)
        [ "$d" -gt 0 ] || fail "$f $how: no frame changed"
        [ $how = missing ] || cmp -s "$TMP/$key.missing.sums" "$TMP/$key.$how.sums" ||
          fail "$f $how: frames differ from the missing file's; an unreadable texture must leave its slot 0" ;;
    esac
    extra=""
    [ "$f" = music/track.mp3 ] && [ $how = missing ] && extra=", the two lines"
    row="$row | plays to the end$extra; $d of $FRAMES frames differ"
  done
  echo "$row |"
done
