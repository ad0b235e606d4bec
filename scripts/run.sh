#!/usr/bin/env bash
# Installs what is missing, builds the native programs and runs the show:
# in a window when a display is present, otherwise captured to out/dxvornik85.mp4.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/native/shell/sdl/dxvornik85 ]; then
  exec build/native/shell/sdl/dxvornik85
fi

mkdir -p out
echo "No display: capturing the show to out/dxvornik85.mp4"
exec build/native/tools/dxvornik85-capture --video out/dxvornik85.mp4
