#!/bin/bash
# The show in a window under Wine, its sound through Wine's PulseAudio driver
# into a private server's null sink:
#   --windowed -> an 800 x 600 window titled "vallup 123 driskel", frames drawn
#   sound      -> the track's beats are found in the sink's monitor
#   F1         -> Wine on bare Xvfb offers only the screen's size, so fullscreen
#                 at 640 x 480 fails and the fallback question comes; Return
#                 answers Yes: a 640 x 480 window with the tutorial title
#   Escape     -> exit status 0
# Usage: windowed.sh VALLUP.EXE (from the repository root; Wine's prefix from
# WINEPREFIX).
set -u
EXE=$(realpath "$1")
ROOT=$(pwd)
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"
. "$(dirname "$0")/boxes.bash"
export WINEDEBUG=${WINEDEBUG:--all}

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset SDL_AUDIODRIVER PULSE_SERVER
PID=
cleanup() {
  [ -n "$PID" ] && kill $PID 2>/dev/null
  pulseaudio --kill 2>/dev/null
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

# A server of our own with a null sink "show", and a stream of silence that
# keeps the sink at a short latency (an idle null sink runs up to 2 s ahead).
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=show" \
  --load=module-native-protocol-unix 2>"$work/pulse.log" \
  || fail "cannot start a private PulseAudio: $(cat "$work/pulse.log")"
for ((i = 0; i < 50; i++)); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pacat -d show --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 </dev/zero \
  2>/dev/null &

VALLUP_TRACE=$work/trace wine "$EXE" --windowed >"$work/out" 2>"$work/err" &
PID=$!
win=$(wait_window "vallup 123 driskel" 30) || fail "no show window: $(cat "$work/err")"
[ "$(client_size "$win")" = 800x600 ] || fail "client area $(client_size "$win"), want 800x600"
wait_line '^# window "vallup 123 driskel" asked 800x600 client 800x600 colorbits 32 fullscreen 0' \
  "$work/trace" || fail "trace: $(head -1 "$work/trace")"
wait_line '^5\.[0-9]+ ' "$work/trace" 30 || fail "the music did not reach 5 s"

# Heard: the sink's monitor recorded for 5 s holds the track's beats
# (bench/sync_analyse.py finds each by its attack, near where the trace puts it).
pactl list sink-inputs | grep -q 'application.name = "vallup.exe"' \
  || fail "the show does not play through the server: $(cat "$work/err")"
heard=$work/heard
mkdir "$heard"
ffmpeg -nostdin -v error -i "$ROOT/data/music/track.mp3" -f s16le -ac 2 -ar 44100 "$heard/track.s16"
wall=$(date +%s.%N)
time=$(grep -v '^#' "$work/trace" | tail -1 | cut -d' ' -f1)
ffmpeg -nostdin -v error -copyts -f pulse -sample_rate 44100 -channels 2 -i show.monitor \
  -c:a pcm_s16le -f nut "$heard/rec.nut" &
sleep 5
kill -INT $!
wait $!   # ffmpeg stopped by a signal exits with 255, having finished the file
ffmpeg -nostdin -v error -i "$heard/rec.nut" -f s16le -ac 2 "$heard/rec.s16"
ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 \
  "$heard/rec.nut" >"$heard/audio_packets.csv"
cp "$work/trace" "$heard/trace"
beats=$(python3 "$ROOT/bench/sync_analyse.py" heard "$heard" "$wall" "$time")
[ "$(grep -c . <<<"$beats")" -ge 3 ] || fail "fewer than 3 beats heard in 5 s: ${beats:-none}"
echo "beats heard (beat, picture's Time less the beat's, ms): $(tr '\n' ' ' <<<"$beats")"

hold "$win" F1 0.5   # a key must be down at a frame: slow frames need a long press
wait_window "Vexa GL" >/dev/null || fail "no fallback question after F1 to fullscreen"
answer "Vexa GL" Return || fail "the fallback question did not take Return"   # Yes: a window
tut=$(wait_window "Vexa's Textures, Lighting & Keyboard Tutorial") || fail "no re-created window"
[ "$(client_size "$tut")" = 640x480 ] || fail "re-created client area $(client_size "$tut")"
[ -z "$(window_id "vallup 123 driskel")" ] || fail "the first window was not destroyed"
wait_line "^# window \"Vexa's Textures, Lighting & Keyboard Tutorial\" asked 640x480 client 640x480 colorbits 32 fullscreen 0" \
  "$work/trace" || fail "trace after F1: $(grep '^#' "$work/trace")"
[ "$(grep -c '^# window' "$work/trace")" = 2 ] || fail "windows made: $(grep '^#' "$work/trace")"
before=$(grep -vc '^#' "$work/trace"); sleep 1; after=$(grep -vc '^#' "$work/trace")
[ "$after" -gt "$before" ] || fail "no frames drawn in the re-created window"

hold "$tut" Escape 0.5
wait $PID; status=$?; PID=
[ $status -eq 0 ] || fail "exit status $status after Escape, want 0: $(cat "$work/err")"
echo "PASS"
