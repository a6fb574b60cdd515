#!/bin/bash
# Sound under load: how far the heard track falls behind real time while the
# show plays windowed beside other work. The show not feeding the sound
# server in time makes the server play silence, and the track comes out
# later: each such gap is a fall.
#
# How: three 45 s runs of the windowed show, from 50 s of the show (reached by
# holding Up), each with a fresh private PulseAudio (null sink) and Xvfb
# (bench/private_av.sh):
#   quiet     nothing else running;
#   loops     HOGS busy loops (default 2: as many as the machine's cores);
#   recorder  the busy loops and a screen recorder grabbing a 16 x 16 region
#             at 200 images a second (ffmpeg x11grab), which wakes often and
#             keeps the X server busy.
# The loads start before 50 s and end after the run. ffmpeg records the sink's
# monitor from 50 s on; bench/sync_analyse.py finds each beat in the recording
# (cross-correlation against the decoded track) and prints the largest fall
# between two beats, each fall of more than 2 ms, and the drift: how much
# later the last beat was heard than the first, relative to the track.
#
# Read the loaded runs against the quiet one: the rig has a drift of its own
# (the null sink's monitor runs a little off the wall clock).
#
#   usage, from anywhere: bench/sound_load.sh [BINARY]    (default: build/vallup)
#   environment: HOGS (busy loops of the loaded runs, default 2); CASES (the
#   runs to make, default "quiet loops recorder");
#   KEEP_WORK=1 keeps the recordings (their folder is printed)
#   needs: pulseaudio, xvfb, x11-utils, xdotool, ffmpeg, python3
# Takes about 200 s.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=$(realpath "${1:-$ROOT/build/vallup}")
HOGS=${HOGS:-2}
PLAY=45
FROM=50
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

# run NAME LOOPS GRAB: one run from FROM s for PLAY s with LOOPS busy loops
# and, if GRAB is 1, the screen recorder; the analysis goes to NAME.txt.
run() {
  local dir=$work/$1 i rec show hint_wall hint_time
  mkdir "$dir"
  av_start "$dir"
  # From the repository root: older builds find data/ only in the working directory.
  (cd "$ROOT" && exec env VALLUP_TRACE="$dir/trace" "$BIN" --windowed) >"$dir/show.log" 2>&1 &
  show=$!
  av_own $show
  read -r win _ < <(show_window 30) || { echo "no show window" >&2; return 1; }
  wait_time "$dir/trace" 0.5 30 $show
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  xdotool keydown Up
  wait_time "$dir/trace" $((FROM - 4)) 30 $show || { xdotool keyup Up; return 1; }
  xdotool keyup Up

  for ((i = 0; i < $2; i++)); do
    sh -c 'while :; do :; done' &
    av_own $!
  done
  if [ "$3" = 1 ]; then
    ffmpeg -nostdin -v error -f x11grab -framerate 200 -video_size 16x16 -i "$DISPLAY+0,0" \
      -f null - 2>"$dir/grab.log" &
    av_own $!
  fi

  wait_time "$dir/trace" "$FROM" 30 $show
  hint_wall=$(date +%s.%N)
  hint_time=$(trace_time "$dir/trace")
  ffmpeg -nostdin -v error -copyts -thread_queue_size 65536 \
    -f pulse -sample_rate 44100 -channels 2 -i "$SINK.monitor" \
    -c:a pcm_s16le -f nut "$dir/rec.nut" 2>"$dir/ffmpeg.log" &
  rec=$!
  av_own $rec
  sleep $PLAY
  kill -INT $rec
  wait $rec || true   # ffmpeg stopped by a signal exits with 255, having finished the file
  av_stop             # the loads, the show, the servers
  [ -s "$dir/rec.nut" ] || { echo "ffmpeg recorded nothing:" >&2; cat "$dir/ffmpeg.log" >&2; return 1; }

  ffmpeg -nostdin -v error -i "$dir/rec.nut" -f s16le -ac 2 "$dir/rec.s16"
  ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 "$dir/rec.nut" \
    >"$dir/audio_packets.csv"
  ln -s ../track.s16 "$dir/track.s16"
  echo "frames drawn: $(grep -vc '^#' "$dir/trace" || true), the last at $(trace_time "$dir/trace") s of music" \
    >"$work/$1.txt"
  python3 "$ROOT/bench/sync_analyse.py" drift "$dir" "$hint_wall" "$hint_time" >>"$work/$1.txt"
}

cd "$work"
for case in ${CASES:-quiet loops recorder}; do
  case $case in
    quiet) run quiet 0 0 ;;
    loops) run loops "$HOGS" 0 ;;
    recorder) run recorder "$HOGS" 1 ;;
    *) echo "no case $case (quiet, loops, recorder)" >&2; exit 2 ;;
  esac
done
for case in ${CASES:-quiet loops recorder}; do
  case $case in
    quiet) echo "== quiet" ;;
    loops) echo "== $HOGS busy loops" ;;
    recorder) echo "== $HOGS busy loops and a 200 Hz screen recorder" ;;
  esac
  cat "$work/$case.txt"
done
