#!/usr/bin/env bash
# Builds the two SDL programs with ThreadSanitizer in their own build
# directory and closes each of them fifty times at the moments the release
# build's system test uses (same seed). Any report fails the run. The
# instrumented show starts and draws several times slower, and with eight
# shows side by side two cores are busy all the time: a close may take up to
# thirty seconds here (on a machine loaded by other work too, a few took ten),
# and the start-up before the show's clock ten; the two-second limit is the
# release build's.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build="$root/build/shell-tsan"
flags="-fsanitize=thread -fno-omit-frame-pointer -g"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDX_SHELL=sdl \
  -DDX_BENCH=OFF -DDX_CAPTURE=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" > /dev/null
cmake --build "$build" -j "$jobs" --target dxvornik85 dxvornik85-sysmem send_close

export TSAN_OPTIONS="halt_on_error=0 second_deadlock_stack=1"
echo "=== dxvornik85 and dxvornik85-sysmem (ThreadSanitizer): fifty closes each"
bash "$root/tests/shell/random_closes.sh" "$build/shell/sdl/dxvornik85,$build/shell/sdl/dxvornik85-sysmem" \
  "$build/tests/shell" 50 "${DX_TSAN_PARALLEL:-8}" 85 30000 10000
