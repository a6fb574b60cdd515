#!/bin/bash
# CPU time of a whole windowed run: the show's own user + system time from
# start to its end after 128 s, for each binary given, one after another in
# one invocation; with the wall time, the frames drawn (VALLUP_TRACE lines
# that are not '#' notes), frames a second, and the X server's CPU time for
# the run (drawing the frames into the window costs the server too). With two
# or more binaries, the ratio of each one's CPU time to the first's.
#
# How: for each binary a fresh private PulseAudio (null sink) and Xvfb
# (bench/private_av.sh); `BINARY --windowed` runs from the repository root
# (older builds find data/ only there) and is waited for with wait4, whose
# resource usage is the process's CPU time, all its threads included.
#
#   usage, from anywhere: bench/windowed_cpu.sh [BINARY ...]   (default: build/vallup)
#   needs: pulseaudio, xvfb, x11-utils, python3
# Takes about 130 s a binary. To compare with an older commit, build it in a
# worktree beside this one:
#   git worktree add /tmp/before COMMIT
#   cmake -S /tmp/before -B /tmp/before/build -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build /tmp/before/build --target vallup
#   bench/windowed_cpu.sh /tmp/before/build/vallup build/vallup
#   git worktree remove --force /tmp/before
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$ROOT/build/vallup"
BINS=()
for b in "$@"; do
  [ -x "$b" ] || { echo "no program at $b" >&2; exit 1; }
  BINS+=("$(realpath "$b")")
done
. "$ROOT/bench/private_av.sh"

work=$(mktemp -d /tmp/vallup-cpu.XXXXXX)
cleanup() {
  av_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ticks PID: user + system clock ticks of a running process.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

echo "reproduce: $0 ${BINS[*]}"
printf '%-40s %9s %7s %7s %7s %7s %7s %9s\n' binary "CPU s" user sys "wall s" frames fps "X CPU s"
first=
for ((n = 0; n < ${#BINS[@]}; n++)); do
  bin=${BINS[n]}
  dir=$work/$n
  mkdir "$dir"
  av_start "$dir"
  x0=$(ticks "$XVFB_PID")
  (cd "$ROOT" && VALLUP_TRACE=$dir/trace python3 - "$bin" --windowed >"$dir/usage" 2>"$dir/show.log" <<'PY'
import os, subprocess, sys, time
start = time.monotonic()
p = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
_, status, usage = os.wait4(p.pid, 0)
print(usage.ru_utime, usage.ru_stime, time.monotonic() - start, os.waitstatus_to_exitcode(status))
PY
  )
  x1=$(ticks "$XVFB_PID")
  av_stop
  read -r user sys wall status <"$dir/usage"
  frames=$(grep -vc '^#' "$dir/trace" || true)
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
  first=${first:-$cpu}
  printf '%-40s %9.1f %7.1f %7.1f %7.1f %7d %7.1f %9.1f' "$bin" "$cpu" "$user" "$sys" "$wall" "$frames" \
    "$(awk -v f="$frames" -v w="$wall" 'BEGIN { print f / w }')" \
    "$(awk -v a="$x0" -v b="$x1" -v hz="$(getconf CLK_TCK)" 'BEGIN { print (b - a) / hz }')"
  [ "$status" = 0 ] && echo || echo "  (exit status $status)"
  if [ "$n" -gt 0 ]; then
    echo "  CPU time against the first binary's: $(awk -v a="$cpu" -v b="$first" 'BEGIN { printf "%.2f", a / b }')"
  fi
done
