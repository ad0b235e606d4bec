#!/usr/bin/env bash
# Measures, from outside, the frame rate the program reaches in each scene
# under Xvfb, the processor time it takes and its resident memory: frames are
# counted by a stand-in for SDL_RenderPresent loaded with LD_PRELOAD (the
# program is not changed), processor time and resident set are read from /proc
# once a second. Not a test: it prints a table.
# Usage: measure_frame_rate.sh PROGRAM HELPERS PRESENT-COUNTER.so
PROGRAM="$1"
HELPERS="$2"
COUNTER="$3"
source "$(dirname "$0")/xvfb_lib.sh"
require_tools
start_display
export PRESENT_COUNTER_FILE="$WORK/frames"
: > "$PRESENT_COUNTER_FILE"
LD_PRELOAD="$COUNTER" start_program /dev/null
wait_for_box
answer_no
ticks=$(getconf CLK_TCK)
: > "$WORK/cpu"
: > "$WORK/rss"
while program_running; do
    # utime + stime of the whole process, in clock ticks
    awk '{print $14 + $15}' "/proc/$PROGRAM_PID/stat" 2> /dev/null >> "$WORK/cpu" || true
    awk '/^VmRSS:/ {print $2}' "/proc/$PROGRAM_PID/status" 2> /dev/null >> "$WORK/rss" || true
    sleep 1
done
python3 - "$WORK/frames" "$WORK/cpu" "$ticks" "$WORK/rss" << 'PYTHON'
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
    # The CPU samples start at the answer; the show starts a moment later.
    load = usage[first + 1:last - 1]
    resident = rss[first + 1:last - 1] or [0]
    if counts:
        print(f'{name:18} {sum(counts) / len(counts):9.1f} {min(counts):5} {max(counts):5} '
              f'{sum(load) / max(1, len(load)):18.0f} {max(resident) / 1024:13.1f}')
PYTHON
