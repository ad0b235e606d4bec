#!/bin/sh
# Instructions per frame of each scene, counted by callgrind: whole frames
# (RenderFrame on the virtual platform, the clear included), spread evenly
# over each scene; the set-up is not collected. Counts do not depend on what
# else the machine is doing. The clear's share (ClearFrameMemory and the
# StoreWholeFrame it calls, or memset in builds that cleared with it) is shown
# apart: callgrind counts every iteration of a string instruction, and
# memset's rep stosb came to 1.92 million per frame, one instruction to the
# processor. Valgrind offers the program no AVX-512, so the triangles it
# counts are walked row by row, not eight rows at a time.
#   bench/count-frame-instructions.sh [BUILD_DIR] [FRAMES_PER_SCENE] [SCENE...]
# BUILD_DIR defaults to build/native; FRAMES_PER_SCENE to 20 (0: every frame).
set -eu
build=${1:-build/native}
frames=${2:-20}
if [ $# -ge 2 ]; then shift 2; else shift $#; fi
scenes=${*:-titles balls rings landscape}
program=$build/bench/perf/frame_instructions
if [ ! -x "$program" ]; then
  echo "no $program: build the target frame_instructions first" >&2
  exit 1
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-10s %8s %16s %14s %14s %20s\n' scene frames instructions per_frame clear_share per_frame_no_clear
for scene in $scenes; do
  drawn=$(valgrind --tool=callgrind --collect-atstart=no \
            --callgrind-out-file="$out/$scene.out" "$program" "$scene" "$frames" 2>/dev/null)
  total=$(sed -n 's/^summary: *//p' "$out/$scene.out")
  clear=$(callgrind_annotate "$out/$scene.out" 2>/dev/null |
            awk '/memset|ClearFrameMemory|StoreWholeFrame/ { gsub(",", "", $1); sum += $1 } END { print sum + 0 }')
  printf '%-10s %8s %16s %14s %14s %20s\n' "$scene" "$drawn" "$total" "$((total / drawn))" \
    "$((clear / drawn))" "$(((total - clear) / drawn))"
done
