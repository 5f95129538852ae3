// The run's overlays in the page: the best win kept in the browser's storage is the ghost and
// the timer's best; T and G show the timer and the ghost over the picture only (the game's own
// frame stays as it was), and the choice is kept; a finished run shows the results card and
// its best is kept in the storage.
import assert from 'node:assert/strict';
import {mkdirSync, readFileSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {SOURCE_DIR, canvasDigest, gameStatus, openGame, sleep, useBrowser, waitForStatus} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});
async function shot(page, name) {
  if (SHOTS) await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();
const WIN = readFileSync(path.join(SOURCE_DIR, 'tests', 'scripts', 'expected', 'win_level.qrp'));
const VIEW = {width: 1000, height: 760};

// A page whose storage holds a best of 578 passes and its win, as the game keeps them.
async function openWithBest(context) {
  const page = await openGame(shared.browser, shared.url, VIEW, {context});
  await page.evaluate((win) => {
    localStorage.setItem('quellaro.best', btoa('time 578\nsplits 88 206 469 578\nscore 500\n'));
    localStorage.setItem('quellaro.best-win', win);
  }, WIN.toString('base64'));
  await page.reload();
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
  return page;
}

// The picture shown while paused (it stands still), and the game's own frame digest.
async function shown(page) {
  await sleep(150);
  return canvasDigest(page);
}

test('the stored best win is the ghost; T and G draw over the picture only, and are kept', async () => {
  const context = await shared.browser.createBrowserContext();
  const page = await openWithBest(context);
  const status = await gameStatus(page);
  assert.equal(status.best_time, 578);
  assert.equal(status.ghost_passes, 579);
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0 && s.timer > 30');
  await page.keyboard.press('p');
  await waitForStatus(page, 's.paused === 1');
  const bare = await shown(page);
  await page.keyboard.press('t');
  const timer = await shown(page);
  await page.keyboard.press('g');
  const both = await shown(page);
  await shot(page, 'runs-ghost-timer');
  assert.notEqual(timer.digest, bare.digest, 'the timer is drawn');
  assert.notEqual(both.digest, timer.digest, 'the ghost is drawn');
  assert.deepEqual([timer.frame, both.frame], [bare.frame, bare.frame], 'the game\'s own frame is untouched');
  // Kept: a new visit shows both at once, and they go as they came.
  const again = await openGame(shared.browser, shared.url, VIEW, {context});
  await again.keyboard.press('s');
  await waitForStatus(again, 's.game_mode === 0 && s.timer > 30');
  await again.keyboard.press('p');
  await waitForStatus(again, 's.paused === 1');
  const kept = await shown(again);
  await again.keyboard.press('g');
  await again.keyboard.press('t');
  const off = await shown(again);
  assert.notEqual(kept.digest, off.digest, 'the timer and the ghost were kept on');
  await again.keyboard.press('t');
  assert.notEqual((await shown(again)).digest, off.digest, 'the timer alone');
  assert.deepEqual([...page.errors, ...again.errors], []);
  await context.close();
});

test('a run that ends shows the results card over the picture', async () => {
  const page = await openGame(shared.browser, shared.url, VIEW);
  assert.equal((await gameStatus(page)).best_time, 0);
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  // Walking right without a jump meets the first skivit.
  await page.keyboard.down('ArrowRight');
  await waitForStatus(page, 's.card === 2 && s.game_mode === -1', 30_000);
  await page.keyboard.up('ArrowRight');
  await shot(page, 'runs-card-died');
  // The card goes once play starts again.
  await page.keyboard.press('s');
  await waitForStatus(page, 's.card === 0 && s.game_mode === 0');
  assert.deepEqual(page.errors, []);
  await page.browserContext().close();
});
