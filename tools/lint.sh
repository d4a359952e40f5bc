#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the program's C++ sources as the build in build/
# compiles them, their headers with them; any finding fails. ./test runs it. With --all it
# takes the tests, benchmarks and fuzz targets too (some minutes more on two cores), all but
# the page-compiler probe, which compiles only with the header its own build generates.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "${1:-}" = --all ]; then
  mapfile -t sources < <(git ls-files '*.cpp' ':!tests/layers/*' ':!tests/tools/check_page.cpp')
else
  mapfile -t sources < <(git ls-files '*.cpp' ':!tests/*' ':!bench/*' ':!fuzz/*')
fi
# Each source as an exact path, as run-clang-tidy takes regular expressions.
mapfile -t patterns < <(printf '^%s$\n' "${sources[@]/#/$root/}" | sed 's/[.+]/\\&/g')
run-clang-tidy-14 -quiet -p build -j "$(nproc)" "${patterns[@]}" >build/lint.out 2>&1 || {
  sed 's/\x1b\[[0-9;]*m//g' build/lint.out | grep -E "^/.*(warning|error):" | sort -u >&2
  echo "clang-tidy found the above (whole output: build/lint.out)" >&2
  exit 1
}
echo "clang-tidy: ${#sources[@]} sources clean"
