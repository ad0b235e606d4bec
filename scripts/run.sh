#!/usr/bin/env bash
# Installs what is missing, builds the native programs and runs the show:
# in a window when a display is present, otherwise captured to out/dxvornik85.mp4.
# With --web: builds the web page's folder and serves it at a local address
# (PORT, default 8085) until Ctrl-C.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh" --setup

if [ "${1:-}" = "--web" ]; then
  cmake --preset web >/dev/null
  cmake --build --preset web -j "$jobs"
  port="${PORT:-8085}"
  echo "The show: http://127.0.0.1:$port/  (the folder: build/web/site; Ctrl-C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site
fi
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/native/shell/sdl/dxvornik85 ]; then
  exec build/native/shell/sdl/dxvornik85
fi

mkdir -p out
echo "No display: capturing the show to out/dxvornik85.mp4"
exec build/native/tools/dxvornik85-capture --video out/dxvornik85.mp4
