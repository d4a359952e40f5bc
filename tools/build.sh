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
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir"
