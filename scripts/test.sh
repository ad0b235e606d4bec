#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
# Exits non-zero when any test fails or when a stage runs no test at all.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh" --setup --wine

stage "native build and tests"
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" --no-tests=error

stage "ThreadSanitizer build of the Linux programs: fifty closes each"
scripts/test-shell-tsan.sh

stage "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" --no-tests=error -LE slow

for extra in scripts/test-fuzz.sh scripts/test-win32.sh scripts/test-web.sh; do
  if [ -x "$extra" ]; then
    stage "$extra"
    "$extra"
  fi
done
