#!/usr/bin/env bash
# Closes the show at moments drawn from a fixed seed: during start-up, in
# every scene, and by itself at second 51, with Escape or the close button.
# Every run must end with exit code 0 within DEADLINE-MS of its request, and
# (for a ThreadSanitizer build) without any report. Runs go side by side,
# each on its own Xvfb display.
# Usage: random_closes.sh PROGRAM HELPERS RUNS PARALLEL SEED DEADLINE-MS
PROGRAM="$1"
HELPERS="$2"
RUNS="$3"
PARALLEL="$4"
SEED="$5"
DEADLINE_MS="$6"
source "$(dirname "$0")/xvfb_lib.sh"
require_tools

# One line per run: index, moment in ms after the answer, and how it is closed
# (escape, button, or none: left to close itself at second 51).
python3 - "$RUNS" "$SEED" > "$WORK/plan" << 'PYTHON'
import random
import sys

runs, seed = int(sys.argv[1]), int(sys.argv[2])
rng = random.Random(seed)
# Start-up, the three titles, balls, rings and column, landscape, the end.
spans = [(0, 400), (500, 9500), (10500, 20500), (21500, 35500), (36500, 50500), None]
for run in range(runs):
    span = spans[run % len(spans)]
    if span is None:
        print(run, 0, 'none')
        continue
    method = 'button' if span[0] == 0 else rng.choice(['escape', 'button'])
    print(run, rng.randint(*span), method)
PYTHON

one_run() {
    local run="$1" moment="$2" method="$3"
    trap cleanup EXIT
    WORK="$WORK/run$run"
    mkdir -p "$WORK"
    start_display
    start_program "/dev/null"
    wait_for_box
    local answer_ms request_ms end_ms
    answer_ms=$(date +%s%3N)  # the show's clock cannot start before the click
    answer_no > /dev/null
    case "$method" in
        none)
            request_ms=$((answer_ms + 51000))
            wait_program 60000 || fail "run $run: the show did not end by itself"
            ;;
        *)
            wait_for_window
            MARK_MS=$answer_ms
            sleep_until_ms "$moment"
            program_running || fail "run $run: ended before the request at $moment ms"
            if [ "$method" = escape ]; then press_escape; else click_close_button; fi
            request_ms=$(date +%s%3N)  # the request has been delivered
            wait_program "$DEADLINE_MS" || fail "run $run ($method at $moment ms): no end within $DEADLINE_MS ms"
            ;;
    esac
    end_ms=$(date +%s%3N)
    [ "$PROGRAM_RC" -eq 0 ] || fail "run $run ($method at $moment ms): exit code $PROGRAM_RC: $(cat "$WORK/program.err")"
    if grep -q "ThreadSanitizer" "$WORK/program.err"; then
        fail "run $run ($method at $moment ms): ThreadSanitizer reported: $(cat "$WORK/program.err")"
    fi
    # Left alone, the show closes itself once its clock, started after the
    # answer, reaches 51 s: not before, and within the deadline after it plus
    # the start-up before the clock (a window, a second of sound rendered),
    # which on a busy machine takes a few seconds.
    if [ "$method" = none ]; then
        [ "$end_ms" -ge "$request_ms" ] || fail "run $run: ended by itself before second 51"
        [ $((end_ms - request_ms)) -le $((DEADLINE_MS + 6000)) ] || fail "run $run: ended $((end_ms - request_ms)) ms after second 51"
    fi
    echo "run $run: $method at $moment ms: exit 0 after $((end_ms - request_ms)) ms"
}

sleep_until_ms() {
    local left=$(($1 - $(since_mark)))
    [ "$left" -le 0 ] || sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
}

# Each lane takes every PARALLEL-th run of the plan.
pids=()
for lane in $(seq 0 $((PARALLEL - 1))); do
    (
        trap - EXIT
        while read -r run moment method; do
            [ $((run % PARALLEL)) -eq "$lane" ] || continue
            ( one_run "$run" "$moment" "$method" ) || exit 1
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
echo "$RUNS runs ended with exit code 0 in time"
echo "PASS"
