# shellcheck shell=bash
# Shared by the system tests of the shell: a private Xvfb display, the program
# started on it, the start-up question answered as a person would (pointer and
# keys through xdotool), screenshots and exit-code checks. Source it; the
# caller sets PROGRAM (the program under test) and HELPERS (the directory of
# send_close), and may set WORK (a scratch dir).
set -euo pipefail

# shellcheck disable=SC2034  # read by the tests that source this file: their helpers lie beside it
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
WORK="${WORK:-$(mktemp -d)}"
SERVER_PID=""
PROGRAM_PID=""
PROGRAM_RC=""
PROGRAM_STATE=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() { echo "[$(date +%T.%3N)] $*"; }

# A missing tool is a failed test, never a skipped one. The arguments, if
# any, name the tools a test needs besides the common ones.
# shellcheck disable=SC2120  # most callers pass none
require_tools() {
    local tool
    for tool in Xvfb xdotool xwininfo xprop import python3 "$HELPERS/send_close" "$@"; do
        command -v "$tool" > /dev/null || fail "$tool is not installed (see scripts/packages.txt)"
    done
}

cleanup() {
    if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2> /dev/null; then kill -9 "$PROGRAM_PID" 2> /dev/null || true; fi
    if [ -n "$SERVER_PID" ]; then kill "$SERVER_PID" 2> /dev/null || true; fi
}
trap cleanup EXIT

# Starts an X server on a display number of its own, drawn from FIRST up to
# FIRST + SPAN - 1, so that tests can run side by side: runs LAUNCH with the
# display (":N") as its first argument, its output in $WORK/xserver.log, until
# one answers. Sets SERVER_PID and exports DISPLAY; returns 1 when none starts.
start_x_server() {  # FIRST SPAN LAUNCH...
    local first="$1" span="$2" number
    shift 2
    # Side-by-side lanes are forks of one shell and would draw the same numbers.
    RANDOM=$((BASHPID ^ 10#$(date +%N) % 32768))
    for _ in $(seq 20); do
        number=$((first + RANDOM % span))
        [ -e "/tmp/.X$number-lock" ] && continue
        "$1" ":$number" "${@:2}" > "$WORK/xserver.log" 2>&1 &
        SERVER_PID=$!
        for _ in $(seq 300); do
            kill -0 "$SERVER_PID" 2> /dev/null || break
            # Ours only if the lock names our server: another may have won the number.
            if [ "$(tr -dc 0-9 2> /dev/null < "/tmp/.X$number-lock")" = "$SERVER_PID" ] &&
                DISPLAY=":$number" xprop -root > /dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.05
        done
        kill "$SERVER_PID" 2> /dev/null || true
        wait "$SERVER_PID" 2> /dev/null || true
    done
    return 1
}

# Starts Xvfb away from the low numbers a desktop or another tool would take.
# -noreset: a server that regenerates as its last client leaves refuses the
# connections that come during it, such as the program's own.
# shellcheck disable=SC2120  # the size is optional
start_display() {
    start_x_server 200 700 Xvfb -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset ||
        fail "Xvfb did not start: $(cat "$WORK/xserver.log")"
}

# Starts the program with its sound going to a file through SDL's disk driver
# (or through AUDIO_DRIVER when that is set).
# shellcheck disable=SC2120  # the sound file is optional
start_program() {
    local audio="${1:-$WORK/audio.raw}"
    SDL_AUDIODRIVER="${AUDIO_DRIVER:-disk}" SDL_DISKAUDIOFILE="$audio" "$PROGRAM" > "$WORK/program.out" 2> "$WORK/program.err" &
    PROGRAM_PID=$!
}

# Sets PROGRAM_STATE to the program's state letter from /proc (R, S, D, Z,
# ...), or to nothing once the process is gone; builtins alone, no fork.
read_program_state() {
    local stat=""
    read -r stat 2> /dev/null < "/proc/$PROGRAM_PID/stat" || true
    stat="${stat##*) }"  # past the name in parentheses, which may hold spaces
    PROGRAM_STATE="${stat%% *}"
}

# An ended program stays a zombie (state Z) until this shell reaps it, and a
# zombie still answers `kill -0`; a loop of builtins may not reap it before
# its next fork. So the state is asked instead.
program_running() {
    read_program_state
    [ -n "$PROGRAM_STATE" ] && [ "$PROGRAM_STATE" != Z ]
}

# Waits up to $1 milliseconds for the program to end; sets PROGRAM_RC.
# Returns 1 on time-out: only once the program has been seen still running
# after the limit. The clock is read before each look, so a look that finds
# the program ended says only that it ended after the look before: when this
# shell itself was kept from running (a busy machine can hold one process
# back for seconds), the time on return says nothing about when the program
# ended. The loop looks every 10 ms, with builtins only: many shows side by
# side would otherwise fork thousands of sleeps and clocks. (`wait -n` on the
# program and a timer was tried: now and then it missed a program that had
# already ended and waited out the whole limit.)
wait_program() {
    local limit_ms="$1" start_us now_us
    start_us=${EPOCHREALTIME/./}
    [ -n "${NAP_FD:-}" ] || exec {NAP_FD}<> <(:)  # a pipe nobody writes: read -t naps
    for (( ; ; )); do
        now_us=${EPOCHREALTIME/./}
        program_running || break
        [ $(((now_us - start_us) / 1000)) -le "$limit_ms" ] || return 1
        read -r -t 0.01 -u "$NAP_FD" _ || true
    done
    set +e
    wait "$PROGRAM_PID"
    # shellcheck disable=SC2034  # read by the tests that source this file
    PROGRAM_RC=$?
    set -e
}

# The top-level windows as "id WxH+X+Y class" lines.
top_windows() {
    xwininfo -root -children 2> /dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .*(\(.*\))  *\([0-9]*x[0-9]*+-*[0-9]*+-*[0-9]*\).*/\1 \3 \2/p'
}

# The boxes: top-level windows of a box's size that are not the show's
# (SDL and zenity also make tiny helper windows of their own).
boxes() {
    top_windows | grep -v Brumvik | awk '{ split($2, size, /[x+]/); if (size[1] >= 100 && size[2] >= 50) print }'
}

# Remembers a box from its top_windows line. A box is known by its window id
# and its size together: each box is a client of its own, and the server
# hands a box that comes after another the id the first one had, often
# within the same tenth of a second.
take_box() {
    BOX_ID="${1%% *}"
    read -r BOX_W BOX_H BOX_X BOX_Y <<< "$(echo "$1" | awk '{print $2}' | tr 'x+' '  ')"
    BOX_SIZE="${BOX_W}x$BOX_H"
}

# The remembered box's line while it is still shown.
box_line() {
    top_windows | awk -v id="$BOX_ID" -v size="$BOX_SIZE" '$1 == id && index($2, size "+") == 1' | head -n1
}

# Waits for the question box.
wait_for_box() {
    local line
    for _ in $(seq 200); do
        line="$(boxes | head -n1 || true)"
        if [ -n "$line" ]; then
            take_box "$line"
            sleep 0.3  # let it draw its buttons
            return 0
        fi
        program_running || fail "the program ended before its question (rc: $(wait "$PROGRAM_PID"; echo $?)); $(cat "$WORK/program.err")"
        sleep 0.05
    done
    fail "no question box appeared"
}

# The box's three buttons lie side by side under the text, 90 pixels apart:
# Yes, No, Cancel. Clicked, as a person would; keys are not used, since
# Escape in SDL's own box makes SDL fall back to a second box from zenity.
# A box that is mapped but not yet listening misses the click: click again
# while it is still there.
click_button() {  # offset of the button's centre from the box's centre line
    local line
    for _ in $(seq 10); do
        # The box may still be moved into place after it first shows: aim at
        # where it is now.
        line="$(box_line)"
        [ -n "$line" ] || return 0
        take_box "$line"
        xdotool mousemove "$((BOX_X + BOX_W / 2 + $1))" "$((BOX_Y + BOX_H - 27))" click 1
        for _ in $(seq 40); do
            [ -n "$(box_line)" ] || return 0
            sleep 0.05
        done
    done
    fail "the question box did not take the click"
}

# Where SDL's own box fails after it was shown, SDL asks again through
# zenity, whose box has the same three buttons: answer that one the same way.
answer() {
    local offset="$1" line
    for _ in 1 2; do
        click_button "$offset"
        for _ in $(seq 60); do
            program_running || return 0
            top_windows | grep -q Brumvik && return 0
            line="$(boxes | grep -i zenity | head -n1 || true)"
            if [ -n "$line" ]; then
                note "a second box asks again"
                wait_for_box
                continue 2
            fi
            sleep 0.05
        done
        return 0
    done
}
answer_yes() { answer -90; note "answered Yes"; }
answer_no() { answer 0; note "answered No"; }
answer_cancel() { answer 90; note "answered Cancel"; }

# What a window manager sends when the window's close button is clicked.
click_close_button() { "$HELPERS/send_close" "$WINDOW_ID"; }

# Writes the 800 x 600 area at (101, 101) of the screen, where the client
# area lies, as a binary PPM (a few tens of milliseconds).
grab_client() { import -window root -crop 800x600+101+101 -depth 8 "ppm:$1"; }

window_id() { xdotool search --class Brumvik 2> /dev/null | head -n1; }

wait_for_window() {  # up to 30 s: an instrumented build loads its libraries slowly
    for _ in $(seq 600); do
        WINDOW_ID="$(window_id || true)"
        [ -n "$WINDOW_ID" ] && return 0
        program_running || fail "the program ended before its window (rc $(wait "$PROGRAM_PID"; echo $?)): $(cat "$WORK/program.err")"
        sleep 0.05
    done
    fail "no window of class Brumvik appeared"
}

# Keys go where the pointer is (no window manager): keep it on the window.
press_escape() { xdotool mousemove 500 400 key Escape; }

# Milliseconds since the reference mark set by mark_time.
# The shell's own clock: with many shows side by side, starting a program
# just to read the time can take longer than what is being timed.
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
mark_time() { MARK_MS=$(now_ms); }
since_mark() { echo $(($(now_ms) - MARK_MS)); }
sleep_until_ms() {  # milliseconds after the mark
    local left=$(($1 - $(since_mark)))
    [ "$left" -le 0 ] || sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
}

