#!/bin/bash
# --capture into .mp4 and .mkv: H.264 in yuv420p with the track as AAC sound,
# one video frame per show frame, the sound in step with the picture and as
# long as the video; a missing track gives a silent sound track.
set -u
BIN=$(realpath "$1")
ROOT=$(pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v ffprobe >/dev/null || fail "ffprobe (package ffmpeg) is needed by this test"

# The show's assets with a track of our own: silence with one 10 ms click at
# exactly 2 s, so the click's place in the video's sound shows the sync.
mkdir -p "$TMP/show"
[ -d "$ROOT/data" ] && cp -r "$ROOT/data" "$TMP/show/"
mkdir -p "$TMP/show/data/music"
ffmpeg -v error -y -f lavfi -i "aevalsrc='if(between(t,2,2.01),0.9*sin(2*PI*1000*t),0)':s=44100:d=140" \
  -ac 2 -c:a libmp3lame -b:a 192k "$TMP/show/data/music/track.mp3" || fail "cannot make the test track"

probe() { ffprobe -v error -select_streams "$2" -show_entries "$3" -of csv=p=0 "$1"; }

# Prints the sound's length in s and where its first loud sample is.
sound() {
  ffmpeg -v error -i "$1" -map 0:a -ac 1 -ar 44100 -f s16le - | python3 -c "
import sys, array
a = array.array('h'); a.frombytes(sys.stdin.buffer.read())
loud = next((i for i, v in enumerate(a) if abs(v) > 3000), -1)
print(len(a) / 44100, loud / 44100 if loud >= 0 else -1)"
}

check() {  # file rate-num rate-den
  local file=$1 num=$2 den=$3
  cd "$TMP/show"
  "$BIN" --capture "$file" --fps "$num/$den" --size 96x64 >"$TMP/out" 2>"$TMP/err"
  local st=$?
  [ $st -eq 0 ] || { cat "$TMP/err"; fail "$file: status $st"; }
  [ -f "$file.part" ] && fail "$file: the temporary $file.part was left behind"
  local want
  want=$(python3 -c "
num, den = $num, $den
k = 0
while k * 1000 * den // num <= 128000: k += 1
print(k)")
  [ "$(probe "$file" v:0 stream=codec_name)" = h264 ] || fail "$file: video is not H.264"
  [ "$(probe "$file" v:0 stream=pix_fmt)" = yuv420p ] || fail "$file: video is not yuv420p"
  [ "$(probe "$file" a:0 stream=codec_name)" = aac ] || fail "$file: sound is not AAC"
  local frames
  frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$file")
  [ "$frames" -eq "$want" ] || fail "$file: $frames video frames, expected $want"
  read -r length click < <(sound "$file")
  python3 - "$length" "$click" "$want" "$num" "$den" "$file" <<'PY' || exit 1
import sys
length, click, frames, num, den, name = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), sys.argv[6]
video = frames * den / num
frame = den / num
if abs(length - video) > frame:
    sys.exit(f"FAIL: {name}: sound lasts {length:.4f} s, video {video:.4f} s: more than one frame apart")
if abs(click - 2.0) > 0.002:
    sys.exit(f"FAIL: {name}: the click at 2 s of the track is at {click:.4f} s of the video")
PY
}

check show.mp4 60 1
check show.mkv 60000 1001

# The picture itself: the video's frame at 70 s (the rotozoomer, its bubble in
# the upper half) is the one --frame draws, right way up, red and blue in
# their places: nearer to it than to it flipped or with red and blue swapped.
cd "$TMP/show"
"$BIN" --frame 70 --size 96x64 --out still.png >/dev/null 2>&1 || fail "--frame 70 failed"
ffmpeg -v error -i show.mp4 -vf "select=eq(n\,4200),scale=in_color_matrix=bt709:in_range=tv" \
  -frames:v 1 -f rawvideo -pix_fmt rgb24 video.rgb || fail "cannot decode frame 4200"
ffmpeg -v error -i still.png -f rawvideo -pix_fmt rgb24 still.rgb || fail "cannot read still.png"
python3 - video.rgb still.rgb <<'PY' || fail "the video's picture is not the show's"
import sys
w, h = 96, 64
v, s = (open(f, "rb").read() for f in sys.argv[1:3])
assert len(v) == len(s) == w * h * 3, "sizes differ"
def diff(a, b): return sum(abs(x - y) for x, y in zip(a, b)) / len(a)
flipped = b"".join(s[(h - 1 - y) * w * 3:(h - y) * w * 3] for y in range(h))
swapped = bytes(s[i + (2 - i % 3) - i % 3] for i in range(len(s)))
d, df, ds = diff(v, s), diff(v, flipped), diff(v, swapped)
print(f"mean difference {d:.1f}; flipped {df:.1f}; red and blue swapped {ds:.1f}")
sys.exit(not (d < 8 and d * 2 < df and d * 2 < ds))
PY

# No track: the show prints its two lines, and the video has silent sound.
rm "$TMP/show/data/music/track.mp3"
cd "$TMP/show"
"$BIN" --capture quiet.mp4 --fps 5 --size 64x48 >"$TMP/out" 2>"$TMP/err" ||
  { cat "$TMP/err"; fail "capture without a track failed"; }
[ "$(cat "$TMP/out")" = "$(printf 'Error!\nFile Not Found')" ] || fail "missing track: stdout was '$(cat "$TMP/out")'"
grep -q "silent sound" "$TMP/err" || fail "missing track: no word of the silent sound track on stderr"
read -r length click < <(sound quiet.mp4)
[ "$click" = "-1" ] || fail "the sound of a capture without a track is not silent"
python3 -c "import sys; sys.exit(abs($length - 641 / 5) > 0.2)" || fail "silent sound lasts $length s"
echo ok
