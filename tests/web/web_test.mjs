// The web build in a real browser: Debian's Chromium driven by playwright-core.
//
//   node web_test.mjs --dist DIR --replay TOOL --data DIR --script FILE --seed N
//
// Serves DIST on 127.0.0.1 (gzipped, with validators, as a web server would)
// and checks, as a player would see it:
// - a player's session: the page loads without console errors, the title
//   picture appears after the zoom, the right button opens the credits and OK
//   closes them, a held left click starts the game and the cockpit and HUD
//   appear; the sounds come as Opus, the title's first, within the budget;
// - the sounds themselves: each decoded cue is as long as its WAV, lines up
//   with it sample for sample, follows its loudness, and loops without a gap
//   or a click; where Opus cannot be decoded the WAVs play;
// - offline: once the service worker has kept the build, the page reloads and
//   plays with the network off; a new version's cache replaces the old one;
//   the page is installable;
// - every way of failing to load (no data file, a short one, no WebAssembly, a
//   damaged one, no quorvaner.js, a malformed model) ends in a message in
//   words on the page;
// - at emulated device-pixel ratios 1.25, 1.5 and 2, and on screens of ratio
//   1.5 and 3, every picture pixel is a solid block of device pixels;
// - through the page's test hook, a scripted mouse with a fixed seed presents
//   exactly the pictures the replay tool presents for the same seed and script;
// - sharing and the player's side, on a page opened from ?seed=7: the seed is
//   shown and "Copy link" copies the link to it; a single instant click starts
//   the game; Esc, a hidden page and a window that loses the focus pause it (no
//   new picture, the picture dimmed under the menu) and Esc or a click on
//   Resume or beside the menu resumes; mute chosen in the menu survives a reload;
//   "Save recording" saves the game so far, which the replay tool replays with
//   every picture the page showed; a file that is no recording is refused;
//   the desktop game's recording (desktop-recording.txt), watched at 8x,
//   presents the replay tool's pictures up to its score box, with its score,
//   and after the box a click gives a fresh game without a reload.
// - every player's hands (hands_checks.mjs): on a 375 x 667 phone with touch,
//   the layout, a tap to start, a drag to aim, FIRE, steering and the pause
//   control; a stubbed pad's A, stick, trigger and Start.
// It also prints the time to the first title picture over a throttled link,
// the frames per second in play (the pumps of what "Save recording" gives at
// two moments 5 s apart, over the time between them) and the speed of watching at 8x.
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { gzipSync, inflateSync } from 'node:zlib';

import { chromium } from 'playwright-core';

import { handsChecks } from './hands_checks.mjs';

const options = { seed: '11', presents: '400' };
for (let i = 2; i + 1 < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const name of ['dist', 'replay', 'data', 'script']) {
  if (!options[name]) {
    console.error(`web_test: --${name} is missing`);
    process.exit(2);
  }
}
const presentsCompared = Number(options.presents);
// A recording the desktop game wrote (quorvaner --seed 7 --record, moved and
// clicked by xdotool on a virtual screen): a game played to its end.
const desktopRecording = path.resolve(options.recording ||
  path.join(path.dirname(new URL(import.meta.url).pathname), 'desktop-recording.txt'));
const dist = path.resolve(options.dist);

// ---- Results, printed TAP-like with the closing line CTest logs show.

let passed = 0;
let failed = 0;
async function check(name, body) {
  const started = Date.now();
  const took = () => `(${((Date.now() - started) / 1000).toFixed(1)} s)`;
  try {
    await body();
    passed += 1;
    console.log(`ok - ${name} ${took()}`);
  } catch (error) {
    failed += 1;
    console.log(`not ok - ${name} ${took()}\n  ${String(error && error.stack ? error.stack : error).replace(/\n/g, '\n  ')}`);
  }
}
function assert(condition, message) {
  if (!condition) throw new Error(message);
}

// ---- The pictures the game should show, from its own data and replay tool.

const widen = (c) => ((c << 3) | (c >> 2)) & 0xff;

// The title picture as RGBA: each pixel's colour-table entry (blue, green, red)
// cut to 5 bits a channel and widened back, rows in file order.
function titlePicture(file) {
  const bmp = readFileSync(file);
  const rgba = Buffer.alloc(320 * 200 * 4);
  for (let i = 0; i < 320 * 200; i += 1) {
    const entry = 54 + 4 * bmp[1078 + i];
    rgba[4 * i] = widen(bmp[entry + 2] >> 3);
    rgba[4 * i + 1] = widen(bmp[entry + 1] >> 3);
    rgba[4 * i + 2] = widen(bmp[entry] >> 3);
    rgba[4 * i + 3] = 255;
  }
  return rgba;
}
const title = titlePicture(path.join(options.data, 'outfile.bmp'));

// An 8-bit RGB or RGBA, non-interlaced PNG (the replay tool's pictures, the
// browser's screenshots) as { width, height, rgb }.
function readPng(png) {
  let at = 8;
  let width = 0;
  let height = 0;
  let channels = 3;
  const data = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      assert(body[8] === 8 && (body[9] === 2 || body[9] === 6) && body[12] === 0, 'not an 8-bit RGB(A) PNG');
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y += 1) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x += 1) {
      const value = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a);
        const pb = Math.abs(p - b);
        const pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = (value + predicted) & 0xff;
    }
  }
  if (channels === 3) return { width, height, rgb: pixels };
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; i += 1) pixels.copy(rgb, 3 * i, 4 * i, 4 * i + 3);
  return { width, height, rgb };
}

function runReplay(args) {
  const result = spawnSync(path.resolve(options.replay), args, { cwd: options.data, encoding: 'utf8', maxBuffer: 1 << 26 });
  assert(result.status === 0, `quorvaner-replay ${args.join(' ')} failed: ${result.stderr}`);
  return result.stdout;
}

// The pixels of a game frame that do not change from frame to frame or from
// seed to seed while the pointer rests at the centre: the cockpit frame and
// the HUD at the start of a game. A map from pixel index to its RGB.
function steadyGamePixels(shotDir) {
  const shots = [100, 130, 160];
  const pictures = [];
  for (const seed of [3, 5]) {
    const dir = path.join(shotDir, `seed-${seed}`);
    runReplay(['--seed', String(seed), '--input', path.join(shotDir, 'start.txt'), '--max-pumps', '200',
      '--shot-dir', dir, ...shots.flatMap((k) => ['--shot', String(k)])]);
    for (const k of shots) pictures.push(readPng(readFileSync(path.join(dir, `present-${k}.png`))).rgb);
  }
  const steady = new Map();
  for (let i = 0; i < 320 * 200; i += 1) {
    const colour = pictures[0].readUIntBE(3 * i, 3);
    if (colour !== 0 && pictures.every((p) => p.readUIntBE(3 * i, 3) === colour)) steady.set(i, colour);
  }
  return steady;
}

// ---- A server for the built page, as one would set it up: text and
// WebAssembly gzipped, ETags with "no-cache" so a browser asks before reusing
// a file. It logs every request with the bytes of its body; `nextVersion`
// serves a service worker of another version (the same files).

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.wav': 'audio/wav', '.opus': 'audio/ogg', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };
const compressed = new Set(['.html', '.js', '.css', '.wasm', '.data', '.webmanifest']);
const served = [];
const serverState = { nextVersion: false };
function serve(root) {
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(root) || !statSync(file, { throwIfNoEntry: false })?.isFile()) {
      served.push({ name, status: 404, bytes: 0 });
      response.writeHead(404).end();
      return;
    }
    let body = readFileSync(file);
    if (name === '/sw.js' && serverState.nextVersion) body = Buffer.from(String(body).replace(/version: '([^']*)'/, "version: '$1-next'"));
    const headers = { 'Content-Type': types[path.extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache',
      ETag: '"' + createHash('sha1').update(body).digest('hex') + '"', Vary: 'Accept-Encoding' };
    if (request.headers['if-none-match'] === headers.ETag) {
      served.push({ name, status: 304, bytes: 0 });
      response.writeHead(304, headers).end();
      return;
    }
    if (compressed.has(path.extname(file)) && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      body = gzipSync(body);
      headers['Content-Encoding'] = 'gzip';
    }
    served.push({ name, status: 200, bytes: body.length });
    response.writeHead(200, headers).end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- The page.

async function openPage(context, url, hook) {
  const page = await context.newPage();
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  if (hook) await page.addInitScript((value) => { window.quorvanerTestHook = value; }, hook);
  await page.goto(url);
  return { page, problems };
}

// The canvas as the 320 x 200 picture it shows: one pixel of each block, as
// RGBA bytes (handed over as base64, which is quicker than an array).
const canvasPixels = async (page) => Buffer.from(await page.evaluate(() => {
  const small = document.createElement('canvas');
  small.width = 320;
  small.height = 200;
  const context = small.getContext('2d');
  context.imageSmoothingEnabled = false;
  context.drawImage(document.getElementById('screen'), 0, 0, 320, 200);
  const bytes = context.getImageData(0, 0, 320, 200).data;
  let text = '';
  for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  return btoa(text);
}), 'base64');

function differingPixels(rgba, expected) {
  let count = 0;
  for (let i = 0; i < rgba.length; i += 4) {
    if (rgba[i] !== expected[i] || rgba[i + 1] !== expected[i + 1] || rgba[i + 2] !== expected[i + 2]) count += 1;
  }
  return count;
}

async function waitFor(what, condition, milliseconds) {
  const until = Date.now() + milliseconds;
  for (;;) {
    if (await condition()) return;
    if (Date.now() > until) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

async function waitForTitle(page, milliseconds = 20000) {
  let left = -1;
  await waitFor('the title picture', async () => {
    left = differingPixels(await canvasPixels(page), title);
    return left === 0;
  }, milliseconds).catch((error) => {
    throw new Error(`${error.message} (${left} pixels differ)`);
  });
}

// A held left click on the canvas, then the steady pixels of a game frame.
async function startAndSeeCockpit(page, steady) {
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.waitForTimeout(200);
  await page.mouse.up();
  await seeCockpit(page, steady);
}

async function seeCockpit(page, steady) {
  let matching = 0;
  await waitFor('the cockpit and HUD', async () => {
    await page.waitForTimeout(300); // past the first frames of the game
    const rgba = await canvasPixels(page);
    matching = 0;
    for (const [i, colour] of steady) {
      if (((rgba[4 * i] << 16) | (rgba[4 * i + 1] << 8) | rgba[4 * i + 2]) === colour) matching += 1;
    }
    // Fighters and laser fire may cover a few of them.
    return matching >= steady.size * 0.97;
  }, 10000).catch((error) => {
    throw new Error(`${error.message} (${matching} of ${steady.size} steady pixels shown)`);
  });
}

const server = await serve(dist);
const url = `http://127.0.0.1:${server.address().port}/`;
const work = mkdtempSync(path.join(tmpdir(), 'quorvaner-web-'));
const chromiumArgs = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
// A profile of its own (installability is not judged in a private window).
const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
  executablePath: options.chromium || '/usr/bin/chromium',
  headless: true,
  args: [...chromiumArgs, '--autoplay-policy=no-user-gesture-required'],
  viewport: { width: 1024, height: 768 },
});
// Fresh private contexts for the failures and the pixel ratios.
const browser = await chromium.launch({ executablePath: options.chromium || '/usr/bin/chromium', headless: true,
  args: chromiumArgs });

const shotDir = path.join(work, 'shots');
mkdirSync(shotDir, { recursive: true });
writeFileSync(path.join(shotDir, 'start.txt'), '1 160 100 0 0\n60 160 100 1 0\n75 160 100 0 0\n');
const steady = steadyGamePixels(shotDir);

try {
  // A player's session: title, credits, start.
  const { page, problems } = await openPage(context, url);
  const canvas = page.locator('#screen');

  await check('the title picture is on the canvas once the zoom is over', async () => {
    await waitForTitle(page);
    const box = await canvas.boundingBox();
    const backing = await page.evaluate(() => [document.getElementById('screen').width, document.getElementById('screen').height]);
    assert(backing[0] % 320 === 0 && backing[0] / 320 === backing[1] / 200 && Math.round(box.width) === backing[0],
      `the canvas holds ${backing[0]} x ${backing[1]} pixels, shown at ${box.width} x ${box.height}`);
  });

  await check('the right button opens the credits and OK closes them', async () => {
    const box = await canvas.boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.down({ button: 'right' });
    await page.waitForTimeout(100);
    await page.mouse.up({ button: 'right' });
    const dialog = page.locator('#message');
    await dialog.waitFor({ state: 'visible', timeout: 5000 });
    assert((await page.locator('#message-caption').textContent()) === 'Quorvaner', 'the caption is not the game\'s');
    assert((await page.locator('#message-text').textContent()).includes('Lead Developer'), 'the credits text is missing');
    await page.locator('#message-ok').click();
    await dialog.waitFor({ state: 'hidden', timeout: 5000 });
  });

  await check('a held left click starts the game and the cockpit and HUD appear', async () => {
    assert(steady.size > 2000, `only ${steady.size} steady pixels in a game frame`);
    console.log(`# ${steady.size} pixels of the cockpit and HUD stay the same at the start of a game`);
    await startAndSeeCockpit(page, steady);
  });

  await check('the sounds come as Opus, the title music first, at most 300 KB, and play', async () => {
    await waitFor('the in-game music', () => page.evaluate(
      () => window.quorvaner.cues.some((cue) => cue.file === 'THUNDER2.opus')), 10000);
    await waitFor('every sound', () => served.filter((r) => r.name.startsWith('/sounds/')).length >= 5, 10000);
    const sounds = served.filter((r) => r.name.startsWith('/sounds/'));
    assert(sounds[0].name === '/sounds/BADSONG1.opus', `the first sound fetched is ${sounds[0].name}`);
    assert(sounds.every((r) => r.name.endsWith('.opus')), `fetched: ${sounds.map((r) => r.name).join(' ')}`);
    const bytes = sounds.reduce((sum, r) => sum + r.bytes, 0);
    assert(bytes <= 300 * 1024, `the sounds took ${bytes} bytes`);
    console.log(`# sounds: ${sounds.filter((r) => r.status === 200).length} fetched, ${bytes} bytes`);
    const cues = await page.evaluate(() => window.quorvaner.cues);
    const thunder = cues.find((cue) => cue.file === 'THUNDER2.opus');
    assert(thunder.loop && Math.abs(thunder.seconds - 12.8) < 0.003, `THUNDER2 plays ${JSON.stringify(thunder)}`);
  });

  await check('the page shows no console errors', async () => {
    assert(problems.length === 0, problems.join('\n'));
  });
  const playStats = await page.evaluate(() => window.quorvaner.frameStats());

  // Each cue decoded by the browser, Opus against WAV, at 48 kHz.
  await check('each Opus cue decodes to its WAV\'s length and loudness, lined up, and loops without a gap or click', async () => {
    const cues = ['BADSONG1', 'THUNDER2', 'CREDITS', 'CLEAR', 'GAMEOVER'];
    const results = await page.evaluate(async (names) => {
      const rate = 48000;
      // Decoded and without its constant offset, which the encoder drops (a WAV may
      // have one: THUNDER2 has) and no one hears.
      const decode = async (file) => {
        const bytes = await (await fetch('sounds/' + file)).arrayBuffer();
        const samples = (await new OfflineAudioContext(1, 1, rate).decodeAudioData(bytes)).getChannelData(0);
        const offset = samples.reduce((sum, v) => sum + v, 0) / samples.length;
        return samples.map((v) => v - offset);
      };
      const rms = (a) => Math.sqrt(a.reduce((sum, v) => sum + v * v, 0) / a.length);
      const snr = (got, want) => 10 * Math.log10(rms(want) ** 2 / Math.max(1e-12, rms(want.map((v, i) => v - got[i])) ** 2));
      // The largest difference in dB between the loudness of the two in the
      // given stretches, among those where the WAV is not near silence.
      const loudness = (got, want, stretches) => Math.max(0, ...stretches
        .filter(([from, to]) => rms(want.subarray(from, to)) > 0.01)
        .map(([from, to]) => Math.abs(20 * Math.log10(rms(got.subarray(from, to)) / rms(want.subarray(from, to))))));
      const out = [];
      for (const name of names) {
        const wav = await decode(name + '.wav');
        const opus = await decode(name + '.opus');
        const n = Math.min(wav.length, opus.length);
        // How well the Opus follows the WAV at a lag of -2..2 samples: best at 0 when lined up.
        const second = Math.min(n, rate);
        const lags = [-2, -1, 0, 1, 2].map((lag) => snr(opus.subarray(2 + lag, second - 2 + lag), wav.subarray(2, second - 2)));
        const tenths = [];
        for (let at = 0; at + rate / 20 <= n; at += rate / 20) tenths.push([at, at + rate / 20]);
        // Around the seam of a loop: the last and first 10 ms in 2.5 ms steps,
        // and the step from the last sample to the first against the largest
        // steps inside the cue.
        const q = rate / 400;
        const seam = [[n - 4 * q, n - 3 * q], [n - 3 * q, n - 2 * q], [n - 2 * q, n - q], [n - q, n],
          [0, q], [q, 2 * q], [2 * q, 3 * q], [3 * q, 4 * q]];
        const steps = [];
        for (let i = 1; i < n; i += 1) steps.push(Math.abs(opus[i] - opus[i - 1]));
        steps.sort((a, b) => a - b);
        out.push({ name, wavSamples: wav.length, opusSamples: opus.length, lags, loudness: loudness(opus, wav, tenths),
          seamLoudness: loudness(opus, wav, seam), seamStep: Math.abs(opus[0] - opus[n - 1]),
          wavSeamStep: Math.abs(wav[0] - wav[n - 1]), largeStep: steps[Math.floor(steps.length * 0.999)] });
      }
      return out;
    }, cues);
    for (const r of results) {
      console.log(`# ${r.name}: ${(r.wavSamples / 48000).toFixed(3)} s, Opus ${r.opusSamples - r.wavSamples} samples off; ` +
        `SNR at lags -2..2 ${r.lags.map((v) => v.toFixed(1)).join(' ')} dB; loudness within ${r.loudness.toFixed(2)} dB, ` +
        `at the seam ${r.seamLoudness.toFixed(2)} dB; seam step ${r.seamStep.toFixed(3)} (WAV ${r.wavSeamStep.toFixed(3)}, ` +
        `99.9% of steps under ${r.largeStep.toFixed(3)})`);
      assert(Math.abs(r.opusSamples - r.wavSamples) <= 0.003 * 48000,
        `${r.name}: ${r.opusSamples} samples decoded, the WAV has ${r.wavSamples}`);
      assert(r.lags[2] === Math.max(...r.lags), `${r.name}: the decoded Opus does not line up with the WAV`);
      assert(r.loudness < 3, `${r.name}: a stretch is ${r.loudness.toFixed(1)} dB off the WAV's loudness`);
      if (r.name !== 'GAMEOVER') { // the one cue played once
        assert(r.seamLoudness < 3, `${r.name}: the loop seam is ${r.seamLoudness.toFixed(1)} dB off the WAV's loudness`);
        assert(r.seamStep <= r.largeStep, `${r.name}: the loop seam steps by ${r.seamStep.toFixed(3)}`);
      }
    }
  });

  await check('after one visit the game loads and plays offline, and is installable', async () => {
    await waitFor('the service worker', () => page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      return Boolean(registration && registration.active && navigator.serviceWorker.controller);
    }), 15000);
    const kept = await page.evaluate(async () => {
      const names = await caches.keys();
      return { names, files: names.length === 1 ? (await (await caches.open(names[0])).keys()).map((r) => new URL(r.url).pathname) : [] };
    });
    const version = /version: '([^']*)'/.exec(readFileSync(path.join(dist, 'sw.js'), 'utf8'))[1];
    assert(kept.names.length === 1 && kept.names[0] === `quorvaner-${version}`, `caches: ${kept.names}`);
    for (const file of ['/', '/quorvaner.wasm', '/quorvaner.data', '/quorvaner.js', '/sounds/BADSONG1.opus']) {
      assert(kept.files.includes(file), `${file} is not kept (${kept.files.join(' ')})`);
    }
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
    const manifest = JSON.parse(readFileSync(path.join(dist, 'quorvaner.webmanifest'), 'utf8'));
    const theme = await page.evaluate(() => [document.querySelector('meta[name=theme-color]').content,
      getComputedStyle(document.body).backgroundColor]);
    assert(manifest.name === 'Quorvaner' && manifest.orientation === 'landscape' && manifest.theme_color === theme[0] &&
      theme[1] === 'rgb(17, 17, 17)', `manifest ${JSON.stringify(manifest)}, page colours ${theme}`);

    const before = served.length;
    await context.setOffline(true);
    await page.reload();
    await waitForTitle(page);
    await startAndSeeCockpit(page, steady);
    // (Chromium still asks for sw.js, to see whether a new version is out.)
    const asked = served.slice(before).map((r) => r.name).filter((name) => name !== '/sw.js');
    assert(asked.length === 0, `offline, the server was asked for ${asked}`);
    await context.setOffline(false);
  });

  await check('a new version\'s cache replaces the old one', async () => {
    serverState.nextVersion = true;
    await page.reload();
    await waitFor('the new cache alone', () => page.evaluate(async () => {
      const names = await caches.keys();
      return names.length === 1 && names[0].endsWith('-next');
    }), 15000).catch(async (error) => {
      throw new Error(`${error.message}: caches ${await page.evaluate(() => caches.keys())}, ` +
        `sw.js served ${JSON.stringify(served.filter((r) => r.name === '/sw.js'))}`);
    });
    const count = await page.evaluate(async () => (await (await caches.open((await caches.keys())[0])).keys()).length);
    const files = (/files: \[([^\]]*)\]/.exec(readFileSync(path.join(dist, 'sw.js'), 'utf8'))[1].match(/'/g).length) / 2;
    assert(count === files + 1, `the new cache holds ${count} files, not ${files + 1}`);
    serverState.nextVersion = false;
  });
  await page.close();

  // Every way of failing to load, each in a fresh private context: the
  // message the page shows within five seconds, and what it must say.
  const data = readFileSync(path.join(dist, 'quorvaner.data'));
  const spoilt = Buffer.from(data);
  const tie = readFileSync(path.join(options.data, 'tie.obj'));
  const at = spoilt.indexOf(tie);
  // The second line of tie.obj spoilt ("lines 24" becomes "lines zz"), the same length.
  for (let i = spoilt.indexOf('\n', at) + 1 + 'lines '.length; spoilt[i] >= 0x30 && spoilt[i] <= 0x39; i += 1) spoilt[i] = 0x7a;
  const failures = [
    { what: 'no data file', file: 'quorvaner.data', answer: { status: 404 }, says: ['quorvaner.data', 'missing', 'Reload', 'server'] },
    { what: 'a data file cut short', file: 'quorvaner.data', answer: { body: data.subarray(0, 40000) },
      says: ['quorvaner.data', 'incomplete', '40,000 of 67,582', 'Reload', 'server'], never: ['tie.obj'] },
    { what: 'no WebAssembly', file: 'quorvaner.wasm', answer: { status: 404 }, says: ['quorvaner.wasm', 'missing', 'Reload', 'server'] },
    { what: 'a damaged WebAssembly', file: 'quorvaner.wasm', answer: { body: readFileSync(path.join(dist, 'quorvaner.wasm')).subarray(0, 100000), contentType: 'application/wasm' },
      says: ['quorvaner.wasm', 'damaged', 'Reload', 'server'] },
    { what: 'no quorvaner.js', file: 'quorvaner.js', answer: { status: 404 }, says: ['quorvaner.js', 'missing', 'Reload', 'server'] },
  ];
  for (const failure of failures) {
    await check(`${failure.what}: the page says so in words within 5 s`, async () => {
      const spoiltContext = await browser.newContext();
      await spoiltContext.route('**/' + failure.file, (route) => route.fulfill(failure.answer));
      const spoiltPage = await spoiltContext.newPage();
      const started = Date.now();
      await spoiltPage.goto(url);
      await spoiltPage.locator('#status.error').waitFor({ state: 'visible', timeout: 5000 });
      const text = await spoiltPage.locator('#status').textContent();
      console.log(`# ${failure.what}, after ${Date.now() - started} ms: ${text}`);
      for (const word of failure.says) assert(text.includes(word), `the page says "${text}", without "${word}"`);
      for (const word of failure.never || []) assert(!text.includes(word), `the page says "${text}", with "${word}"`);
      assert(!text.includes('Loading'), `the page says "${text}"`);
      await spoiltPage.screenshot({ path: path.join(work, 'failure.png') });
      await spoiltContext.close();
    });
  }

  await check('a malformed data file shows its message in a dialog and on the page', async () => {
    const spoiltContext = await browser.newContext();
    await spoiltContext.route('**/quorvaner.data', (route) => route.fulfill({ body: spoilt, contentType: 'application/octet-stream' }));
    const spoiltPage = await spoiltContext.newPage();
    const problems = [];
    spoiltPage.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
    await spoiltPage.goto(url);
    await spoiltPage.locator('#message').waitFor({ state: 'visible', timeout: 10000 });
    const text = await spoiltPage.locator('#message-text').textContent();
    assert(text.includes('tie.obj') && text.includes('2'), `the dialog says "${text}"`);
    await spoiltPage.locator('#message-ok').click();
    await waitFor('the exit status', () => spoiltPage.evaluate(() => window.quorvaner.exitStatus !== null), 5000);
    assert((await spoiltPage.evaluate(() => window.quorvaner.exitStatus)) === 1, 'the exit status is not 1');
    const status = await spoiltPage.locator('#status').textContent();
    assert(status.includes('tie.obj:2'), `the page says "${status}"`);
    assert(problems.length === 0, problems.join('\n'));
    await spoiltContext.close();
  });

  // Screenshots in device pixels: every picture pixel a solid block of one
  // colour, the title picture's. Chromium emulating a pixel ratio (as its
  // developer tools do) at 1.25, 1.5 and 2, and Chromium told that the screen
  // has 1.5 and 3 device pixels to a CSS pixel (as on a laptop set to 150% or
  // a phone), in windows where the canvas's CSS size is no whole number. The
  // pages load side by side, with the one that cannot decode Opus.
  const ratios = [{ ratio: 1.25 }, { ratio: 1.5 }, { ratio: 2 },
    { ratio: 1.5, screen: [1280, 1024] }, { ratio: 3, screen: [900, 700] }];
  const screenshots = ratios.map(async ({ ratio, screen }) => {
    const ratioBrowser = screen ? await chromium.launch({ executablePath: options.chromium || '/usr/bin/chromium',
      headless: true, args: [...chromiumArgs, `--force-device-scale-factor=${ratio}`, `--window-size=${screen}`] }) : browser;
    const ratioContext = await ratioBrowser.newContext(screen ? { viewport: null }
      : { deviceScaleFactor: ratio, viewport: { width: 1024, height: 768 } });
    try {
      const ratioPage = await ratioContext.newPage();
      await ratioPage.goto(url);
      await waitForTitle(ratioPage);
      const [k, dpr, width] = await ratioPage.evaluate(() => [document.getElementById('screen').width / 320,
        window.devicePixelRatio, window.innerWidth]);
      const box = await ratioPage.locator('#screen').boundingBox();
      const shot = readPng(await ratioPage.screenshot());
      assert(dpr === ratio && shot.width === Math.round(width * ratio),
        `the page has a ratio of ${dpr}, the screenshot is ${shot.width} pixels wide`);
      return { k, box, shot };
    } finally {
      await ratioContext.close();
      if (screen) await ratioBrowser.close();
    }
  });
  const withoutOpus = (async () => {
    const plainContext = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    try {
      await plainContext.addInitScript(() => {
        const decode = BaseAudioContext.prototype.decodeAudioData;
        BaseAudioContext.prototype.decodeAudioData = function (bytes, ...rest) {
          if (String.fromCharCode(...new Uint8Array(bytes, 0, 4)) === 'OggS') {
            return Promise.reject(new DOMException('Unable to decode audio data', 'EncodingError'));
          }
          return decode.call(this, bytes, ...rest);
        };
      });
      const plainPage = await plainContext.newPage();
      await plainPage.goto(url);
      await waitForTitle(plainPage);
      await startAndSeeCockpit(plainPage, steady);
      await waitFor('the in-game music', () => plainPage.evaluate(
        () => window.quorvaner.cues.some((cue) => cue.file === 'THUNDER2.wav' && cue.loop)), 10000);
    } finally {
      await plainContext.close();
    }
  })();
  for (const promise of [...screenshots, withoutOpus]) promise.catch(() => {}); // each is checked below

  for (const [n, { ratio, screen }] of ratios.entries()) {
    const how = screen ? `a screen of ratio ${ratio}` : `an emulated ratio of ${ratio}`;
    await check(`at ${how} every picture pixel is a solid block of device pixels`, async () => {
      const { k, box, shot } = await screenshots[n];
      const left = Math.round(box.x * ratio);
      const top = Math.round(box.y * ratio);
      assert(Math.abs(box.width * ratio - 320 * k) < 0.1, `the canvas is ${box.width * ratio} device pixels wide, not ${320 * k}`);
      let wrong = 0;
      let first = '';
      for (let y = 0; y < 200 * k; y += 1) {
        for (let x = 0; x < 320 * k; x += 1) {
          const i = 3 * ((top + y) * shot.width + left + x);
          const p = 4 * (Math.floor(y / k) * 320 + Math.floor(x / k));
          if (shot.rgb[i] !== title[p] || shot.rgb[i + 1] !== title[p + 1] || shot.rgb[i + 2] !== title[p + 2]) {
            if (wrong === 0) first = `(${x}, ${y})`;
            wrong += 1;
          }
        }
      }
      console.log(`# ${how}: ${k} x ${k} device pixels a picture pixel, the canvas at (${left}, ${top}), ` +
        `${box.width} x ${box.height} CSS pixels`);
      assert(wrong === 0, `${wrong} device pixels are not their picture pixel's colour, the first at ${first}`);
    });
  }

  await check('where Opus cannot be decoded the page plays the WAVs', () => withoutOpus);

  // The test hook: the same seed and script as the replay tool.
  await check(`a scripted mouse presents the replay tool's first ${presentsCompared} pictures`, async () => {
    const scriptText = readFileSync(options.script, 'utf8');
    const expected = runReplay(['--seed', options.seed, '--input', path.resolve(options.script), '--max-pumps', '100000'])
      .split('\n').filter((line) => line.startsWith('present ')).map((line) => line.split(' ')[2]);
    assert(expected.length >= presentsCompared, `the replay presents only ${expected.length} pictures`);
    const scripted = await openPage(context, url, { seed: Number(options.seed), script: scriptText });
    await waitFor(`${presentsCompared} presents`, () => scripted.page.evaluate(
      (count) => window.quorvaner.frames.length >= count, presentsCompared), 60000);
    const frames = await scripted.page.evaluate(() => window.quorvaner.frames.map((crc) => crc.toString(16).padStart(8, '0')));
    for (let k = 0; k < presentsCompared; k += 1) {
      assert(frames[k] === expected[k], `present ${k + 1}: the page shows ${frames[k]}, the replay tool ${expected[k]}`);
    }
    const stats = await scripted.page.evaluate(() => window.quorvaner.frameStats());
    assert(scripted.problems.length === 0, scripted.problems.join('\n'));
    await scripted.page.close();
    const f = (s) => `${s.frames} frames, mean ${s.mean.toFixed(3)} ms, median ${s.median.toFixed(3)} ms, ` +
      `95th percentile ${s.p95.toFixed(3)} ms, worst ${s.max.toFixed(3)} ms`;
    console.log(`# frame work in the browser, played: ${f(playStats)}`);
    console.log(`# frame work in the browser, scripted: ${f(stats)}`);
  });

  // Sharing and the player's side, on a page opened from ?seed=7 with the
  // pictures' CRCs collected: the seed and its link, an instant click that
  // starts the game, the pause (Esc, a hidden page, a window that loses the
  // focus), "Save recording" against the replay tool and the frame rate in play,
  // then a recording of the desktop game watched at 8x to its score box and a
  // fresh game after it.
  const shareContext = await browser.newContext({ viewport: { width: 1024, height: 768 }, acceptDownloads: true });
  await shareContext.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: url.replace(/\/$/, '') });
  const share = await openPage(shareContext, url + '?seed=7', {});
  const sharePage = share.page;
  const frameCount = () => sharePage.evaluate(() => window.quorvaner.frames.length);
  const pageFrames = () => sharePage.evaluate(() => window.quorvaner.frames.map((crc) => crc.toString(16).padStart(8, '0')));
  const saves = [];
  // "Save recording": the file downloaded, the moment it was taken, and the
  // pages's pictures of the game at that moment.
  const saveRecording = async () => {
    const [download] = await Promise.all([sharePage.waitForEvent('download'), sharePage.click('#save-recording')]);
    const file = path.join(work, `saved-${saves.length + 1}.txt`);
    await download.saveAs(file);
    const saved = await sharePage.evaluate(() => window.quorvaner.saved);
    const text = readFileSync(file, 'utf8');
    assert(text === saved.text, 'the downloaded file is not the recording the page saved');
    const save = { file, name: download.suggestedFilename(), at: saved.at, text, frames: await pageFrames(),
      pumps: Number(/# args: --max-pumps (\d+)\n$/.exec(text)?.[1]) };
    saves.push(save);
    return save;
  };
  // Every picture the replay tool presents for the recording is the page's.
  const replaysAsShown = (save) => {
    const expected = runReplay(['--seed', '7', '--input', save.file]).split('\n')
      .filter((line) => line.startsWith('present ')).map((line) => line.split(' ')[2]);
    assert(expected.length > 100 && save.frames.length >= expected.length,
      `the replay presents ${expected.length} pictures, the page had shown ${save.frames.length}`);
    for (let k = 0; k < expected.length; k += 1) {
      assert(save.frames[k] === expected[k], `present ${k + 1}: the page showed ${save.frames[k]}, the replay tool ${expected[k]}`);
    }
    return expected.length;
  };
  // The menu over the canvas: the picture dimmed around its panel (no channel
  // above 95 of 255 there), the title in gold and the chosen row in white.
  const dim = (channel) => Math.floor((channel * 105 + 127) / 255);
  const inPanel = (x, y) => x >= 8 && x < 312 && y >= 6 && y < 194;
  const pausedPicture = async () => {
    const rgba = await canvasPixels(sharePage);
    let white = 0;
    let gold = 0;
    let bright = 0;
    let brightOutside = 0;
    let dimmed = 0;
    let steadyOutside = 0;
    for (let i = 0; i < 320 * 200; i += 1) {
      const [r, g, b] = [rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]];
      const x = i % 320;
      const y = Math.floor(i / 320);
      if (r === 255 && g === 255 && b === 255) white += 1;
      else if (r === 255 && g === 210 && b === 104) gold += 1;
      if (Math.max(r, g, b) > dim(255)) {
        bright += 1;
        if (!inPanel(x, y)) brightOutside += 1;
      }
      const colour = steady.get(i);
      if (colour !== undefined && !inPanel(x, y)) {
        steadyOutside += 1;
        if (r === dim(colour >> 16) && g === dim((colour >> 8) & 0xff) && b === dim(colour & 0xff)) dimmed += 1;
      }
    }
    return { white, gold, bright, brightOutside, dimmed: steadyOutside ? dimmed / steadyOutside : 1, rgba };
  };
  const assertPaused = async (how) => {
    await sharePage.waitForTimeout(300);
    const before = await frameCount();
    const picture = await pausedPicture();
    await sharePage.waitForTimeout(how.hold);
    const after = await frameCount();
    const later = await canvasPixels(sharePage);
    assert(after === before, `${how.what}: ${after - before} pictures came in ${how.hold} ms of pause`);
    assert(later.equals(picture.rgba), `${how.what}: the paused canvas changed`);
    assert(picture.gold >= 300 && picture.white >= 30 && picture.brightOutside === 0,
      `${how.what}: ${picture.gold} gold and ${picture.white} white pixels of the menu, ${picture.brightOutside} too bright around it`);
    if (how.cockpit === false) return;
    console.log(`# ${how.what}: ${(100 * picture.dimmed).toFixed(1)}% of the steady cockpit pixels around the menu dimmed`);
    assert(picture.dimmed >= 0.6, `${how.what}: only ${(100 * picture.dimmed).toFixed(1)}% of the cockpit is dimmed`);
  };
  const assertRunning = async (what) => {
    const before = await frameCount();
    await waitFor(`${what}: new pictures`, async () => (await frameCount()) >= before + 30, 3000);
    const picture = await pausedPicture();
    assert(picture.bright > 1000, `${what}: the picture is still dimmed`);
  };
  let canvasBox = null; // once the page is laid out
  const onCanvas = (x, y) => [canvasBox.x + (x * canvasBox.width) / 320, canvasBox.y + (y * canvasBox.height) / 200];
  // The player's scripted mouse: aim here and there, firing now and then.
  const playAbout = async (milliseconds) => {
    const until = Date.now() + milliseconds;
    for (let k = 0; Date.now() < until; k += 1) {
      await sharePage.mouse.move(...onCanvas(60 + ((k * 37) % 200), 40 + ((k * 23) % 120)), { steps: 3 });
      if (k % 3 === 0) await sharePage.mouse.down();
      await sharePage.waitForTimeout(120);
      if (k % 3 === 0) await sharePage.mouse.up();
    }
    await sharePage.mouse.move(...onCanvas(160, 100));
  };

  await check('?seed=7 shows its seed, and "Copy link" copies the link to that game', async () => {
    await waitForTitle(sharePage);
    canvasBox = await sharePage.locator('#screen').boundingBox();
    assert((await sharePage.locator('#seed').textContent()) === '7', 'the seed shown is not 7');
    await sharePage.click('#copy-link');
    const copied = await sharePage.evaluate(() => navigator.clipboard.readText());
    assert(copied === `${url}?seed=7`, `copied "${copied}"`);
    assert((await sharePage.locator('#save-recording').isDisabled()), 'there is a recording to save before any game');
  });

  await check('a single instant click on the title starts the game', async () => {
    const apart = await sharePage.evaluate(() => {
      const canvas = document.getElementById('screen');
      const box = canvas.getBoundingClientRect();
      const where = { bubbles: true, cancelable: true, button: 0, clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 };
      const down = performance.now();
      canvas.dispatchEvent(new MouseEvent('mousedown', { ...where, buttons: 1 }));
      canvas.dispatchEvent(new MouseEvent('mouseup', { ...where, buttons: 0 }));
      return performance.now() - down;
    });
    assert(apart < 5, `the press and the release were ${apart} ms apart`);
    await seeCockpit(sharePage, steady);
  });

  await check('Esc opens the menu (no new picture for 2 s, the picture dimmed around it) and Esc resumes', async () => {
    await playAbout(1500);
    await sharePage.keyboard.press('Escape');
    await assertPaused({ what: 'Esc', hold: 2000 });
    await sharePage.keyboard.press('Escape');
    await assertRunning('Esc again');
  });

  await check('mute chosen in the menu\'s Options is kept in the page\'s storage and survives a reload', async () => {
    await sharePage.keyboard.press('Escape');
    await sharePage.waitForTimeout(200);
    // Options, then its second row (the page offers Volume, Mute, ...).
    for (const key of ['ArrowDown', 'Enter', 'ArrowDown', 'Enter']) {
      await sharePage.keyboard.press(key);
      await sharePage.waitForTimeout(150);
    }
    await waitFor('the mute button', async () => (await sharePage.locator('#mute').textContent()) === 'Unmute', 3000);
    const kept = await sharePage.evaluate(() => localStorage.getItem('quorvaner.settings'));
    assert(/^mute = 1$/m.test(kept || ''), `the page keeps "${kept}"`);
    await sharePage.reload();
    await waitForTitle(sharePage);
    assert((await sharePage.locator('#mute').textContent()) === 'Unmute', 'mute is lost on a reload');
    await sharePage.click('#mute');
    await waitFor('sound again', async () => (await sharePage.locator('#mute').textContent()) === 'Mute', 3000);
    const after = await sharePage.evaluate(() => localStorage.getItem('quorvaner.settings'));
    assert(/^mute = 0$/m.test(after || ''), `the page's button keeps "${after}"`);
    await sharePage.mouse.click(...onCanvas(160, 100));
    await seeCockpit(sharePage, steady);
  });

  await check('a hidden page and a window that loses the focus pause the game; a click on the canvas resumes', async () => {
    await sharePage.evaluate(() => {
      Object.defineProperty(document, 'hidden', { value: true, configurable: true });
      Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await assertPaused({ what: 'a hidden page', hold: 1000 });
    await sharePage.evaluate(() => {
      delete document.hidden;
      delete document.visibilityState;
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await assertPaused({ what: 'the page seen again (the pause waits for the player)', hold: 500 });
    await sharePage.mouse.click(...onCanvas(160, 40)); // Resume
    await assertRunning('a click on the canvas');
    await sharePage.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
    await assertPaused({ what: 'a window that lost the focus', hold: 1000 });
    await sharePage.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
    await sharePage.mouse.click(...onCanvas(2, 2)); // beside the menu: back, from its first page play on
    await assertRunning('a click beside the menu');
  });

  await check('"Save recording" keeps the game so far, and quorvaner-replay presents every picture the page showed', async () => {
    await playAbout(1500);
    const save = await saveRecording();
    assert(save.name === 'quorvaner-seed-7.txt', `the file is called ${save.name}`);
    assert(save.text.startsWith('# args: --seed 7\n') && save.pumps > 0, `the recording is\n${save.text.slice(0, 200)}`);
    console.log(`# a recording of ${save.pumps} pumps replays with all ${replaysAsShown(save)} pictures the same`);
  });

  await check('frames per second in play: the pumps a recording gains in 5 s of play, and it replays as shown', async () => {
    // What "Save recording" would save, taken without the download, which
    // holds the page up for a moment, and a second after the last one.
    const recordingNow = () => sharePage.evaluate(() => {
      const { at, text } = window.quorvaner.recording();
      return { at, pumps: Number(/# args: --max-pumps (\d+)\n$/.exec(text)[1]) };
    });
    await playAbout(1000);
    const first = await recordingNow();
    await playAbout(5000);
    const second = await recordingNow();
    const fps = (second.pumps - first.pumps) / ((second.at - first.at) / 1000);
    console.log(`# ${second.pumps - first.pumps} pumps in ${((second.at - first.at) / 1000).toFixed(3)} s of play: ` +
      `${fps.toFixed(2)} frames per second (1000/13 = 76.92)`);
    assert(fps > 60 && fps < 80, `${fps.toFixed(2)} frames per second`);
    replaysAsShown(await saveRecording());
  });

  await check('a file that is no recording is refused in words and the game goes on', async () => {
    await sharePage.evaluate(() => {
      const files = new DataTransfer();
      files.items.add(new File(['1 2 3\n'], 'notes.txt', { type: 'text/plain' }));
      document.dispatchEvent(new DragEvent('drop', { dataTransfer: files, bubbles: true, cancelable: true }));
    });
    await waitFor('the refusal', async () => (await sharePage.locator('#share-note').textContent()).includes('notes.txt is not a recording'), 3000);
    await assertRunning('after the refusal');
  });

  let watched = null;
  await check('"Watch a recording" of the desktop game\'s recording at 8x presents the replay tool\'s pictures to its score box; Esc pauses it', async () => {
    const expected = runReplay(['--input', desktopRecording]).split('\n')
      .filter((line) => line.startsWith('present ')).map((line) => line.split(' ')[2]);
    const summary = runReplay(['--input', desktopRecording, '--summary']);
    const score = /score (\d+) .* end over/.exec(summary)?.[1];
    assert(score !== undefined, `the recording is not of a lost game: ${summary}`);
    const started = Date.now();
    await sharePage.setInputFiles('#watch-file', desktopRecording);
    await sharePage.locator('#speed').waitFor({ state: 'visible', timeout: 5000 });
    await sharePage.selectOption('#speed', '8');
    await sharePage.waitForTimeout(1000);
    const pausedAt = Date.now();
    await sharePage.keyboard.press('Escape');
    await assertPaused({ what: 'Esc while watching', hold: 500, cockpit: false });
    await sharePage.keyboard.press('Escape');
    const pausedFor = Date.now() - pausedAt;
    await sharePage.mouse.move(...onCanvas(300, 20)); // the player's mouse counts for nothing
    await sharePage.mouse.down();
    await sharePage.locator('#message').waitFor({ state: 'visible', timeout: 60000 });
    await sharePage.mouse.up();
    const seconds = (Date.now() - started - pausedFor) / 1000;
    const text = await sharePage.locator('#message-text').textContent();
    assert(text.endsWith(`final score was ${score.padStart(3, '0')}`), `the box says "${text}", the replay tool's score is ${score}`);
    const frames = await pageFrames();
    assert(frames.length === expected.length, `the page presented ${frames.length} pictures, the replay tool ${expected.length}`);
    for (let k = 0; k < expected.length; k += 1) {
      assert(frames[k] === expected[k], `present ${k + 1}: the page showed ${frames[k]}, the replay tool ${expected[k]}`);
    }
    console.log(`# the desktop recording: ${expected.length} pictures, all the replay tool's, in ${seconds.toFixed(1)} s ` +
      `at 8x (${(expected.length / seconds / (1000 / 13)).toFixed(1)} times a frame every 13 ms); score ${score}`);
    watched = expected.length;
  });

  await check('after the score box a click gives a fresh game, without reloading the page', async () => {
    assert(watched !== null, 'no recording was watched to its score box');
    await sharePage.evaluate(() => { window.notReloaded = true; });
    await sharePage.locator('#message-ok').click();
    await waitForTitle(sharePage);
    assert((await sharePage.locator('#seed').textContent()) === '7', 'the game after the recording is not the link\'s');
    await startAndSeeCockpit(sharePage, steady);
    assert(await sharePage.evaluate(() => window.notReloaded === true), 'the page was reloaded');
    assert(share.problems.length === 0, share.problems.join('\n'));
  });
  await shareContext.close();

  await handsChecks({ browser, url, check, assert, waitFor, waitForTitle, pixels: canvasPixels });

  // A first visit over a slow line: 4 Mbit/s down and up, 150 ms latency.
  await check('over a 4 Mbit/s, 150 ms line the first title picture shows within 10 s', async () => {
    const slowContext = await browser.newContext();
    const slowPage = await slowContext.newPage();
    const cdp = await slowContext.newCDPSession(slowPage);
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions',
      { offline: false, latency: 150, downloadThroughput: 4e6 / 8, uploadThroughput: 4e6 / 8 });
    const before = served.length;
    await slowPage.goto(url);
    await waitFor('the first picture', () => slowPage.evaluate(() => window.quorvaner.firstPictureAt !== null), 10000);
    const times = await slowPage.evaluate(() => ({ picture: window.quorvaner.firstPictureAt,
      loaded: performance.getEntriesByType('navigation')[0].loadEventEnd }));
    const bytes = served.slice(before).filter((r) => !r.name.startsWith('/sounds/') && !r.name.startsWith('/icons/'))
      .reduce((sum, r) => sum + r.bytes, 0);
    console.log(`# 4 Mbit/s, 150 ms: first title picture after ${times.picture.toFixed(0)} ms, ${bytes} bytes before it`);
    await slowContext.close();
  });
} finally {
  await context.close();
  await browser.close();
  server.close();
  rmSync(work, { recursive: true, force: true });
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
