#!/usr/bin/env bash
# unicode-profile.sh <wine> <profile tests .exe> <prefix>
# Runs the profile tests as a Wine user named "山田", in a prefix of that
# user's own (made once, then reused): Wine names the profile folder after
# the Unix user, C:\users\山田. Under C.UTF-8 the ANSI code page is 1252,
# which cannot hold the name.
set -euo pipefail
wine=$1 program=$2 prefix=$3
user=$(printf '\345\261\261\347\224\260')  # 山田
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
  USER=$user LOGNAME=$user
if [ ! -f "$prefix/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  # One virtual desktop, as the main prefix has: no window manager to wait for.
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi
status=0
"$wine" "$program" || status=$?
[ -d "$prefix/drive_c/users/$user" ] || { echo "Wine made no profile folder C:\\users\\$user"; status=1; }
wineserver -k 2>/dev/null || true  # this prefix's server only
exit $status
