#!/usr/bin/env bash
# The native program's resident memory over the whole show, under a private
# Xvfb display (the start-up question answered No, sound to a file through
# SDL's disk driver): the largest resident set seen once a second and the
# kernel's own peak (VmHWM) just before the program ends by itself.
#   bench/measure-resident-memory.sh [BUILD_DIR] [PROGRAM]
# BUILD_DIR defaults to build/native, PROGRAM to dxvornik85 (or dxvornik85-sysmem).
set -euo pipefail
build=${1:-build/native}
PROGRAM=$build/shell/sdl/${2:-dxvornik85}
HELPERS=$build/tests/shell
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build it first" >&2; exit 1; }
source "$(dirname "$0")/../tests/shell/xvfb_lib.sh"
require_tools
start_display
start_program
wait_for_box
answer_no
largest=0
peak=0
while program_running; do
    status=$(cat "/proc/$PROGRAM_PID/status" 2> /dev/null || true)
    rss=$(awk '/^VmRSS:/ {print $2}' <<< "$status")
    hwm=$(awk '/^VmHWM:/ {print $2}' <<< "$status")
    [ -n "$rss" ] && [ "$rss" -gt "$largest" ] && largest=$rss
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 1
done
wait_program 1000 || true
printf '%s: resident set at most %d KiB seen, peak (VmHWM) %d KiB = %.1f MiB; exit code %s\n' \
    "$(basename "$PROGRAM")" "$largest" "$peak" "$(awk -v k="$peak" 'BEGIN {print k / 1024}')" "$PROGRAM_RC"
