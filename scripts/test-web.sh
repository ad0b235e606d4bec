#!/usr/bin/env bash
# The web page: builds its folder (preset web) and the capture tool, then
# drives the page in Debian's Chromium through playwright-core (installed
# with `npm ci` from tests/web/package-lock.json; no browser is downloaded)
# and compares its frames and samples with the capture tool's. A missing
# tool fails the stage.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

missing=""
for tool in node npm em++ convert /usr/bin/chromium; do
  command -v "$tool" >/dev/null || missing="$missing $tool"
done
if [ -n "$missing" ]; then
  echo "test-web: missing:$missing (scripts/setup.sh installs emscripten, chromium and imagemagick; node and npm come with the machine)" >&2
  exit 1
fi

cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target dxvornik85-capture

(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/web/round_test.mjs build/web/tests/web/round_check_web.wasm
node tests/web/page_test.mjs build/web/site build/native/tools/dxvornik85-capture
