#!/usr/bin/env bash
# Whole frames of each scene in Chromium (the page's WebAssembly, built by
# the web preset) beside the same frames natively (perf_bench), in one run,
# both held to processor 1; and the sizes of the page's folder.
#   bench/web/measure-web-frames.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
jobs="$(nproc)"
cmake --preset web >/dev/null && cmake --build --preset web -j "$jobs" >/dev/null
cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs" --target perf_bench >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
taskset -c 1 build/native/bench/perf/perf_bench --benchmark_filter='(Titles|Balls|RingsColumn|Landscape)Frame' \
  --benchmark_repetitions=5 --benchmark_out="$out" --benchmark_out_format=json >/dev/null 2>&1
native="$(cat "$out")"
web="$(taskset -c 1 node bench/web/measure_frames.mjs build/web/bench/web/scene_frames_web.wasm)"

NATIVE="$native" WEB="$web" node -e '
  const native = {};
  for (const b of JSON.parse(process.env.NATIVE).benchmarks) {
    if (b.run_type !== "iteration") continue;
    const name = b.run_name.replace(/^BM_/, "").replace(/Frame$/, "");
    native[name] = Math.min(native[name] ?? Infinity, b.cpu_time);
  }
  const web = JSON.parse(process.env.WEB);
  console.log("scene         native us  Chromium us  ratio");
  for (const name of Object.keys(web)) {
    console.log(name.padEnd(12), native[name].toFixed(0).padStart(10), web[name].toFixed(0).padStart(12),
      (web[name] / native[name]).toFixed(2).padStart(6));
  }'
wasm=build/web/site/dxvornik85.wasm
echo "dxvornik85.wasm: $(stat -c %s "$wasm") bytes; the folder: $(du -cb build/web/site/* | tail -1 | cut -f1) bytes"
