# shellcheck shell=bash
# A private sound server and display for the benchmarks that play the show
# (sourced by bench/sync.sh, bench/sound_load.sh, bench/windowed_cpu.sh; not
# a benchmark of its own).
#
# av_start DIR starts, with DIR (an empty directory) as their home:
#   - PulseAudio with one null sink, $SINK, at 44.1 kHz stereo: what is played
#     into it can be recorded from $SINK.monitor. XDG_RUNTIME_DIR is set to
#     DIR/xdg (mode 700), so the show and ffmpeg, started from this shell with
#     SDL_AUDIODRIVER unset, play into and record from this server only.
#   - Xvfb on a free display (AV_SCREEN, default 1024x768x24); DISPLAY is set
#     to it.
# av_stop ends them (and every process registered with av_own PID), by
# process id; call it from an EXIT trap.
#
# Needs: pulseaudio, xvfb, x11-utils (xwininfo).

SINK=vallup_bench
AV_PIDS=()

av_own() { AV_PIDS+=("$@"); }

av_start() {
  local dir=$1 i
  export XDG_RUNTIME_DIR=$dir/xdg
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset PULSE_SERVER PULSE_SINK PULSE_SOURCE SDL_AUDIODRIVER
  # As root, pulseaudio warns that it is not meant to run so; it works.
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=$SINK rate=44100 channels=2" \
    --load=module-native-protocol-unix --log-target=file:"$dir/pulse.log" 2>/dev/null ||
    { echo "cannot start pulseaudio (see $dir/pulse.log)" >&2; return 1; }
  for ((i = 0; i < 50; i++)); do
    [ -s "$XDG_RUNTIME_DIR/pulse/pid" ] && break
    sleep 0.1
  done
  av_own "$(cat "$XDG_RUNTIME_DIR/pulse/pid")"

  Xvfb -displayfd 3 -screen 0 "${AV_SCREEN:-1024x768x24}" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
  XVFB_PID=$!
  av_own $XVFB_PID
  for ((i = 0; i < 100; i++)); do
    [ -s "$dir/display" ] && break
    sleep 0.1
  done
  [ -s "$dir/display" ] || { echo "Xvfb did not start (see $dir/xvfb.log)" >&2; return 1; }
  DISPLAY=:$(head -1 "$dir/display")
  export DISPLAY
}

av_stop() {
  local i j pid
  for ((i = ${#AV_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${AV_PIDS[i]}
    kill "$pid" 2>/dev/null || continue
    for ((j = 0; j < 50; j++)); do   # a daemon is not our child: poll
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    wait "$pid" 2>/dev/null || true
  done
  AV_PIDS=()
}

# trace_time FILE: the Time of the last frame line of a VALLUP_TRACE file
# (0 before the first).
trace_time() {
  local t
  t=$(grep -v '^#' "$1" 2>/dev/null | tail -n 1 | cut -d' ' -f1)
  echo "${t:-0}"
}

# wait_time FILE SECONDS TIMEOUT PID: waits until the show (PID) has drawn a
# frame at or after SECONDS of music; fails when it exits or TIMEOUT seconds
# of wall time pass first.
wait_time() {
  local end=$((SECONDS + $3))
  while awk -v t="$(trace_time "$1")" -v w="$2" 'BEGIN { exit !(t < w) }'; do
    kill -0 "$4" 2>/dev/null || { echo "the show exited before $2 s" >&2; return 1; }
    ((SECONDS < end)) || { echo "the show did not reach $2 s in $3 s" >&2; return 1; }
    sleep 0.02
  done
}

# show_window TIMEOUT: prints "ID X Y" of the show's window (its client area's
# place on the screen) once it exists.
show_window() {
  local i id
  for ((i = 0; i < $1 * 10; i++)); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"vallup 123 driskel":/ { print $1; exit }')
    if [ -n "$id" ]; then
      xwininfo -id "$id" | awk -v id="$id" '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print id, x, y }'
      return 0
    fi
    sleep 0.1
  done
  return 1
}
