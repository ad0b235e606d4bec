// Times whole frames of each scene in Debian's Chromium:
//   node measure_frames.mjs SCENE_FRAMES_WASM
// Prints one line per scene: the least time per frame of several rounds, in
// microseconds, as JSON. The least, because the machine is shared.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';

const require = createRequire(new URL('../../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const wasm = fs.readFileSync(process.argv[2]);
const server = http.createServer((request, response) => {
  if (request.url === '/frames.wasm') {
    response.writeHead(200, { 'content-type': 'application/wasm' });
    response.end(wasm);
  } else {
    response.writeHead(200, { 'content-type': 'text/html' });
    response.end('<!DOCTYPE html><title>frames</title>');
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const page = await browser.newPage();
await page.goto(`http://127.0.0.1:${server.address().port}/`);
const results = await page.evaluate(async () => {
  const module = await WebAssembly.compileStreaming(fetch('frames.wasm'));
  const imports = {};
  for (const wanted of WebAssembly.Module.imports(module)) {
    imports[wanted.module] = imports[wanted.module] || {};
    imports[wanted.module][wanted.name] = () => { throw new Error(wanted.name); };
  }
  const program = (await WebAssembly.instantiate(module, imports)).exports;
  program._initialize();
  const scenes = { Titles: 0, Balls: 1, RingsColumn: 2, Landscape: 3 };
  const out = {};
  for (const [name, scene] of Object.entries(scenes)) {
    program.StartScene(scene);
    program.DrawFrames(100);
    let least = Infinity;
    for (let round = 0; round < 7; ++round) {
      const start = performance.now();
      program.DrawFrames(200);
      least = Math.min(least, ((performance.now() - start) * 1000) / 200);
    }
    out[name] = least;
  }
  return out;
});
console.log(JSON.stringify(results));
await browser.close();
server.close();
