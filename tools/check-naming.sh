#!/usr/bin/env bash
# The naming check: clang-tidy's readability-identifier-naming (see
# .clang-tidy for the style) over every translation unit of the Linux build.
# Any violation fails the check. tools/setup.sh test runs it.
#   tools/check-naming.sh [build-dir]    default build/, configured if needed
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi
# clang does not know some of gcc's flags: a copy of the database without them.
database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
sed -e 's/ -fvect-cost-model=[a-z]*//g' "$build/compile_commands.json" >"$database/compile_commands.json"
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
# The product code (tests, tools and benchmarks keep their own names for
# now); not the generated sources in the build tree.
log="$database/tidy.log"
if "$runner" -p "$database" -clang-tidy-binary "$tidy" -j "$(nproc 2>/dev/null || echo 2)" -quiet \
     "^$here/(engine|core|editor|framework)/" >"$log" 2>&1; then
  echo "naming: clean"
else
  grep -E 'error:|warning:' "$log" | sort -u
  echo "naming: violations found (style in .clang-tidy)" >&2
  exit 1
fi
