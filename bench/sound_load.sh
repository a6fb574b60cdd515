#!/bin/bash
# Sound under load: how far the heard track falls behind real time while the
# show plays windowed with the machine's cores kept busy. Underruns (the
# show not feeding the sound server in time) make the server play silence,
# and the track comes out later and later.
#
# How: two 40 s runs of the windowed show from its start, each with a fresh
# private PulseAudio (null sink) and Xvfb (bench/private_av.sh): the first on
# the otherwise idle machine, the second with busy loops running (HOGS,
# default 2: as many as the machine's cores), started before the show and
# ended after it. ffmpeg records the sink's monitor from before the show
# starts; bench/sync_analyse.py finds each beat in the recording
# (cross-correlation against the decoded track) and prints the drift: how
# much later the last beat found was heard than the first, relative to the
# track (positive: the track fell behind), and each fall of more than 2 ms
# between two beats.
#
# Read the loaded run against the idle one: the rig has a drift of its own
# (with SDL's sound output the null sink's monitor ran about 170 ppm ahead of
# the wall clock here, -6.6 ms over the 40 s). Run as root, SDL raises its
# sound thread to nice -20, which busy loops at nice 0 hardly disturb.
#
#   usage, from anywhere: bench/sound_load.sh [BINARY]    (default: build/vallup)
#   environment: HOGS (busy loops of the loaded run, default 2);
#   KEEP_WORK=1 keeps the recordings (their folder is printed)
#   needs: pulseaudio, xvfb, x11-utils, ffmpeg, python3
# Takes about 100 s.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=$(realpath "${1:-$ROOT/build/vallup}")
HOGS=${HOGS:-2}
PLAY=40
[ -x "$BIN" ] || { echo "no program at $BIN" >&2; exit 1; }
. "$ROOT/bench/private_av.sh"

work=$(mktemp -d /tmp/vallup-load.XXXXXX)
cleanup() {
  av_stop
  if [ -n "${KEEP_WORK:-}" ]; then echo "kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "reproduce: HOGS=$HOGS $0 $BIN"
ffmpeg -nostdin -v error -i "$ROOT/data/music/track.mp3" -f s16le -ac 2 -ar 44100 "$work/track.s16"

# run NAME LOOPS: one 40 s run with LOOPS busy loops; the analysis goes to NAME.txt.
run() {
  local dir=$work/$1 i grab show size
  mkdir "$dir"
  av_start "$dir"
  for ((i = 0; i < $2; i++)); do
    sh -c 'while :; do :; done' &
    av_own $!
  done
  ffmpeg -nostdin -v error -thread_queue_size 65536 \
    -f pulse -sample_rate 44100 -channels 2 -i "$SINK.monitor" \
    -c:a pcm_s16le -f nut "$dir/rec.nut" 2>"$dir/ffmpeg.log" &
  grab=$!
  av_own $grab
  for ((i = 0; i < 150; i++)); do   # until the recording has begun
    size=$(stat -c %s "$dir/rec.nut" 2>/dev/null || echo 0)
    [ "$size" -gt 100000 ] && break
    sleep 0.1
  done
  [ "$size" -gt 100000 ] || { echo "ffmpeg does not record:" >&2; cat "$dir/ffmpeg.log" >&2; return 1; }

  # From the repository root: older builds find data/ only in the working directory.
  (cd "$ROOT" && exec env VALLUP_TRACE="$dir/trace" "$BIN" --windowed) >"$dir/show.log" 2>&1 &
  show=$!
  av_own $show
  sleep $PLAY
  kill $show 2>/dev/null || true
  sleep 0.5
  kill -INT $grab
  wait $grab || true   # ffmpeg stopped by a signal exits with 255, having finished the file
  av_stop              # the busy loops, the show, the servers

  ffmpeg -nostdin -v error -i "$dir/rec.nut" -f s16le -ac 2 "$dir/rec.s16"
  ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 "$dir/rec.nut" \
    >"$dir/audio_packets.csv"
  ln -s ../track.s16 "$dir/track.s16"
  echo "frames drawn: $(grep -vc '^#' "$dir/trace" || true) in $PLAY s, the last at $(trace_time "$dir/trace") s of music" \
    >"$work/$1.txt"
  python3 "$ROOT/bench/sync_analyse.py" drift "$dir" >>"$work/$1.txt"
}

cd "$work"
run quiet 0
run loaded "$HOGS"
echo "== no load"
cat "$work/quiet.txt"
echo "== $HOGS busy loops"
cat "$work/loaded.txt"
