'use strict';
// The page's half of the show. The WebAssembly module synthesizes the sound
// and draws the frames; this script asks the question, runs the audio
// context, feeds the module's samples to an audio worklet through a ring,
// and at each display refresh has the module draw every frame that the
// audio clock has made due (10 ms of sound per frame), showing the newest.
//
// Query: ?fullscreen=no or ?fullscreen=yes answers the question in advance.
// For tests: ?record=S keeps the first S seconds the worklet played (as
// 32-bit floats), and
// ?keep=N,M,... keeps the canvas's pixels as they were right after frame N
// was put on it; both are read from window.dxvornik85.
(() => {
  const WasmFile = 'dxvornik85.wasm';
  const Width = 800;
  const Height = 600;
  const query = new URLSearchParams(location.search);
  const element = (id) => document.getElementById(id);
  const ui = {
    question: element('question'), notice: element('notice'), message: element('message'),
    again: element('again'), stage: element('stage'), canvas: element('screen'),
  };
  const painter = ui.canvas.getContext('2d', { alpha: false });

  // What a test (or a curious viewer) can read.
  const status = {
    state: 'loading', problem: '', endedBy: '', fullScreen: false, sampleRate: 0,
    frame: -1, shownFrame: -1, frames: 0, refreshes: 0, lateFrames: 0, mostLate: 0, longestRefresh: 0,
    mostPerRefresh: 0, underruns: 0, heard: 0, refreshHeard: 0, soundAhead: 0, recorded: null, kept: {},
  };
  window.dxvornik85 = status;

  const recordSeconds = Number(query.get('record')) || 0;
  const keep = new Set((query.get('keep') || '').split(',').filter((s) => s !== '').map(Number));
  const answered = query.get('fullscreen');  // 'yes', 'no' or null

  function say(text, button) {
    ui.message.textContent = text;
    ui.notice.hidden = false;
    ui.again.hidden = !button;
    if (button) ui.again.textContent = button;
  }

  function fail(text) {
    status.state = 'failed';
    status.problem = text;
    ui.question.hidden = true;
    ui.stage.hidden = true;
    say(text);
  }

  const AudioContextType = window.AudioContext || window.webkitAudioContext;

  function browserProblem() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      return 'This browser cannot run WebAssembly, which the show is made of. ' +
        'A current Chrome, Edge, Firefox or Safari with WebAssembly turned on plays it.';
    }
    if (typeof AudioContextType !== 'function' || typeof AudioWorkletNode !== 'function') {
      return 'This browser offers no Web Audio (with audio worklets) here, which the show plays its sound through.' +
        (window.isSecureContext ? '' : ' Browsers offer it only to pages served over https or from this computer.');
    }
    return '';
  }

  // ---- the program --------------------------------------------------------

  async function loadProgram() {
    const where = `The show's program (${WasmFile}) could not be loaded`;
    let response;
    try {
      response = await fetch(WasmFile);
    } catch (error) {
      throw new Error(`${where}: ${error.message}.`);
    }
    if (!response.ok) throw new Error(`${where}: the server answered ${response.status} ${response.statusText}.`);
    let module;
    try {
      module = await WebAssembly.compile(await response.arrayBuffer());
    } catch (error) {
      throw new Error(`${where}: this browser's WebAssembly cannot run it (${error.message}).`);
    }
    // The module asks for nothing it needs while playing; what it could ask
    // for ends the show with a message.
    const imports = {};
    for (const wanted of WebAssembly.Module.imports(module)) {
      if (wanted.kind !== 'function') continue;
      imports[wanted.module] = imports[wanted.module] || {};
      imports[wanted.module][wanted.name] = () => {
        throw new Error(`the show's program stopped (${wanted.module}.${wanted.name})`);
      };
    }
    const instance = await WebAssembly.instantiate(module, imports);
    if (instance.exports._initialize) instance.exports._initialize();
    return instance.exports;
  }

  function cString(program, address) {
    const bytes = new Uint8Array(program.memory.buffer, address);
    return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
  }

  // ---- the audio worklet: a ring of samples played by the audio clock ------

  // Runs in the audio worklet scope, so it is handed over as source text.
  // The samples are played one after the other, none skipped: when a render
  // quantum passes without this node being asked for its sound, or the ring
  // runs dry, the show's sound is later by that much, and the worklet tells
  // the page where sample 0 now lies on the context's clock.
  function ringWorklet() {
    class ShowRing extends AudioWorkletProcessor {
      constructor(options) {
        super();
        const o = options.processorOptions;
        this.ring = new Float32Array(o.capacity);
        this.written = 0;       // samples received
        this.played = 0;        // samples played
        this.endAt = o.endAt;   // the show's last sample + 1
        this.record = new Float32Array(o.recordSamples);
        this.origin = -1;       // the context's frame of the show's sample 0
        this.underruns = 0;
        this.quanta = 0;
        this.stopped = false;
        this.port.onmessage = (event) => this.receive(event.data);
      }

      receive(message) {
        if (message.samples) {
          const samples = message.samples;
          for (let i = 0; i < samples.length; ++i) this.ring[(this.written + i) % this.ring.length] = samples[i];
          this.written += samples.length;
        } else if (message.stop) {
          this.stopped = true;
        }
      }

      process(inputs, outputs) {
        if (this.stopped) return false;
        if (this.written === 0) return true;
        const out = outputs[0][0];
        const recording = this.played < this.record.length;
        for (let i = 0; i < out.length && this.played < this.endAt; ++i) {
          if (this.played === this.written) {
            ++this.underruns;
            continue;
          }
          out[i] = this.ring[this.played % this.ring.length];
          if (this.played < this.record.length) this.record[this.played] = out[i];
          ++this.played;
        }
        if (recording && this.played >= this.record.length) this.port.postMessage({ recorded: this.record });
        const ended = this.played >= this.endAt;
        const origin = currentFrame + out.length - this.played;
        if (origin !== this.origin && !ended) {
          this.origin = origin;
          this.port.postMessage({ origin });
        }
        // A tick every eight quanta (about 20 ms) keeps a hidden page's
        // pictures, and with them the sound ahead, going.
        if (++this.quanta % 8 === 0 || ended) {
          this.port.postMessage({ heard: this.played, underruns: this.underruns });
        }
        return !ended;
      }
    }
    registerProcessor('dxvornik85-ring', ShowRing);
  }

  let workletAddress = '';
  function workletSource() {
    if (!workletAddress) {
      const text = `(${ringWorklet.toString()})();`;
      workletAddress = URL.createObjectURL(new Blob([text], { type: 'text/javascript' }));
    }
    return workletAddress;
  }

  // ---- playing --------------------------------------------------------------

  let loading = null;  // the program's exports, once fetched and compiled
  let current = null;  // the show that is playing

  function freshSamples(program, rate) {
    const ring = new Int16Array(program.memory.buffer, program.ShowSoundRing(), rate);
    const start = program.ShowFreshStart();
    const count = program.ShowFreshCount();
    const out = new Float32Array(count);
    for (let i = 0, n = start; i < count; ++i, n = n + 1 === rate ? 0 : n + 1) out[i] = ring[n] / 32768;
    return out;
  }

  function sendSamples(show, pieces) {
    if (pieces.length === 0) return;
    let length = 0;
    for (const piece of pieces) length += piece.length;
    const samples = new Float32Array(length);
    let at = 0;
    for (const piece of pieces) {
      samples.set(piece, at);
      at += piece.length;
    }
    show.node.port.postMessage({ samples }, [samples.buffer]);
  }

  function present(show, frame) {
    const address = show.program.ShowPicture();
    const bytes = new Uint8ClampedArray(show.program.memory.buffer, address, Width * Height * 4);
    painter.putImageData(new ImageData(bytes, Width, Height), 0, 0);
    status.shownFrame = frame;
    if (keep.has(frame)) status.kept[frame] = base64(painter.getImageData(0, 0, Width, Height).data);
  }

  function base64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  }

  // Samples heard since the show's first one, by the audio clock, at `now`
  // (on the page's clock). The context's currentTime moves in whole blocks
  // of rendered sound, in headless Chromium often 10 or 30 ms from one
  // refresh to the next, which would show some frames a refresh late; the
  // output timestamp says which sample the speakers play at what page time,
  // so carried on to `now` it moves with the refreshes. It is kept behind
  // what has been rendered (an output stalled would otherwise let the
  // picture run on alone) and never goes back.
  function heardSamples(show, now = performance.now()) {
    if (show.origin < 0) return -1;
    const rendered = show.context.currentTime;
    let time = rendered;
    const stamp = show.context.getOutputTimestamp ? show.context.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0) {
      time = Math.min(rendered, stamp.contextTime + (now - stamp.performanceTime) / 1000);
    }
    status.soundAhead = rendered - time;
    show.heard = Math.max(show.heard, Math.round(time * show.rate) - show.origin);
    return Math.max(0, show.heard);
  }

  // Draws every frame that is due (their sound goes to the worklet first);
  // returns how many. A hidden page's frames are played without drawing
  // them. The frame of second 51 ends the show.
  function playDueFrames(show, heard, draw = true) {
    const program = show.program;
    const pieces = [];
    let drawn = 0;
    while (show.playing && program.ShowSamplesBeforeFrame(show.next) <= heard) {
      const frame = program.ShowPlayFrame(draw ? 1 : 0);
      show.next = frame + 1;
      status.frame = frame;
      ++drawn;
      pieces.push(freshSamples(program, show.rate));
      if (draw && keep.has(frame)) present(show, frame);
      if (program.ShowEnded()) {
        present(show, frame);
        finish(show, 'end');
      }
    }
    if (show.playing) sendSamples(show, pieces);
    return drawn;
  }

  // A frame is late when the refresh that shows it comes more than a refresh
  // period and a half after it was due: a refresh was missed. The period is
  // the shortest interval seen, but no screen refreshes faster than 240 Hz.
  function countLate(show, heard, now, first, last) {
    if (show.lastRefresh !== undefined) {
      const interval = now - show.lastRefresh;
      status.longestRefresh = Math.max(status.longestRefresh, interval);
      if (interval >= 4 && (show.period === undefined || interval < show.period)) show.period = interval;
    }
    show.lastRefresh = now;
    if (show.period === undefined) return;
    const allowance = (show.period / 1000) * show.rate * 1.5;
    for (let frame = first; frame < last; ++frame) {
      const lateBy = heard - show.program.ShowSamplesBeforeFrame(frame);
      if (lateBy > allowance) {
        ++status.lateFrames;
        status.mostLate = Math.max(status.mostLate, lateBy / show.rate);
      }
    }
  }

  function refresh(show, now) {
    if (!show.playing) return;
    const heard = heardSamples(show, now);
    if (heard >= 0) {
      const first = show.next;
      const drawn = playDueFrames(show, heard);
      ++status.refreshes;
      status.refreshHeard = heard;
      status.mostPerRefresh = Math.max(status.mostPerRefresh, drawn);
      countLate(show, heard, now, first, show.next);
      if (drawn > 0 && show.playing) present(show, show.next - 1);
    }
    if (show.playing) requestAnimationFrame((time) => refresh(show, time));
  }

  function heardFromWorklet(show, message) {
    if (message.origin !== undefined) {
      show.origin = message.origin;
    } else if (message.recorded) {
      status.recorded = base64(new Uint8Array(message.recorded.buffer));
    } else if (message.heard !== undefined) {
      status.heard = message.heard;
      status.underruns = message.underruns;
      // No refreshes come to a hidden page; the sound must go on all the same.
      if (document.hidden && show.playing) {
        show.lastRefresh = undefined;
        playDueFrames(show, heardSamples(show), false);
      }
    }
  }

  function finish(show, how) {
    if (!show.playing) return;
    show.playing = false;
    show.node.port.postMessage({ stop: true });
    show.node.disconnect();
    show.context.close();
    if (how !== 'end') {
      painter.fillStyle = '#000';
      painter.fillRect(0, 0, Width, Height);
    }
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    current = null;
    status.state = 'ended';
    status.endedBy = how;
    say(how === 'end' ? 'The show has ended.' : 'The show was stopped.', 'Play again');
    ui.again.onclick = () => ask();
  }

  // Resolves once the context runs; false when it does not within `wait` ms.
  async function resumed(context, wait) {
    if (context.state === 'running') return true;
    const timeout = new Promise((resolve) => setTimeout(resolve, wait, false));
    const resume = context.resume().then(() => context.state === 'running');
    return Promise.race([resume, timeout]);
  }

  async function startShow(fullScreen, clicked) {
    status.state = 'starting';
    ui.question.hidden = true;
    ui.notice.hidden = true;
    ui.stage.hidden = false;
    painter.fillStyle = '#000';
    painter.fillRect(0, 0, Width, Height);
    status.fullScreen = false;
    if (fullScreen && clicked && ui.stage.requestFullscreen) {
      // Asked for at once, while the click still counts; where it is refused
      // the show plays in the page.
      ui.stage.requestFullscreen({ navigationUI: 'hide' }).then(() => {
        status.fullScreen = true;
      }, () => {});
    }
    let context;
    try {
      context = new AudioContextType({ latencyHint: 'interactive' });
      if (!(await resumed(context, clicked ? 3000 : 500))) {
        context.close().catch(() => {});
        if (!clicked) {
          // The browser wants a click before it makes a sound.
          status.state = 'waiting';
          ui.stage.hidden = true;
          say('The browser plays sound only after a click.', 'Play');
          ui.again.onclick = () => startShow(fullScreen, true);
          return;
        }
        throw new Error('the browser did not let it run');
      }
      await context.audioWorklet.addModule(workletSource());
    } catch (error) {
      if (context) context.close().catch(() => {});
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      fail(`The sound could not be started: ${error.message}. Check that a sound output is available and reload the page.`);
      return;
    }
    let program;
    try {
      program = await loading;
    } catch (error) {
      context.close().catch(() => {});
      fail(error.message);
      return;
    }
    const rate = context.sampleRate;
    if (program.ShowStart(rate) !== 0) {
      context.close().catch(() => {});
      fail(`The show cannot play at this sound rate (${rate} Hz): ${cString(program, program.ShowProblem())}.`);
      return;
    }
    const endAt = program.ShowSamplesBeforeFrame(program.ShowFrames());
    const node = new AudioWorkletNode(context, 'dxvornik85-ring', {
      numberOfInputs: 0,
      numberOfOutputs: 1,
      outputChannelCount: [1],
      processorOptions: { capacity: 2 * rate, endAt, recordSamples: Math.round(recordSeconds * rate) },
    });
    node.connect(context.destination);
    const show = { program, context, node, rate, origin: -1, heard: 0, next: 0, playing: true };
    current = show;
    node.port.onmessage = (event) => heardFromWorklet(show, event.data);
    sendSamples(show, [freshSamples(program, rate)]);  // the first second
    Object.assign(status, {
      state: 'playing', sampleRate: rate, frames: program.ShowFrames(), frame: -1, shownFrame: -1,
      refreshes: 0, lateFrames: 0, mostLate: 0, mostPerRefresh: 0, longestRefresh: 0, underruns: 0, heard: 0, endedBy: '',
    });
    requestAnimationFrame((time) => refresh(show, time));
  }

  function ask() {
    const clicked = navigator.userActivation ? navigator.userActivation.isActive : false;
    if (answered === 'yes' && !clicked) {
      // Full screen, like sound, waits for a click.
      status.state = 'waiting';
      say('Full screen begins with a click.', 'Play');
      ui.again.onclick = () => startShow(true, true);
      return;
    }
    if (answered === 'yes' || answered === 'no') {
      startShow(answered === 'yes', clicked);
      return;
    }
    status.state = 'asking';
    ui.notice.hidden = true;
    ui.question.hidden = false;
  }

  element('yes').onclick = () => startShow(true, true);
  element('no').onclick = () => startShow(false, true);
  element('cancel').onclick = () => {
    status.state = 'cancelled';
    ui.question.hidden = true;
    say('Nothing was played. To start the show, press Start (or reload the page).', 'Start');
    ui.again.onclick = () => ask();
  };

  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && current) finish(current, 'escape');
  });
  // Leaving full screen (a browser takes Escape for that) ends the show too.
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && status.fullScreen && current) finish(current, 'escape');
  });

  const problem = browserProblem();
  if (problem) {
    fail(problem);
    return;
  }
  loading = loadProgram();
  loading.catch((error) => {
    if (status.state === 'asking' || status.state === 'loading') fail(error.message);
  });
  ui.again.onclick = () => ask();
  ask();
})();
