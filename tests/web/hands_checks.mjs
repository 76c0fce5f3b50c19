// Every player's hands in the browser, as web_test.mjs runs them:
// - on a 375 x 667 phone (touch, mobile, upright and on its side): nothing is
//   off screen and the canvas is at least 320 CSS pixels wide; a tap starts
//   the game, a drag moves the crosshair, holding FIRE draws the cyan beams, a
//   drag to the left edge steers, the pause control opens the menu and a tap
//   on Resume resumes;
// - with a pad (navigator.getGamepads stubbed): A starts the game, the stick
//   moves the crosshair to the edge, the trigger fires, Start pauses.
// The crosshair is read where the game got it (window.quorvaner.pointer).

// Cyan picture pixels (the laser beams) among the canvas's RGBA bytes.
function cyanPixels(rgba) {
  let count = 0;
  for (let i = 0; i < rgba.length; i += 4) {
    if (rgba[i] === 0 && rgba[i + 1] === 255 && rgba[i + 2] === 255) count += 1;
  }
  return count;
}

const pointer = (page) => page.evaluate(() => window.quorvaner.pointer);
const playing = (page) => page.evaluate(() => document.getElementById('screen').classList.contains('playing'));

// Everything visible lies inside the viewport, and the page does not scroll.
function offScreen(page) {
  return page.evaluate(() => {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const out = [];
    for (const element of document.querySelectorAll('main *')) {
      const box = element.getBoundingClientRect();
      if (box.width === 0 || box.height === 0 || getComputedStyle(element).visibility === 'hidden') continue;
      if (box.left < -0.5 || box.top < -0.5 || box.right > width + 0.5 || box.bottom > height + 0.5) {
        out.push(`${element.tagName.toLowerCase()}#${element.id} at ${Math.round(box.left)},${Math.round(box.top)} ` +
          `to ${Math.round(box.right)},${Math.round(box.bottom)}`);
      }
    }
    const root = document.documentElement;
    if (root.scrollWidth > width || root.scrollHeight > height) out.push(`the page scrolls (${root.scrollWidth} x ${root.scrollHeight})`);
    return out;
  });
}

export async function handsChecks({ browser, url, check, assert, waitFor, waitForTitle, pixels }) {
  // ---- A phone.
  const phone = await browser.newContext({ viewport: { width: 375, height: 667 }, deviceScaleFactor: 2,
    hasTouch: true, isMobile: true });
  const page = await phone.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  await page.goto(url);
  const cdp = await phone.newCDPSession(page);
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
  const centreOf = async (selector) => {
    const box = await page.locator(selector).boundingBox();
    return [box.x + box.width / 2, box.y + box.height / 2];
  };
  // A finger from (x, y) by (dx, dy) in steps, lifted at the end unless asked.
  const drag = async ([x, y], dx, dy, lift = true) => {
    await touch('touchStart', [[x, y]]);
    for (let step = 1; step <= 10; step += 1) {
      await touch('touchMove', [[x + (dx * step) / 10, y + (dy * step) / 10]]);
      await page.waitForTimeout(20);
    }
    if (lift) await touch('touchEnd', []);
  };

  await check('on a 375 x 667 touch screen nothing is off screen and the canvas is at least 320 CSS pixels wide', async () => {
    await waitForTitle(page);
    for (const [width, height] of [[375, 667], [667, 375], [320, 568], [375, 667]]) {
      await page.setViewportSize({ width, height });
      await page.waitForTimeout(300);
      const outside = await offScreen(page);
      assert(outside.length === 0, `${width} x ${height}: off screen: ${outside.join('; ')}`);
      const box = await page.locator('#screen').boundingBox();
      assert(box.width >= 320 || width < 375, `${width} x ${height}: the canvas is ${box.width} CSS pixels wide`);
      assert(await page.locator('#touch-fire').isVisible() && await page.locator('#touch-help').isVisible(),
        `${width} x ${height}: the touch controls or their words are not shown`);
      const fire = await page.locator('#touch-fire').boundingBox();
      assert(fire.y >= box.y + box.height || fire.x >= box.x + box.width, 'the fire control covers the picture');
      console.log(`# ${width} x ${height}: canvas ${box.width} x ${box.height} CSS pixels, fire control ` +
        `${Math.round(fire.width)} x ${Math.round(fire.height)}`);
    }
  });

  await check('on the phone a tap starts the game', async () => {
    const [x, y] = await centreOf('#screen');
    await page.touchscreen.tap(x, y);
    await waitFor('the game', () => playing(page), 5000);
  });

  await check('on the phone a drag anywhere moves the crosshair by the drag, like a trackpad', async () => {
    const before = await pointer(page);
    const [x, y] = await centreOf('#screen');
    await drag([x + 60, y + 40], -40, -20);
    await page.waitForTimeout(100);
    const after = await pointer(page);
    // 320 CSS pixels for 320 picture pixels, and half as much again.
    assert(Math.abs(after.x - (before.x - 60)) <= 3 && Math.abs(after.y - (before.y - 30)) <= 3,
      `the crosshair went from (${before.x}, ${before.y}) to (${after.x}, ${after.y})`);
    assert((await pointer(page)).x === after.x, 'the crosshair moved after the finger was lifted');
  });

  await check('on the phone holding FIRE draws the cyan beams', async () => {
    const quiet = cyanPixels(await pixels(page));
    await touch('touchStart', [await centreOf('#touch-fire')]);
    await page.waitForTimeout(300);
    const firing = cyanPixels(await pixels(page));
    await touch('touchEnd', []);
    await page.waitForTimeout(300);
    const after = cyanPixels(await pixels(page));
    assert(firing > quiet + 100 && after < firing - 100, `cyan pixels: ${quiet} before, ${firing} held, ${after} after`);
  });

  await check('on the phone a drag to the left edge steers', async () => {
    const [x, y] = await centreOf('#screen');
    const lower = () => page.evaluate(() => {
      const context = document.getElementById('screen').getContext('2d');
      const canvas = document.getElementById('screen');
      return Array.from(context.getImageData(0, canvas.height * 0.8, canvas.width, 1).data);
    });
    const before = await lower();
    await drag([x + 100, y], -300, 0, false);
    await page.waitForTimeout(500);
    const at = await pointer(page);
    assert(at.x < 20, `the crosshair stopped at x ${at.x}`);
    // The cockpit shifts as the ship steers.
    const after = await lower();
    let changed = 0;
    for (let i = 0; i < before.length; i += 4) if (before[i] !== after[i] || before[i + 1] !== after[i + 1]) changed += 1;
    await touch('touchEnd', []);
    assert(changed > 10, `the cockpit did not move (${changed} pixels of a row changed)`);
  });

  await check('on the phone the pause control pauses and a tap resumes', async () => {
    await page.touchscreen.tap(...(await centreOf('#touch-pause')));
    await waitFor('the pause', () => page.evaluate(() => window.quorvaner.paused), 3000);
    // The menu's Resume row, 40 picture pixels from the top.
    const screen = await page.locator('#screen').boundingBox();
    await page.touchscreen.tap(screen.x + screen.width / 2, screen.y + (screen.height * 40) / 200);
    await waitFor('the game again', () => page.evaluate(() => !window.quorvaner.paused), 3000);
    assert(problems.length === 0, problems.join('\n'));
  });
  await phone.close();

  // ---- A pad, through a stubbed Gamepad API.
  const desk = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  await desk.addInitScript(() => {
    const button = () => ({ pressed: false, touched: false, value: 0 });
    window.testPad = { id: 'Test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
      buttons: Array.from({ length: 17 }, button), axes: [0, 0, 0, 0] };
    navigator.getGamepads = () => [window.testPad, null, null, null];
  });
  const padPage = await desk.newPage();
  await padPage.goto(url);
  const press = (index, value) => padPage.evaluate(([i, v]) => {
    window.testPad.buttons[i] = { pressed: v > 0.5, touched: v > 0, value: v };
  }, [index, value]);
  const stick = (x, y) => padPage.evaluate(([ax, ay]) => { window.testPad.axes = [ax, ay, 0, 0]; }, [x, y]);

  await check('with a pad, A starts the game', async () => {
    await waitForTitle(padPage);
    await press(0, 1);
    await padPage.waitForTimeout(200);
    await press(0, 0);
    await waitFor('the game', () => playing(padPage), 5000);
  });

  await check('with a pad, the stick moves the crosshair to the edge', async () => {
    const before = await pointer(padPage);
    await stick(-1, 0);
    await waitFor('the left edge', async () => (await pointer(padPage)).x === 0, 3000);
    await stick(0.1, 0);  // inside the dead zone
    const still = await pointer(padPage);
    await padPage.waitForTimeout(200);
    assert((await pointer(padPage)).x === still.x, 'the dead zone moved the crosshair');
    await stick(0.6, 0.6);
    await padPage.waitForTimeout(300);
    const after = await pointer(padPage);
    await stick(0, 0);
    assert(after.x > 0 && after.y > before.y, `the stick took the crosshair to (${after.x}, ${after.y})`);
  });

  await check('with a pad, the trigger fires and Start pauses', async () => {
    const quiet = cyanPixels(await pixels(padPage));
    await press(7, 1);
    await padPage.waitForTimeout(300);
    const firing = cyanPixels(await pixels(padPage));
    await press(7, 0);
    assert(firing > quiet + 100, `cyan pixels: ${quiet} before, ${firing} with the trigger pulled`);
    await press(9, 1);
    await waitFor('the pause', () => padPage.evaluate(() => window.quorvaner.paused), 3000);
    await press(9, 0);
    await padPage.waitForTimeout(200);
    await press(9, 1);
    await waitFor('the game again', () => padPage.evaluate(() => !window.quorvaner.paused), 3000);
  });
  await desk.close();
}
