#!/usr/bin/env bash
# Configures (once) and builds the tree in build/, or build-sanitize/ with SANITIZE=1.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-sanitize
  flags=(-DQUINDOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUINDOR_BENCH=OFF)
else
  dir=build
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
# CI takes every warning as an error.
[ "${QUINDOR_WARNINGS_AS_ERRORS:-0}" = 1 ] && flags+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir"
