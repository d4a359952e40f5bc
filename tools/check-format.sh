#!/usr/bin/env bash
# Fails, naming each file and line, when a C++ file of the tree is not laid out as
# .clang-format says. With --fix it lays them out instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format-14 -i "${files[@]}"
else
  clang-format-14 --dry-run --Werror "${files[@]}"
fi
