#!/bin/bash
# The command line: help, version, bad options (status 2; a frame after the
# show's end at 128 s is one), no display (status 1 with a reason), and a
# headless frame at 0 s: an 800 x 600 black PNG.
set -u
BIN=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

"$BIN" --help > "$work/help" || fail "--help status $?"
for opt in --windowed --fullscreen --gles --frame --out --size --fps --help --version; do
  grep -q -- "$opt" "$work/help" || fail "--help does not mention $opt"
done
"$BIN" --version | grep -q '^vallup [0-9]' || fail "--version"

for args in "--bogus" "--frame" "--frame abc --out x.png" "--frame 1" "--frame 1 --out x.png --size 10x10" \
            "--frame 1 --out x.png --fps 0" "--size 800x600" "--frame -1 --out x.png" \
            "--frame 128.001 --out x.png"; do
  "$BIN" $args > /dev/null 2> "$work/err"; status=$?
  [ $status -eq 2 ] || fail "'$args' gave status $status, want 2"
  grep -q "vallup:" "$work/err" || fail "'$args' said nothing on standard error"
done
grep -q "0 to 128" "$work/err" || fail "a frame after the end does not give the range: $(cat "$work/err")"
[ -e x.png ] && fail "a refused --frame wrote x.png"
(cd "$work" && "$BIN" --frame 128 --out end.png) || fail "--frame 128, the show's last frame, gave status $?"

env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$BIN" --windowed > /dev/null 2> "$work/err"; status=$?
[ $status -eq 1 ] || fail "no display gave status $status, want 1"
grep -q "no display (DISPLAY and WAYLAND_DISPLAY are not set)" "$work/err" || fail "no display: $(cat "$work/err")"
# A display that is named but cannot be opened is reported as that, by name.
free=99; while [ -e /tmp/.X$free-lock ] || [ -e /tmp/.X11-unix/X$free ]; do free=$((free + 1)); done
env -u WAYLAND_DISPLAY DISPLAY=:$free SDL_AUDIODRIVER=dummy "$BIN" --windowed > /dev/null 2> "$work/err"; status=$?
[ $status -eq 1 ] || fail "an unopenable display gave status $status, want 1"
grep -q "cannot open a window: the display cannot be opened (DISPLAY=:$free)" "$work/err" ||
  fail "an unopenable display: $(cat "$work/err")"

(cd "$work" && env -u DISPLAY "$BIN" --frame 0 --out f.png > /dev/null) || fail "--frame 0 failed"
python3 - "$work/f.png" <<'PY' || fail "--frame 0 is not an 800 x 600 black picture"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n"
pos, idat, w = 8, b"", 0
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    if kind == b"IHDR":
        w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
        assert (w, h, depth, ctype) == (800, 600, 8, 2), (w, h, depth, ctype)
    elif kind == b"IDAT":
        idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
assert len(raw) == 600 * (1 + 800 * 3)
# every row's pixels are zero whatever its filter byte (filters of zeros stay zero)
assert all(raw[r * 2401 + 1:(r + 1) * 2401].count(0) == 2400 for r in range(600))
PY
echo "PASS"
