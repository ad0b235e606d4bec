#!/usr/bin/env bash
# Closes the shows at moments drawn from a fixed seed: during start-up, in
# every scene, and by themselves at second 51, with Escape or the close
# button. Every run must end with exit code 0 within DEADLINE-MS of its
# request, and (for a ThreadSanitizer build) without any report. Each program
# gets the same runs; all runs go side by side in PARALLEL lanes, each run on
# its own Xvfb display.
# Usage: random_closes.sh PROGRAM[,PROGRAM...] HELPERS RUNS PARALLEL SEED DEADLINE-MS [START-ALLOWANCE-MS]
IFS=, read -r -a PROGRAMS <<< "$1"
HELPERS="$2"
RUNS="$3"
PARALLEL="$4"
SEED="$5"
DEADLINE_MS="$6"
START_ALLOWANCE_MS="${7:-2000}"
# shellcheck source-path=SCRIPTDIR source=xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"
require_tools

# One line per run: index, moment in ms after the answer, how it is closed
# (escape, button, or none: left to close itself at second 51), the program
# (its place in the list) and the lane that runs it. The longest runs are
# dealt out first, each to the lane with the least to do, so that the lanes
# end together.
python3 - "$RUNS" "$SEED" "$PARALLEL" "${#PROGRAMS[@]}" > "$WORK/plan" << 'PYTHON'
import random
import sys

runs, seed, lanes, programs = map(int, sys.argv[1:5])
rng = random.Random(seed)
# Start-up, the three titles, balls, rings and column, landscape, the end.
spans = [(0, 400), (500, 9500), (10500, 20500), (21500, 35500), (36500, 50500), None]
plan = []
for run in range(runs):
    span = spans[run % len(spans)]
    if span is None:
        plan.append((run, 0, 'none'))
        continue
    method = 'button' if span[0] == 0 else rng.choice(['escape', 'button'])
    plan.append((run, rng.randint(*span), method))
busy = [0] * lanes
for run, moment, method in sorted(plan, key=lambda p: -(51000 if p[2] == 'none' else p[1])):
    for program in range(programs):
        lane = busy.index(min(busy))
        busy[lane] += (51000 if method == 'none' else moment) + 3000  # plus start-up and close
        print(run, moment, method, program, lane)
PYTHON

one_run() {
    local run="$1" moment="$2" method="$3"
    trap cleanup EXIT
    PROGRAM="${PROGRAMS[$4]}"
    WORK="$WORK/$4-run$run"
    mkdir -p "$WORK"
    start_display
    start_program "/dev/null"
    wait_for_box
    local answer_ms request_ms end_ms
    answer_ms=$(now_ms)  # the show's clock cannot start before the click
    answer_no > /dev/null
    wait_for_window
    window_ms=$(now_ms)  # the show's clock starts after this
    case "$method" in
        none)
            request_ms=$((answer_ms + 51000))
            wait_program 70000 || fail "$(basename "$PROGRAM") run $run: the show did not end by itself"
            ;;
        *)
            MARK_MS=$answer_ms
            sleep_until_ms "$moment"
            program_running || fail "$(basename "$PROGRAM") run $run: ended before the request at $moment ms"
            if [ "$method" = escape ]; then press_escape; else click_close_button; fi
            request_ms=$(now_ms)  # the request has been delivered
            wait_program "$DEADLINE_MS" || no_end_in_time
            ;;
    esac
    end_ms=$(now_ms)
    [ "$PROGRAM_RC" -eq 0 ] || fail "$(basename "$PROGRAM") run $run ($method at $moment ms): exit code $PROGRAM_RC: $(cat "$WORK/program.err")"
    if grep -q "ThreadSanitizer" "$WORK/program.err"; then
        fail "$(basename "$PROGRAM") run $run ($method at $moment ms): ThreadSanitizer reported: $(cat "$WORK/program.err")"
    fi
    # Left alone, the show closes itself once its clock reaches 51 s. The
    # clock starts after the answer, and after the window was seen but for
    # the first second of sound and the renderer, made meanwhile: the end
    # comes no sooner than 51 s after the answer, and within the deadline
    # after 51 s from the window, plus START_ALLOWANCE_MS for that start-up.
    if [ "$method" = none ]; then
        [ "$end_ms" -ge "$request_ms" ] || fail "$(basename "$PROGRAM") run $run: ended by itself before second 51"
        request_ms=$((window_ms + 51000))
        [ $((end_ms - request_ms)) -le $((DEADLINE_MS + START_ALLOWANCE_MS)) ] ||
            fail "$(basename "$PROGRAM") run $run: ended $((end_ms - request_ms)) ms after second 51 from the window"
    fi
    echo "$(basename "$PROGRAM") run $run: $method at $moment ms: exit 0 after $((end_ms - request_ms)) ms"
}

# A program still running after the deadline: where its threads wait, and
# whether it ends in a second deadline's time, to tell a slow close from a
# hang.
no_end_in_time() {
    local state="$PROGRAM_STATE" threads later
    threads="$(program_threads)"
    later="still running after twice that"
    wait_program "$DEADLINE_MS" && later="ended $(($(now_ms) - request_ms)) ms after the request"
    fail "$(basename "$PROGRAM") run $run ($method at $moment ms): no end within $DEADLINE_MS ms" \
        "(state $state; threads: $threads); $later; its errors: $(tail -c 2000 "$WORK/program.err")"
}

# Where each thread of a program that does not end is waiting: name, state
# and kernel wait channel.
program_threads() {
    local task
    for task in /proc/"$PROGRAM_PID"/task/*; do
        echo -n "[$(cat "$task/comm" 2> /dev/null) $(cut -d' ' -f3 "$task/stat" 2> /dev/null) $(cat "$task/wchan" 2> /dev/null)] "
    done
}

pids=()
for lane in $(seq 0 $((PARALLEL - 1))); do
    (
        trap - EXIT
        while read -r run moment method program runs_in; do
            [ "$runs_in" -eq "$lane" ] || continue
            ( one_run "$run" "$moment" "$method" "$program" ) || exit 1
        done < "$WORK/plan"
    ) > "$WORK/lane$lane.log" 2>&1 &
    pids+=($!)
done
failed=0
for lane in "${!pids[@]}"; do
    wait "${pids[$lane]}" || failed=1
    cat "$WORK/lane$lane.log"
done
[ "$failed" -eq 0 ] || fail "some runs failed"
echo "$RUNS runs of each of ${PROGRAMS[*]##*/} ended with exit code 0 in time"
echo "PASS"
