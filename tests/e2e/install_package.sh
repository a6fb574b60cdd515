#!/bin/bash
# Installing and packaging (dist/install.cmake), all headless:
#  - `cmake --install` into a staging root puts exactly these files under the
#    prefix: the program, the show's data byte for byte as data/ holds it, the
#    desktop entry (valid), the icons, the man page (gzip, no roff warnings),
#    the changelog and the copyright (each Files pattern naming files there are);
#  - the installed program, started from an empty directory, writes the same
#    frame at 60 s as the build does from the repository root, and it reads
#    the installed data: replacing the installed check2.png (the rotozoomer's
#    checker at 60 s) changes the frame;
#  - `cpack -G DEB` makes a package that holds the same tree under /usr,
#    depends on the shared libraries' packages and Mesa's software driver,
#    recommends ffmpeg and the X core fonts (Debian forbids depending on an X
#    font package), carries the changelog of its own version, and on which
#    lintian finds no error.
set -u
BIN=$(realpath "$1")
BUILD=$(dirname "$BIN")
ROOT=$(pwd)
TMP=$(mktemp -d)
# Installing and packaging rewrite the build's install_manifest.txt: leave it
# as it was found.
MANIFEST=$BUILD/install_manifest.txt
[ -f "$MANIFEST" ] && cp -p "$MANIFEST" "$TMP/manifest.saved"
restore() {
  if [ -f "$TMP/manifest.saved" ]; then cp -p "$TMP/manifest.saved" "$MANIFEST"; else rm -f "$MANIFEST"; fi
  rm -rf "$TMP"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$BUILD/CPackConfig.cmake" ] || fail "$BUILD (the directory of $1) is not a configured build directory"

# What an install must hold, relative to the prefix, and nothing more.
{
  echo bin/vallup
  (cd "$ROOT/data" && find . -type f) | sed 's|^\./|share/vallup/data/|'
  echo share/applications/vallup.desktop
  (cd "$ROOT/dist" && find icons -type f) | sed 's|^|share/|'
  echo share/man/man6/vallup.6.gz
  echo share/doc/vallup/changelog.gz
  echo share/doc/vallup/copyright
} | sort > "$TMP/expected"
grep -q '^share/icons/hicolor/256x256/apps/vallup.png$' "$TMP/expected" || fail "no 256 x 256 icon under dist/icons"

# --- install into a staging root -------------------------------------------
STAGE=$TMP/stage
DESTDIR=$STAGE cmake --install "$BUILD" --prefix /usr > "$TMP/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -5 "$TMP/install.log")"
PREFIX=$STAGE/usr
(cd "$PREFIX" && find . -type f -o -type l) | sed 's|^\./||' | sort > "$TMP/installed"
[ -z "$(find "$STAGE" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files installed outside the prefix: $(ls "$STAGE")"
diff -u "$TMP/expected" "$TMP/installed" > "$TMP/diff" ||
  fail "installed files (+) differ from the expected ones (-): $(cat "$TMP/diff")"
[ -x "$PREFIX/bin/vallup" ] || fail "bin/vallup is not executable"
(cd "$ROOT/data" && find . -type f) | while read -r f; do
  cmp -s "$ROOT/data/$f" "$PREFIX/share/vallup/data/$f" || fail "installed data/$f differs from the repository's"
done || exit 1

desktop-file-validate "$PREFIX/share/applications/vallup.desktop" > "$TMP/desktop" 2>&1 ||
  fail "vallup.desktop: $(cat "$TMP/desktop")"
grep -qx 'Exec=vallup' "$PREFIX/share/applications/vallup.desktop" || fail "vallup.desktop does not run vallup"
grep -qx 'Icon=vallup' "$PREFIX/share/applications/vallup.desktop" || fail "vallup.desktop does not name the vallup icon"
gzip -t "$PREFIX/share/man/man6/vallup.6.gz" || fail "vallup.6.gz is not gzip"
zcat "$PREFIX/share/man/man6/vallup.6.gz" | groff -man -Tutf8 -ww -z 2> "$TMP/roff"
[ ! -s "$TMP/roff" ] || fail "the man page has roff warnings: $(cat "$TMP/roff")"
gzip -t "$PREFIX/share/doc/vallup/changelog.gz" || fail "changelog.gz is not gzip"
# A renamed or dropped file would leave its copyright stanza pointing at nothing.
sed -n '/^Files:/,/^[A-Z]/p' "$PREFIX/share/doc/vallup/copyright" | sed -e 's/^Files://' -e '/^[A-Z]/d' |
  tr ' ' '\n' | sed '/^$/d' > "$TMP/patterns"
[ -s "$TMP/patterns" ] || fail "the copyright file has no Files patterns"
while read -r pattern; do
  (cd "$ROOT" && compgen -G "$pattern" > /dev/null) || fail "the copyright's Files pattern $pattern names no file"
done < "$TMP/patterns" || exit 1

# --- the installed program finds and reads the installed data ---------------
"$BIN" --frame 60 --out "$TMP/built.png" > /dev/null 2> "$TMP/built.err" ||
  fail "$BIN --frame 60 from the repository root failed: $(cat "$TMP/built.err")"
mkdir "$TMP/elsewhere"
(cd "$TMP/elsewhere" && "$PREFIX/bin/vallup" --frame 60 --out x.png) > /dev/null 2> "$TMP/installed.err" ||
  fail "the installed program failed from an empty directory: $(cat "$TMP/installed.err")"
[ -f "$TMP/elsewhere/x.png" ] || fail "the installed program did not write --out x.png in its working directory"
diff "$TMP/built.err" "$TMP/installed.err" > /dev/null ||
  fail "the installed program said more than the build: $(cat "$TMP/installed.err")"
cmp -s "$TMP/built.png" "$TMP/elsewhere/x.png" ||
  fail "the installed program, started from an empty directory, draws another frame at 60 s than the build"

cp "$PREFIX/share/vallup/data/textures/bubblan.png" "$PREFIX/share/vallup/data/textures/check2.png"
(cd "$TMP/elsewhere" && "$PREFIX/bin/vallup" --frame 60 --out y.png) > /dev/null 2>&1 ||
  fail "the installed program failed with a replaced texture"
! cmp -s "$TMP/elsewhere/x.png" "$TMP/elsewhere/y.png" ||
  fail "replacing the installed textures/check2.png changed nothing: the installed program reads other data"

# --- the Debian package -------------------------------------------------------
(cd "$BUILD" && cpack -G DEB -B "$TMP/pkg") > "$TMP/cpack.log" 2>&1 ||
  fail "cpack -G DEB failed: $(tail -5 "$TMP/cpack.log")"
debs=("$TMP"/pkg/vallup_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single vallup_*.deb: $(ls "$TMP/pkg")"
deb=${debs[0]}
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort > "$TMP/packaged"
diff -u "$TMP/expected" "$TMP/packaged" > "$TMP/diff" ||
  fail "files in the package (+) differ from the expected ones under /usr (-): $(cat "$TMP/diff")"

depends=$(dpkg-deb -f "$deb" Depends)
for p in 'libsdl2-2\.0-0[a-z0-9]*' 'libmpg123-0[a-z0-9]*' 'libpng16-16[a-z0-9]*' 'libegl1' 'libopengl0' \
         'libglu1-mesa' 'libgl1-mesa-dri'; do
  grep -Eq "(^|, )$p( |,|$)" <<< "$depends" || fail "the package's Depends lacks $p: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = "ffmpeg, xfonts-base" ] || fail "the package recommends '$recommends', want 'ffmpeg, xfonts-base'"
version=$(dpkg-deb -f "$deb" Version)
zcat "$PREFIX/share/doc/vallup/changelog.gz" > "$TMP/changelog"
[ "$(dpkg-parsechangelog -l "$TMP/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's latest entry is not the package's version $version: $(head -1 "$TMP/changelog")"
command -v lintian > /dev/null || fail "lintian is not installed (scripts/install-deps installs it)"
# --allow-root: lintian only warns under root, but the warning is noise here.
lintian --allow-root --fail-on error "$deb" > "$TMP/lintian" 2>&1 ||
  fail "lintian finds errors in $(basename "$deb"): $(cat "$TMP/lintian")"
echo "PASS: $(basename "$deb"), Depends: $depends; Recommends: $recommends; lintian: $(grep -c '^W:' "$TMP/lintian") warnings"
