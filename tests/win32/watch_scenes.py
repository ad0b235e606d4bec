#!/usr/bin/env python3
"""Watches the show in a Win32 program's window under Wine with the Linux
programs' watcher (tests/shell/watch_show.py), given shots of the window by
id. The show's clock is not taken from the first picture, which may reach the
screen seconds late while Wine maps the window, but from the first change of
title seen (second 3 or 6). Prints 'MARK <ms>', the wall-clock millisecond at which the
show's clock started. Usage: watch_scenes.py WINDOW_ID WORKDIR"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'shell'))
import pixels  # noqa: E402
import watch_show  # noqa: E402

# The first title turns into the second (green too) at second 3 of the
# show's clock, the second into the third (cyan) at second 6.
SECOND_TITLE_AT, THIRD_TITLE_AT = 3.0, 6.0


def grab(window, path):
    subprocess.run(['import', '-window', window, '-depth', '8', 'ppm:' + path], check=True)
    picture = pixels.Picture(path)
    if (picture.width, picture.height) != (800, 600):
        raise SystemExit(f'FAIL: the shot is {picture.width} x {picture.height}, not 800 x 600')
    return picture


def cyan(r, g, b):
    return r < 100 and g > 150 and b > 150


def wait_for_title_change(window, work):
    """The show's start, from the first change of title seen, and the title
    seen before it."""
    path = os.path.join(work, 'title.ppm')
    first = None
    deadline = time.time() + 30
    while time.time() < deadline:
        before = time.time()
        picture = grab(window, path)
        if first is None:
            if pixels.checks(picture, 'black')['lit pixels'][0] > 0:
                first = picture
                if not watch_show.report(first, 'title'):
                    raise SystemExit('FAIL: the first picture is not a green title')
        elif picture.data != first.data:
            if picture.count(range(800), range(280, 321), cyan) > 300:
                print('the first picture seen was the second title', flush=True)
                return before - THIRD_TITLE_AT, first
            if not watch_show.report(picture, 'title'):
                raise SystemExit('FAIL: the first title did not turn into the second')
            return before - SECOND_TITLE_AT, first
        time.sleep(0.02)
    raise SystemExit('FAIL: no title, or no change of title, within 30 s')


watch_show.grab = grab
watch_show.wait_for_first_picture = wait_for_title_change

if __name__ == '__main__':
    sys.exit(watch_show.main())
