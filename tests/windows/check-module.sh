#!/bin/sh
# check-module.sh <objdump> <module.dll|module.clap|module.vst3>...
# Each VST 2.4 DLL exports exactly VSTPluginMain and main, each CLAP module
# exactly clap_entry, each VST 3 module exactly GetPluginFactory, InitDll and
# ExitDll, and each imports only
# DLLs that every Windows has: the C and C++ runtimes, winpthreads, zlib and
# libpng are linked in, so nothing has to ship beside it.
set -eu
objdump=$1
shift
allowed=" kernel32.dll msvcrt.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll comdlg32.dll wininet.dll "
status=0
for module in "$@"; do
  name=$(basename "$module")
  dump=$("$objdump" -p "$module")
  exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  want="VSTPluginMain main "
  case "$name" in
    *.clap) want="clap_entry " ;;
    *.vst3) want="ExitDll GetPluginFactory InitDll " ;;
  esac
  if [ "$exports" != "$want" ]; then
    echo "$name exports: $exports(want: $want)"
    status=1
  fi
  imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
  for dll in $imports; do
    case "$allowed" in
      *" $dll "*) ;;
      *) echo "$name imports $dll, which Windows does not have"; status=1 ;;
    esac
  done
  for needed in kernel32.dll msvcrt.dll; do
    printf '%s\n' "$imports" | grep -qx "$needed" || { echo "$name does not import $needed"; status=1; }
  done
  echo "$name: exports $exports; imports" $imports
done
exit $status
