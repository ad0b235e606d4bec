#!/usr/bin/env python3
"""Watches the show in the program's window and checks that each scene
appears in its seconds: waits for the first picture (the first title), then
for the change to the second title, which happens at second 3 of the show's
clock and so tells when the clock started (the first frames may reach the
screen late while Wine maps the window). Then takes a shot inside each later
scene, retrying when a shot lands too near a scene change. The scenes are told
apart by the same pixel tests as the Linux programs' (tests/shell/pixels.py).
Prints 'MARK <ms>', the wall-clock millisecond at which the show's clock
started. Usage: watch_scenes.py WINDOW_ID WORKDIR"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'shell'))
import pixels  # noqa: E402

# Scene, first and last second of the show's clock in which it is shown.
SCHEDULE = [('balls', 10, 21), ('rings', 21, 36), ('landscape', 36, 51)]
MARGIN = 0.5  # seconds kept clear of each scene change
FIRST_PICTURE_LIMIT = 60  # seconds; the emulated 32-bit Wine starts slowly


def grab(window, path):
    subprocess.run(['import', '-window', window, '-depth', '8', 'ppm:' + path], check=True)
    return pixels.Picture(path)


def report(picture, scene):
    if (picture.width, picture.height) != (800, 600):
        print(f'{scene}: shot is {picture.width} x {picture.height}, not 800 x 600', flush=True)
        return False
    ok = True
    for name, (value, low, high) in pixels.checks(picture, scene).items():
        good = (low is None or value >= low) and (high is None or value <= high)
        ok = ok and good
        print(f'{scene}: {name}: {value} ({"ok" if good else "WRONG"})', flush=True)
    return ok


def wait_for_first_picture(window, work):
    path = os.path.join(work, 'first.ppm')
    deadline = time.time() + FIRST_PICTURE_LIMIT
    while time.time() < deadline:
        before = time.time()
        picture = grab(window, path)
        if pixels.checks(picture, 'black')['lit pixels'][0] > 0:
            return before, picture
        time.sleep(0.05)
    raise SystemExit(f'FAIL: nothing was drawn within {FIRST_PICTURE_LIMIT} s')


SECOND_TITLE_AT = 3.0  # seconds of the show's clock


def wait_for_second_title(window, work, first):
    """The wall-clock time at which the picture first differed from the first
    title, to within one grab."""
    path = os.path.join(work, 'second.ppm')
    deadline = time.time() + SECOND_TITLE_AT + 5
    while time.time() < deadline:
        before = time.time()
        picture = grab(window, path)
        if picture.data != first.data:
            return before, picture
        time.sleep(0.02)
    raise SystemExit('FAIL: the first title did not change within 8 s')


def main():
    window, work = sys.argv[1], sys.argv[2]
    _, picture = wait_for_first_picture(window, work)
    if not report(picture, 'title'):
        raise SystemExit('FAIL: the first picture is not the first title')
    changed, second = wait_for_second_title(window, work, picture)
    if not report(second, 'title'):
        raise SystemExit('FAIL: the picture after the first title is not a title')
    start = changed - SECOND_TITLE_AT
    print(f'MARK {int(start * 1000)}', flush=True)
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
    return 0


if __name__ == '__main__':
    sys.exit(main())
