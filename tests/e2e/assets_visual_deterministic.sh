#!/bin/bash
# The committed meshes and textures are exactly what the generator makes:
# regenerate them into a temporary directory and compare byte for byte,
# both ways (nothing missing, nothing left over).
set -u
gen=build/tools/assetgen/assetgen
if [ ! -x "$gen" ]; then
    echo "FAIL: $gen not found: build the project first (cmake --build build)" >&2
    exit 1
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
for part in meshes textures; do
    if ! "$gen" --only "$part" "$tmp"; then
        echo "FAIL: assetgen --only $part exited with an error" >&2
        exit 1
    fi
done
for dir in 3d textures; do
    for f in "$tmp/$dir"/*; do
        name=$(basename "$f")
        if [ ! -f "data/$dir/$name" ]; then
            echo "FAIL: the generator makes $dir/$name but data/ has no such file" >&2
            fail=1
        elif ! cmp -s "$f" "data/$dir/$name"; then
            echo "FAIL: data/$dir/$name differs from what the generator makes now" >&2
            fail=1
        fi
    done
    for f in data/"$dir"/*; do
        [ -f "$tmp/$dir/$(basename "$f")" ] || { echo "FAIL: $f is not made by the generator" >&2; fail=1; }
    done
done
count=$(ls "$tmp"/textures/*.png | wc -l)
[ "$count" -eq 18 ] || { echo "FAIL: expected 18 texture files, the generator made $count" >&2; fail=1; }
count=$(ls "$tmp"/3d/*.obj | wc -l)
[ "$count" -eq 4 ] || { echo "FAIL: expected 4 meshes, the generator made $count" >&2; fail=1; }
[ $fail -eq 0 ] && echo "meshes and textures regenerate byte for byte"
exit $fail
