#!/usr/bin/env bash
# Whole frames of each scene in Chromium (the page's WebAssembly, built by
# the web preset) beside the same frames natively (scene_bursts), in one
# run, both held to processor 1; and the sizes of the page's folder.
#   bench/web/measure-web-frames.sh            (ROUNDS=N for other than 3 browsers)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
jobs="$(nproc)"
cmake --preset web >/dev/null && cmake --build --preset web -j "$jobs" >/dev/null
cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs" --target scene_bursts >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

# Each round starts a browser and the native program, which draw the same
# bursts of 200 frames turn about (measure_frames.mjs). This machine's speed
# changes by a fifth from one second to the next, so a burst is set beside
# its native twin of a moment before: the ratio is the median of the
# bursts' own ratios, and the times are the medians of the bursts.
rounds="${ROUNDS:-3}"
runs="$(mktemp -d)"
trap 'rm -rf "$runs"' EXIT
for ((round = 0; round < rounds; ++round)); do
  taskset -c 1 node bench/web/measure_frames.mjs build/web/bench/web/scene_frames_web.wasm \
    build/native/bench/perf/scene_bursts >"$runs/round-$round.json"
done

RUNS="$runs" node -e '
  const fs = require("fs");
  const bursts = {};
  for (const file of fs.readdirSync(process.env.RUNS)) {
    const run = JSON.parse(fs.readFileSync(process.env.RUNS + "/" + file, "utf8"));
    for (const [name, times] of Object.entries(run)) {
      const all = bursts[name] || (bursts[name] = { native: [], web: [], ratios: [] });
      times.native.forEach((native, i) => {
        all.native.push(native);
        all.web.push(times.web[i]);
        all.ratios.push(times.web[i] / native);
      });
    }
  }
  const sorted = (values) => [...values].sort((x, y) => x - y);
  const at = (values, share) => sorted(values)[Math.floor(share * (values.length - 1))];
  console.log("scene         native us  Chromium us  ratio  (middle half of the bursts)");
  for (const [name, all] of Object.entries(bursts)) {
    console.log(name.padEnd(12), at(all.native, 0.5).toFixed(0).padStart(10), at(all.web, 0.5).toFixed(0).padStart(12),
      at(all.ratios, 0.5).toFixed(2).padStart(6), " (" + at(all.ratios, 0.25).toFixed(2) + " to " +
      at(all.ratios, 0.75).toFixed(2) + ", " + all.ratios.length + " bursts)");
  }'
wasm=build/web/site/dxvornik85.wasm
echo "dxvornik85.wasm: $(stat -c %s "$wasm") bytes; the folder: $(du -cb build/web/site/* | tail -1 | cut -f1) bytes"
