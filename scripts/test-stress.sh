#!/usr/bin/env bash
# The Linux programs' stress runs: fifty closes at random moments, in the
# release build (ctest label stress) and in a ThreadSanitizer build. Run on a
# quiet machine; the timing limits assume the machine is not busy otherwise.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/setup.sh
cmake --preset native
cmake --build --preset native -j "$(nproc)"
ctest --preset native -L stress --no-tests=error
scripts/test-shell-tsan.sh
