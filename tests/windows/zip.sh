#!/bin/bash
# What a Windows user unzips: one folder with vallup.exe, vallup.com, data/
# and README.txt; the exe imports only Windows' own DLLs and is a windowed
# program (no console of its own); unpacked anywhere, it finds data/ beside
# itself from another working directory; vallup.com hands a console the
# show's messages and exit status.
# Usage: bash tests/windows/zip.sh build-windows/build/vallup.exe (the zip
# lies beside it; Wine's prefix from WINEPREFIX; a display from DISPLAY).
set -u
EXE=$(realpath "$1")
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" "$@"
export WINEDEBUG=${WINEDEBUG:--all}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

zip=$(ls "$(dirname "$EXE")"/vallup-*-windows-x64.zip 2>/dev/null | head -n 1)
[ -n "$zip" ] || fail "no zip beside $EXE: run make windows"
python3 -c "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" "$zip" "$work"
folder=$work/$(basename "$zip" .zip)
for f in vallup.exe vallup.com README.txt data/music/track.mp3; do
  [ -f "$folder/$f" ] || fail "the zip has no $f in $(basename "$folder")/"
done
diff -r "$ROOT/data/textures" "$folder/data/textures" >/dev/null || fail "data/textures differs from the tree's"

# Windows' own DLLs only, and the windowed subsystem (2) for the exe.
dlls=$(x86_64-w64-mingw32-objdump -p "$folder/vallup.exe" | awk '/DLL Name:/ { print tolower($3) }')
for dll in $dlls; do
  case $dll in
    advapi32.dll|avrt.dll|gdi32.dll|glu32.dll|imm32.dll|kernel32.dll|msvcrt.dll|ole32.dll|\
    oleaut32.dll|opengl32.dll|setupapi.dll|shell32.dll|shlwapi.dll|user32.dll|version.dll|\
    winmm.dll) ;;
    *) fail "vallup.exe imports $dll, which Windows does not ship" ;;
  esac
done
x86_64-w64-mingw32-objdump -p "$folder/vallup.exe" | grep -q "^Subsystem.*00000002" ||
  fail "vallup.exe is not a windowed program: a double click would open a console beside it"

# From another folder: the data beside the program, the picture Linux draws.
cd "$work"
wine "$folder/vallup.exe" --frame 5 --out frame.png >out.txt 2>&1 ||
  fail "the unpacked exe could not draw a frame from another folder: $(cat out.txt)"
"$ROOT/build/vallup" --frame 5 --out linux.png 2>/dev/null || fail "build/vallup --frame failed"
ffmpeg -nostdin -v error -i frame.png -f rawvideo -pix_fmt rgb24 - >a.rgb
ffmpeg -nostdin -v error -i linux.png -f rawvideo -pix_fmt rgb24 - >b.rgb
cmp -s a.rgb b.rgb || fail "the unpacked exe's frame at 5 s is not Linux's"

# The console's program: messages and status come back.
wine "$folder/vallup.com" --frame 500 --out x.png >out.txt 2>err.txt
status=$?
[ $status -eq 2 ] || fail "vallup.com --frame 500: status $status, want 2 (a bad command line)"
grep -q "vallup:" err.txt || fail "vallup.com passed on no message: $(cat out.txt err.txt)"
wine "$folder/vallup.com" --help >out.txt 2>&1 || fail "vallup.com --help failed"
grep -q "^usage: vallup" out.txt || fail "vallup.com --help printed: $(head -3 out.txt)"
echo "PASS"
