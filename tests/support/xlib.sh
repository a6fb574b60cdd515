# Helpers for the end-to-end scripts (sourced, not a test of its own):
# finding the program's windows under Xvfb and driving them with xdotool.
# SDL names its windows with UTF-8 WM_NAME, which xdotool's search cannot
# read, so windows are found through xwininfo's tree.
#
# Each script starts its own Xvfb with -noreset. Without it the server resets
# whenever its last client disconnects, and drops any client that connects
# during the reset: the program, started while a poll of xwininfo (or the
# previous run of the program, or an xdotool call) is just leaving, could not
# open the display and ended with "cannot open a window".

# window_id TITLE: prints the id of the top-level window with exactly this title.
window_id() {
  xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'
}

# wait_window TITLE [SECONDS]: waits until the window exists and prints its id.
wait_window() {
  local i id
  for ((i = 0; i < ${2:-15} * 10; i++)); do
    id=$(window_id "$1")
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# wait_gone TITLE [SECONDS]
wait_gone() {
  local i
  for ((i = 0; i < ${2:-15} * 10; i++)); do
    [ -z "$(window_id "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# wait_line PATTERN FILE [SECONDS]: waits until a line of FILE matches the
# extended regular expression (start-up may be slow on a loaded machine).
wait_line() {
  local i
  for ((i = 0; i < ${3:-20} * 10; i++)); do
    grep -Eq -- "$1" "$2" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# client_size ID: prints WIDTHxHEIGHT of the window.
client_size() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# press ID KEY: focuses the window and types the key through XTEST. The key
# is held for a moment: the show acts on keys held at a frame, and a press and
# release handled between two frames would be lost.
press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool keydown "$2"; sleep 0.15; xdotool keyup "$2"
}

# hold ID KEY SECONDS
hold() {
  xdotool windowfocus "$1"
  xdotool keydown "$2"; sleep "$3"; xdotool keyup "$2"
}

fail() { echo "FAIL: $*" >&2; exit 1; }
