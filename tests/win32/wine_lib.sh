# The Win32 programs under Wine on a private Xvfb display, driven as a person
# would: the start-up question answered with xdotool, screenshots of the
# window, Escape, exit codes, and the texts of Wine's message boxes (read from
# Wine's msgbox trace channel, which logs every box's text as it opens).
# Source it after setting WORK (a scratch directory), WINE64 (Wine's 64-bit
# loader) and WINE (the loader for the programs under test: wine for 32-bit
# programs, WINE64 for 64-bit ones); call wine_prepare once.
set -euo pipefail

WINE_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
XVFB_PID=""
PROGRAM_PID=""
PROGRAM_RC=""
PROGRAM_LOG=""

# Each check runs in a subshell of its own: a failure ends that check only.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() { echo "[$(date +%T.%3N)] $*"; }

stop_program() {
    if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2> /dev/null; then
        kill -9 "$PROGRAM_PID" 2> /dev/null || true
        wait "$PROGRAM_PID" 2> /dev/null || true
    fi
    PROGRAM_PID=""
}

wine_cleanup() {
    stop_program
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout 20 wineserver -k 2> /dev/null || true
    fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2> /dev/null || true; fi
    XVFB_PID=""
}

# Starts Xvfb on a display number it picks itself; $1 is WxHxDEPTH.
start_display() {
    local size="${1:-1024x768x24}"
    local numberfile="$WORK/display.$RANDOM"
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2> /dev/null || true; fi
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3> "$numberfile" 2> "$WORK/xvfb.log" &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$numberfile" ] && break
        sleep 0.05
    done
    [ -s "$numberfile" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$numberfile")"
}

# A Wine prefix of its own in WORK, a sound device that plays into ALSA's null
# device (the machine may have no sound card), and the GDI renderer for
# DirectDraw (Xvfb has no GPU; with OpenGL, Wine puts a GL surface over the
# window that GDI copies cannot be seen through).
wine_prepare() {
    export WINEPREFIX="$WORK/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export HOME="$WORK/home"
    mkdir -p "$HOME" "$WORK/nosound"
    cat > "$HOME/.asoundrc" << 'ALSA'
pcm.!default {
    type null
}
ctl.!default {
    type hw
    card 0
}
ALSA
    # No sound device at all: the default device names a card that does not exist.
    cat > "$WORK/nosound/.asoundrc" << 'ALSA'
pcm.!default {
    type hw
    card 99
}
ctl.!default {
    type hw
    card 99
}
ALSA
    # A 64-bit prefix runs 32-bit programs too (WoW64); creating it runs the
    # 32-bit half of Wine's set-up, which is slow where 32-bit code is emulated.
    export WINEARCH=win64
    note "creating the Wine prefix in $WINEPREFIX"
    timeout 900 "$WINE64" wineboot -i > "$WORK/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -5 "$WORK/wineboot.log")"
    timeout 120 "$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f \
        > "$WORK/reg.log" 2>&1 || fail "could not set the renderer: $(cat "$WORK/reg.log")"
    note "prefix ready"
}

# Starts a program; extra environment assignments may come before it.
# Wine's msgbox channel logs the text of every message box.
start_program() {
    PROGRAM_LOG="$WORK/program.$RANDOM.log"
    env WINEDEBUG=-all,+msgbox "$@" > "$PROGRAM_LOG" 2>&1 &
    PROGRAM_PID=$!
    PROGRAM_RC=""
}

start_exe() {
    local exe="$1"
    shift
    start_program "$@" "$WINE" "$exe"
}

program_running() { [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2> /dev/null; }

# Waits up to $1 seconds for the program to end; sets PROGRAM_RC. Returns 1 on time-out.
wait_program() {
    local deadline=$(($(date +%s) + $1))
    while program_running; do
        [ "$(date +%s)" -le "$deadline" ] || return 1
        sleep 0.1
    done
    set +e
    wait "$PROGRAM_PID"
    PROGRAM_RC=$?
    set -e
    PROGRAM_PID=""
    return 0
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
            read -r WINDOW_ID _ _ WINDOW_X WINDOW_Y <<< "$line"
            return 0
        fi
        program_running || fail "the program ended before its window; boxes: $(box_texts | tr '\n' '|')"
        sleep 0.1
    done
    fail "no 800 x 600 window within $1 s: $(program_windows | tr '\n' '|')"
}

press_escape_in_window() {
    xdotool windowfocus --sync "$WINDOW_ID" 2> /dev/null || true
    xdotool key --window "$WINDOW_ID" Escape
}

# The window's client area as an 800 x 600 binary PPM.
screenshot() { import -window "$WINDOW_ID" -depth 8 "ppm:$1"; }
