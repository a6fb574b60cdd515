#!/bin/bash
# The scene benchmark in a browser: each scene's frame time through the
# show's GL 1.1 layer on WebGL 2 in headless Chromium (SwiftShader) at
# 800 x 600, against a plain WebGL fill of as many pixels of the scene's main
# kind in the same page, frames alternating (bench/web/scene_fps.cpp says how).
# Prints a table: scene, kind, scene ms, fill ms, ratio = scene / fill median,
# and the pixels written in screens.
#
#   usage, from anywhere, after `make web`: bench/scene_fps_web.sh [FRAMES] [NAME]
#   (FRAMES samples a scene, default 100; NAME: only the scenes whose name
#   starts so)
# Builds the benchmark in build-web/build (BUILD_WEB: another folder) and its
# page in build-web/bench/, which the site leaves out.
#   needs: what `make web` needs, chromium, python3-websocket
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
FRAMES=${1:-100}
BUILD=${BUILD_WEB:-build-web}
[ -f "$BUILD/build/build.ninja" ] || { echo "no web build in $BUILD/build: run make web first" >&2; exit 1; }
source scripts/web-env
cmake --build "$BUILD/build" --target bench_scene_fps_web >/dev/null
page=$BUILD/bench
rm -rf "$page" && mkdir -p "$page"
cp bench/web/scene_fps.html "$page/index.html"
cp "$BUILD"/build/bench/bench_scene_fps.{js,wasm,data} "$page/"
echo "reproduce: $0 $*"
exec /usr/bin/python3 bench/web/scene_fps.py "$page" "$FRAMES" ${2:+"$2"}
