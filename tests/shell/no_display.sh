#!/usr/bin/env bash
# Without any window system the program says so on stderr (no box can be
# shown) and ends with exit code 1, instead of running the show unseen.
# Usage: no_display.sh PROGRAM
set -uo pipefail
err="$(mktemp)"
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR=/nonexistent timeout 20 "$1" > /dev/null 2> "$err"
rc=$?
[ "$rc" -eq 1 ] || { echo "FAIL: exit code $rc, not 1: $(cat "$err")"; exit 1; }
grep -q "No display to show the demo on" "$err" || { echo "FAIL: no reason on stderr: $(cat "$err")"; exit 1; }
echo "PASS"
