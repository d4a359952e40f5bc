#!/usr/bin/env bash
# Builds the thread core and the folder monitor on it (no Qt) with their tests under
# ThreadSanitizer in build-tsan/ and runs them; any report fails. Takes about a minute;
# ./test runs it too.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-tsan
mkdir -p "$out"
sources=(framework/thread/*.cpp tests/framework/thread/*.cpp
  platform/system.cpp platform/inotify_hub.cpp platform/folder_watch.cpp tests/platform/folder_watch_test.cpp
  shelltree/disc_monitor_thread.cpp tests/shelltree/disc_monitor_thread_test.cpp)
headers=(framework/thread platform/system.h platform/inotify_hub.h platform/folder_watch.h
  shelltree/disc_monitor_thread.h tests/support/watchdog.h tests/support/temp_tree.h)
objects=()
for source in "${sources[@]}"; do
  object="$out/$(echo "$source" | tr / _).o"
  if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find "${headers[@]}" -name '*.h' -newer "$object")" ]; then
    ${CXX:-g++} -std=c++20 -Wall -Wextra -g -O1 -fsanitize=thread -I. -Itests/support -c "$source" -o "$object"
  fi
  objects+=("$object")
done
${CXX:-g++} -fsanitize=thread -o "$out/thread_core_tests" "${objects[@]}" -lgtest -lgtest_main -pthread
TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}" "$out/thread_core_tests" "$@"
