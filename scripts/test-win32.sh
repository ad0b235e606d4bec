#!/usr/bin/env bash
# The Win32 stage: builds dxvornik85.exe and dxvornik85-sysmem.exe with
# MinGW-w64 (i686) and their zip, checks what they link, runs the show's
# portable code of the 32-bit build under Wine and compares its frames and
# samples with the native build's, bit for bit, and drives the programs under
# Wine on a private Xvfb display as a person would: the question answered,
# the window's place and size, every scene on screen in its seconds, Escape,
# Cancel, the end by itself, and the messages and exit codes when DirectSound,
# DirectDraw or the sound device is missing; full screen, Yes ends with exit
# code 1 on the bare display, which has no modes to switch to, and runs the
# show in a Wine virtual desktop, which takes the mode's size.
#
# Where the kernel runs no 32-bit code, Wine's 32-bit half runs under
# qemu-i386 (scripts/i386-binfmt.sh); one native wineserver and the prefix's
# 64-bit processes serve every run, so only the program itself is emulated.
# Prints "N passed, N failed"; exits non-zero when a check fails.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh" --setup --wine

stage "win32: MinGW-w64 build (i686)"
# DX_WIN32_BUILD and DX_NATIVE_BUILD name other build directories.
build="${DX_WIN32_BUILD:-$root/build/win32}"
native="${DX_NATIVE_BUILD:-$root/build/native}"
cmake --preset win32 -B "$build" > /dev/null
cmake --build "$build" -j "$jobs"
exes=("$build/shell/win32/dxvornik85.exe" "$build/shell/win32/dxvornik85-sysmem.exe")
show_dump_exe="$build/tests/win32/show-dump.exe"
checks_exe="$build/tests/win32/dxvornik85-win32-checks.exe"

stage "win32: native show-dump for the comparison"
cmake --preset native -B "$native" > /dev/null
cmake --build "$native" -j "$jobs" --target show-dump
show_dump_native="$native/tests/win32/show-dump"

WORK="$(mktemp -d /tmp/dxvornik85-win32.XXXXXX)"
export WORK
source "$root/tests/win32/wine_lib.sh"
# The scratch directory (a Wine prefix of some 500 MB) is kept only for a failed run.
trap 'wine_cleanup; if [ "${failed:-1}" -eq 0 ]; then rm -rf "$WORK"; fi' EXIT

passed=0
failed=0
# Runs one check in a subshell with its output in the log; a failure ends
# that check only.
check() {
    local name="$1"
    shift
    note "check: $name"
    set +e
    ( set -e; "$@" )
    local rc=$?
    set -e
    stop_program
    if [ "$rc" -eq 0 ]; then
        passed=$((passed + 1))
        echo "  ok: $name"
    else
        failed=$((failed + 1))
        echo "  FAILED: $name"
    fi
}

# --- What is handed out ------------------------------------------------------

deliverables_link_only_system_libraries() {
    local exe headers imports texts
    for exe in "${exes[@]}"; do
        headers="$(i686-w64-mingw32-objdump -f -p "$exe")"
        grep -q "file format pei-i386" <<< "$headers" || fail "$exe is not a 32-bit PE program"
        grep -q "Subsystem.*Windows GUI" <<< "$headers" || fail "$exe is not a GUI program"
        imports="$(sed -n 's/^\s*DLL Name: //p' <<< "$headers" | tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ')"
        [ "$imports" = "gdi32.dll kernel32.dll msvcrt.dll user32.dll " ] || fail "$exe imports: $imports"
        texts="$(strings -a "$exe")"
        grep -qx "DDraw.dll" <<< "$texts" || fail "$exe does not name DDraw.dll"
        grep -qx "DSound.dll" <<< "$texts" || fail "$exe does not name DSound.dll"
        [ "$(stat -c %s "$exe")" -le 262144 ] || fail "$exe is larger than 256 KiB: $(stat -c %s "$exe") bytes"
        note "$(basename "$exe"): $(stat -c %s "$exe") bytes, imports $imports"
    done
}

zip_holds_both_programs() {
    local listing
    listing="$(unzip -Z1 "$build/dxvornik85-win32.zip" | sort | tr '\n' ' ')"
    [ "$listing" = "dxvornik85/ dxvornik85/README.txt dxvornik85/dxvornik85-sysmem.exe dxvornik85/dxvornik85.exe " ] ||
        fail "zip holds: $listing"
    unzip -p "$build/dxvornik85-win32.zip" dxvornik85/dxvornik85.exe | cmp - "${exes[0]}" || fail "zipped program differs"
    grep -q $'\r$' <<< "$(unzip -p "$build/dxvornik85-win32.zip" dxvornik85/README.txt)" ||
        fail "README.txt lacks Windows line ends"
    note "dxvornik85-win32.zip: $(stat -c %s "$build/dxvornik85-win32.zip") bytes"
}

stage "win32: the programs as handed out"
check "both programs are 32-bit GUI programs of at most 256 KiB that link only system libraries" deliverables_link_only_system_libraries
check "the zip holds both programs and the README" zip_holds_both_programs

# --- Under Wine ----------------------------------------------------------------

stage "win32: Wine prefix and display"
start_display 1024x768x24
wine_prepare

# Digests of every frame at 0.25 s steps and of the streamed samples at three rates.
same_frames_and_samples_as_native() {
    "$show_dump_native" > "$WORK/dump-native.txt"
    timeout 300 wine "$show_dump_exe" > "$WORK/dump-wine.txt" 2> "$WORK/dump-wine.err" ||
        fail "show-dump under Wine: $(cat "$WORK/dump-wine.err")"
    [ "$(grep -c ' scene *[0-9]* drawn ' "$WORK/dump-native.txt")" -eq 211 ] ||
        fail "outputs missing: $(cat "$WORK/dump-native.txt")"
    [ "$(grep -c '^samples' "$WORK/dump-native.txt")" -eq 3 ] ||
        fail "outputs missing: $(cat "$WORK/dump-native.txt")"
    diff <(tr -d '\r' < "$WORK/dump-wine.txt") "$WORK/dump-native.txt" || fail "digests differ"
    note "identical: 211 frames, samples at 3 rates"
}

platform_checks() {
    timeout 300 wine "$checks_exe" > "$WORK/checks.$1.txt" 2>&1 || true
    tr -d '\r' < "$WORK/checks.$1.txt" | grep -v '^[0-9a-f]*:\(fixme\|err\|warn\)' || true
    grep -qx "[0-9]* passed, 0 failed" <<< "$(tr -d '\r' < "$WORK/checks.$1.txt")" || fail "platform checks failed"
}

# Answers No and watches the whole show: the window's client area, one shot
# in each scene, and the end by itself with exit code 0 after second 51.
windowed_show() {
    start_windowed "$1"
    # Wine's X window is the client area; it lies inside the window whose
    # top-left corner is at (101, 101), offset by the frame and caption.
    [ "$WINDOW_X" -ge 101 ] || fail "client area at x $WINDOW_X"
    [ "$WINDOW_X" -le 120 ] || fail "client area at x $WINDOW_X"
    [ "$WINDOW_Y" -ge 101 ] || fail "client area at y $WINDOW_Y"
    [ "$WINDOW_Y" -le 150 ] || fail "client area at y $WINDOW_Y"
    note "client area 800 x 600 at ($WINDOW_X, $WINDOW_Y)"
    python3 "$root/tests/win32/watch_scenes.py" "$WINDOW_ID" "$WORK" | tee "$WORK/watch.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the scenes were not shown in their seconds"
    local mark closed
    mark="$(sed -n 's/^MARK //p' "$WORK/watch.log")"
    # The window goes once the close protocol that the request of second 51
    # starts has joined both workers and restored the display mode, which
    # takes Wine about two seconds on Xvfb; the process ends after that.
    while xwininfo -id "$WINDOW_ID" 2> /dev/null | grep -q IsViewable; do
        [ $(($(date +%s%3N) - mark)) -le 90000 ] || fail "the window was still open at second 90"
        sleep 0.05
    done
    closed=$(($(date +%s%3N) - mark))
    wait_program 30000 || fail "the program did not end after its window closed"
    note "window closed $closed ms after the show's clock started; exit code $PROGRAM_RC"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC"
    [ "$closed" -ge 50500 ] || fail "closed before second 51"
    [ "$closed" -le 56000 ] || fail "closed long after second 51"
}

# Escape pressed three times: three close requests, one close protocol.
escape_ends_with_0() {
    start_windowed "$1"
    sleep 3
    press_escape_in_window
    xdotool key --window "$WINDOW_ID" Escape Escape 2> /dev/null || true
    note "pressed Escape"
    wait_program 30000 || fail "Escape did not end the program"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC after Escape"
    [ "$(box_texts | wc -l)" -eq 1 ] || fail "boxes: $(box_texts | tr '\n' '|')"
}

cancel_ends_with_0() {
    start_exe "$1"
    wait_for_box 60 "Fullscreen?"
    press_in_box Escape
    note "answered Cancel"
    wait_program 30000 || fail "Cancel did not end the program"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC after Cancel"
    if grep -q "Brumvik\|800x600" <<< "$(xwininfo -root -children)"; then fail "a window was left"; fi
}

# The ALSA default device names a card that does not exist: Wine offers
# DirectSound no device, the creation fails and its text is shown.
no_sound_device_ends_with_1() {
    start_exe "$1" HOME="$WORK/nosound"
    wait_for_box 60 "Fullscreen?"
    press_in_box n
    wait_for_box 60 "An invalid parameter was passed to the returning function."
    press_in_box Return
    wait_program 30000 || fail "the program did not end after the sound failure"
    [ "$PROGRAM_RC" -eq 1 ] || fail "exit code $PROGRAM_RC"
    note "DirectSound's text shown, exit code 1"
}

missing_library_ends_with_1() {
    local exe="$1" dll="$2"
    start_exe "$exe" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${dll,,}=d"
    wait_for_box 60 "$dll.dll could not be loaded."
    press_in_box Return
    wait_program 30000 || fail "the program did not end after the message"
    [ "$PROGRAM_RC" -eq 1 ] || fail "exit code $PROGRAM_RC"
    if grep -q "Fullscreen?" <<< "$(box_texts)"; then fail "the question was asked"; fi
    note "\"$dll.dll could not be loaded.\" shown, exit code 1"
}

stage "win32: the portable code of the 32-bit build under Wine"
check "show-dump.exe (i686) under Wine gives the native frames and samples" same_frames_and_samples_as_native
check "platform checks on a 32-bit desktop" platform_checks 24

stage "win32: the programs under Wine"
for exe in "${exes[@]}"; do
    name="$(basename "$exe")"
    check "$name: windowed show, every scene, ends by itself with 0" windowed_show "$exe"
    check "$name: Escape ends with 0" escape_ends_with_0 "$exe"
    check "$name: Cancel ends with 0 and no window" cancel_ends_with_0 "$exe"
done
check "no sound device: DirectSound's text and exit code 1" no_sound_device_ends_with_1 "${exes[0]}"
check "DirectSound disabled: the missing library named, exit code 1" missing_library_ends_with_1 "${exes[0]}" DSound
check "DirectDraw disabled: the missing library named, exit code 1" missing_library_ends_with_1 "${exes[1]}" DDraw

# --- Full screen ----------------------------------------------------------------

# On a bare Xvfb DirectDraw cannot change the display mode: Yes ends the
# program with exit code 1 and no message.
fullscreen_without_the_mode_ends_with_1() {
    start_exe "$1"
    wait_for_box 60 "Fullscreen?"
    press_in_box y
    note "answered Yes"
    wait_program 30000 || fail "the program did not end after the failed mode switch"
    [ "$PROGRAM_RC" -eq 1 ] || fail "exit code $PROGRAM_RC"
    [ "$(box_texts | wc -l)" -eq 1 ] || fail "boxes: $(box_texts | tr '\n' '|')"
}

# In a Wine virtual desktop the mode can change: Wine makes the desktop the
# mode's size. The program answers Yes as a person would (y to the box in
# the desktop, which has the keyboard), the desktop becomes 800 x 600, and
# the show is watched in it, every scene where it lies full screen: the
# frame's corner at the screen's. Sets DESKTOP_ID.
start_fullscreen_in_desktop() {
    local i
    DESKTOP_ID=""
    start_exe "$1"
    for i in $(seq 600); do
        grep -qxF "Fullscreen?" <<< "$(box_texts)" && DESKTOP_ID="$(desktop_window)" && [ -n "$DESKTOP_ID" ] && break
        program_running || fail "the program ended before its question; boxes: $(box_texts | tr '\n' '|')"
        sleep 0.1
    done
    [ -n "$DESKTOP_ID" ] || fail "no question in a desktop within 60 s; boxes: $(box_texts | tr '\n' '|')"
    sleep 0.5  # let the box draw its buttons and take the focus
    for i in $(seq 300); do
        if [ "$((i % 50))" -eq 1 ]; then
            xdotool windowfocus --sync "$DESKTOP_ID" 2> /dev/null || true
            xdotool key y
        fi
        [ "$(desktop_size)" = "800x600" ] && break
        program_running || fail "the program ended (exit code $(wait "$PROGRAM_PID"; echo $?)) instead of switching the mode"
        sleep 0.1
    done
    [ "$(desktop_size)" = "800x600" ] || fail "the desktop is $(desktop_size) 30 s after Yes, not 800x600"
    note "answered Yes; the desktop is 800 x 600"
}

desktop_window() { xdotool search --name "^$DESKTOP_NAME - Wine desktop\$" 2> /dev/null | head -n1; }
desktop_size() {
    xwininfo -id "$DESKTOP_ID" 2> /dev/null | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }'
}

fullscreen_show_in_desktop() {
    start_fullscreen_in_desktop "$1"
    python3 "$root/tests/win32/watch_scenes.py" "$DESKTOP_ID" "$WORK" | tee "$WORK/watch.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the scenes were not shown full screen in their seconds"
    local mark ended
    mark="$(sed -n 's/^MARK //p' "$WORK/watch.log")"
    wait_program 60000 || fail "the show did not end by itself"
    ended=$(($(date +%s%3N) - mark))
    note "ended $ended ms after the show's clock started; exit code $PROGRAM_RC"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC"
    [ "$ended" -ge 50500 ] || fail "ended before second 51"
}

fullscreen_escape_ends_with_0() {
    start_fullscreen_in_desktop "$1"
    sleep 3
    xdotool windowfocus --sync "$DESKTOP_ID" 2> /dev/null || true
    xdotool key Escape
    note "pressed Escape"
    wait_program 30000 || fail "Escape did not end the program"
    [ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC after Escape"
}

stage "win32: full screen"
for exe in "${exes[@]}"; do
    check "$(basename "$exe"): Yes without the mode ends with 1" fullscreen_without_the_mode_ends_with_1 "$exe"
done
# Every program started from now on opens in a 1024 x 768 virtual desktop,
# and what `wine` returns is the program's own exit code (`wine explorer
# /desktop=...` would return the desktop's).
DESKTOP_NAME=dxvornik85
use_virtual_desktop() {
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$DESKTOP_NAME" /t REG_SZ /d 1024x768 /f &&
        "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d "$DESKTOP_NAME" /f
}
use_virtual_desktop > "$WORK/desktop.log" 2>&1 || note "no virtual desktop: $(cat "$WORK/desktop.log")"
for exe in "${exes[@]}"; do
    name="$(basename "$exe")"
    check "$name: full screen in a virtual desktop, every scene, ends by itself with 0" fullscreen_show_in_desktop "$exe"
    check "$name: full screen, Escape ends with 0" fullscreen_escape_ends_with_0 "$exe"
done
"$WINE64" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f > /dev/null 2>&1 || true

stage "win32: a 16-bit desktop"
kill "$SERVER_PID" 2> /dev/null || true
start_display 1024x768x16
start_wineserver
check "platform checks on a 16-bit desktop" platform_checks 16

echo
echo "win32: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
