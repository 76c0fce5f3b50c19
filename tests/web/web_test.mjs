// The web build in a real browser: Debian's Chromium driven by playwright-core.
//
//   node web_test.mjs --dist DIR --replay TOOL --data DIR --script FILE --seed N
//
// Serves DIST on 127.0.0.1 and checks, as a player would see it: the page loads
// without console errors, the title picture appears on the canvas after the
// zoom, the right button opens the credits dialog and OK closes it, a held left
// click starts the game and the cockpit and HUD appear; then, through the
// page's test hook, that a scripted mouse with a fixed seed presents exactly
// the pictures the replay tool presents for the same seed and script.
import { spawnSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { inflateSync } from 'node:zlib';

import { chromium } from 'playwright-core';

const options = { seed: '11', presents: '400' };
for (let i = 2; i + 1 < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const name of ['dist', 'replay', 'data', 'script']) {
  if (!options[name]) {
    console.error(`web_test: --${name} is missing`);
    process.exit(2);
  }
}
const presentsCompared = Number(options.presents);

// ---- Results, printed TAP-like with the closing line CTest logs show.

let passed = 0;
let failed = 0;
async function check(name, body) {
  try {
    await body();
    passed += 1;
    console.log(`ok - ${name}`);
  } catch (error) {
    failed += 1;
    console.log(`not ok - ${name}\n  ${String(error && error.stack ? error.stack : error).replace(/\n/g, '\n  ')}`);
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

// An 8-bit RGB, non-interlaced PNG (as the replay tool writes them) as RGB bytes.
function readPng(file) {
  const png = readFileSync(file);
  let at = 8;
  let width = 0;
  let height = 0;
  const data = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      assert(body[8] === 8 && body[9] === 2 && body[12] === 0, `${file}: not an 8-bit RGB PNG`);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * 3;
  const rgb = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y += 1) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x += 1) {
      const value = raw[y * (stride + 1) + 1 + x];
      const a = x >= 3 ? rgb[y * stride + x - 3] : 0;
      const b = y > 0 ? rgb[(y - 1) * stride + x] : 0;
      const c = x >= 3 && y > 0 ? rgb[(y - 1) * stride + x - 3] : 0;
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
      rgb[y * stride + x] = (value + predicted) & 0xff;
    }
  }
  return rgb;
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
    for (const k of shots) pictures.push(readPng(path.join(dir, `present-${k}.png`)));
  }
  const steady = new Map();
  for (let i = 0; i < 320 * 200; i += 1) {
    const colour = pictures[0].readUIntBE(3 * i, 3);
    if (colour !== 0 && pictures.every((p) => p.readUIntBE(3 * i, 3) === colour)) steady.set(i, colour);
  }
  return steady;
}

// ---- A static server for the built page.

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.wav': 'audio/wav' };
function serve(root) {
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !statSync(file, { throwIfNoEntry: false })?.isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    response.end(readFileSync(file));
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

const canvasPixels = (page) => page.evaluate(() => {
  const canvas = document.getElementById('screen');
  return Array.from(canvas.getContext('2d').getImageData(0, 0, 320, 200).data);
});

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

const server = await serve(path.resolve(options.dist));
const url = `http://127.0.0.1:${server.address().port}/`;
const work = mkdtempSync(path.join(tmpdir(), 'quorvaner-web-'));
const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
  executablePath: options.chromium || '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
  viewport: { width: 1024, height: 768 },
});

try {
  // A player's session: title, credits, start.
  const { page, problems } = await openPage(context, url);
  const canvas = page.locator('#screen');

  await check('the title picture is on the canvas once the zoom is over', async () => {
    const expected = titlePicture(path.join(options.data, 'outfile.bmp'));
    let left = -1;
    await waitFor('the title picture', async () => {
      left = differingPixels(await canvasPixels(page), expected);
      return left === 0;
    }, 20000).catch((error) => {
      throw new Error(`${error.message} (${left} pixels differ)`);
    });
    const box = await canvas.boundingBox();
    assert(box.width % 320 === 0 && box.height % 200 === 0 && box.width / 320 === box.height / 200,
      `the canvas is shown at ${box.width} x ${box.height}, not a whole multiple of 320 x 200`);
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

  const shotDir = path.join(work, 'shots');
  await check('a held left click starts the game and the cockpit and HUD appear', async () => {
    mkdirSync(shotDir, { recursive: true });
    writeFileSync(path.join(shotDir, 'start.txt'), '1 160 100 0 0\n60 160 100 1 0\n75 160 100 0 0\n');
    const steady = steadyGamePixels(shotDir);
    assert(steady.size > 2000, `only ${steady.size} steady pixels in a game frame`);
    console.log(`# ${steady.size} pixels of the cockpit and HUD stay the same at the start of a game`);

    const box = await canvas.boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.down();
    await page.waitForTimeout(200);
    await page.mouse.up();
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
  });

  await check('the page shows no console errors', async () => {
    assert(problems.length === 0, problems.join('\n'));
  });
  const playStats = await page.evaluate(() => window.quorvaner.frameStats());
  await page.close();

  // A malformed data file: the package served with the second line of tie.obj
  // spoilt ("lines 24" becomes "lines zz"), the same length, so nothing else moves.
  await check('a malformed data file shows its message in a dialog and on the page', async () => {
    const spoilt = await context.newPage();
    const problems = [];
    spoilt.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
    await spoilt.route('**/quorvaner.data', async (route) => {
      const body = readFileSync(path.join(options.dist, 'quorvaner.data'));
      const tie = readFileSync(path.join(options.data, 'tie.obj'));
      const at = body.indexOf(tie);
      assert(at >= 0, 'tie.obj is not in quorvaner.data');
      const second = body.indexOf('\n', at) + 1;
      for (let i = second + 'lines '.length; body[i] >= 0x30 && body[i] <= 0x39; i += 1) body[i] = 0x7a;
      await route.fulfill({ body, contentType: 'application/octet-stream' });
    });
    await spoilt.goto(url);
    await spoilt.locator('#message').waitFor({ state: 'visible', timeout: 10000 });
    const text = await spoilt.locator('#message-text').textContent();
    assert(text.includes('tie.obj') && text.includes('2'), `the dialog says "${text}"`);
    await spoilt.locator('#message-ok').click();
    await waitFor('the exit status', () => spoilt.evaluate(() => window.quorvaner.exitStatus !== null), 5000);
    assert((await spoilt.evaluate(() => window.quorvaner.exitStatus)) === 1, 'the exit status is not 1');
    const status = await spoilt.locator('#status').textContent();
    assert(status.includes('tie.obj:2'), `the page says "${status}"`);
    assert(problems.length === 0, problems.join('\n'));
    await spoilt.close();
  });

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
} finally {
  await context.close();
  server.close();
  rmSync(work, { recursive: true, force: true });
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
