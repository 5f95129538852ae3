// The game page in headless Chromium, played as a player would: the title as the native
// runner draws it, a game started with S and the hero walked right, menu clicks at another
// size, the pause, the touch buttons at a phone's size, and the end of the game.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {canvasDigest, gameStatus, openGame, runNative, sleep, useBrowser, waitForStatus} from './harness.mjs';

// QUELLARO_SHOTS=DIR keeps screenshots of what the tests saw, for a person to look at.
const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});
async function shot(page, name) {
  if (SHOTS) await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();

// The canvas's frame pixels inside a frame rectangle, as a string to compare.
function framePixels(page, left, top, width, height) {
  return page.evaluate((l, t, w, h) => {
    const context = document.getElementById('frame').getContext('2d');
    return Array.from(context.getImageData(l, t, w, h).data).join(',');
  }, left, top, width, height);
}

// The page point over frame pixel (x, y), however the canvas is scaled.
async function pointOver(page, x, y) {
  const box = await page.$eval('#frame', (canvas) => {
    const r = canvas.getBoundingClientRect();
    return {left: r.left, top: r.top, width: r.width, height: r.height};
  });
  return {x: box.left + (x + 0.5) * box.width / 640, y: box.top + (y + 0.5) * box.height / 480};
}

test('the title shows exactly the native runner\'s frame, then S and Right play', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  await waitForStatus(page, 's.passes >= 3');
  const title = await canvasDigest(page);
  const native = runNative(['--passes', String(title.passes)]);
  assert.equal(title.digest, native.digests.at(-1).split(' ')[1], `the title at pass ${title.passes - 1}`);
  await shot(page, 'title');

  // The arrows and space are the game's: the page does not scroll or act on them.
  await page.evaluate(() => {
    window.unhandled = [];
    window.addEventListener('keydown', (e) => e.defaultPrevented || window.unhandled.push(e.key));
  });
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  const hudBefore = await framePixels(page, 0, 0, 640, 45);
  const start = await gameStatus(page);
  await page.keyboard.down('ArrowRight');
  await sleep(1200);
  await page.keyboard.press('Space');
  await page.keyboard.up('ArrowRight');
  const played = await gameStatus(page);
  await shot(page, 'play');
  assert.ok(played.hero_x > start.hero_x + 50, `the hero walked from ${start.hero_x} to ${played.hero_x}`);
  assert.ok(played.time_left < start.time_left - 0.5, 'the countdown ran');
  assert.notEqual(await framePixels(page, 0, 0, 640, 45), hudBefore, 'the HUD changed');
  assert.deepEqual(await page.evaluate(() => window.unhandled), []);
  // Escape returns to the menu, and the hero stays where it was.
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');
  assert.equal((await gameStatus(page)).hero_x, played.hero_x);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('clicks hit the menu entries at any size; the frame scales by whole steps when it fits', async () => {
  // Twice the frame fits: the canvas is shown at exactly 1280 x 960.
  const page = await openGame(shared.browser, shared.url, {width: 1300, height: 1040});
  const size = await page.$eval('#frame', (c) => [c.clientWidth, c.clientHeight]);
  assert.deepEqual(size, [1280, 960]);
  // The game's own cursor over the canvas, made from its cursor picture.
  assert.match(await page.$eval('#frame', (c) => getComputedStyle(c).cursor), /^url\("data:image\/png/);
  // Information screen 1 is the second entry, x 247..319, y 298..313 of the frame.
  let point = await pointOver(page, 250, 300);
  await page.mouse.click(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 1');
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');

  // Smaller than the frame: the largest box of its proportions, and clicks still land.
  await page.setViewport({width: 700, height: 420});
  await page.waitForFunction(() => document.getElementById('frame').clientWidth < 640);
  const [width, height] = await page.$eval('#frame', (c) => [c.clientWidth, c.clientHeight]);
  assert.ok(Math.abs(width / height - 4 / 3) < 0.01, `${width} x ${height}`);
  await shot(page, 'small-window');
  point = await pointOver(page, 260, 329);  // the third entry, information screen 2
  await page.mouse.click(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 2');
  // A click beside the entries does nothing.
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');
  point = await pointOver(page, 240, 280);
  await page.mouse.click(point.x, point.y);
  await sleep(200);
  assert.equal((await gameStatus(page)).game_mode, -1);
  await page.close();
});

test('the game pauses when the page loses the focus, and goes on when asked', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  await page.keyboard.down('ArrowRight');
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitForStatus(page, 's.paused === 1');
  const paused = await gameStatus(page);
  await sleep(400);
  assert.equal((await gameStatus(page)).passes, paused.passes, 'no passes while paused');
  assert.equal(await page.$eval('#notice', (n) => n.hidden), false);
  await shot(page, 'paused');
  // The held key was let go with the pause: going on, the hero does not walk by itself.
  await page.click('#notice');
  await waitForStatus(page, 's.paused === 0');
  await sleep(300);
  const resumed = await gameStatus(page);
  assert.ok(resumed.passes > paused.passes);
  assert.ok(resumed.hero_x - paused.hero_x < 20, `${paused.hero_x} -> ${resumed.hero_x}`);
  // P pauses and goes on too.
  await page.keyboard.up('ArrowRight');
  await page.keyboard.press('p');
  await waitForStatus(page, 's.paused === 1');
  await page.keyboard.press('p');
  await waitForStatus(page, 's.paused === 0');
  await page.close();
});

test('on a phone the touch buttons show, play the game and hold its keys', async () => {
  const page = await openGame(shared.browser, shared.url,
                              {width: 390, height: 844, hasTouch: true, isMobile: true, deviceScaleFactor: 3});
  assert.equal(await page.$eval('#touch', (t) => t.hidden), false);
  const width = await page.$eval('#frame', (c) => c.getBoundingClientRect().width);
  assert.ok(width <= 390 && width > 380, `the canvas is ${width} CSS pixels wide`);
  await shot(page, 'phone-title');

  // A tap on the first entry starts the game.
  let point = await pointOver(page, 300, 281);
  await page.touchscreen.tap(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 0');
  const start = await gameStatus(page);

  // Hold the right button with one finger for a second.
  const right = await page.$('[data-hold="39"]');
  const box = await right.boundingBox();
  await page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
  await sleep(1000);
  await shot(page, 'phone-play');
  await page.touchscreen.touchEnd();
  const walked = await gameStatus(page);
  assert.ok(walked.hero_x > start.hero_x + 50, `the hero walked from ${start.hero_x} to ${walked.hero_x}`);
  await sleep(300);
  const stopped = await gameStatus(page);
  await sleep(300);
  assert.equal((await gameStatus(page)).hero_x, stopped.hero_x, 'the finger lifted, the hero stopped');

  // Menu goes back to the title; there it does nothing (Escape would end the game).
  point = await page.$('#back').then((b) => b.boundingBox());
  await page.touchscreen.tap(point.x + point.width / 2, point.y + point.height / 2);
  await waitForStatus(page, 's.game_mode === -1');
  await page.touchscreen.tap(point.x + point.width / 2, point.y + point.height / 2);
  await sleep(300);
  assert.equal((await gameStatus(page)).game_mode, -1);
  await page.close();
});

test('a gamepad starts the game, walks the hero with its stick and goes back with Back', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  // A pad in the standard layout, as the browser would report it.
  await page.evaluate(() => {
    const pad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                 axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
    window.pad = pad;
    navigator.getGamepads = () => [pad, null, null, null];
  });
  const press = (button, pressed) => page.evaluate((b, p) => {
    window.pad.buttons[b] = {pressed: p, value: p ? 1 : 0};
  }, button, pressed);
  await press(9, true);  // Start
  await waitForStatus(page, 's.game_mode === 0');
  await press(9, false);
  const start = await gameStatus(page);
  await page.evaluate(() => { window.pad.axes[0] = 0.2; });  // inside the dead zone
  await sleep(300);
  assert.equal((await gameStatus(page)).hero_x, start.hero_x, 'a resting stick walks nowhere');
  await page.evaluate(() => { window.pad.axes[0] = 0.9; });
  await waitForStatus(page, `s.hero_x > ${start.hero_x + 50}`);
  await page.evaluate(() => { window.pad.axes[0] = 0; });
  await press(8, true);  // Back
  await waitForStatus(page, 's.game_mode === -1');
  await page.close();
});

test('without touch the buttons stay hidden; Q ends the game and the page says so', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  assert.equal(await page.$eval('#touch', (t) => t.hidden), true);
  await page.click('#fullscreen');
  await page.waitForFunction(() => document.fullscreenElement?.id === 'game');
  assert.equal(await page.$eval('#fullscreen', (b) => b.textContent), 'Leave full screen');
  await page.click('#fullscreen');
  await page.waitForFunction(() => !document.fullscreenElement);
  assert.equal((await gameStatus(page)).paused, 0, 'the page\'s own button does not pause the game');
  await page.keyboard.press('q');
  await page.waitForFunction('Module.ended', {timeout: 5000});
  const passes = (await gameStatus(page)).passes;
  await sleep(200);
  assert.equal((await gameStatus(page)).passes, passes, 'no passes after the end');
  assert.match(await page.$eval('#notice', (n) => n.textContent), /Thanks for playing/);
  await shot(page, 'ended');
  await page.close();
});

test('when its pictures cannot be read, the page says which one and nothing runs', async () => {
  const page = await shared.browser.newPage();
  // The packed pictures arrive as zeros: not one of them is a picture.
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    if (!request.url().endsWith('/quellaro.data')) return request.continue();
    fetch(request.url()).then((r) => r.arrayBuffer()).then((data) => request.respond({
      status: 200, contentType: 'application/octet-stream', body: Buffer.alloc(data.byteLength)}));
  });
  await page.goto(shared.url);
  await page.waitForFunction('Module.ended', {timeout: 30_000});
  assert.match(await page.$eval('#notice', (n) => n.textContent),
               /could not start.*cannot read the picture "menubackground1\.bmp"/);
  await shot(page, 'failed-start');
  await page.close();
});
