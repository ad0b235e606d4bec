#!/usr/bin/env bash
# Builds the two SDL programs with ThreadSanitizer in their own build
# directory and closes each of them fifty times at moments drawn from a fixed
# seed, as the release build's system test does. Any report fails the run.
# The instrumented show starts and draws several times slower, so a close may
# take up to ten seconds here; the two-second limit is the release build's.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/shell-tsan"
flags="-fsanitize=thread -fno-omit-frame-pointer -g"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDX_SHELL=sdl \
  -DDX_BENCH=OFF -DDX_CAPTURE=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" > /dev/null
cmake --build "$build" -j "$(nproc)" --target dxvornik85 dxvornik85-sysmem grab_client send_close

export TSAN_OPTIONS="halt_on_error=0 second_deadlock_stack=1 suppressions=$root/tests/shell/tsan.supp"
for program in dxvornik85 dxvornik85-sysmem; do
  echo "=== $program (ThreadSanitizer): fifty closes"
  bash "$root/tests/shell/random_closes.sh" "$build/shell/sdl/$program" "$build/tests/shell" \
    50 "${DX_TSAN_PARALLEL:-4}" 85 10000
done
