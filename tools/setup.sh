#!/usr/bin/env bash
# Installs what the build needs (Debian 12), builds, and then either runs the
# demonstration session ("run") or every test ("test").
#   tools/setup.sh run     build (Release, in build-release) and install the three modules (Velmora.so,
#                          Velmora.clap, Velmora.vst3), then play the demonstration session in each
#   tools/setup.sh test    build everything and run the whole test suite
set -euo pipefail

mode=${1:-test}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev
  fonts-liberation2 fonts-dejavu-core
  libx11-dev libxext-dev libxtst-dev libxfixes-dev xvfb xauth
  midicsv dpf-plugins-vst
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

build() {  # build <dir> <build type> <cmake args...>
  local dir=$1 type=$2; shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

install_packages

case "$mode" in
  run)
    # What a user installs: a Release build, without the test suite.
    build build-release Release -DVELMORA_BUILD_TESTS=OFF
    # Install where Linux hosts scan: system-wide as root, else for this user.
    if [ "$(id -u)" -eq 0 ]; then
      cmake --install build-release --component vst --strip
      cmake --install build-release --component clap --strip
      cmake --install build-release --component vst3
    else
      cmake --install build-release --component user-vst
      cmake --install build-release --component user-clap
      cmake --install build-release --component user-vst3
    fi
    tools/demo.sh build-release
    tools/demo.sh build-release clap
    tools/demo.sh build-release vst3
    ;;
  test)
    build build RelWithDebInfo
    tools/check-naming.sh build
    ctest --test-dir build --output-on-failure -j "$jobs"
    tools/sanitized-tests.sh
    # The Windows build, cross-built and tested under Wine (uses build/ too).
    tools/windows-tests.sh
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
