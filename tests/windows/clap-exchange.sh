#!/usr/bin/env bash
# clap-exchange.sh <linux host> <Linux Velmora.clap|.vst3> <velmora-make-state> <wine> <windows host .exe>
#                  <Windows Velmora.clap|.vst3> <scripts> <work dir>
# Velmora.clap (or the Velmora.vst3 bundle) in the Windows harness: host note 36 on a C major cell plays
# C major there as on Linux, and the state each build saves is the same
# bytes, also after each restored the other's.
set -euo pipefail
linux_host=$1 linux_module=$2 make_state=$3 wine=$4 windows_host=$5 windows_module=$6 scripts=$7 work=$8
rm -rf "$work"
mkdir -p "$work"
trap 'status=$?; [ $status -eq 0 ] || cat "$work/log"; exit $status' EXIT
[ -x "$linux_host" ] && [ -e "$linux_module" ] || { echo "no Linux build at $linux_host, $linux_module"; exit 1; }
"$make_state" scale 0 cell 0 0 0 "$work/state"
# Wine sees the Linux file system as drive Z:.
"$linux_host" -q "$scripts/clap-note.txt" "$linux_module" "$work/state" "$work/linux.state" >"$work/linux.out"
"$wine" "$windows_host" -q "$scripts/clap-note.txt" "Z:$windows_module" "Z:$work/state" "Z:$work/windows.state" |
  tr -d '\r' >"$work/windows.out"
cat "$work/linux.out" "$work/windows.out" >>"$work/log"
# C maj: C, E and G switched on, on both sides alike.
for note in "C4 (60)" "E4 (64)" "G4 (67)"; do
  grep -q "note-on.*$note" "$work/windows.out" || { echo "FAIL: no $note under Wine"; exit 1; }
done
# The paths in the other lines differ: the MIDI lines must not.
cmp <(grep '^  block' "$work/linux.out") <(grep '^  block' "$work/windows.out") ||
  { echo "FAIL: the two builds sent different MIDI"; exit 1; }
cmp "$work/linux.state" "$work/windows.state" || { echo "FAIL: the saved states differ"; exit 1; }
"$wine" "$windows_host" -q "$scripts/clap-note.txt" "Z:$windows_module" "Z:$work/linux.state" "Z:$work/back.state" >/dev/null
cmp "$work/linux.state" "$work/back.state" || { echo "FAIL: the Linux state did not come back from Windows"; exit 1; }
echo "$(basename "$windows_module") under Wine: note 36 plays C major, the state equals the Linux build's"
