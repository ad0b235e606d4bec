// Times whole frames of each scene in Debian's Chromium beside the same
// frames natively:
//   node measure_frames.mjs SCENE_FRAMES_WASM SCENE_BURSTS
// The native program (bench/perf/scene_bursts) and the page draw the same
// frames in bursts of 200, turn about, so that both meet the same spells of
// load on a shared machine. Prints, as JSON, for each scene the time per
// frame of every burst on either side, in microseconds.
import { createRequire } from 'node:module';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import readline from 'node:readline';

const require = createRequire(new URL('../../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const Burst = 200;
// Chromium compiles the module's hot functions again, optimised, while it
// runs them; until that is done (about two seconds of landscape frames on
// one processor) its bursts are up to twice as slow.
const WarmBursts = 12;
const Turns = 40;

const wasm = fs.readFileSync(process.argv[2]);
const native = spawn(process.argv[3], [], { stdio: ['pipe', 'pipe', 'inherit'] });
const nativeLines = readline.createInterface({ input: native.stdout })[Symbol.asyncIterator]();
async function nativeBurst(scene) {
  native.stdin.write(`${scene} ${Burst}\n`);
  const { value, done } = await nativeLines.next();
  if (done) throw new Error('the native program stopped');
  return Number(value.split(' ')[0]) / Burst;
}

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
await page.evaluate(async () => {
  const module = await WebAssembly.compileStreaming(fetch('frames.wasm'));
  const imports = {};
  for (const wanted of WebAssembly.Module.imports(module)) {
    imports[wanted.module] = imports[wanted.module] || {};
    imports[wanted.module][wanted.name] = () => { throw new Error(wanted.name); };
  }
  window.program = (await WebAssembly.instantiate(module, imports)).exports;
  window.program._initialize();
});
const webBurst = (scene, start) => page.evaluate(({ scene, start, frames }) => {
  if (start) window.program.StartScene(scene);
  const begin = performance.now();
  window.program.DrawFrames(frames);
  return ((performance.now() - begin) * 1000) / frames;
}, { scene, start, frames: Burst });

const scenes = { Titles: 0, Balls: 1, RingsColumn: 2, Landscape: 3 };
const out = {};
for (const [name, scene] of Object.entries(scenes)) {
  for (let burst = 0; burst < WarmBursts; ++burst) {
    await nativeBurst(scene);
    await webBurst(scene, burst === 0);
  }
  out[name] = { native: [], web: [] };
  for (let turn = 0; turn < Turns; ++turn) {
    out[name].native.push(await nativeBurst(scene));
    out[name].web.push(await webBurst(scene, false));
  }
}
console.log(JSON.stringify(out));
native.stdin.end();
await browser.close();
server.close();
