#!/usr/bin/env bash
# Runs a test program as a client of a headless Wayland compositor of its own (weston's
# headless back end), with Qt's wayland platform: the pages as a Wayland session shows them.
# Usage: under_weston.sh PROGRAM [ARGUMENT...]
set -euo pipefail

runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=wayland-test \
  --width=800 --height=600 --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null || true; wait "$weston" 2>/dev/null || true; rm -rf -- "$runtime"' EXIT
for _ in $(seq 100); do [ -S "$runtime/wayland-test" ] && break; sleep 0.1; done
[ -S "$runtime/wayland-test" ] || { cat "$runtime/weston.log" >&2; echo "weston did not start" >&2; exit 1; }

# A full path: the test's own sandbox sets another XDG_RUNTIME_DIR.
status=0
${QUINDOR_DEBUGGER:-} env -u DISPLAY QUINDOR_TEST_PLATFORM=wayland WAYLAND_DISPLAY="$runtime/wayland-test" "$@" \
  || status=$?
# A failure under the compositor is read with what the compositor said.
[ "$status" -eq 0 ] || { echo "--- weston's log:" >&2; tail -n 40 "$runtime/weston.log" >&2; }
exit "$status"
