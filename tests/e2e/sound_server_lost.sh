#!/bin/bash
# The sound server failing mid-show, through a private PulseAudio server (a
# null sink): the picture never waits for it, and the music comes back at the
# picture's place.
#  - The server hangs for 5 s (SIGSTOP, SIGCONT): Time keeps the wall clock's
#    pace all the while (in every second, the frames' Time less their wall
#    clock stays within a frame of what it was before), and afterwards the
#    beats are heard where the picture is (within 50 ms of where they were
#    heard before).
#  - The server is killed: one line says so, the clock runs on the same way;
#    a new server on the same address is found and the beats are heard where
#    the picture is again.
#  - Held Up then seeks to the end: status 0.
# Where a beat is heard comes from recording the sink's monitor with ffmpeg and
# finding the track's beats in it (bench/sync_analyse.py).
set -u
BIN=$(realpath "$1")
ROOT=$(pwd)
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
. "$(dirname "$0")/../support/xlib.sh"

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset SDL_AUDIODRIVER PULSE_SERVER
SERVERS=()   # process ids of the servers and silence streams started, for cleanup
cleanup() {
  local pid
  kill $PID 2>/dev/null
  kill -CONT "$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)" 2>/dev/null
  pulseaudio --kill 2>/dev/null
  # A server left running would hold this script's output open, and whoever
  # reads it would wait for ever.
  for pid in "${SERVERS[@]}"; do kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; done
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

# server: starts a server with a null sink "show", and a stream of silence
# that keeps the sink at a short latency, as a sound card's is (an idle null
# sink runs up to 2 s ahead of real time).
server() {
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=show" \
    --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 ||
    fail "cannot start a private PulseAudio: $(cat "$work/pulse.log")"
  SERVERS+=("$(cat "$XDG_RUNTIME_DIR/pulse/pid")")
  for ((i = 0; i < 50; i++)); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 </dev/zero \
    >/dev/null 2>&1 &
  SERVERS+=($!)
}

# heard NAME: records the sink for 4 s and prints, for each beat heard, the
# picture's Time then less the beat's time, in ms; says them on standard error
# too, so that a run that fails later shows them.
ffmpeg -nostdin -v error -i "$ROOT/data/music/track.mp3" -f s16le -ac 2 -ar 44100 "$work/track.s16"
heard() {
  local dir=$work/$1 wall time
  mkdir "$dir"
  ln -s ../track.s16 "$dir/track.s16"
  wall=$(date +%s.%N)
  time=$(grep -v '^#' "$work/trace" | tail -1 | cut -d' ' -f1)
  ffmpeg -nostdin -v error -copyts -f pulse -sample_rate 44100 -channels 2 -i show.monitor \
    -c:a pcm_s16le -f nut "$dir/rec.nut" &
  sleep 4
  kill -INT $!
  wait $!   # ffmpeg stopped by a signal exits with 255, having finished the file
  ffmpeg -nostdin -v error -i "$dir/rec.nut" -f s16le -ac 2 "$dir/rec.s16"
  ffprobe -v error -select_streams a -show_entries packet=pts_time,size -of csv=p=0 "$dir/rec.nut" >"$dir/audio_packets.csv"
  cp "$work/trace" "$dir/trace"
  python3 "$ROOT/bench/sync_analyse.py" heard "$dir" "$wall" "$time" | cut -d' ' -f2 \
    | tee "$dir/offsets"
  echo "$1: the picture's Time less each beat's when it was heard (ms):" $(cat "$dir/offsets") >&2
}

# steady FROM TO: every second of frames drawn between these wall clocks has a
# median of Time less wall clock within a frame of the second before FROM.
steady() {
  awk -v from="$1" -v to="$2" 'BEGIN { cur = -1 }
    function median(a, n,   i, j, t) {
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
      return a[int((n + 1) / 2)]
    }
    $1 !~ /^#/ && NF >= 3 && $3 >= from - 1 && $3 < to {
      s = int($3 - from + 1); if (s != cur) { if (n) m[cur] = median(v, n); cur = s; n = 0; delete v }
      v[++n] = $1 - $3
    }
    END {
      if (n) m[cur] = median(v, n)
      for (s = 1; s in m; s++) {
        if (m[s] - m[0] > 0.0167 || m[0] - m[s] > 0.0167) { printf "second %d: %+.1f ms off\n", s, (m[s] - m[0]) * 1000; bad = 1 }
      }
      if (s < (to - from)) { print "only " s - 1 " seconds of frames"; bad = 1 }
      exit bad
    }' "$work/trace"
}

# near BEFORE AFTER [MS]: each offset of AFTER is within MS (default 50) of
# BEFORE's median.
near() {
  local ref
  ref=$(tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  [ -n "$ref" ] && [ -n "$2" ] || return 1
  awk -v ref="$ref" -v after="$2" -v tol="${3:-50}" 'BEGIN {
      m = split(after, a, " ")
      for (i = 1; i <= m; i++) if (a[i] - ref > tol || ref - a[i] > tol) exit 1
    }'
}

server
VALLUP_TRACE=$work/trace "$BIN" --windowed >"$work/out" 2>"$work/err" &
PID=$!
win=$(wait_window "vallup 123 driskel") || fail "no show window: $(cat "$work/err")"
wait_line '^3\.[0-9]+ ' "$work/trace" 30 || fail "the music did not reach 3 s"
pactl list sink-inputs | grep -q 'application.name = "vallup"' || fail "the show does not play through the server"
grep -q "no audio device" "$work/err" && fail "the show found no audio device: $(cat "$work/err")"
before=$(heard before | tr '\n' ' ')
[ -n "$before" ] || fail "no beat was heard from the show"

server_pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid")
hung=$(date +%s.%N)
kill -STOP "$server_pid"
sleep 5
kill -CONT "$server_pid"
answered=$(date +%s.%N)
# A null sink that wakes from a hang renders the missed seconds at once. The
# beats are recorded from 3 s to 7 s after the server answers: there libpulse's
# interpolated timing, which still fits the reports from before the hang, is
# furthest off (a show whose clock trusted it heard the beats there up to
# 110 ms from where they were).
sleep 3
steady "$hung" "$answered" || fail "the picture did not keep the pace of the wall clock while the server hung"
hang=$(heard after_hang | tr '\n' ' ')
near "$before" "$hang" ||
  fail "after the hang the beats were heard at $hang ms from the picture, before at $before"
grep -q "sound output is back" "$work/err" || fail "nothing said of the sound coming back: $(cat "$work/err")"

lost=$(date +%s.%N)
pulseaudio --kill
for ((i = 0; i < 50; i++)); do [ -e "$XDG_RUNTIME_DIR/pulse/pid" ] || break; sleep 0.1; done
sleep 2
grep -q "the sound server went away" "$work/err" || fail "nothing said of the lost server: $(cat "$work/err")"
steady "$lost" "$(date +%s.%N)" || fail "the picture did not keep the pace of the wall clock while the server was away"
server
sleep 3
pactl list sink-inputs | grep -q 'application.name = "vallup"' || fail "the show did not find the new server"
restart=$(heard after_restart | tr '\n' ' ')
near "$before" "$restart" || fail "with the new server the beats were heard at $restart ms from the picture, before at $before"
echo "the picture's Time less each beat's when it was heard (ms): before $before; after the hang $hang; with the new server $restart"

hold "$win" Up 30 &
for ((i = 0; i < 400; i++)); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
wait $PID; status=$?; PID=
[ $status -eq 0 ] || fail "exit status $status, want 0"
echo "PASS"
