#!/usr/bin/env bash
# The README's pictures, taken from the editor's real X11 window: the
# plug-in module in our X11 host under Xvfb, a state restored, then a scale
# chosen in the popups, a pitch class marked, a host note playing a cell and
# a chord row held down, as a musician would: at 100 % (docs/editor.png),
# at 200 % chosen as a user chooses it (docs/editor-2x.png: the keyboard,
# the grid and the filter boxes), and with the held chord carried out of
# the window over a drop target, the screen around both taken with the
# pointer (docs/drag-out.png).
#   tools/readme-picture.sh [BUILD_DIR]    writes the three pictures
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target velmora-screenshot velmora-x11-host VelmoraModule >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/screenshot/velmora-screenshot" "$work/windowless.png" --chunk "$work/state.chunk"
# Xvfb picks its own free display and tells us which (other X servers may
# run on this machine); the screen holds the editor at twice its size.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
play=(--menu 310,205,16 --menu 255,205,2 --click 348,140,3 --note 42 --hold 700,89)
mkdir -p "$work/1x" "$work/2x"
host() {  # host <data folder> <arguments...>
  local data=$1; shift
  DISPLAY=":$(head -n1 "$work/display")" XDG_DATA_HOME="$data" \
    "$build/tools/x11host/velmora-x11-host" "$build/core/module/Velmora.so" --chunk "$work/state.chunk" "$@" >/dev/null
}
host "$work/1x" "${play[@]}" --screenshot docs/editor.png
# The size a user picks in the options menu, kept in the settings file.
echo "size=200" >"$work/2x/velmora-settings.txt"
host "$work/2x" --editor-scale 200 "${play[@]}" --screenshot docs/editor-2x.png --crop 8,40,610,665
# The editor at the screen's top left, a lane of an arrangement beside it.
host "$work/1x" --drop-target 1000,40,260,330 "${play[@]}" --carry 1120,200 --area 616,0,664,400 \
  --screenshot docs/drag-out.png
echo "docs/editor.png docs/editor-2x.png docs/drag-out.png"
