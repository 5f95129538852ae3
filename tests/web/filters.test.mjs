// Colour filters in the browser: chosen on the Video page, they change the picture on the
// canvas (drawn by the worker's WebGL and on a 2D canvas alike) and are kept with the page's settings, while the game's own
// frame stays the native runner's, pass for pass.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {canvasDigest, chooseScale, gameStatus, openGame, runNative, useBrowser, waitForStatus} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
async function shot(page, name) {
  if (!SHOTS) return;
  mkdirSync(SHOTS, {recursive: true});
  await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();
const PAGE_NONE = 0, PAGE_PAUSE = 1, PAGE_VIDEO = 4;

const announced = (page, text) =>
  page.waitForFunction((t) => document.getElementById('announce').textContent === t, {}, text);

// The canvas and the game's frame read at one moment, with the native runner's frame at
// that pass.
async function shown(page) {
  const canvas = await canvasDigest(page);
  const native = runNative(['--passes', String(canvas.passes)]).digests.at(-1).split(' ')[1];
  return {canvas: canvas.digest, frame: canvas.frame, native};
}

// From the pause menu to the Video page's Colours entry, one step Right, and back to play.
async function nextFilter(page, expect) {
  await page.keyboard.press('p');
  await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);
  await page.keyboard.press('ArrowDown');  // on the title there is no level to restart
  await announced(page, 'Paused. Options, 2 of 5.');
  await page.keyboard.press('Enter');
  await page.keyboard.press('Enter');  // Video
  await waitForStatus(page, `s.menu === ${PAGE_VIDEO}`);
  await page.keyboard.press('ArrowDown');  // Colours, after Scaling
  await page.keyboard.press('ArrowRight');
  await announced(page, `Video. Colours: ${expect}, 2 of 3.`);
  await shot(page, `web-colours-${expect.toLowerCase().replace(' ', '-')}`);
  for (let i = 0; i < 3; i++) await page.keyboard.press('Escape');
  await waitForStatus(page, `s.menu === ${PAGE_NONE} && s.paused === 0`);
  // The menu leaves the canvas with the next frame shown.
  const closed = (await gameStatus(page)).passes;
  await waitForStatus(page, `s.passes >= ${closed + 2}`);
}

for (const draw of ['worker', '2d']) {
  test(`${draw}: each filter changes the picture, never the game's frame, and is kept`, async () => {
    const context = await shared.browser.createBrowserContext();
    const url = draw === '2d' ? `${shared.url}?draw=2d` : shared.url;
    let page = await openGame(shared.browser, url, {width: 1000, height: 760}, {context});
    assert.equal(await page.evaluate('Module.display.kind'), draw);
    await chooseScale(page, 'integer');  // each frame pixel read exactly
    const plain = await shown(page);
    assert.equal(plain.frame, plain.native);
    assert.equal(plain.canvas, plain.native, 'no filter: the canvas shows the game\'s colours');

    const pictures = new Set();
    for (const name of ['Red-green', 'Blue-yellow', 'High contrast']) {
      await nextFilter(page, name);
      const filtered = await shown(page);
      assert.equal(filtered.frame, filtered.native, `${name}: the game's frame`);
      assert.notEqual(filtered.canvas, filtered.native, `${name}: the picture`);
      pictures.add(filtered.canvas);
      await shot(page, `web-${draw}-${name.toLowerCase().replace(' ', '-')}`);
    }
    assert.equal(pictures.size, 3, 'each filter its own picture');

    // The last choice is in the page's settings and in force after a reload.
    const stored = await page.evaluate(() => atob(localStorage.getItem('quellaro.settings')));
    assert.match(stored, /^colours = high-contrast$/m);
    await page.close();
    page = await openGame(shared.browser, url, {width: 1000, height: 760}, {context});
    const again = await shown(page);
    assert.equal(again.frame, again.native);
    assert.notEqual(again.canvas, again.native);

    // Round to none again: the game's own colours.
    await nextFilter(page, 'None');
    const none = await shown(page);
    assert.equal(none.canvas, none.native);
    assert.deepEqual(page.errors, []);
    await context.close();
  });
}
