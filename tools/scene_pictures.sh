#!/bin/sh
# Makes one picture of each scene of the show with the capture tool:
# titles.png (1.5 s), balls.png (15 s), rings.png (30 s), landscape.png (45 s).
# With 10 ms frames, the frame that starts at second t is frame 100 t + 1.
# usage: tools/scene_pictures.sh CAPTURE_BINARY DIR
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 CAPTURE_BINARY DIR" >&2
  exit 2
fi
capture=$1
dir=$2
mkdir -p "$dir"
work=$(mktemp -d "$dir/.scenes-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
"$capture" --frame-us 10000 --png-dir "$work" --frames 151,1501,3001,4501
mv "$work/frame-00151.png" "$dir/titles.png"
mv "$work/frame-01501.png" "$dir/balls.png"
mv "$work/frame-03001.png" "$dir/rings.png"
mv "$work/frame-04501.png" "$dir/landscape.png"
