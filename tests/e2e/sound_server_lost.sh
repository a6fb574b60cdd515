#!/bin/bash
# The sound server going away mid-show: the show plays through a private
# PulseAudio server (a null sink), the server is killed, and the music clock
# runs on silently from where it was: no step back, no jump, no freeze, one
# line on standard error. Held Up then seeks to the end: status 0.
set -u
BIN=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run PULSE_SERVER=
mkdir -m 700 "$XDG_RUNTIME_DIR"
cleanup() { kill $PID 2>/dev/null; pulseaudio --kill 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
unset SDL_AUDIODRIVER PULSE_SERVER
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=show" \
  --load=module-native-protocol-unix 2>"$work/pulse.log" || fail "cannot start a private PulseAudio: $(cat "$work/pulse.log")"
for ((i = 0; i < 50; i++)); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
# An idle null sink runs up to 2 s ahead of real time; a stream of silence
# keeps it at a short latency, as a sound card's sink is.
pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 </dev/zero 2>/dev/null &
sleep 2

VALLUP_TRACE=$work/trace "$BIN" --windowed >"$work/out" 2>"$work/err" &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window: $(cat "$work/err")"
wait_line '^3\.[0-9]+ ' "$work/trace" 30 || fail "the music did not reach 3 s"
pactl list sink-inputs | grep -q 'application.name = "vallup"' || fail "the show does not play through the server"
grep -q "no audio device" "$work/err" && fail "the show found no audio device: $(cat "$work/err")"

pulseaudio --kill
wait_line '^5\.[0-9]+ ' "$work/trace" 30 || fail "the clock did not go on after the server went away"
grep -q "the sound server went away" "$work/err" || fail "nothing said of the lost server: $(cat "$work/err")"

# From 1 s on: every frame's Time at most 0.1 s after the last, never before
# it, and never the same for more than six frames (0.1 s at 60 frames a second).
awk '$1 !~ /^#/ && $1 >= 1 && $1 < 5 {
       if (n++) {
         if ($1 < last) { print "back from " last " to " $1; bad = 1 }
         if ($1 - last > 0.1) { print "jump from " last " to " $1; bad = 1 }
         same = ($1 == last) ? same + 1 : 0
         if (same > 6) { print "held at " $1; bad = 1 }
       }
       last = $1
     }
     END { exit bad }' "$work/trace" || fail "the clock did not run on smoothly"

hold "$win" Up 30 &
for ((i = 0; i < 400; i++)); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
wait $PID; status=$?; PID=
[ $status -eq 0 ] || fail "exit status $status, want 0"
echo "PASS"
