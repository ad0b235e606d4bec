#!/bin/bash
# The whole show through the capture tool, timed run by run: with no output
# (every frame and the sound, nothing encoded), with a WAV file, with PNG
# frames (encoded on every core) and with an MP4 video (when ffmpeg is
# there). Prints real time, CPU time and the cores the run kept busy.
#   bench/run-capture-bench.sh [BUILD_DIR] [RUNS]
# BUILD_DIR defaults to build/native, RUNS (per kind, the best is shown) to 3.
set -eu
build=${1:-build/native}
runs=${2:-3}
capture=$build/tools/dxvornik85-capture
if [ ! -x "$capture" ]; then
  echo "no $capture: build the target dxvornik85-capture first" >&2
  exit 1
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# One kind of run, RUNS times; keeps the fastest (least real time).
measure() {
  label=$1
  shift
  best=""
  i=0
  while [ "$i" -lt "$runs" ]; do
    rm -rf "$out/png" "$out/show.wav" "$out/show.mp4"
    mkdir -p "$out/png"
    # bash's own timer: real, and user and system time of the child.
    line=$( { TIMEFORMAT='%R %U %S'; time "$capture" "$@" >/dev/null 2>"$out/stderr"; } 2>&1 ) || {
      echo "$label: the capture failed:" >&2
      cat "$out/stderr" >&2
      return 1
    }
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best=$line
    fi
    i=$((i + 1))
  done
  set -- $best
  cores=$(awk -v r="$1" -v u="$2" -v s="$3" 'BEGIN { printf "%.2f", (u + s) / r }')
  printf '%-22s %8s s real %8s s user %6s s sys %6s cores\n' "$label" "$1" "$2" "$3" "$cores"
}

echo "capture of the whole show (10 ms frames), best of $runs; $(nproc) cores"
measure "no output" 
measure "WAV" --wav "$out/show.wav"
measure "PNG frames" --png-dir "$out/png"
if command -v ffmpeg >/dev/null 2>&1; then
  measure "video (MP4)" --video "$out/show.mp4"
else
  echo "video: no ffmpeg"
fi
