#!/usr/bin/env bash
# The running program under a private Xvfb display, measured from outside
# (the start-up question answered No, sound to a file through SDL's disk
# driver): per scene the frames presented per second, the processor time of
# the whole process in % of one core, and the largest resident set; at the
# end the kernel's own peak (VmHWM). Frames are counted by a stand-in for
# SDL_RenderPresent loaded with LD_PRELOAD (the program is not changed);
# processor time and resident set are read from /proc twice a second.
#   bench/measure-running-program.sh [BUILD_DIR] [PROGRAM]
# BUILD_DIR defaults to build/native, PROGRAM to dxvornik85 (or dxvornik85-sysmem).
set -euo pipefail
build=${1:-build/native}
PROGRAM=$build/shell/sdl/${2:-dxvornik85}
HELPERS=$build/tests/shell
COUNTER=$HELPERS/libpresent_counter.so
if [ ! -x "$PROGRAM" ] || [ ! -f "$COUNTER" ]; then
    echo "no $PROGRAM or $COUNTER: build them first" >&2
    exit 1
fi
# shellcheck source-path=SCRIPTDIR source=../tests/shell/xvfb_lib.sh
source "$(dirname "$0")/../tests/shell/xvfb_lib.sh"
require_tools
start_display
export PRESENT_COUNTER_FILE="$WORK/frames"
: > "$PRESENT_COUNTER_FILE"
LD_PRELOAD="$COUNTER" start_program /dev/null
wait_for_box
answer_no > /dev/null
: > "$WORK/samples"
# The sampling loop starts no process of its own: every fork and exec here
# would compete with the program for the two processors and cost it frames.
# A read that times out on a FIFO nobody writes to is the half-second sleep.
mkfifo "$WORK/tick"
exec {tick}<> "$WORK/tick"
start_ms=$((${EPOCHREALTIME/./} / 1000))
peak=0
while program_running; do
    # ms since the answer, utime + stime of the whole process in clock ticks,
    # resident set in KiB
    read -r -a stat < "/proc/$PROGRAM_PID/stat" 2> /dev/null || continue
    resident="" hwm=""
    while read -r key value _; do
        case $key in
        VmRSS:) resident=$value ;;
        VmHWM:) hwm=$value ;;
        esac
    done < "/proc/$PROGRAM_PID/status" 2> /dev/null || true
    [ -n "$resident" ] || continue
    echo "$((${EPOCHREALTIME/./} / 1000 - start_ms)) $((stat[13] + stat[14])) $resident" >> "$WORK/samples"
    [ "${hwm:-0}" -gt "$peak" ] && peak=$hwm
    read -r -t 0.5 -u "$tick" _ || true
done
wait_program 1000 || true
echo "$(basename "$PROGRAM"): exit code $PROGRAM_RC, peak resident set (VmHWM) $((peak / 1024)) MiB; load: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$WORK/frames" "$WORK/samples" "$(getconf CLK_TCK)" << 'PYTHON'
import sys
frames = dict(tuple(map(int, line.split())) for line in open(sys.argv[1]) if line.strip())
samples = [tuple(map(int, line.split())) for line in open(sys.argv[2]) if len(line.split()) == 3]
ticks = int(sys.argv[3])
scenes = [('titles', 0, 10), ('balls', 10, 21), ('rings and column', 21, 36), ('landscape', 36, 51)]
print(f'{"scene":18} {"frames/s":>9} {"min":>5} {"max":>5} {"CPU % of one core":>18} {"resident MiB":>13}')
for name, first, last in scenes:
    counts = [frames[s] for s in range(first + 1, last - 1) if s in frames]
    # Samples are timed from the answer; the show starts a moment later.
    inside = [s for s in samples if (first + 1) * 1000 <= s[0] <= (last - 1) * 1000]
    cpu = 0.0
    if len(inside) > 1:
        cpu = (inside[-1][1] - inside[0][1]) / ticks * 100 / ((inside[-1][0] - inside[0][0]) / 1000)
    resident = max([s[2] for s in inside] or [0])
    if counts:
        print(f'{name:18} {sum(counts) / len(counts):9.1f} {min(counts):5} {max(counts):5} '
              f'{cpu:18.0f} {resident / 1024:13.1f}')
PYTHON
