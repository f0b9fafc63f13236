#!/usr/bin/env bash
# Regenerates the editor's pictures: builds velmora-artwork, draws every
# picture of resources/img/Pictures.cmake into resources/img/ (and at 2x
# into resources/img/2x/), and writes a preview of the editor made from the
# 1x ones (idle above, in use below).
#   tools/make-artwork.sh [build-dir]      (default: build-artwork)
# A new build directory is configured without the tests, which embed the
# pictures and so need them to exist first. The output is deterministic:
# run it again and the files do not change.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-artwork}
case "$build" in /*) ;; *) build="$here/$build" ;; esac

if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" >/dev/null
else
  cmake -S "$here" -B "$build" -DVELMORA_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target velmora-artwork -j "$(nproc 2>/dev/null || echo 2)"
tool="$build/tools/artwork/velmora-artwork"
"$tool" "$here/resources/img"
"$tool" --preview "$here/resources/img" "$build/artwork-preview.png"
echo "pictures in resources/img; preview: $build/artwork-preview.png"
