#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
# Exits non-zero when any test fails or when a stage runs no test at all.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh" --setup --wine

# Runs a stage's script. One that is missing or cannot be run fails the run:
# a stage is never passed over.
run_stage_script() {
  local script="$1"
  stage "${2:-$script}"
  if [ ! -f "$script" ] || [ ! -x "$script" ]; then
    echo "FAIL: $script is missing or not executable" >&2
    exit 1
  fi
  "$script"
}

run_stage_script scripts/test-shellcheck.sh "shellcheck on every shell script"

stage "native build and tests"
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" --no-tests=error

run_stage_script scripts/test-shell-tsan.sh "ThreadSanitizer build of the Linux programs: fifty closes each"

stage "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" --no-tests=error -LE slow

for extra in scripts/test-fuzz.sh scripts/test-win32.sh scripts/test-web.sh; do
  run_stage_script "$extra"
done
