#!/usr/bin/env bash
# Whole frames of each scene in Chromium (the page's WebAssembly, built by
# the web preset) beside the same frames natively (perf_bench), in one run,
# both held to processor 1; and the sizes of the page's folder.
#   bench/web/measure-web-frames.sh            (ROUNDS=N for other than 3 turns each)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
jobs="$(nproc)"
cmake --preset web >/dev/null && cmake --build --preset web -j "$jobs" >/dev/null
cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs" --target perf_bench >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

# Native and Chromium take turns, ROUNDS times (3 by default), and each
# scene keeps its least time on either side: on a shared machine the two
# then meet the same spells of load.
rounds="${ROUNDS:-3}"
runs="$(mktemp -d)"
trap 'rm -rf "$runs"' EXIT
for ((round = 0; round < rounds; ++round)); do
  taskset -c 1 build/native/bench/perf/perf_bench --benchmark_filter='(Titles|Balls|RingsColumn|Landscape)Frame' \
    --benchmark_repetitions=5 --benchmark_out="$runs/native-$round.json" --benchmark_out_format=json >/dev/null 2>&1
  taskset -c 1 node bench/web/measure_frames.mjs build/web/bench/web/scene_frames_web.wasm >"$runs/web-$round.json"
done

RUNS="$runs" node -e '
  const fs = require("fs");
  const native = {}, web = {};
  const least = (table, name, time) => { table[name] = Math.min(table[name] ?? Infinity, time); };
  for (const file of fs.readdirSync(process.env.RUNS)) {
    const run = JSON.parse(fs.readFileSync(process.env.RUNS + "/" + file, "utf8"));
    if (file.startsWith("web")) {
      for (const [name, time] of Object.entries(run)) least(web, name, time);
      continue;
    }
    for (const b of run.benchmarks) {
      if (b.run_type === "iteration") least(native, b.run_name.replace(/^BM_/, "").replace(/Frame$/, ""), b.cpu_time);
    }
  }
  console.log("scene         native us  Chromium us  ratio");
  for (const name of Object.keys(web)) {
    console.log(name.padEnd(12), native[name].toFixed(0).padStart(10), web[name].toFixed(0).padStart(12),
      (web[name] / native[name]).toFixed(2).padStart(6));
  }'
wasm=build/web/site/dxvornik85.wasm
echo "dxvornik85.wasm: $(stat -c %s "$wasm") bytes; the folder: $(du -cb build/web/site/* | tail -1 | cut -f1) bytes"
