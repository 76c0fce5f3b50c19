// The page around the game: the JavaScript half of the web back end
// (platform/web/web_backend.cpp calls Module.page.*), the canvas sizing, the
// fullscreen and mute buttons, the sounds and the message dialog.
'use strict';

var Module = (function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const bar = document.getElementById('bar');
  const statusLine = document.getElementById('status');
  const dialog = document.getElementById('message');
  const muteButton = document.getElementById('mute');

  // ---- The picture: the canvas blown up by a whole factor, centred.

  const context2d = canvas.getContext('2d', { alpha: false });
  const picture = context2d.createImageData(320, 200);

  function fitCanvas() {
    let width;
    let height;
    if (document.fullscreenElement === stage) {
      width = stage.clientWidth;
      height = stage.clientHeight;
    } else {
      width = document.documentElement.clientWidth - 16;
      height = window.innerHeight - bar.offsetHeight - statusLine.offsetHeight - 32;
    }
    const scale = Math.max(1, Math.floor(Math.min(width / 320, height / 200)));
    canvas.style.width = 320 * scale + 'px';
    canvas.style.height = 200 * scale + 'px';
  }
  window.addEventListener('resize', fitCanvas);
  document.addEventListener('fullscreenchange', fitCanvas);
  fitCanvas();

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(() => {});
    }
  }
  document.getElementById('fullscreen').addEventListener('click', toggleFullscreen);

  // ---- Sound: one channel through Web Audio. The browser lets audio start
  // only after a user gesture, so the context is made on the first click; a
  // cue asked for before that starts then.

  const sound = {
    context: null,
    gain: null,
    files: new Map(), // name -> Promise of the decoded AudioBuffer
    source: null, // what the channel plays
    wanted: null, // the cue waiting for its buffer or for the first click
    generation: 0, // each start and stop; a late buffer of an older cue is dropped
    muted: false,
    paused: false,
  };

  function unlockAudio() {
    if (sound.context) {
      if (sound.context.state === 'suspended' && !sound.paused) sound.context.resume();
      return;
    }
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!AudioContextClass) return;
    sound.context = new AudioContextClass();
    sound.gain = sound.context.createGain();
    sound.gain.gain.value = sound.muted ? 0 : 1;
    sound.gain.connect(sound.context.destination);
    if (sound.paused) sound.context.suspend();
    if (sound.wanted) startWanted();
  }
  document.addEventListener('pointerdown', unlockAudio, true);
  document.addEventListener('keydown', unlockAudio, true);

  function decoded(name) {
    if (!sound.files.has(name)) {
      const loading = fetch('sounds/' + encodeURIComponent(name))
        .then((response) => {
          if (!response.ok) throw new Error(name + ': ' + response.status + ' ' + response.statusText);
          return response.arrayBuffer();
        })
        .then((bytes) => sound.context.decodeAudioData(bytes));
      loading.catch(() => sound.files.delete(name)); // tried again at the next start
      sound.files.set(name, loading);
    }
    return sound.files.get(name);
  }

  function startWanted() {
    const cue = sound.wanted;
    decoded(cue.name).then(
      (buffer) => {
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

  function playSound(name, loop) {
    stopSound();
    sound.wanted = { name, loop, generation: sound.generation };
    if (sound.context) startWanted();
  }

  // While the game is paused the whole context is held, so a cue goes on
  // where it stopped.
  function pauseSound(paused) {
    sound.paused = paused;
    if (!sound.context) return;
    if (paused) {
      sound.context.suspend();
    } else {
      sound.context.resume();
    }
  }

  muteButton.addEventListener('click', () => {
    sound.muted = !sound.muted;
    if (sound.gain) sound.gain.gain.value = sound.muted ? 0 : 1;
    muteButton.textContent = sound.muted ? 'Unmute' : 'Mute';
    muteButton.setAttribute('aria-pressed', String(sound.muted));
  });

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
  // before this file runs. The start-up tick count is the seed, the mouse
  // follows the script instead of real events, and the CRC-32 of every
  // presented picture lands in window.quorvaner.frames.

  function readTestHook() {
    if (window.quorvanerTestHook) return window.quorvanerTestHook;
    const query = new URLSearchParams(window.location.search);
    if (!query.has('script')) return null;
    return { seed: Number(query.get('seed') || 0), script: query.get('script').replace(/;/g, '\n') };
  }

  const shared = { frames: [], frameStats, exitStatus: null };
  window.quorvaner = shared;

  function report(text, isError) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', Boolean(isError));
  }

  const errors = [];

  return {
    canvas,
    page: {
      testHook: readTestHook(),
      // The tab keeps the game's short name; the window caption is for desktops.
      open() {},
      draw(bytes) {
        picture.data.set(bytes);
        context2d.putImageData(picture, 0, 0);
      },
      playing(playing) {
        canvas.classList.toggle('playing', playing);
      },
      showMessage,
      messageOpen: () => dialog.open,
      playSound,
      stopSound,
      pauseSound,
      toggleFullscreen,
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
    setStatus(text) {
      // emscripten's download progress, e.g. "Downloading data... (1000/67582)".
      if (shared.exitStatus === null) report(text ? 'Loading… ' + text.replace(/^Downloading data\.\.\. /, '') : '');
    },
    onRuntimeInitialized() {
      report('');
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
      report('The game stopped: ' + what, true);
    },
  };
})();
