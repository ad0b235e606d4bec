#!/usr/bin/env bash
# The running program under a private Xvfb display, measured from outside
# (the start-up question answered No, sound to a file through SDL's disk
# driver): per scene the frames presented per second, the processor time of
# the whole process in % of one core, and the largest resident set; at the
# end the kernel's own peak (VmHWM). Frames are counted by a stand-in for
# SDL_RenderPresent loaded with LD_PRELOAD (the program is not changed);
# processor time and resident set are read from /proc once a second.
#   bench/measure-running-program.sh [BUILD_DIR] [PROGRAM]
# BUILD_DIR defaults to build/native, PROGRAM to dxvornik85 (or dxvornik85-sysmem).
set -euo pipefail
build=${1:-build/native}
PROGRAM=$build/shell/sdl/${2:-dxvornik85}
HELPERS=$build/tests/shell
COUNTER=$HELPERS/libpresent_counter.so
[ -x "$PROGRAM" ] && [ -f "$COUNTER" ] || { echo "no $PROGRAM or $COUNTER: build them first" >&2; exit 1; }
source "$(dirname "$0")/../tests/shell/xvfb_lib.sh"
require_tools
start_display
export PRESENT_COUNTER_FILE="$WORK/frames"
: > "$PRESENT_COUNTER_FILE"
LD_PRELOAD="$COUNTER" start_program /dev/null
wait_for_box
answer_no > /dev/null
: > "$WORK/cpu"
: > "$WORK/rss"
peak=0
while program_running; do
    # utime + stime of the whole process, in clock ticks
    awk '{print $14 + $15}' "/proc/$PROGRAM_PID/stat" 2> /dev/null >> "$WORK/cpu" || true
    status=$(cat "/proc/$PROGRAM_PID/status" 2> /dev/null || true)
    awk '/^VmRSS:/ {print $2}' <<< "$status" >> "$WORK/rss"
    hwm=$(awk '/^VmHWM:/ {print $2}' <<< "$status")
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 1
done
wait_program 1000 || true
echo "$(basename "$PROGRAM"): exit code $PROGRAM_RC, peak resident set (VmHWM) $((peak / 1024)) MiB; load: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$WORK/frames" "$WORK/cpu" "$(getconf CLK_TCK)" "$WORK/rss" << 'PYTHON'
import sys
frames = dict(tuple(map(int, line.split())) for line in open(sys.argv[1]) if line.strip())
cpu = [int(line) for line in open(sys.argv[2]) if line.strip()]
ticks = int(sys.argv[3])
rss = [int(line) for line in open(sys.argv[4]) if line.strip()]
usage = [(b - a) / ticks * 100 for a, b in zip(cpu, cpu[1:])]
scenes = [('titles', 0, 10), ('balls', 10, 21), ('rings and column', 21, 36), ('landscape', 36, 51)]
print(f'{"scene":18} {"frames/s":>9} {"min":>5} {"max":>5} {"CPU % of one core":>18} {"resident MiB":>13}')
for name, first, last in scenes:
    counts = [frames[s] for s in range(first + 1, last - 1) if s in frames]
    # The samples start at the answer; the show starts a moment later.
    load = usage[first + 1:last - 1]
    resident = rss[first + 1:last - 1] or [0]
    if counts:
        print(f'{name:18} {sum(counts) / len(counts):9.1f} {min(counts):5} {max(counts):5} '
              f'{sum(load) / max(1, len(load)):18.0f} {max(resident) / 1024:13.1f}')
PYTHON
