#!/usr/bin/env bash
# The sound that reaches the device: SDL's disk driver writes what the device
# plays to a file. After the silence the device plays before the program
# starts it, the first second must equal, bit for bit, the song rendered by the
# capture tool at the same rate, and so must the refilled seconds after it up
# to the song's first noise note (3.4 s in): the noise voice draws from the
# random generator the render thread draws from too, so from there on the
# program's sound depends on how far the render thread had drawn.
# Usage: sound_stream.sh PROGRAM HELPERS CAPTURE-TOOL
PROGRAM="$1"
HELPERS="$2"
CAPTURE="$3"
# shellcheck source-path=SCRIPTDIR source=xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"
require_tools
[ -x "$CAPTURE" ] || fail "no capture tool at $CAPTURE"
start_display
start_program "$WORK/device.raw"
wait_for_box
answer_no
wait_for_window
sleep 7
press_escape
wait_program 2000 || fail "the program did not end after Escape"
[ "$PROGRAM_RC" -eq 0 ] || fail "exit code $PROGRAM_RC"

# The disk driver reports no rate of its own; the program then plays at 48000 Hz.
"$CAPTURE" --song-only --wav "$WORK/song.wav" --rate 48000 --seconds 10 || fail "the capture tool failed"
python3 - "$WORK/device.raw" "$WORK/song.wav" << 'PYTHON'
import struct
import sys

device = open(sys.argv[1], 'rb').read()
wav = open(sys.argv[2], 'rb').read()
at = wav.index(b'data')
size = struct.unpack('<I', wav[at + 4:at + 8])[0]
song = wav[at + 8:at + 8 + size]

# What the device played before playback started is silence; the song
# itself does not start with a zero sample.
samples = len(device) // 2
lead = 0
while lead < samples and device[2 * lead:2 * lead + 2] == b'\0\0':
    lead += 1
assert song[:2] != b'\0\0', 'the song starts with silence: the lead-in cannot be told apart'
played = device[2 * lead:]
print(f'device file: {samples} samples, {lead} of silence before the song')
second = 2 * 48000
checked = 3 * second
if len(played) < checked:
    sys.exit(f'FAIL: only {len(played) / second:.2f} s of song reached the device')
if played[:second] != song[:second]:
    first = next(i for i in range(second) if played[i] != song[i])
    sys.exit(f'FAIL: the first second differs from the capture at byte {first}')
if played[second:checked] != song[second:checked]:
    first = next(i for i in range(second, checked) if played[i] != song[i])
    sys.exit(f'FAIL: the refilled seconds differ from the capture at byte {first}')
print('the first three seconds reached the device bit for bit')
PYTHON
echo "PASS"
