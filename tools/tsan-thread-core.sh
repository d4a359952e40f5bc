#!/usr/bin/env bash
# Builds the thread core (no Qt) and its tests with ThreadSanitizer in build-tsan/ and
# runs them; any report fails. Takes well under a minute; ./test runs it too.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-tsan
mkdir -p "$out"
sources=(framework/thread/*.cpp tests/framework/thread/*.cpp)
objects=()
for source in "${sources[@]}"; do
  object="$out/$(echo "$source" | tr / _).o"
  if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find framework/thread tests/framework/thread tests/support/watchdog.h -name '*.h' -newer "$object")" ]; then
    ${CXX:-g++} -std=c++20 -Wall -Wextra -g -O1 -fsanitize=thread -I. -Itests/support -c "$source" -o "$object"
  fi
  objects+=("$object")
done
${CXX:-g++} -fsanitize=thread -o "$out/thread_core_tests" "${objects[@]}" -lgtest -lgtest_main -pthread
TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}" "$out/thread_core_tests" "$@"
