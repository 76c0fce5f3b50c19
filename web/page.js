// The page around the game: the JavaScript half of the web back end
// (platform/web/web_backend.cpp calls Module.page.*), the loading of the game's
// files with a message in words when one fails, the canvas sizing, the
// fullscreen and mute buttons, the sounds, the message dialog, the touch
// controls and the pads, the service worker that keeps the game for playing
// offline, and sharing: the seed and a link to the game, saving and watching
// recordings.
'use strict';

var Module = (function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const bar = document.getElementById('bar');
  const statusLine = document.getElementById('status');
  const dialog = document.getElementById('message');
  const muteButton = document.getElementById('mute');
  const shareBar = document.getElementById('share');
  const playArea = document.getElementById('play');
  const touchControls = document.getElementById('touch');

  const shared = { frames: [], frameStats, exitStatus: null, cues: [], failure: null, firstPictureAt: null,
    pointer: null, paused: false };
  window.quorvaner = shared;

  function report(text, isError) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', Boolean(isError));
  }

  // ---- Loading. The page fetches quorvaner.data and quorvaner.wasm itself and
  // adds quorvaner.js (already on its way: index.html preloads it) once the data
  // is here, so that every way of failing ends in a message that says what is
  // missing and what to do, never in a "Loading…" that stays. The data package
  // is checked against the size quorvaner.js expects, so a package cut short is
  // told as such and not as a fault in one of the files inside it.

  let started = false; // the runtime is up and the game's main is running
  function fail(text) {
    if (shared.failure !== null) return;
    shared.failure = text;
    report('The game cannot start: ' + text, true);
  }

  const afterServerFault = 'Reload the page; if this message comes back, check the server';
  const afterNetworkFault = 'Check the connection and reload the page.';

  // A fault already put in words by the page.
  class LoadFailure extends Error {}

  async function download(name) {
    let response;
    try {
      response = await fetch(name);
    } catch (error) {
      throw new LoadFailure(`${name} could not be downloaded: the server does not answer or the network is down. ` +
        afterNetworkFault);
    }
    if (response.status === 404) {
      throw new LoadFailure(`${name} is missing on the server (404 Not Found). ${afterServerFault}: it must hold ` +
        'every file of the game.');
    }
    if (!response.ok) {
      throw new LoadFailure(`${name} could not be downloaded: the server answered ${response.status} ` +
        `${response.statusText}. ${afterServerFault}.`);
    }
    return response;
  }

  async function downloadBytes(name) {
    const response = await download(name);
    try {
      return await response.arrayBuffer();
    } catch (error) {
      throw new LoadFailure(`${name} could not be downloaded: the connection broke off. ${afterNetworkFault}`);
    }
  }

  function failWith(name, what) {
    return (error) => {
      fail(error instanceof LoadFailure ? error.message : `${name} ${what} (${error}). ${afterServerFault}.`);
    };
  }

  // The WebAssembly is compiled while the rest arrives.
  const wasmModule = download('quorvaner.wasm').then((response) => {
    const type = response.headers.get('Content-Type') || '';
    if (WebAssembly.compileStreaming && type.startsWith('application/wasm')) return WebAssembly.compileStreaming(response);
    return response.arrayBuffer().then((bytes) => WebAssembly.compile(bytes));
  });
  const wasmFailed = failWith('quorvaner.wasm', 'is damaged or does not belong to this version of the game');
  wasmModule.catch(wasmFailed);

  let dataBytes = null;
  downloadBytes('quorvaner.data').then((bytes) => {
    if (shared.failure !== null) return;
    dataBytes = bytes;
    const script = document.createElement('script');
    script.src = 'quorvaner.js';
    script.onerror = () => {
      fetch('quorvaner.js', { method: 'HEAD', cache: 'no-store' }).then(
        (response) => fail(response.status === 404
          ? `quorvaner.js is missing on the server (404 Not Found). ${afterServerFault}: it must hold every file of the game.`
          : `quorvaner.js could not be loaded (the server answered ${response.status}). ${afterServerFault}.`),
        () => fail('quorvaner.js could not be downloaded: the server does not answer or the network is down. ' +
          afterNetworkFault));
    };
    document.body.appendChild(script);
  }, failWith('quorvaner.data', 'could not be read'));

  // quorvaner.js asks for the data package with the size it was built with.
  function preloadedPackage(name, size) {
    const bytes = dataBytes;
    dataBytes = null;
    if (bytes.byteLength !== size) {
      const counts = `${bytes.byteLength.toLocaleString('en')} of ${size.toLocaleString('en')} bytes`;
      fail(bytes.byteLength < size
        ? `quorvaner.data arrived incomplete (${counts}). ${afterServerFault}: the file there may be cut short.`
        : `quorvaner.data does not belong to this version of the game (${counts}). ${afterServerFault}: it may ` +
          'hold files of two versions.');
      throw new Error(`quorvaner.data: ${counts}`); // stops quorvaner.js before it runs anything
    }
    return bytes;
  }

  function instantiateWasm(imports, receiveInstance) {
    wasmModule.then((module) => WebAssembly.instantiate(module, imports)).then(receiveInstance, wasmFailed);
    return {}; // the exports come later, through receiveInstance
  }

  // Anything else that goes wrong before the game runs, e.g. a damaged quorvaner.js.
  window.addEventListener('error', (event) => {
    if (started) return;
    const where = event.filename ? ` (${event.filename.replace(/^.*\//, '')}, line ${event.lineno})` : '';
    fail(`${event.message}${where}. ${afterServerFault}.`);
  });
  window.addEventListener('unhandledrejection', (event) => {
    if (!started) fail(`${event.reason}. ${afterServerFault}.`);
  });

  // ---- The picture. The canvas's backing store is the picture blown up by a
  // whole factor in device pixels, and its CSS size is that divided by the
  // device-pixel ratio, so that every picture pixel is a solid block of device
  // pixels at any ratio (1.25 included). Each frame goes into a 320 x 200
  // canvas first and is drawn from there scaled, without smoothing.

  const picture = new ImageData(320, 200);
  const pictureCanvas = document.createElement('canvas');
  pictureCanvas.width = 320;
  pictureCanvas.height = 200;
  const pictureContext = pictureCanvas.getContext('2d');
  const context2d = canvas.getContext('2d', { alpha: false });
  let scale = 0;

  function paint() {
    context2d.imageSmoothingEnabled = false;
    context2d.drawImage(pictureCanvas, 0, 0, 320 * scale, 200 * scale);
  }

  function fitCanvas() {
    let width;
    let height;
    if (document.fullscreenElement === stage) {
      width = stage.clientWidth;
      height = stage.clientHeight;
    } else {
      // A phone's narrow screen gives the picture its whole width.
      width = document.documentElement.clientWidth - (document.documentElement.clientWidth < 400 ? 0 : 16);
      height = window.innerHeight - bar.offsetHeight - shareBar.offsetHeight - statusLine.offsetHeight -
        (shareBar.hidden ? 32 : 40);
      if (!touchControls.hidden) {
        if (getComputedStyle(playArea).flexDirection === 'row') {
          width -= touchControls.offsetWidth + 8;
        } else {
          height -= touchControls.offsetHeight + 8;
        }
      }
    }
    const ratio = window.devicePixelRatio || 1;
    const fits = Math.floor(Math.min((width * ratio) / 320, (height * ratio) / 200));
    const factor = Math.max(1, fits);
    if (fits >= 1) {
      canvas.style.width = (320 * factor) / ratio + 'px';
      canvas.style.height = (200 * factor) / ratio + 'px';
    } else {
      // Smaller than one device pixel a picture pixel: the largest that fits.
      const cssWidth = Math.max(160, Math.floor(Math.min(width, (height * 320) / 200)));
      canvas.style.width = cssWidth + 'px';
      canvas.style.height = (cssWidth * 200) / 320 + 'px';
    }
    if (factor !== scale) {
      scale = factor;
      canvas.width = 320 * factor;
      canvas.height = 200 * factor;
      paint();
    }
    alignCanvas();
  }

  // Centred, the canvas may start at a fraction of a pixel. A browser that lays
  // out in device pixels paints it unchanged all the same; one that lays out
  // in CSS pixels and scales the result (Chromium emulating a pixel ratio)
  // would resample it. A relative shift of a few CSS pixels puts its corner
  // where a whole number of CSS pixels is a whole number of device pixels
  // (every 4 CSS pixels at a ratio of 1.25, every 2 at 1.5).
  function alignCanvas() {
    const ratio = window.devicePixelRatio || 1;
    let grid = 1;
    while (grid < 64 && Math.abs(grid * ratio - Math.round(grid * ratio)) > 1e-6) grid += 1;
    if (grid === 64) grid = 1;
    canvas.style.left = '0px';
    canvas.style.top = '0px';
    const box = canvas.getBoundingClientRect();
    const shift = (at) => Math.round(at / grid) * grid - at;
    canvas.style.left = shift(box.left + window.scrollX) + 'px';
    canvas.style.top = shift(box.top + window.scrollY) + 'px';
  }

  // The ratio changes with the browser's zoom and between screens.
  function followRatio() {
    const query = window.matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`);
    query.addEventListener('change', () => {
      fitCanvas();
      followRatio();
    }, { once: true });
  }
  window.addEventListener('resize', fitCanvas);
  document.addEventListener('fullscreenchange', fitCanvas);
  // What is around the canvas moves it: the buttons once their font is in,
  // a message in the status line.
  if (window.ResizeObserver) {
    const moved = new ResizeObserver(alignCanvas);
    moved.observe(bar);
    moved.observe(statusLine);
    // A note under the sharing buttons takes room from the canvas.
    new ResizeObserver(fitCanvas).observe(shareBar);
  }
  fitCanvas();
  followRatio();

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(() => {});
    }
  }
  document.getElementById('fullscreen').addEventListener('click', toggleFullscreen);
  // A clicked button gives the keys back to the game (Space fires, not clicks again).
  for (const button of bar.querySelectorAll('button')) button.addEventListener('click', () => button.blur());

  // ---- Touch and pads. The game reads the touches on the canvas and the
  // fire and pause controls itself (platform/web/web_backend.cpp) and polls
  // the pads once a frame through readPads(). The controls and their words
  // show only on a touch screen (or after a first touch); the page then keeps
  // still: no scroll, no zoom.

  function showTouchControls() {
    if (!touchControls.hidden) return;
    touchControls.hidden = false;
    document.getElementById('touch-help').hidden = false;
    // The mouse and key help only where there is a mouse too.
    document.getElementById('controls').hidden = !window.matchMedia('(any-pointer: fine)').matches;
    playArea.classList.add('touch');
    document.documentElement.classList.add('touch');
    // A phone has no room for the sharing row as well: it opens on demand.
    shareToggle.hidden = false;
    shareBar.hidden = shareToggle.getAttribute('aria-expanded') !== 'true';
    fitCanvas();
  }
  const shareToggle = document.getElementById('share-toggle');
  shareToggle.addEventListener('click', () => {
    const open = shareToggle.getAttribute('aria-expanded') !== 'true';
    shareToggle.setAttribute('aria-expanded', String(open));
    shareBar.hidden = !open;
    fitCanvas();
  });
  if (window.matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0) showTouchControls();
  window.addEventListener('touchstart', showTouchControls, { capture: true, passive: true });
  window.addEventListener('orientationchange', () => setTimeout(fitCanvas, 100));

  const fireControl = document.getElementById('touch-fire');
  for (const [type, held] of [['touchstart', true], ['touchend', false], ['touchcancel', false]]) {
    fireControl.addEventListener(type, () => fireControl.classList.toggle('held', held), { passive: true });
  }
  // A touch on a control is no click, no menu and no selection.
  for (const control of touchControls.querySelectorAll('button')) {
    control.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  // Every pad as one: [pads, buttons (A 1, B 2, Start 4), trigger 0-255,
  // stick x, stick y (-32768 to 32767)], from the standard layout of the
  // Gamepad API (buttons 0 A, 1 B, 6 and 7 the triggers, 9 Start; axes 0 and 1
  // the left stick, down positive).
  function readPads() {
    const out = [0, 0, 0, 0, 0];
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    let x = 0;
    let y = 0;
    for (const pad of pads || []) {
      if (!pad || pad.connected === false) continue;
      out[0] += 1;
      const value = (i) => {
        const button = pad.buttons[i];
        if (!button) return 0;
        return typeof button === 'object' ? Math.max(Number(button.value) || 0, button.pressed ? 1 : 0) : Number(button);
      };
      if (value(0) > 0.5) out[1] |= 1;
      if (value(1) > 0.5) out[1] |= 2;
      if (value(9) > 0.5) out[1] |= 4;
      // The d-pad, for the menu: up, down, left, right.
      if (value(12) > 0.5) out[1] |= 8;
      if (value(13) > 0.5) out[1] |= 16;
      if (value(14) > 0.5) out[1] |= 32;
      if (value(15) > 0.5) out[1] |= 64;
      out[2] = Math.max(out[2], Math.round(255 * Math.min(1, Math.max(value(6), value(7)))));
      x += Number(pad.axes[0]) || 0;
      y += Number(pad.axes[1]) || 0;
    }
    const axis = (v) => Math.round(Math.max(-1, Math.min(1, v)) * 32767);
    out[3] = axis(x);
    out[4] = axis(y);
    return out;
  }

  // ---- Sound: one channel through Web Audio. The browser lets audio start
  // only after a user gesture, so the context is made on the first click; a
  // cue asked for before that starts then.
  //
  // The cues are Ogg Opus (scripts/build-web), fetched one after the other in
  // the order the game first plays them, the title's music first, once the
  // game runs. Decoded, each is exactly as long as its WAV, so a looping cue
  // joins seamlessly. A browser that cannot decode Opus gets the WAVs.

  const CUE_ORDER = ['BADSONG1', 'THUNDER2', 'CREDITS', 'CLEAR', 'GAMEOVER'];

  function canPlayOpus() {
    try {
      return document.createElement('audio').canPlayType('audio/ogg; codecs=opus') !== '';
    } catch (error) {
      return false;
    }
  }

  const sound = {
    context: null,
    gain: null,
    opus: canPlayOpus(), // cleared when an Opus cue fails to decode
    fetched: new Map(), // file name -> Promise of its bytes
    decoded: new Map(), // cue -> Promise of { buffer, file }
    source: null, // what the channel plays
    wanted: null, // the cue waiting for its buffer or for the first click
    generation: 0, // each start and stop; a late buffer of an older cue is dropped
    muted: false,
    volume: 100, // percent
    paused: false,
  };
  const soundLevel = () => (sound.muted ? 0 : sound.volume / 100);

  function unlockAudio() {
    if (sound.context) {
      if (sound.context.state === 'suspended' && !sound.paused) sound.context.resume();
      return;
    }
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!AudioContextClass) return;
    sound.context = new AudioContextClass();
    sound.gain = sound.context.createGain();
    sound.gain.gain.value = soundLevel();
    sound.gain.connect(sound.context.destination);
    if (sound.paused) sound.context.suspend();
    if (sound.wanted) startWanted();
  }
  document.addEventListener('pointerdown', unlockAudio, true);
  document.addEventListener('keydown', unlockAudio, true);

  function fetchSound(file) {
    if (!sound.fetched.has(file)) {
      const loading = fetch('sounds/' + encodeURIComponent(file)).then((response) => {
        if (!response.ok) throw new Error(file + ': ' + response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      });
      loading.catch(() => sound.fetched.delete(file)); // tried again when next wanted
      sound.fetched.set(file, loading);
    }
    return sound.fetched.get(file);
  }

  async function decodeCue(cue) {
    if (sound.opus) {
      try {
        const bytes = await fetchSound(cue + '.opus');
        sound.fetched.delete(cue + '.opus'); // decoding takes the bytes
        return { buffer: await sound.context.decodeAudioData(bytes), file: cue + '.opus' };
      } catch (error) {
        if (error instanceof DOMException && error.name === 'EncodingError') {
          console.warn('Quorvaner: Opus cannot be decoded here; playing the WAVs -', String(error));
          sound.opus = false;
        } else {
          throw error;
        }
      }
    }
    const bytes = await fetchSound(cue + '.wav');
    sound.fetched.delete(cue + '.wav');
    return { buffer: await sound.context.decodeAudioData(bytes), file: cue + '.wav' };
  }

  function decoded(cue) {
    if (!sound.decoded.has(cue)) {
      const decoding = decodeCue(cue);
      decoding.catch(() => sound.decoded.delete(cue));
      sound.decoded.set(cue, decoding);
    }
    return sound.decoded.get(cue);
  }

  // Fetches every cue in turn (not decoding them: that needs the context).
  async function fetchSounds() {
    for (const cue of CUE_ORDER) {
      await fetchSound(cue + (sound.opus ? '.opus' : '.wav')).catch(() => {});
    }
  }

  function startWanted() {
    const cue = sound.wanted;
    decoded(cue.name).then(
      ({ buffer, file }) => {
        if (cue.generation !== sound.generation) return;
        sound.wanted = null;
        const source = sound.context.createBufferSource();
        source.buffer = buffer;
        source.loop = cue.loop;
        source.connect(sound.gain);
        source.onended = () => {
          if (sound.source === source) sound.source = null;
        };
        source.start();
        sound.source = source;
        shared.cues.push({ file, loop: cue.loop, seconds: buffer.duration });
      },
      (error) => console.warn('Quorvaner: cannot play', cue.name, '-', String(error)),
    );
  }

  function stopSound() {
    sound.generation += 1;
    sound.wanted = null;
    if (sound.source) {
      sound.source.onended = null;
      sound.source.stop();
      sound.source.disconnect();
      sound.source = null;
    }
  }

  function playSound(fileName, loop) {
    stopSound();
    sound.wanted = { name: fileName.replace(/\.wav$/i, ''), loop, generation: sound.generation };
    if (sound.context) startWanted();
  }

  // While the game is paused the whole context is held, so a cue goes on
  // where it stopped.
  function pauseSound(paused) {
    shared.paused = paused;
    sound.paused = paused;
    if (!sound.context) return;
    if (paused) {
      sound.context.suspend();
    } else {
      sound.context.resume();
    }
  }

  // The volume and mute are the game's settings (the menu's Options), kept in
  // the page's storage with the others; the button changes the same one.
  function setSound(volume, muted) {
    sound.volume = Math.max(0, Math.min(100, Number(volume) || 0));
    sound.muted = Boolean(muted);
    if (sound.gain) sound.gain.gain.value = soundLevel();
    muteButton.textContent = sound.muted ? 'Unmute' : 'Mute';
    muteButton.setAttribute('aria-pressed', String(sound.muted));
  }
  muteButton.addEventListener('click', () => {
    if (started && Module._qv_set_mute) {
      Module._qv_set_mute(sound.muted ? 0 : 1);
    } else {
      setSound(sound.volume, !sound.muted);
    }
  });

  // The player's settings and best scores stay in the page's storage, as the
  // desktop game keeps settings.ini and scores.txt; a browser that refuses
  // storage only forgets them.
  const stored = {
    get(key) {
      try {
        return window.localStorage.getItem(key) || '';
      } catch {
        return '';
      }
    },
    set(key, text) {
      try {
        window.localStorage.setItem(key, text);
      } catch {
        // Private browsing or a full store: nothing is kept.
      }
    },
  };

  // ---- Offline: once the game runs and its sounds are here, the service
  // worker (sw.js) keeps this version's files; from the next visit on the game
  // loads without the network.

  function keepForOffline() {
    if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
    navigator.serviceWorker.register('sw.js').catch((error) => {
      console.warn('Quorvaner: the game cannot be kept for offline play -', String(error));
    });
  }

  // ---- Message boxes: a modal dialog; the game waits until it is closed
  // (OK, Enter or Escape).

  function showMessage(caption, text) {
    document.getElementById('message-caption').textContent = caption;
    document.getElementById('message-text').textContent = text;
    if (document.fullscreenElement) document.exitFullscreen();
    if (!dialog.open) dialog.showModal();
    document.getElementById('message-ok').focus();
  }

  // ---- Frame timing: the game's work between two sleeps, in milliseconds.

  const frameTimes = [];
  function frameStats() {
    const sorted = frameTimes.slice().sort((a, b) => a - b);
    const total = sorted.reduce((sum, t) => sum + t, 0);
    const at = (q) => (sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))] : 0);
    return { frames: sorted.length, mean: sorted.length ? total / sorted.length : 0, median: at(0.5), p95: at(0.95), max: at(1) };
  }

  // ---- Test hook: ?seed=N&script=LINES (lines of "P X Y L R" separated by
  // new lines or ';'), or window.quorvanerTestHook = { seed, script } set
  // before this file runs: the page first watches the script as a recording
  // from that seed. With the hook ({} will do) the CRC-32 of every picture
  // presented since the game in view drew its seed is in window.quorvaner.frames.

  function readTestHook() {
    if (window.quorvanerTestHook) return window.quorvanerTestHook;
    const query = new URLSearchParams(window.location.search);
    if (!query.has('script')) return null;
    return { seed: Number(query.get('seed') || 0), script: query.get('script').replace(/;/g, '\n') };
  }
  const testHook = readTestHook();

  // ---- Sharing. The game runs one session after another (see
  // programs/quorvaner_web.cpp): play, where every game has a seed (the
  // address's ?seed=N for all of them, or a fresh one each) and is recorded on
  // its own; or watching a recording, the mouse from the file, at 1x or faster,
  // until its score box. The page shows the seed of the game in view with a
  // link to it; "Save recording" keeps the game in play so far, or at a title
  // the last game played, as the mouse script the replay tool replays.

  const seedOutput = document.getElementById('seed');
  const copyButton = document.getElementById('copy-link');
  const saveButton = document.getElementById('save-recording');
  const watchButton = document.getElementById('watch');
  const watchInput = document.getElementById('watch-file');
  const speedLine = document.getElementById('speed-line');
  const speedSelect = document.getElementById('speed');
  const stopButton = document.getElementById('stop-watching');
  const shareNote = document.getElementById('share-note');

  const LARGEST_RECORDING = 16 << 20; // what the replay tool reads

  const sharing = {
    session: null, // { kind: 'play' } or { kind: 'watch', text, name, seed, speed }
    toWatch: testHook && testHook.script !== undefined
      ? { text: String(testHook.script), name: 'the test script', seed: testHook.seed } : null,
    stopping: false, // the player stopped watching
    shownSeed: null, // the seed of the game in view
    current: null, // the game in play: { seed, text, played }
    last: null, // the last game played: { seed, text }
    checking: '', // a file's text, while the game checks it
    checked: '', // what the game found wrong with it, or ''
    cut: '', // what ends the recording of the game in play here
  };
  shared.saved = null; // the last recording saved: { at, seed, text }

  function note(text) {
    shareNote.textContent = text;
  }

  function seedFromAddress() {
    const query = new URLSearchParams(window.location.search);
    if (!query.has('seed')) return null;
    const text = query.get('seed');
    if (/^[0-9]{1,10}$/.test(text) && Number(text) <= 4294967295) return Number(text);
    note(`The seed in the address, "${text}", is not a whole number from 0 to 4294967295: each game gets a fresh one.`);
    return null;
  }
  const addressSeed = seedFromAddress();

  function linkTo(seed) {
    return `${window.location.origin}${window.location.pathname}?seed=${seed}`;
  }

  const watching = () => sharing.session !== null && sharing.session.kind === 'watch';

  function showSharing() {
    seedOutput.textContent = sharing.shownSeed === null ? '…' : String(sharing.shownSeed);
    copyButton.disabled = sharing.shownSeed === null;
    saveButton.disabled = !((sharing.current && sharing.current.played) || sharing.last);
    watchButton.disabled = !started;
    speedLine.hidden = !watching();
    stopButton.hidden = !watching();
  }

  // The game in play becomes the last one played once it has left its title.
  function finishGame() {
    if (sharing.current && sharing.current.played) sharing.last = { seed: sharing.current.seed, text: sharing.current.text };
    sharing.current = null;
  }

  // What "Save recording" saves now, and when: { at, seed, text }, or null.
  function recordingToSave() {
    const game = sharing.current;
    const at = performance.now();
    if (game && game.played) {
      Module._qv_cut_recording();
      return { at, seed: game.seed, text: game.text + sharing.cut };
    }
    return sharing.last && { at, ...sharing.last };
  }
  shared.recording = recordingToSave;

  saveButton.addEventListener('click', () => {
    const recording = recordingToSave();
    if (!recording) return;
    shared.saved = recording;
    const file = URL.createObjectURL(new Blob([recording.text], { type: 'text/plain' }));
    const link = document.createElement('a');
    link.href = file;
    link.download = `quorvaner-seed-${recording.seed}.txt`;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(file), 60000);
    note(recording.text.length > LARGEST_RECORDING
      ? 'Saved; this recording is longer than quorvaner-replay reads (16 MB).'
      : `Saved: quorvaner-replay --input quorvaner-seed-${recording.seed}.txt plays it again.`);
  });

  copyButton.addEventListener('click', () => {
    const link = linkTo(sharing.shownSeed);
    const copied = navigator.clipboard && window.isSecureContext
      ? navigator.clipboard.writeText(link) : Promise.reject(new Error('no clipboard'));
    copied.then(() => note(`Copied: ${link}`), () => note(`The link to this game: ${link}`));
  });

  // A chosen or dropped file: checked by the game first, so a wrong one does
  // not end the game in play.
  async function watchFile(file) {
    if (!started || !file) return;
    if (file.size > LARGEST_RECORDING) {
      note(`${file.name} is larger than any recording (16 MB).`);
      return;
    }
    let text;
    try {
      text = await file.text();
    } catch (error) {
      note(`${file.name} cannot be read (${error}).`);
      return;
    }
    sharing.checking = text;
    Module._qv_check_recording();
    sharing.checking = '';
    if (sharing.checked) {
      note(`${file.name} is not a recording: ${sharing.checked}.`);
      return;
    }
    sharing.toWatch = { text, name: file.name };
    endSession();
  }

  function endSession() {
    if (dialog.open) dialog.close();
    Module._qv_end_session();
  }

  watchButton.addEventListener('click', () => watchInput.click());
  watchInput.addEventListener('change', () => {
    const file = watchInput.files[0];
    watchInput.value = '';
    watchFile(file);
  });
  stopButton.addEventListener('click', () => {
    sharing.stopping = true;
    endSession();
  });
  speedSelect.addEventListener('change', () => {
    if (watching()) Module._qv_set_speed(Number(speedSelect.value));
  });

  const carriesFiles = (event) => Array.from(event.dataTransfer.types).includes('Files');
  document.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) document.body.classList.remove('dropping');
  });
  document.addEventListener('drop', (event) => {
    document.body.classList.remove('dropping');
    if (!carriesFiles(event)) return;
    event.preventDefault();
    watchFile(event.dataTransfer.files[0]);
  });

  // What the game asks and tells (Module.page).
  const sharingCalls = {
    reportPictures: testHook !== null,
    linkSeed: () => addressSeed,
    nextSession() {
      if (sharing.toWatch) {
        sharing.session = { kind: 'watch', ...sharing.toWatch, speed: Number(speedSelect.value) };
        sharing.toWatch = null;
        note(`Watching ${sharing.session.name}. Esc pauses.`);
      } else {
        sharing.session = { kind: 'play' };
      }
      showSharing();
      return sharing.session.kind;
    },
    session: () => sharing.session,
    watchText: () => sharing.session.text,
    checkedText: () => sharing.checking,
    gameStarted(seed, recorded) {
      finishGame();
      if (recorded) sharing.current = { seed, text: '', played: false };
      sharing.shownSeed = seed;
      shared.frames = [];
      showSharing();
    },
    record(text) {
      if (sharing.current) sharing.current.text += text;
    },
    inPlay(playing) {
      if (playing && sharing.current) sharing.current.played = true;
      showSharing();
    },
    sessionEnded(lost) {
      finishGame();
      if (watching() && !sharing.toWatch) {
        note(sharing.stopping ? '' : lost ? 'The recording is over.'
          : 'The recording ends here: its player closed the game.');
      }
      sharing.stopping = false;
      sharing.session = null;
      showSharing();
    },
    recordingChecked(problem) {
      sharing.checked = problem;
    },
    recordingCut(text) {
      sharing.cut = text;
    },
  };

  const errors = [];

  return {
    canvas,
    getPreloadedPackage: preloadedPackage,
    instantiateWasm,
    page: {
      ...sharingCalls,
      // The tab keeps the game's short name; the window caption is for desktops.
      open() {},
      draw(bytes) {
        if (shared.firstPictureAt === null && bytes.some((byte, i) => i % 4 !== 3 && byte !== 0)) {
          shared.firstPictureAt = performance.now(); // the first picture that is not all black
        }
        picture.data.set(bytes);
        pictureContext.putImageData(picture, 0, 0);
        paint();
      },
      playing(playing) {
        // Watching, the pointer is the player's own.
        canvas.classList.toggle('playing', playing && !watching());
      },
      showMessage,
      messageOpen: () => dialog.open,
      closeMessage() {
        if (dialog.open) dialog.close();
      },
      readPads,
      // Where the crosshair is, as the game got it this frame.
      pointer(x, y) {
        shared.pointer = { x, y };
      },
      playSound,
      stopSound,
      pauseSound,
      toggleFullscreen,
      setSound,
      settingsText: () => stored.get('quorvaner.settings'),
      saveSettings: (text) => stored.set('quorvaner.settings', text),
      scoresText: () => stored.get('quorvaner.scores'),
      saveScores(text, damaged) {
        // A damaged table is kept beside the fresh one, never lost.
        if (damaged) stored.set('quorvaner.scores.damaged', stored.get('quorvaner.scores'));
        stored.set('quorvaner.scores', text);
      },
      frameWork(milliseconds) {
        if (frameTimes.length < 100000) frameTimes.push(milliseconds);
      },
      testFrame(crc) {
        shared.frames.push(crc);
      },
      report: (text) => report(text, true),
    },
    print: (text) => console.log(text),
    printErr(text) {
      console.warn(text);
      if (text.startsWith('quorvaner: ')) errors.push(text.slice('quorvaner: '.length));
    },
    onRuntimeInitialized() {
      started = true;
      report('');
      showSharing();
      fetchSounds().then(keepForOffline);
    },
    onExit(status) {
      shared.exitStatus = status;
      stopSound();
      if (status === 0) {
        report('The game has ended. Reload the page to play again.');
      } else {
        report(errors.length ? errors.join('\n') : 'The game stopped with status ' + status + '.', true);
      }
    },
    onAbort(what) {
      if (started) {
        report('The game stopped: ' + what, true);
      } else {
        fail(`${what}. ${afterServerFault}.`);
      }
    },
  };
})();
