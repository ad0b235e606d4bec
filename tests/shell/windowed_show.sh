#!/usr/bin/env bash
# Answers No and watches the whole show in its window: the client area's size
# and place, the window class and caption, one screenshot in each scene, and
# the end by itself with exit code 0 shortly after second 51.
# Usage: windowed_show.sh PROGRAM HELPERS
PROGRAM="$1"
HELPERS="$2"
# shellcheck source-path=SCRIPTDIR source=xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"
require_tools
start_display
start_program
wait_for_box
ANSWER_MS=$(date +%s%3N)  # the show's clock cannot start before the click
answer_no
wait_for_window

geometry="$(xwininfo -id "$WINDOW_ID")"
grep -q "Absolute upper-left X:  101" <<< "$geometry" || fail "window not at x 101: $geometry"
grep -q "Absolute upper-left Y:  101" <<< "$geometry" || fail "window not at y 101: $geometry"
grep -q "Width: 800" <<< "$geometry" || fail "client area not 800 wide: $geometry"
grep -q "Height: 600" <<< "$geometry" || fail "client area not 600 high: $geometry"
class="$(xprop -id "$WINDOW_ID" WM_CLASS)"
caption="$(xprop -id "$WINDOW_ID" WM_NAME)"
grep -q '"Brumvik", "Brumvik"' <<< "$class" || fail "class: $class"
grep -Eq '^WM_NAME\([A-Z0-9_]+\) = ("")?$' <<< "$caption" || fail "caption: $caption"
note "window $WINDOW_ID: 800 x 600 at (101, 101), class Brumvik, empty caption"

python3 "$HERE/watch_show.py" "$WINDOW_ID" "$WORK" | tee "$WORK/watch.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "the scenes were not shown in their seconds"
MARK_MS="$(sed -n 's/^MARK //p' "$WORK/watch.log")"

# The clock started after the answer and before the first picture was seen.
MARK_MS=$ANSWER_MS sleep_until_ms 47000
if ! program_running; then
    wait_program 1000 || true
    fail "the show ended before second 51: $(($(date +%s%3N) - ANSWER_MS)) ms after the answer, exit code $PROGRAM_RC: $(cat "$WORK/program.err")"
fi
wait_program 10000 || fail "the show did not end by itself"
END_MS=$(date +%s%3N)
note "ended $((END_MS - ANSWER_MS)) ms after the answer, $((END_MS - MARK_MS)) ms after the first picture, exit code $PROGRAM_RC"
[ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC: $(cat "$WORK/program.err")"
[ $((END_MS - ANSWER_MS)) -ge 51000 ] || fail "ended before second 51"
[ $((END_MS - MARK_MS)) -le 53500 ] || fail "ended later than shortly after second 51"
echo "PASS"
