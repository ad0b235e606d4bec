#!/usr/bin/env python3
"""Watches the show in the demo's window on $DISPLAY and checks that each scene
appears in its seconds: waits for the first picture (which must be the first
title; the show's clock starts there), then takes a shot inside each later
scene, retrying when a shot lands too near a scene change. A shot that could
only be taken after its scene is over fails: the machine is then too slow to
tell. Prints the wall-clock millisecond at which the first picture was seen.
Usage: watch_show.py WINDOW WORKDIR [X,Y] (WINDOW is for the Win32 watcher's
grab; here the shot is the 800 x 600 area of the screen at X,Y, the client
area's place: 101,101 in a window, 0,0 full screen)"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixels  # noqa: E402

# Scene, first and last second of the show's clock in which it is shown.
SCHEDULE = [('balls', 10, 21), ('rings', 21, 36), ('landscape', 36, 51)]
MARGIN = 0.4  # seconds kept clear of each scene change


ORIGIN = sys.argv[3].split(',') if len(sys.argv) > 3 else ['101', '101']


def grab(_window, path):
    subprocess.run(['import', '-window', 'root', '-crop', f'800x600+{ORIGIN[0]}+{ORIGIN[1]}', '-depth', '8',
                    'ppm:' + path], check=True)
    return pixels.Picture(path)


def report(picture, scene):
    results = pixels.checks(picture, scene)
    ok = True
    for name, (value, low, high) in results.items():
        good = (low is None or value >= low) and (high is None or value <= high)
        ok = ok and good
        print(f'{scene}: {name}: {value} ({"ok" if good else "WRONG"})', flush=True)
    return ok


def wait_for_first_picture(window, work):
    path = os.path.join(work, 'first.ppm')
    deadline = time.time() + 15
    while time.time() < deadline:
        picture = grab(window, path)
        values = pixels.checks(picture, 'black')['lit pixels']
        if values[0] > 0:
            return time.time(), picture
        time.sleep(0.01)
    raise SystemExit('FAIL: nothing was drawn within 15 s')


def main():
    window, work = sys.argv[1], sys.argv[2]
    start, picture = wait_for_first_picture(window, work)
    print(f'first picture at {int(start * 1000)}', flush=True)
    if not report(picture, 'title'):
        raise SystemExit('FAIL: the first picture is not the first title')
    for scene, first, last in SCHEDULE:
        target = start + (first + last) / 2 - 2
        while True:
            time.sleep(max(0.0, target - time.time()))
            before = time.time() - start
            picture = grab(window, os.path.join(work, scene + '.ppm'))
            after = time.time() - start
            print(f'{scene}: shot between {before:.2f} s and {after:.2f} s', flush=True)
            if before >= first + MARGIN and after <= last - MARGIN:
                if not report(picture, scene):
                    raise SystemExit(f'FAIL: the shot does not show the {scene}')
                break
            if after > last - MARGIN:
                raise SystemExit(f'FAIL: no shot could be taken inside the {scene} scene')
            target = time.time() + 0.2
    print(f'MARK {int(start * 1000)}', flush=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
