# shellcheck shell=bash
# The Win32 programs under Wine on a private Xvfb display, driven as a person
# would: the start-up question answered with xdotool, screenshots of the
# window, Escape, exit codes, and the texts of Wine's message boxes (read from
# Wine's msgbox trace channel, which logs every box's text as it opens).
# Builds on the shell's system-test library (display, fail, note,
# wait_program). Source it after setting WORK (a scratch directory); call
# wine_prepare once.
set -euo pipefail

WINE_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source-path=SCRIPTDIR source=../shell/xvfb_lib.sh
source "$WINE_LIB_DIR/../shell/xvfb_lib.sh"
PROGRAM_LOG=""
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINESERVER

stop_program() {
    if program_running; then
        kill -9 "$PROGRAM_PID" 2> /dev/null || true
        wait "$PROGRAM_PID" 2> /dev/null || true
    fi
    PROGRAM_PID=""
}

wine_cleanup() {
    stop_program
    if [ -n "${WINEPREFIX:-}" ]; then timeout 20 "$WINESERVER" -k 2> /dev/null || true; fi
    cleanup
}

# One wineserver serves every run, 64- and 32-bit: the prefix's own processes
# (services, the desktop) start once and run natively, and only the program
# under test is a 32-bit process. It is started again for a new display.
start_wineserver() {
    timeout 20 "$WINESERVER" -k 2> /dev/null || true
    timeout 20 "$WINESERVER" -w 2> /dev/null || true
    "$WINESERVER" -p
    timeout 120 "$WINE64" wineboot > "$WORK/wineboot.log" 2>&1 || fail "Wine did not start: $(tail -5 "$WORK/wineboot.log")"
}

# A 64-bit Wine prefix of its own in WORK (it runs 32-bit programs too), a
# sound device that plays into ALSA's null device (the machine may have no
# sound card), and the GDI renderer for DirectDraw (Xvfb has no GPU; with
# OpenGL, Wine puts a GL surface over the window that GDI copies cannot be
# seen through).
wine_prepare() {
    export WINEPREFIX="$WORK/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export HOME="$WORK/home"
    unset WINELOADER
    mkdir -p "$HOME" "$WORK/nosound"
    printf 'pcm.!default {\n    type null\n}\nctl.!default {\n    type hw\n    card 0\n}\n' > "$HOME/.asoundrc"
    # No sound device at all: the default device names a card that does not exist.
    printf 'pcm.!default {\n    type hw\n    card 99\n}\nctl.!default {\n    type hw\n    card 99\n}\n' \
        > "$WORK/nosound/.asoundrc"
    note "creating the Wine prefix in $WINEPREFIX"
    timeout 900 "$WINE64" wineboot -i > "$WORK/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -5 "$WORK/wineboot.log")"
    timeout 120 "$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f \
        > "$WORK/reg.log" 2>&1 || fail "could not set the renderer: $(cat "$WORK/reg.log")"
    start_wineserver
    note "prefix ready"
}

# Starts a Win32 program under Wine; extra environment assignments may come
# before it. Wine's msgbox channel logs the text of every message box.
start_exe() {
    local exe="$1"
    shift
    PROGRAM_LOG="$WORK/program.$RANDOM.log"
    env WINEDEBUG=-all,+msgbox "$@" wine "$exe" > "$PROGRAM_LOG" 2>&1 &
    PROGRAM_PID=$!
    # shellcheck disable=SC2034  # read by the tests that source this file
    PROGRAM_RC=""
}

# The program's visible top-level X windows, as "id width height x y" lines.
program_windows() {
    local id geometry
    for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2> /dev/null); do
        geometry="$(xwininfo -id "$id" 2> /dev/null)" || continue
        echo "$id $(sed -n 's/^ *Width: //p' <<< "$geometry") $(sed -n 's/^ *Height: //p' <<< "$geometry")" \
            "$(sed -n 's/^ *Absolute upper-left X: *//p' <<< "$geometry")" \
            "$(sed -n 's/^ *Absolute upper-left Y: *//p' <<< "$geometry")"
    done
}

# The texts of the message boxes opened so far, one per line.
box_texts() { sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$PROGRAM_LOG"; }

# Waits up to $1 seconds for a message box with text $2 (a fixed string);
# sets BOX_ID to its window.
wait_for_box() {
    local limit="$1" text="$2" deadline line
    deadline=$(($(date +%s) + limit))
    BOX_ID=""
    while [ "$(date +%s)" -le "$deadline" ]; do
        if grep -qxF -- "$text" <<< "$(box_texts)"; then
            line="$(program_windows | awk '$2 < 800 || $3 < 600' | head -n1)"
            if [ -n "$line" ]; then
                BOX_ID="${line%% *}"
                sleep 0.5  # let it draw its buttons and take the focus
                return 0
            fi
        fi
        program_running || fail "the program ended (rc $(wait "$PROGRAM_PID"; echo $?)) before the box \"$text\"; boxes: $(box_texts | tr '\n' '|')"
        sleep 0.1
    done
    fail "no box \"$text\" within $limit s; boxes: $(box_texts | tr '\n' '|')"
}

# A key to the box, as a person would type it (n = No, Escape = Cancel,
# Return = the default button).
press_in_box() {
    xdotool windowfocus --sync "$BOX_ID" 2> /dev/null || true
    xdotool key --window "$BOX_ID" "$1"
}

# Waits up to $1 seconds for the program's 800 x 600 window (Wine's X window
# is the client area); sets WINDOW_ID, WINDOW_X, WINDOW_Y.
wait_for_window() {
    local deadline=$(($(date +%s) + $1)) line
    while [ "$(date +%s)" -le "$deadline" ]; do
        line="$(program_windows | awk '$2 == 800 && $3 == 600' | head -n1)"
        if [ -n "$line" ]; then
            # shellcheck disable=SC2034  # the place is read by the tests that source this file
            read -r WINDOW_ID _ _ WINDOW_X WINDOW_Y <<< "$line"
            return 0
        fi
        program_running || fail "the program ended before its window; boxes: $(box_texts | tr '\n' '|')"
        sleep 0.1
    done
    fail "no 800 x 600 window within $1 s: $(program_windows | tr '\n' '|')"
}

# Starts the program, answers No and waits for its window.
start_windowed() {
    start_exe "$1"
    wait_for_box 60 "Fullscreen?"
    press_in_box n
    note "answered No"
    wait_for_window 60
}

press_escape_in_window() {
    xdotool windowfocus --sync "$WINDOW_ID" 2> /dev/null || true
    xdotool key --window "$WINDOW_ID" Escape
}
