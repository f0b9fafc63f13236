#!/usr/bin/env bash
# chunk-exchange.sh <linux host> <Velmora.so> <wine> <windows host .exe> <Velmora.dll> <scripts> <state> <work dir>
# Program and bank chunks saved by one build restore in the other and come
# back byte for byte, starting from either side. Chunks that have been
# restored once are compared (a first restore settles the drop-downs'
# "nothing chosen").
set -euo pipefail
linux_host=$1 linux_module=$2 wine=$3 windows_host=$4 windows_module=$5 scripts=$6 state=$7 work=$8
rm -rf "$work"
mkdir -p "$work"
trap 'status=$?; [ $status -eq 0 ] || cat "$work/log"; exit $status' EXIT
# Wine sees the Linux file system as drive Z:.
linux() {
  local script=$1; shift
  "$linux_host" -q "$scripts/$script" "$linux_module" "${@/#/$work/}" >>"$work/log"
}
windows() {
  local script=$1; shift
  "$wine" "$windows_host" -q "$scripts/$script" "Z:$windows_module" "${@/#/Z:$work/}" >>"$work/log"
}
same() {
  if ! cmp "$work/$1" "$work/$2"; then
    echo "FAIL: $1 and $2 differ"
    exit 1
  fi
}
cp "$state" "$work/state"
[ -x "$linux_host" ] && [ -f "$linux_module" ] || { echo "no Linux build at $linux_host, $linux_module"; exit 1; }

# Made on Linux.
linux make-chunks.txt state made.prog made.bank
linux restore-chunks.txt made.prog made.bank linux.prog linux.bank
windows restore-chunks.txt linux.prog linux.bank windows.prog windows.bank
same linux.prog windows.prog
same linux.bank windows.bank
linux restore-chunks.txt windows.prog windows.bank back.prog back.bank
same linux.prog back.prog
same linux.bank back.bank

# Made on Windows.
windows make-chunks.txt state wmade.prog wmade.bank
windows restore-chunks.txt wmade.prog wmade.bank wwin.prog wwin.bank
linux restore-chunks.txt wwin.prog wwin.bank wlinux.prog wlinux.bank
same wwin.prog wlinux.prog
same wwin.bank wlinux.bank
windows restore-chunks.txt wlinux.prog wlinux.bank wback.prog wback.bank
same wwin.prog wback.prog
same wwin.bank wback.bank
echo "program and bank chunks cross between Linux and Windows byte for byte"
