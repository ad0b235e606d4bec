#!/usr/bin/env bash
# Installs what is missing, builds the native programs and runs the show:
# in a window when a display is present, otherwise captured to out/dxvornik85.mp4.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh" --setup
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/native/shell/sdl/dxvornik85 ]; then
  exec build/native/shell/sdl/dxvornik85
fi

mkdir -p out
echo "No display: capturing the show to out/dxvornik85.mp4"
exec build/native/tools/dxvornik85-capture --video out/dxvornik85.mp4
