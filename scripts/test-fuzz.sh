#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and fuzzes the song image check and player for about a minute from a seed
# corpus holding the built-in song. Exits non-zero on any crash or report.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
seconds="${DX_FUZZ_SECONDS:-60}"

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs" --target song_fuzz song_fuzz_seeds

bin="build/fuzz/fuzz"
work="build/fuzz/fuzz-work"
rm -rf "$work"
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"
"$bin/song_fuzz_seeds" "$work/seeds"

# New inputs go to the scratch corpus; the seeds stay as written.
"$bin/song_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=4096 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$work/seeds"
echo "test-fuzz: no crash in ${seconds} s"
