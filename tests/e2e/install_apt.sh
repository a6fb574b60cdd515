#!/bin/bash
# The package on a real system, as the README tells a user to install it:
# `make package`, `apt install ./build/vallup_*.deb`, the installed show run
# from an empty directory drawing the build's frame at 60 s byte for byte,
# then `apt remove vallup` leaving neither the package nor its files.
# It needs root and installs and removes a package, so CTest does not run it:
# run it in a fresh Debian 12 root (a new container, say).
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "install_apt: $*"; }

[ "$(id -u)" -eq 0 ] || fail "needs root: it installs and removes the vallup package"
cd "$(dirname "$0")/../.." || exit 1
ROOT=$(pwd)
# Removing what was there before would change more than this check installed.
! dpkg -s vallup > /dev/null 2>&1 || fail "vallup is already installed; run this in a fresh root"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
export DEBIAN_FRONTEND=noninteractive

step "make package"
make package > "$TMP/make.log" 2>&1 || fail "make package failed: $(tail -20 "$TMP/make.log")"
debs=("$ROOT"/build/vallup_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single build/vallup_*.deb: ${debs[*]}"
deb=${debs[0]}
step "made build/$(basename "$deb")"

step "apt install ./build/$(basename "$deb")"
apt install -y "./build/$(basename "$deb")" > "$TMP/install.log" 2>&1 ||
  fail "apt install failed: $(tail -20 "$TMP/install.log")"
[ "$(dpkg-query -W -f='${Status}' vallup)" = "install ok installed" ] ||
  fail "vallup is not installed after apt install: $(dpkg-query -W -f='${Status}' vallup)"
[ -x /usr/bin/vallup ] || fail "no /usr/bin/vallup after apt install"
step "installed: $(dpkg-query -W -f='${Package} ${Version}, ${Installed-Size} kB' vallup)"

"$ROOT/build/vallup" --frame 60 --out "$TMP/b.png" > /dev/null 2> "$TMP/b.err" ||
  fail "build/vallup --frame 60 failed: $(cat "$TMP/b.err")"
mkdir "$TMP/empty"
(cd "$TMP/empty" && /usr/bin/vallup --frame 60 --out "$TMP/a.png") > /dev/null 2> "$TMP/a.err" ||
  fail "/usr/bin/vallup --frame 60 from an empty directory failed: $(cat "$TMP/a.err")"
cmp "$TMP/a.png" "$TMP/b.png" ||
  fail "the installed show draws another frame at 60 s than the build"
step "frame 60 s: /usr/bin/vallup from an empty directory = build/vallup ($(sha256sum < "$TMP/a.png" | cut -c1-16))"

step "apt remove -y vallup"
apt remove -y vallup > "$TMP/remove.log" 2>&1 || fail "apt remove failed: $(tail -20 "$TMP/remove.log")"
! dpkg -s vallup > /dev/null 2>&1 || fail "dpkg -s vallup still finds it: $(dpkg -s vallup 2>&1 | grep ^Status)"
for f in /usr/bin/vallup /usr/share/vallup /usr/share/doc/vallup /usr/share/man/man6/vallup.6.gz; do
  [ ! -e "$f" ] || fail "$f is left after apt remove"
done
step "removed: dpkg -s vallup fails, no files left"
echo "PASS"
