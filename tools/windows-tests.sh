#!/usr/bin/env bash
# The Windows build on Debian: Velmora.dll and the Windows test programs
# cross-built with mingw-w64, then run under Wine inside an X server of their
# own (Xvfb). tools/setup.sh test runs it after the Linux tests.
#   tools/windows-tests.sh          install, fetch libpng's source, build, test
#   tools/windows-tests.sh build    the same without running the tests
#   tools/windows-tests.sh deps     only the packages and libpng's source
# Build tree: build-win (VELMORA_WIN_BUILD); its Wine prefix: build-win/wine-prefix,
# and build-win/wine-prefix-unicode-user for a user whose name the ANSI code
# page cannot hold (tests/windows/unicode-profile.sh makes it).
# The chunk exchange with the Linux build uses build/ when it holds a built
# Velmora.so (VELMORA_LINUX_BUILD).
set -euo pipefail

mode=${1:-test}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build_dir=${VELMORA_WIN_BUILD:-build-win}
linux_build=${VELMORA_LINUX_BUILD:-build}
deps_dir=build-deps
jobs=$(nproc 2>/dev/null || echo 2)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

packages=(
  cmake dpkg-dev g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
  wine64 wine xvfb xauth midicsv
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# libpng 1.6 from Debian's source package (Debian has no mingw build of it):
# a deb-src entry for bookworm main beside the binary one, signed by the same
# key, then apt-get source, unpacked with Debian's patches into build-deps.
libpng_source() {
  [ -f "$deps_dir/libpng/png.h" ] && return 0
  local sources=/etc/apt/sources.list.d/velmora-debian-src.sources
  if [ ! -f "$sources" ]; then
    $sudo tee "$sources" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $sudo apt-get update -qq
  fi
  local download
  download=$(mktemp -d)
  chmod 755 "$download"
  $sudo chown _apt "$download" 2>/dev/null || true  # apt's download sandbox writes there
  (cd "$download" && apt-get source --download-only -qq libpng1.6 >/dev/null)
  rm -rf "$deps_dir/libpng"
  mkdir -p "$deps_dir"
  # apt checked the files against the signed index; dpkg-source would ask
  # for the uploader's key besides, which only debian-keyring carries.
  dpkg-source -x "$download"/libpng1.6_*.dsc "$deps_dir/libpng" >/dev/null 2>&1
  rm -rf "$download"
  grep -q 'PNG_LIBPNG_VER_STRING "1\.6\.' "$deps_dir/libpng/png.h" || { echo "not libpng 1.6" >&2; exit 1; }
}

build() {
  local linux_args=()
  if [ -f "$linux_build/core/module/Velmora.so" ] && [ -x "$linux_build/tools/vsthost/velmora-host" ]; then
    linux_args=(-DVELMORA_LINUX_BUILD_DIR="$(cd "$linux_build" && pwd)")
  fi
  cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_LIBPNG_SOURCE_DIR="$here/$deps_dir/libpng" \
    "${linux_args[@]}" >/dev/null
  cmake --build "$build_dir" -j "$jobs"
}

# Runs inside in_x_server: a Wine prefix in the build tree, with one virtual
# desktop (no window manager to wait for), the tests, then the demonstration
# session, whose take must land in Wine's roaming AppData.
run_tests() {
  export WINEPREFIX="$here/$build_dir/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
  local status=0
  ctest --test-dir "$build_dir" --output-on-failure || status=1

  local take="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/velmora-midi.mid"
  rm -f "$take"
  wine "$build_dir/tools/vsthost/velmora-host.exe" -q tools/demo/demo-session.txt \
    "Z:$here/$build_dir/core/module/Velmora.dll" "Z:$here/tools/demo/c-major.vstchunk" >/dev/null || status=1
  if [ -s "$take" ] && midicsv "$take" | grep -q Note_on_c; then
    echo "demonstration session under Wine: the take is in AppData/Roaming ($(wc -c <"$take") bytes)"
  else
    echo "demonstration session under Wine: no take in $take" >&2
    status=1
  fi
  wineserver -k || true
  return $status
}

# Runs a command under an Xvfb of its own. Xvfb picks a free display and
# tells us which (other X servers may run on this machine).
in_x_server() {
  local work status=0
  work=$(mktemp -d)
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 "$work/display")" "$@" || status=$?
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
  return $status
}

if [ "$mode" = inside-x-server ]; then
  run_tests
  exit
fi
install_packages
libpng_source
case "$mode" in
  deps) ;;
  build) build ;;
  test)
    build
    in_x_server "$0" inside-x-server
    ;;
  *)
    echo "usage: $0 [test|build|deps]" >&2
    exit 2
    ;;
esac
