#!/usr/bin/env bash
# The demonstration session: loads Velmora.so in velmora-host, restores a
# C major state, randomises the grid, plays grid cells 0..3 from host notes
# while the transport runs with Record armed, stops the transport, and reads
# back the MIDI file that Velmora wrote.
#   tools/demo.sh [build-dir [clap|vst3]]    (default: build; clap: Velmora.clap, vst3: the Velmora.vst3
#                                           bundle, instead of Velmora.so)
# The file goes to $XDG_DATA_HOME/velmora-midi.mid; unless you set
# XDG_DATA_HOME, a temporary folder is used and removed afterwards.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[ -d "$build" ] || build="$here/$build"

say() { printf '\n=== %s\n' "$*"; }
fail() { printf 'demo: %s\n' "$*" >&2; exit 1; }

host_exe="$build/tools/vsthost/velmora-host"
module="$build/core/module/Velmora.so"
[ "${2:-}" = clap ] && module="$build/core/module/Velmora.clap"
[ "${2:-}" = vst3 ] && module="$build/core/module/Velmora.vst3"
session="$here/tools/demo/demo-session.txt"
state="$here/tools/demo/c-major.vstchunk"
[ -x "$host_exe" ] || fail "no velmora-host in $build (build the project first)"
[ -e "$module" ] || fail "no $(basename "$module") in $build/core/module (build the project first)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ -z "${XDG_DATA_HOME:-}" ]; then
  export XDG_DATA_HOME="$scratch/data"
  mkdir -p "$XDG_DATA_HOME"
fi
midi="$XDG_DATA_HOME/velmora-midi.mid"
touch "$scratch/started"

say "Velmora demonstration session"
echo "plug-in:     $module"
echo "state:       $state (C major selected, grid empty)"
echo "MIDI file:   $midi"

say "Running the session in velmora-host"
"$host_exe" "$session" "$module" "$state" || fail "the session failed"

say "The take as Velmora wrote it"
# The writer thread has finished by the time the instance is closed; wait a
# little all the same, in case a slow disk is still flushing.
# (Written since the session started: not older than the marker; clocks tick
# coarsely, so "as old" counts.)
written() { [ -s "$midi" ] && ! [ "$scratch/started" -nt "$midi" ]; }
for _ in $(seq 50); do
  written && break
  sleep 0.1
done
written || fail "no new $midi was written"
echo "$midi: $(wc -c <"$midi") bytes"
if command -v midicsv >/dev/null; then
  midicsv "$midi" >"$scratch/take.csv" || fail "midicsv cannot read $midi"
  cat "$scratch/take.csv"
  grep -q 'Note_on_c' "$scratch/take.csv" || fail "the file holds no notes"
else
  echo "(midicsv is not installed: the file's first bytes)"
  od -A d -t x1 "$midi" | head -8
  [ "$(head -c 4 "$midi")" = "MThd" ] || fail "$midi is not a MIDI file"
fi

say "Done: the session played the grid and Velmora exported the take."
