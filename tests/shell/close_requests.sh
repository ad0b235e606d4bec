#!/usr/bin/env bash
# One way of answering the question or of ending the show, as a person would.
# Usage: close_requests.sh PROGRAM HELPERS SCENARIO
#   escape            No, then Escape in the running show: exit 0 within a second
#   close-button      No, then the window's close button: exit 0 within a second
#   cancel            Cancel: exit 0, no window ever opened
#   fullscreen-no-mode  Yes on a display without 800 x 600 at 60 Hz: exit 1, no message
#   without-zenity    the program finds no zenity on its PATH: the question is
#                     still asked, and No runs the show windowed
#   no-sound-device   a sound driver that does not exist: one box with SDL's
#                     reason, and exit code 1 once it is closed
#   resized           No, then the window made smaller than the frame: the
#                     show goes on (the second title follows the first), and
#                     Escape ends it with 0
PROGRAM="$1"
HELPERS="$2"
SCENARIO="$3"
# shellcheck source-path=SCRIPTDIR source=xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"
require_tools
start_display

# Fails if any top-level window but the allowed ones shows up before the program ends.
watch_windows_until_exit() {
    local limit_ms="$1" allowed="$2" line
    mark_time
    while program_running; do
        line="$(boxes | grep -Ev "$allowed" || true)"
        [ -z "$line" ] || fail "an unexpected window appeared: $line"
        [ "$(since_mark)" -le "$limit_ms" ] || fail "the program did not end within $limit_ms ms"
        sleep 0.05
    done
    wait_program 1000
}

run_then_request() {
    wait_for_window
    sleep 3
    program_running || fail "the show ended by itself"
    "$@"
    mark_time  # the request has been delivered
    wait_program 1000 || fail "the program did not end within a second of the request: $(cat "$WORK/program.err")"
    note "ended $(since_mark) ms after the request, exit code $PROGRAM_RC"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC"
}

case "$SCENARIO" in
    escape)
        start_program
        wait_for_box
        answer_no
        run_then_request press_escape
        ;;
    close-button)
        start_program
        wait_for_box
        answer_no
        run_then_request click_close_button
        ;;
    cancel)
        start_program
        wait_for_box
        answer_cancel
        watch_windows_until_exit 3000 "^$BOX_ID ${BOX_SIZE}\+"
        [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC after Cancel"
        ;;
    fullscreen-no-mode)
        start_program
        wait_for_box
        answer_yes
        watch_windows_until_exit 5000 "^$BOX_ID ${BOX_SIZE}\+|Brumvik"
        [ "$PROGRAM_RC" -eq 1 ] || fail "exit code $PROGRAM_RC, not 1, for a display without the mode"
        if grep -v "^CRITICAL" "$WORK/program.err" | grep -q .; then fail "a message: $(cat "$WORK/program.err")"; fi
        ;;
    without-zenity)
        [ -x /usr/bin/zenity ] || fail "zenity is not installed"
        mkdir -p "$WORK/empty-path"
        PATH="$WORK/empty-path" start_program
        wait_for_box
        answer_no
        run_then_request press_escape
        ;;
    no-sound-device)
        AUDIO_DRIVER=no-such-driver start_program
        wait_for_box
        answer_no  # the question box is gone once the answer is taken
        wait_for_window
        for _ in $(seq 400); do
            line="$(boxes | head -n1 || true)"
            [ -n "$line" ] && break
            program_running || fail "the program ended without a box (exit code $(wait "$PROGRAM_PID"; echo $?))"
            sleep 0.05
        done
        [ -n "$line" ] || fail "no box told of the missing sound device"
        take_box "$line"
        note "error box $BOX_ID: $(xprop -id "$BOX_ID" WM_NAME)"
        sleep 0.3
        click_button 0  # its one button, OK
        watch_windows_until_exit 10000 "Brumvik"
        [ "$PROGRAM_RC" -eq 1 ] || fail "exit code $PROGRAM_RC, not 1, after a failed sound device"
        ;;
    resized)
        start_program
        wait_for_box
        answer_no
        wait_for_window
        xdotool windowsize "$WINDOW_ID" 700 500
        sleep 0.5
        grab_client "$WORK/first.ppm"
        sleep 3.5  # past second 3, when the second title replaces the first
        grab_client "$WORK/second.ppm"
        ! cmp -s "$WORK/first.ppm" "$WORK/second.ppm" || fail "the picture stood still once the window was resized"
        program_running || fail "the program ended once the window was resized"
        run_then_request press_escape
        ;;
    *)
        fail "unknown scenario $SCENARIO"
        ;;
esac
echo "PASS"
