#!/bin/bash
# Picture against sound, end to end: how far the show's beat flashes on the
# screen are from the beats heard from the sound server, in milliseconds,
# median and worst over the cube flash (52 to 59.4 s) and the ball scenes'
# flashes (90 to 100 s), about 18 beats. Negative: the picture comes early.
#
# How: a private PulseAudio with a null sink and a private Xvfb
# (bench/private_av.sh); the show plays windowed into them with VALLUP_TRACE
# set. From 49 s of music to 100.3 s, ffmpeg grabs an 8 x 8 pixel region of
# the window's background at a high rate (GRAB_RATE a second, default 1000)
# and records the sink's monitor, both timestamped with the wall clock.
# bench/sync_analyse.py then finds when each beat was heard (the track
# decoded by ffmpeg, cross-correlated against the recording) and when each
# flash appeared in the grab, and relates them through the Time of the frame
# that shows the flash (from the trace): the background is the clear colour a
# frame leaves for the next, so a beat registered by a frame shows in the
# frame after it, whose picture belongs with the sound of its own Time. It
# prints every beat, the grab rate really reached, and the median and worst
# offset.
#
# The web build (TARGET a site folder, build-web/site): the page plays in
# Debian's Chromium with a window, not headless, on the private Xvfb (a screen
# of WEB_SIZE, the window a kiosk window filling it, so the canvas is about
# the screen), its sound going to the private server (HOME is set to the work
# folder for the server's cookie; a stream of Chromium's on the sink is
# checked). bench/web/play.py drives it over the DevTools protocol: it answers
# the question "No" with a click, says where the canvas is, reports the
# page's music Time as it goes, and at the end copies the program's trace (the
# page's ?trace=FILE hook sets VALLUP_TRACE inside the page) for the analysis.
#
#   usage, from anywhere: bench/sync.sh [TARGET]
#   TARGET: the program (default build/vallup), or a web site folder
#   environment: GRAB_RATE (images a second asked of the grab, default 1000);
#   KEEP_WORK=1 keeps the recordings and the trace (their folder is printed);
#   WEB_SIZE, the screen and the page's window for a site (default 800x600;
#   the canvas is the largest 4:3 that fits, its picture the same scaled);
#   RUNNER, a command the program is run through: a Windows build
#   (BINARY ending in .exe) is run through Wine unless it names another
#   ("wine" by default; Wine's own WINEPREFIX and WINEDEBUG are taken from
#   the environment, WINEDEBUG=-all unless set). Under Wine the show plays
#   into the private server through Wine's PulseAudio driver.
#   needs: pulseaudio, xvfb, x11-utils, ffmpeg, python3 (and wine for a .exe;
#   chromium and python3-websocket for a site)
# Takes about 110 s. The show, the grab and the servers share the machine's
# cores, as a viewer's machine would share them: run it on a quiet machine
# and compare binaries in one sitting.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=$(realpath "${1:-$ROOT/build/vallup}")
RATE=${GRAB_RATE:-1000}
RUNNER=${RUNNER:-}
WEB=
if [ -d "$BIN" ]; then
  WEB=1
  [ -f "$BIN/index.html" ] || { echo "no site in $BIN (index.html is missing)" >&2; exit 1; }
else
  [ -x "$BIN" ] || { echo "no program at $BIN" >&2; exit 1; }
fi
case $BIN in
  *.exe) RUNNER=${RUNNER:-wine}; export WINEDEBUG=${WINEDEBUG:--all} ;;
esac
. "$ROOT/bench/private_av.sh"

work=$(mktemp -d /tmp/vallup-sync.XXXXXX)
if [ -n "$WEB" ]; then
  # The page is the screen: a screen of WEB_SIZE and a kiosk window filling it.
  size=${WEB_SIZE:-800x600}
  AV_SCREEN=${size}x24
  export PLAY_WINDOW=${size/x/,}
  export HOME=$work/home   # the sound server's cookie, and Chromium's
  mkdir "$HOME"
fi
GRAB=
cleanup() {
  if [ -n "$GRAB" ]; then kill -INT "$GRAB" 2>/dev/null; wait "$GRAB" 2>/dev/null; fi
  av_stop
  if [ -n "${KEEP_WORK:-}" ]; then
    echo "kept in $work; analyse again: python3 bench/sync_analyse.py sync $work \$(cat $work/hint)" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "reproduce: GRAB_RATE=$RATE${WEB:+ WEB_SIZE=${WEB_SIZE:-800x600}}${RUNNER:+ RUNNER=\"$RUNNER\"} $0 $BIN"
av_start "$work"

if [ -n "$WEB" ]; then
  # The page's music Time as it plays (progress), its own trace at the end.
  /usr/bin/python3 "$ROOT/bench/web/play.py" "$BIN" "$work" >"$work/show.log" 2>&1 &
  SHOW=$!
  av_own $SHOW
  PROGRESS=$work/progress
  for ((i = 0; i < 900; i++)); do
    [ -s "$work/geometry" ] && break
    kill -0 $SHOW 2>/dev/null || break
    sleep 0.1
  done
  read -r wx wy _ wh <"$work/geometry" 2>/dev/null ||
    { echo "the page did not start:" >&2; cat "$work/show.log" >&2; exit 1; }
  cat "$work/show.log"
  # The region scales with the canvas, whose picture is the show's 800 x 600 one.
  region_y=$((wy + (296 * wh + 300) / 600))
  wait_time "$PROGRESS" 2 60 $SHOW
  pactl list sink-inputs | grep -qi 'application.name = "Chromium"' ||
    { echo "Chromium plays no stream into the private server" >&2; exit 1; }
else
  # From the repository root: older builds find data/ only in the working directory.
  # RUNNER is split into words on purpose (a command and its arguments).
  # shellcheck disable=SC2086
  (cd "$ROOT" && exec env VALLUP_TRACE="$work/trace" $RUNNER "$BIN" --windowed) >"$work/show.log" 2>&1 &
  SHOW=$!
  av_own $SHOW
  PROGRESS=$work/trace
  read -r _ wx wy < <(show_window 30) || { echo "no show window" >&2; exit 1; }
  region_y=$((wy + 296))
fi

# The region: 8 x 8 pixels at the window's left edge, 296 pixels down; only
# the background (the clear colour) is ever drawn there in these scenes.
wait_time "$PROGRESS" 49 150 $SHOW
ffmpeg -nostdin -v error -copyts \
  -thread_queue_size 65536 -f x11grab -draw_mouse 0 -framerate "$RATE" -video_size 8x8 \
  -i "$DISPLAY+$((wx + 0)),$region_y" \
  -thread_queue_size 65536 -f pulse -sample_rate 44100 -channels 2 -i "$SINK.monitor" \
  -map 0:v -map 1:a -c:v rawvideo -c:a pcm_s16le -fps_mode passthrough -f nut "$work/rec.nut" \
  2>"$work/ffmpeg.log" &
GRAB=$!

# The hint: a wall-clock time and the music time the trace showed then.
wait_time "$PROGRESS" 51 30 $SHOW
hint_wall=$(date +%s.%N)
hint_time=$(trace_time "$PROGRESS")
echo "$hint_wall $hint_time" >"$work/hint"
wait_time "$PROGRESS" 100.3 80 $SHOW
kill -INT $GRAB
wait $GRAB || true   # ffmpeg stopped by a signal exits with 255, having finished the file
GRAB=
[ -s "$work/rec.nut" ] || { echo "ffmpeg recorded nothing:" >&2; cat "$work/ffmpeg.log" >&2; exit 1; }
if [ -n "$WEB" ]; then
  touch "$work/stop"   # play.py copies the page's trace and closes the browser
  wait $SHOW || { echo "no trace from the page:" >&2; cat "$work/show.log" >&2; exit 1; }
else
  kill $SHOW 2>/dev/null || true
fi

cd "$work"
ffmpeg -nostdin -v error -i "$ROOT/data/music/track.mp3" -f s16le -ac 2 -ar 44100 track.s16
ffmpeg -nostdin -v error -i rec.nut -map 0:a -f s16le -ac 2 rec.s16
ffmpeg -nostdin -v error -i rec.nut -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt rgb24 video.rgb
ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 rec.nut >audio_packets.csv
ffprobe -v error -select_streams v -show_entries packet=pts_time -of csv=p=0 rec.nut >video_pts.csv
python3 "$ROOT/bench/sync_analyse.py" sync "$work" "$hint_wall" "$hint_time"
