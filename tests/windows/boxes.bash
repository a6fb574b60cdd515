# Sourced by tests/windows/*.sh after tests/support/xlib.sh: answering Wine's
# question boxes with keys (there is no window manager to focus them).

# answer TITLE KEY: types the key into the box once it takes keys, and again
# only if the box is still there 10 s later (a second key typed while a slow
# box is closing would answer whatever comes next).
answer() {
  local i id
  for ((i = 0; i < 3; i++)); do
    id=$(window_id "$1")
    [ -n "$id" ] || return 0
    sleep 0.5   # Wine maps the box a moment before it takes keys
    xdotool windowfocus --sync "$id" 2>/dev/null   # fails harmlessly inside a desktop
    xdotool key "$2"
    wait_gone "$1" 10 && return 0
  done
  return 1
}
