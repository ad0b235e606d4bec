// One whole show of the web page in Debian's Chromium, with nothing else
// asked of the page while it plays:
//   node measure_show.mjs SITE_DIR
// Prints the frames drawn late (shown more than a refresh and a half after
// they were due), the worst lateness, the refreshes, the most frames one
// refresh drew, and the samples the audio worklet found missing.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const require = createRequire(new URL('../../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const site = process.argv[2];
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((request, response) => {
  const name = new URL(request.url, 'http://here').pathname;
  const file = path.join(site, name === '/' ? 'index.html' : path.normalize(name));
  fs.readFile(file, (error, data) => {
    response.writeHead(error ? 404 : 200, { 'content-type': types[path.extname(file)] || 'text/plain' });
    response.end(error ? '' : data);
  });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--autoplay-policy=no-user-gesture-required'],
});
const page = await browser.newPage();
await page.goto(`http://127.0.0.1:${server.address().port}/?fullscreen=no`);
await page.waitForFunction(() => window.dxvornik85.state === 'ended', null, { timeout: 90000, polling: 1000 });
const s = await page.evaluate(() => ({ ...window.dxvornik85, kept: null, recorded: null }));
console.log(`frames: ${s.frame + 1}, late: ${s.lateFrames} (worst ${(s.mostLate * 1000).toFixed(1)} ms), ` +
  `refreshes: ${s.refreshes} (longest interval ${s.longestRefresh.toFixed(1)} ms), at most ${s.mostPerRefresh} frames in one, samples missing: ${s.underruns}, ` +
  `${s.sampleRate} Hz`);
await browser.close();
server.close();
