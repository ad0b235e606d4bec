// The web page in Debian's Chromium, driven through playwright-core:
//   node page_test.mjs SITE_DIR CAPTURE_TOOL
// The question's three answers, the messages for what a browser may lack,
// and one whole show whose frames and samples must equal the capture tool's,
// computed now from the same sources.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const [siteDir, captureTool] = process.argv.slice(2);
if (!siteDir || !captureTool) {
  console.error('usage: node page_test.mjs SITE_DIR CAPTURE_TOOL');
  process.exit(2);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'dxvornik85-web-'));
const Width = 800;
const Height = 600;
const FrameSeconds = 0.01;

let failures = 0;
function check(ok, what, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${!ok && detail ? `: ${detail}` : ''}`);
  if (!ok) ++failures;
  return ok;
}

// ---- a static server and the browser ---------------------------------------

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((request, response) => {
  const name = new URL(request.url, 'http://here').pathname;
  const file = path.join(siteDir, name === '/' ? 'index.html' : path.normalize(name));
  fs.readFile(file, (error, data) => {
    if (error) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(file)] || 'application/octet-stream' });
    response.end(data);
  });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const site = `http://127.0.0.1:${server.address().port}/`;

// Sound without a click, as an embedding page may have it, except where a
// test asks for a browser that wants one.
const launch = (clickForSound) => chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', ...(clickForSound ? [] : ['--autoplay-policy=no-user-gesture-required'])],
});
let browser = await launch(true);

// Every page counts its audio contexts, so that a test can see what was made.
const countContexts = () => {
  window.madeContexts = [];
  const Original = window.AudioContext;
  if (!Original) return;
  window.AudioContext = class extends Original {
    constructor(...args) {
      super(...args);
      window.madeContexts.push(this);
    }
  };
};

// A hidden tab as browsers make one: the page is told it is hidden and gets
// no display refreshes until it is shown again. hideTab(true or false).
const emulateHiding = () => {
  let hidden = false;
  let waiting = [];
  const request = window.requestAnimationFrame.bind(window);
  Object.defineProperty(Document.prototype, 'hidden', { get: () => hidden });
  Object.defineProperty(Document.prototype, 'visibilityState', { get: () => (hidden ? 'hidden' : 'visible') });
  window.requestAnimationFrame = (callback) => {
    if (!hidden) return request(callback);
    waiting.push(callback);
    return 0;
  };
  window.hideTab = (hide) => {
    hidden = hide;
    document.dispatchEvent(new Event('visibilitychange'));
    if (!hide) waiting.splice(0).forEach((callback) => request(callback));
  };
};

async function openPage(query = '', before = null) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 720 } });
  const page = await context.newPage();
  const errors = [];
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.addInitScript(countContexts);
  await page.addInitScript(emulateHiding);
  if (before) await before(page);
  await page.goto(site + query);
  return { page, errors, close: () => context.close() };
}

const status = (page) => page.evaluate(() => ({ ...window.dxvornik85, recorded: null, kept: null }));
const waitForState = (page, states, timeout = 10000) =>
  page.waitForFunction((wanted) => wanted.includes(window.dxvornik85.state), states, { timeout });
const shownText = (page, id) => page.evaluate((which) => {
  const node = document.getElementById(which);
  return node && node.offsetParent !== null ? node.textContent : null;
}, id);

// ---- the capture tool's frames and sound ------------------------------------

function captureOutputs(rate, frames) {
  const pngDir = path.join(work, 'frames');
  const wav = path.join(work, 'show.wav');
  execFileSync(captureTool, ['--wav', wav, '--rate', String(rate), '--png-dir', pngDir,
    '--frames', [...new Set(frames)].sort((a, b) => a - b).join(',')], { stdio: 'inherit' });
  return { pngDir, wav: fs.readFileSync(wav) };
}

// The capture's PNG of a frame as RGBA bytes, as a canvas reads them.
function capturedFrame(pngDir, frame) {
  const name = fs.readdirSync(pngDir).find((file) => Number(file.match(/\d+/)?.[0]) === frame && file.endsWith('.png'));
  if (!name) return null;
  return execFileSync('convert', [path.join(pngDir, name), '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 23 });
}

function sameFrame(canvasBase64, png, what) {
  const canvas = Buffer.from(canvasBase64, 'base64');
  if (!png) return check(false, what, 'the capture wrote no PNG of it');
  if (canvas.length !== png.length) return check(false, what, `sizes ${canvas.length} and ${png.length}`);
  for (let i = 0; i < canvas.length; ++i) {
    if (canvas[i] !== png[i]) {
      const pixel = Math.floor(i / 4);
      return check(false, what, `first difference at (${pixel % Width}, ${Math.floor(pixel / Width)})`);
    }
  }
  return check(true, what);
}

// ---- the answer in the address: a browser that wants a click still gets one --

for (const answer of ['yes', 'no']) {
  const { page, errors, close } = await openPage(`?fullscreen=${answer}`);
  try {
    await waitForState(page, ['waiting']);
    const button = await shownText(page, 'again');
    await page.click('#again');
    await waitForState(page, ['playing']);
    const fullScreen = await page.evaluate(() => document.fullscreenElement !== null);
    check(button === 'Play' && fullScreen === (answer === 'yes') && await shownText(page, 'question') === null,
      `?fullscreen=${answer} answers the question; the show starts with one click`, `button ${button}, full screen ${fullScreen}`);
  } catch (error) {
    check(false, `?fullscreen=${answer} answers the question`, error.message);
  }
  check(errors.length === 0, `?fullscreen=${answer}: no console error`, errors.join('; '));
  await close();
}
await browser.close();
browser = await launch(false);

// ---- what a browser may lack: a message each, never a blank page ------------

const badConditions = [
  { what: 'no WebAssembly', expect: /cannot run WebAssembly/,
    before: (page) => page.addInitScript(() => { delete window.WebAssembly; }) },
  { what: 'no Web Audio', expect: /no Web Audio/,
    before: (page) => page.addInitScript(() => {
      delete window.AudioContext;
      delete window.webkitAudioContext;
    }) },
  { what: 'a failed fetch of the .wasm', expect: /could not be loaded: the server answered 404/,
    before: (page) => page.route('**/dxvornik85.wasm', (route) => route.fulfill({ status: 404, body: '' })) },
  { what: 'an audio context that cannot start', expect: /sound could not be started/, answer: '#no',
    before: (page) => page.addInitScript(() => {
      Object.defineProperty(BaseAudioContext.prototype, 'state', { get: () => 'suspended' });
      AudioContext.prototype.resume = () => Promise.reject(new Error('no sound device'));
    }) },
];

for (const bad of badConditions) {
  const { page, close } = await openPage('', bad.before);
  try {
    if (bad.answer) await page.click(bad.answer);
    await waitForState(page, ['failed']);
    const text = await shownText(page, 'message');
    check(bad.expect.test(text || ''), `${bad.what}: the page says so`, `shown: ${text}`);
  } catch (error) {
    check(false, `${bad.what}: the page says so`, error.message);
  }
  await close();
}

// ---- the question ------------------------------------------------------------

{
  const { page, errors, close } = await openPage();
  await waitForState(page, ['asking']);
  const question = await page.evaluate(() => [...document.querySelectorAll('#question p, #question button')]
    .map((node) => node.textContent).join('|'));
  check(question === 'Fullscreen?|Yes|No|Cancel', 'the page asks "Fullscreen?" with Yes, No and Cancel', question);
  await page.click('#cancel');
  await page.waitForTimeout(500);
  const after = await status(page);
  const text = await shownText(page, 'message');
  const contexts = await page.evaluate(() => window.madeContexts.length);
  check(after.state === 'cancelled' && contexts === 0 && /press Start/.test(text || ''),
    'Cancel plays nothing and says how to start again', `state ${after.state}, ${contexts} audio contexts, "${text}"`);
  await page.click('#again');
  check(await shownText(page, 'question') !== null, 'Start asks again');
  check(errors.length === 0, 'the page loads and answers without a console error', errors.join('; '));
  await close();
}

// Yes: full screen, the 4:3 picture as large as fits, black bars, square pixels.
// No: the 800 x 600 canvas in the page. Escape ends either early.
for (const answer of [{ button: '#yes', fullScreen: true }, { button: '#no', fullScreen: false }]) {
  const { page, errors, close } = await openPage();
  const what = answer.fullScreen ? 'Yes' : 'No';
  await waitForState(page, ['asking']);
  await page.click(answer.button);
  await waitForState(page, ['playing']);
  await page.waitForFunction(() => window.dxvornik85.frame >= 50, null, { timeout: 10000 });
  const look = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const box = canvas.getBoundingClientRect();
    return { fullScreen: document.fullscreenElement === document.getElementById('stage'),
      box: { x: box.x, y: box.y, width: box.width, height: box.height },
      screen: { width: window.innerWidth, height: window.innerHeight },
      fit: getComputedStyle(canvas).objectFit, rendering: getComputedStyle(canvas).imageRendering,
      pixels: [canvas.width, canvas.height] };
  });
  const shape = JSON.stringify(look);
  if (answer.fullScreen) {
    // The picture is the canvas's content box scaled by object-fit: contain.
    const scale = Math.min(look.box.width / Width, look.box.height / Height);
    check(look.fullScreen && look.fit === 'contain' && look.rendering === 'pixelated' &&
      look.box.width === look.screen.width && look.box.height === look.screen.height &&
      Math.abs(scale - Math.min(look.screen.width / Width, look.screen.height / Height)) < 1e-9,
    'Yes: full screen, 4:3 scaled to fit with nearest-neighbour pixels and black bars', shape);
  } else {
    check(!look.fullScreen && look.box.width === Width && look.box.height === Height &&
      look.pixels[0] === Width && look.pixels[1] === Height && look.rendering === 'pixelated',
    'No: an 800 x 600 canvas, one canvas pixel per CSS pixel', shape);
  }
  if (!answer.fullScreen) {
    // Hidden for longer than the second of sound ahead: the frames, and the
    // sound with them, go on without refreshes; shown again, the picture is
    // the clock's.
    const hiddenAt = (await status(page)).frame;
    await page.evaluate(() => window.hideTab(true));
    await page.waitForTimeout(2500);
    const hidden = await status(page);
    await page.evaluate(() => window.hideTab(false));
    await page.waitForTimeout(300);
    const shown = await status(page);
    const soundFrame = Math.floor(shown.heard / shown.sampleRate / FrameSeconds);
    check(hidden.frame - hiddenAt >= 200 && hidden.underruns === 0 && Math.abs(shown.shownFrame - soundFrame) <= 5,
      'No: a hidden tab keeps the sound going, and the picture catches up when shown',
      `${hidden.frame - hiddenAt} frames while hidden, ${hidden.underruns} samples missing, shown frame ` +
      `${shown.shownFrame} at the sound's ${soundFrame}`);
  }
  await page.keyboard.press('Escape');
  await waitForState(page, ['ended'], 5000).catch(() => {});
  const after = await status(page);
  const audio = await page.evaluate(() => window.madeContexts.map((c) => c.state).join(','));
  check(after.state === 'ended' && after.endedBy === 'escape' && after.frame < 1000 && audio === 'closed',
    `${what}: Escape ends the show early and stops the sound`, `state ${after.state} by ${after.endedBy} at frame ${after.frame}, audio ${audio}`);
  check(errors.length === 0, `${what}: no console error`, errors.join('; '));
  await close();
}

// ---- one whole show ----------------------------------------------------------

const keep = [0, 1, 777, 1500, 2345, 3700, 5000];
const moments = [{ scene: 'titles', at: 5 }, { scene: 'balls', at: 15.5 }, { scene: 'rings and column', at: 28.5 },
  { scene: 'landscape', at: 43.5 }];
const recordSeconds = 3;
{
  const { page, errors, close } = await openPage(`?fullscreen=no&record=${recordSeconds}&keep=${keep.join(',')}`);
  await waitForState(page, ['playing']);
  const started = Date.now();
  const seen = [];
  for (const moment of moments) {
    await page.waitForFunction((at) => window.dxvornik85.heard >= at * window.dxvornik85.sampleRate, moment.at,
      { timeout: 60000 });
    seen.push(await page.evaluate(() => {
      const canvas = document.getElementById('screen');
      const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
      let text = '';
      for (let i = 0; i < pixels.length; i += 0x8000) text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
      const s = window.dxvornik85;
      return { frame: s.shownFrame, clock: s.refreshHeard, heard: s.heard, ahead: s.soundAhead, rate: s.sampleRate, pixels: btoa(text) };
    }));
  }
  await waitForState(page, ['ended'], 60000).catch(() => {});
  const seconds = (Date.now() - started) / 1000;
  const end = await status(page);
  const kept = await page.evaluate(() => window.dxvornik85.kept);
  const recorded = await page.evaluate(() => window.dxvornik85.recorded);
  const blank = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const pixels = new Uint32Array(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data.buffer);
    return pixels.every((p) => p === 0xFF000000);
  });
  const again = await shownText(page, 'again');
  check(end.state === 'ended' && end.endedBy === 'end' && seconds > 49 && seconds < 56,
    'the show ends by itself at 51 s', `state ${end.state} by ${end.endedBy} after ${seconds.toFixed(1)} s`);
  check(end.frame === end.frames && blank && again === 'Play again',
    'the end shows the black frame and a way to play again', `last frame ${end.frame} of ${end.frames}, black ${blank}, button ${again}`);
  check(end.underruns === 0, 'the sound never ran dry', `${end.underruns} samples missing`);
  console.log(`     frames late: ${end.lateFrames} (at most ${(end.mostLate * 1000).toFixed(1)} ms), ` +
    `refreshes: ${end.refreshes}, at most ${end.mostPerRefresh} frames in one, rate ${end.sampleRate} Hz`);
  check(errors.length === 0, 'the whole show: no console error', errors.join('; '));
  await close();

  // The scene at its time: the canvas showed the frame the audio clock had
  // made due, and that frame is the capture's.
  const capture = captureOutputs(end.sampleRate, [...keep, ...seen.map((s) => s.frame)]);
  moments.forEach((moment, i) => {
    const s = seen[i];
    // The newest frame due at the last refresh: frame n is due once
    // floor(n x rate / 100) samples have been heard.
    let due = 0;
    while (Math.floor(((due + 1) * s.rate) / 100) <= s.clock) ++due;
    // The worklet's count runs ahead of the speakers by the sound the
    // context has rendered but not yet played out.
    const soundFrame = Math.floor((s.heard / s.rate - s.ahead) / FrameSeconds);
    check(s.frame === due && Math.abs(s.frame - soundFrame) <= 5,
      `at ${moment.at} s the canvas shows the frame of its time (${moment.scene})`,
      `frame ${s.frame}, due ${due}, the sound's ${soundFrame}`);
    sameFrame(s.pixels, capturedFrame(capture.pngDir, s.frame), `at ${moment.at} s: frame ${s.frame} equals the capture's`);
  });
  for (const frame of keep) {
    if (!kept[frame]) check(false, `frame ${frame} equals the capture's`, 'the page kept no picture of it');
    else sameFrame(kept[frame], capturedFrame(capture.pngDir, frame), `frame ${frame} equals the capture's`);
  }

  // The samples: what the worklet played is exactly the WAV's 16-bit values
  // (after its 44-byte header) divided by 32,768.
  const wavRate = capture.wav.readUInt32LE(24);
  const bytes = recorded ? Buffer.from(recorded, 'base64') : Buffer.alloc(0);
  const played = new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
  const count = recordSeconds * end.sampleRate;
  let firstDiff = -1;
  for (let i = 0; i < Math.min(count, played.length) && firstDiff < 0; ++i) {
    if (played[i] !== capture.wav.readInt16LE(44 + 2 * i) / 32768) firstDiff = i;
  }
  check(wavRate === end.sampleRate && played.length === count && firstDiff < 0,
    `the first ${recordSeconds} s of sound equal the capture's WAV at ${end.sampleRate} Hz`,
    `${played.length} samples against ${count}, first difference at sample ${firstDiff}`);
}

await browser.close();
server.close();
fs.rmSync(work, { recursive: true, force: true });
console.log(failures === 0 ? 'web page: all passed' : `web page: ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
