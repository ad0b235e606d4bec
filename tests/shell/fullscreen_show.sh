#!/usr/bin/env bash
# Answers Yes and watches the show full screen on X servers with real display
# modes (Xorg's dummy driver: a 1024 x 768 desktop that also offers 800 x 600
# at 60 Hz), with and without a window manager: the mode switched to
# 800 x 600, the window covering the screen from its corner, every scene in
# its place on the screen and in its seconds, and the desktop's mode given
# back at the end. Every program runs every scenario, all side by side, each
# on an X server of its own, stopped when it ends, passed or failed.
# Usage: fullscreen_show.sh PROGRAM[,PROGRAM...] HELPERS SCENARIO...
#   show-bare       no window manager: the show ends by itself with exit code 0
#   show-openbox    the same under openbox
#   escape-bare     no window manager: Escape in the landscape ends the show
#                   within 2 s with exit code 0
#   escape-openbox  the same under openbox
#   focus           under openbox, another window is activated during the
#                   titles and then the show's again: the show is seen again
#                   and ends by itself with exit code 0
IFS=, read -r -a PROGRAMS <<< "$1"
HELPERS="$2"
shift 2
# shellcheck source-path=SCRIPTDIR source=xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"
require_tools Xorg openbox xrandr xmessage
DESKTOP_MODE=1024x768_60
OPENBOX_PID=""
OTHER_PID=""

stop_lane() {
    if [ -n "$OTHER_PID" ]; then kill "$OTHER_PID" 2> /dev/null || true; fi
    if [ -n "$OPENBOX_PID" ]; then kill "$OPENBOX_PID" 2> /dev/null || true; fi
    cleanup
    # The server is gone, and its display number free, once it has been reaped.
    if [ -n "$SERVER_PID" ]; then wait "$SERVER_PID" 2> /dev/null || true; fi
}

# Starts Xorg on a display number of its own from 60 up, below the Xvfb
# displays of the other tests. Side by side, the servers share the console
# and never switch to another: a server switched away from stops drawing.
# The configuration folder is an empty one, so that the machine's own
# snippets do not change the server.
start_xorg() {
    mkdir -p "$WORK/xorg.conf.d"
    start_x_server 60 140 Xorg -config "$HERE/dummy_xorg.conf" -configdir "$WORK/xorg.conf.d" -noreset \
        -nolisten tcp -sharevts -novtswitch -logfile "$WORK/xorg.log" ||
        fail "Xorg did not start: $(cat "$WORK/xserver.log") $(grep -F '(EE)' "$WORK/xorg.log" 2> /dev/null)"
}

start_openbox() {
    local i
    openbox > "$WORK/openbox.log" 2>&1 &
    OPENBOX_PID=$!
    for i in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    fail "openbox did not start: $(cat "$WORK/openbox.log")"
}

# The current mode as "NAME RATE", the rate rounded to whole hertz.
current_mode() {
    xrandr --current | awk '/\*/ { for (i = 2; i <= NF; i++) if ($i ~ /\*/) { sub(/[*+]+/, "", $i); printf "%s %.0f\n", $1, $i } }'
}

expect_mode() {  # NAME-PREFIX RATE WHEN
    local mode
    mode="$(current_mode)"
    [[ "$mode" == "$1"*" $2" ]] || fail "$3: the mode is \"$mode\", not $1 at $2 Hz"
}

# Under openbox the box has the keyboard and Return answers Yes, its default
# button; without a window manager it gets no focus, and Yes is clicked.
answer_yes_as_a_viewer() {
    local i
    if [ -z "$OPENBOX_PID" ]; then
        answer_yes
        return
    fi
    # Only the show's window proves the answer: openbox may still be placing
    # the box (so it can vanish from its old place) or not yet have given it
    # the keyboard when the first Return comes, and a lost Return is pressed
    # again, as a viewer would.
    for _ in $(seq 10); do
        xdotool key Return
        for i in $(seq 40); do
            if [ -n "$(window_id || true)" ]; then
                note "answered Yes with Return"
                return 0
            fi
            program_running || return 0
            sleep 0.05
        done
    done
    fail "the question box did not take Return"
}

# The window covers the screen: at its corner, and as large as the screen.
expect_window_covers_screen() {
    local geometry root
    geometry="$(xwininfo -id "$WINDOW_ID")"
    root="$(xwininfo -root)"
    if ! grep -q "Absolute upper-left X:  0$" <<< "$geometry" || ! grep -q "Absolute upper-left Y:  0$" <<< "$geometry" ||
        ! grep -q "Width: 800$" <<< "$geometry" || ! grep -q "Height: 600$" <<< "$geometry"; then
        fail "$1: the window is not 800 x 600 at (0, 0): $(grep -E 'Absolute|Width|Height' <<< "$geometry" | tr -s ' \n' ' ')"
    fi
    if ! grep -q "Width: 800$" <<< "$root" || ! grep -q "Height: 600$" <<< "$root"; then
        fail "$1: the screen is not 800 x 600: $(grep -E 'Width|Height' <<< "$root" | tr -s ' \n' ' ')"
    fi
}

active_window() { printf '0x%x' "$(xdotool getactivewindow 2> /dev/null || echo 0)"; }

# Another window is made the active one, then the show's window again, as a
# viewer switching away and back would.
take_focus_away_and_back() {
    local other
    xmessage -geometry 800x600+0+0 "another window" > /dev/null 2>&1 &
    OTHER_PID=$!
    other="$(timeout 10 xdotool search --sync --class Xmessage | head -n1)" || fail "the other window did not appear"
    timeout 10 xdotool windowactivate --sync "$other" || fail "the other window could not be activated"
    [ "$(active_window)" = "$(printf '0x%x' "$other")" ] || fail "the other window is not the active one"
    note "activated another window"
    sleep 1
    program_running || fail "the show ended when it lost the focus"
    timeout 10 xdotool windowactivate --sync "$WINDOW_ID" || fail "the show's window could not be activated again"
    note "activated the show's window again"
    expect_mode 800x600 60 "after the focus came back"
    expect_window_covers_screen "after the focus came back"
}

# The scenes are watched on the whole screen; returns once the landscape has
# been seen, at second 41.5 of the show. Sets FIRST_MS to when the first
# picture was seen.
watch_scenes() {
    python3 "$HERE/watch_show.py" "$WINDOW_ID" "$WORK" 0,0 > "$WORK/watch.log" 2>&1 &
    local watcher=$! i
    if [ "$1" = focus ]; then
        for i in $(seq 400); do
            grep -q '^first picture' "$WORK/watch.log" && break
            sleep 0.05
        done
        take_focus_away_and_back
        # The watcher's shot of the balls must come after the focus is back.
        [ $(($(now_ms) - $(sed -n 's/^first picture at //p' "$WORK/watch.log"))) -le 9000 ] ||
            fail "the focus came back only after the titles"
    fi
    wait "$watcher" || { cat "$WORK/watch.log"; fail "the scenes were not shown in their places and seconds"; }
    cat "$WORK/watch.log"
    FIRST_MS="$(sed -n 's/^MARK //p' "$WORK/watch.log")"
}

one_scenario() {
    local scenario="$1" answer_ms end_ms i
    PROGRAM="$2"
    WORK="$WORK/$(basename "$PROGRAM")-$scenario"
    mkdir -p "$WORK"
    trap stop_lane EXIT
    start_xorg
    case "$scenario" in *-openbox | focus) start_openbox ;; esac
    note "$scenario on $DISPLAY, $(current_mode)"
    expect_mode "$DESKTOP_MODE" 60 "the desktop"
    start_program /dev/null
    wait_for_box
    answer_ms=$(now_ms)  # the show's clock cannot start before the answer
    answer_yes_as_a_viewer
    wait_for_window
    for i in $(seq 100); do
        [[ "$(current_mode)" == 800x600* ]] && break
        sleep 0.05
    done
    expect_mode 800x600 60 "full screen"
    expect_window_covers_screen "full screen"
    note "mode $(current_mode); window $WINDOW_ID 800 x 600 at (0, 0)"
    watch_scenes "$scenario"

    case "$scenario" in
        escape-*)
            [ $(($(now_ms) - FIRST_MS)) -le 49000 ] || fail "the landscape was over before Escape could be pressed"
            press_escape
            mark_time
            wait_program 2000 || fail "Escape did not end the show within 2 s"
            end_ms=$(now_ms)
            note "ended $(since_mark) ms after Escape, exit code $PROGRAM_RC"
            ;;
        *)
            wait_program 20000 || fail "the show did not end by itself"
            end_ms=$(now_ms)
            note "ended $((end_ms - answer_ms)) ms after the answer, $((end_ms - FIRST_MS)) ms after the first picture, exit code $PROGRAM_RC"
            [ $((end_ms - answer_ms)) -ge 51000 ] || fail "ended before second 51"
            [ $((end_ms - FIRST_MS)) -le 53500 ] || fail "ended later than shortly after second 51"
            ;;
    esac
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC: $(cat "$WORK/program.err")"
    expect_mode "$DESKTOP_MODE" 60 "after the end"
    note "$scenario: exit code 0, the desktop's mode $(current_mode) back, $((end_ms - answer_ms)) ms after the answer"
}

lanes=()
pids=()
for program in "${PROGRAMS[@]}"; do
    for scenario in "$@"; do
        lanes+=("$(basename "$program")-$scenario")
        ( one_scenario "$scenario" "$program" ) > "$WORK/${lanes[-1]}.log" 2>&1 &
        pids+=($!)
    done
done
failed=0
for i in "${!pids[@]}"; do
    echo "--- ${lanes[$i]}"
    wait "${pids[$i]}" || failed=1
    cat "$WORK/${lanes[$i]}.log"
done
[ "$failed" -eq 0 ] || fail "some scenarios failed"
echo "PASS"
