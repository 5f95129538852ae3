// The menus over the held game in the browser: P opens the pause menu, which the keys and a
// click on the canvas work; Restart level takes the game back to where it began; Quit game
// asks first.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {gameStatus, openGame, sleep, useBrowser, waitForStatus} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
async function shot(page, name) {
  if (!SHOTS) return;
  mkdirSync(SHOTS, {recursive: true});
  await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

// The page point over a frame pixel of the canvas.
async function pointOver(page, x, y) {
  const box = await page.$eval('#frame', (c) => {
    const r = c.getBoundingClientRect();
    return {x: r.x, y: r.y, width: r.width, height: r.height};
  });
  return {x: box.x + (x + 0.5) * box.width / 640, y: box.y + (y + 0.5) * box.height / 480};
}

const shared = useBrowser();
const PAGE_PAUSE = 1, PAGE_OPTIONS = 3, PAGE_SOUND = 5, PAGE_CONFIRM = 7;

// Waits for the page to say text to a screen reader (failing with what it said instead).
async function announced(page, text) {
  const said = () => document.getElementById('announce').textContent;
  await page.waitForFunction((t) => document.getElementById('announce').textContent === t,
                             {timeout: 5000}, text)
      .catch(async () => assert.equal(await page.evaluate(said), text));
}
// The page's settings as kept in its storage.
const stored = (page) => page.evaluate(() => atob(localStorage.getItem('quellaro.settings')));

test('the pause menu is worked by keys and clicks, restarts the level and asks before quitting', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  await page.keyboard.press('ArrowDown');
  await page.waitForFunction(() => document.getElementById('announce').textContent ===
                             'Title menu: Help, 2 of 4.');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  await page.keyboard.down('ArrowRight');
  await sleep(1500);
  await page.keyboard.up('ArrowRight');
  const walked = await gameStatus(page);

  await page.keyboard.press('p');
  await waitForStatus(page, `s.paused === 1 && s.menu === ${PAGE_PAUSE}`);
  await shot(page, 'web-pause');
  // Screen readers hear the page and the entry lit, from the live region.
  await page.waitForFunction(() => document.getElementById('announce').textContent ===
                             'Paused. Resume, 1 of 7.');
  // Options (third entry, after Resume and Restart level), then Sound (after Video) by a click
  // on its row.
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  const sound = await pointOver(page, 200, 212);  // the second of five rows
  await page.mouse.click(sound.x, sound.y);
  await waitForStatus(page, `s.menu === ${PAGE_SOUND}`);
  await shot(page, 'web-sound');
  for (let i = 0; i < 2; i++) await page.keyboard.press('Escape');
  await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);

  // Restart level: the countdown is back near its start, the run marked practised.
  await page.keyboard.press('ArrowUp');  // from Options, kept lit
  await page.keyboard.press('Enter');
  await waitForStatus(page, 's.paused === 0 && s.menu === 0');
  const restarted = await gameStatus(page);
  assert.ok(restarted.time_left > walked.time_left, `${restarted.time_left} after ${walked.time_left}`);
  assert.equal(restarted.practised, 1);

  // Quit game from the menu asks; Keep playing leaves the game as it was.
  await page.keyboard.press('p');
  await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);
  await page.keyboard.press('ArrowUp');  // round to Quit game
  await page.keyboard.press('Enter');
  await waitForStatus(page, `s.menu === ${PAGE_CONFIRM}`);
  await shot(page, 'web-confirm');
  await page.keyboard.press('Enter');  // Keep playing is lit first
  await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.paused === 0 && s.game_mode === 0');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the Controls page rebinds a key, shows a conflict, keeps the keys and resets them', async () => {
  const context = await shared.browser.createBrowserContext();
  let page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  await page.keyboard.press('p');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');  // round past Quit game
  await announced(page, 'Paused. Controls, 4 of 5.');
  await page.keyboard.press('Enter');
  for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowDown');
  await announced(page, 'Controls. Jump: PageDown, C  / pad South, 4 of 26.');

  // A is Walk left's: both act, and the page says so.
  await page.keyboard.press('Enter');
  await announced(page, 'Controls. Jump: PageDown, C  / pad South, 4 of 26. Press the new key or pad button.');
  await page.keyboard.press('a');
  await announced(page, 'Controls. Jump: A  / pad South, 4 of 26. Also bound to Walk left: both act.');
  await shot(page, 'web-controls-conflict');
  assert.match(await stored(page), /^jump = A$/m);
  // M, the sound key, is taken as a binding, not as the sound switch.
  const soundButton = await page.$eval('#sound', (b) => b.textContent);
  await page.keyboard.press('Enter');
  await page.keyboard.press('m');
  await announced(page, 'Controls. Jump: M  / pad South, 4 of 26. Also bound to Sound on/off: both act.');
  assert.equal(await page.$eval('#sound', (b) => b.textContent), soundButton);
  // Menu down on M too: the page says which acts where, and in the pause menu M moves down,
  // the sound left as it was.
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  await page.keyboard.press('m');
  await page.waitForFunction(() => /^Controls\. Menu down: M.*, 6 of 26\. Also bound to Sound on\/off: that wins in the game, Menu down in the pause menu\.$/
      .test(document.getElementById('announce').textContent), {timeout: 5000})
      .catch(async () => assert.fail(await page.evaluate(() =>
          document.getElementById('announce').textContent)));
  await page.keyboard.press('m');
  await page.waitForFunction(() => /^Controls\. Enter: .*, 7 of 26\.$/
      .test(document.getElementById('announce').textContent), {timeout: 5000})
      .catch(async () => assert.fail(await page.evaluate(() =>
          document.getElementById('announce').textContent)));
  assert.equal(await page.$eval('#sound', (b) => b.textContent), soundButton);
  for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowUp');
  await announced(page, 'Controls. Jump: M  / pad South, 4 of 26.');
  // Escape while waiting keeps the key.
  await page.keyboard.press('Enter');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Enter');
  await page.keyboard.press('x');
  await announced(page, 'Controls. Jump: X  / pad South, 4 of 26. Saved.');

  // Kept: the page opened again shows X.
  await page.close();
  page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  assert.match(await stored(page), /^jump = X$/m);
  await page.keyboard.press('p');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('Enter');
  await page.keyboard.press('ArrowUp');  // round to Back, then Reset to defaults
  await page.keyboard.press('ArrowUp');
  await announced(page, 'Controls. Reset to defaults, 25 of 26.');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => /^jump = PageDown, C$/m.test(
      atob(localStorage.getItem('quellaro.settings'))));
  assert.deepEqual(page.errors, []);
  await context.close();
});

test('the Controls page rebinds a pad button, shows a conflict, keeps it and resets it', async () => {
  const context = await shared.browser.createBrowserContext();
  let page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  const fakePad = () => page.evaluate(() => {
    const pad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                 axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
    window.pad = pad;
    navigator.getGamepads = () => [pad, null, null, null];
    // As a browser tells of a pad once it is used.
    window.dispatchEvent(Object.assign(new Event('gamepadconnected'), {gamepad: pad}));
  });
  // A button pressed and let go, each seen by a poll.
  const tap = async (button) => {
    for (const down of [true, false]) {
      await page.evaluate((b, p) => { window.pad.buttons[b] = {pressed: p, value: p ? 1 : 0}; },
                          button, down);
      await sleep(150);
    }
  };
  const SOUTH = 0, NORTH = 3, START = 9, UP = 12, DOWN = 13;
  // The pad alone: Start plays, Start again pauses with the menu, the D-pad and South open
  // Controls.
  const toControls = async () => {
    await tap(START);
    await waitForStatus(page, 's.game_mode === 0');
    await tap(START);
    await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);
    for (let i = 0; i < 4; i++) await tap(DOWN);
    await announced(page, 'Paused. Controls, 5 of 7.');
    await tap(SOUTH);
  };
  await fakePad();
  await toControls();
  for (let i = 0; i < 3; i++) await tap(DOWN);
  await announced(page, 'Controls. Jump: PageDown, C  / pad South, 4 of 26.');
  await tap(SOUTH);
  await announced(page, 'Controls. Jump: PageDown, C  / pad South, 4 of 26. Press the new key or pad button.');
  // North is Quick load's: both act, and the page says so.
  await tap(NORTH);
  await announced(page, 'Controls. Jump: PageDown, C  / pad North, 4 of 26. Also bound to Quick load: both act.');
  await shot(page, 'web-controls-pad');
  assert.match(await stored(page), /\[gamepad\][^[]*^jump = North$/m);

  // Kept: the page opened again has it, and Reset to defaults (by the pad) restores South.
  await page.close();
  page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  assert.match(await stored(page), /\[gamepad\][^[]*^jump = North$/m);
  await fakePad();
  await toControls();
  await tap(UP);
  await tap(UP);
  await announced(page, 'Controls. Reset to defaults, 25 of 26.');
  await tap(SOUTH);
  await page.waitForFunction(() => /\[gamepad\][^[]*^jump = South$/m.test(
      atob(localStorage.getItem('quellaro.settings'))));
  assert.deepEqual(page.errors, []);
  await context.close();
});

test('the game speed is kept in the page\'s storage and marks the game practised', async () => {
  const context = await shared.browser.createBrowserContext();
  let page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0 && s.practised === 0');
  await page.keyboard.press('p');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');  // Options
  for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowRight');  // 100 % to 90 %
  await announced(page, 'Options. Game speed: 90 %, 4 of 5.');
  await page.waitForFunction(() => /^speed = 90$/m.test(atob(localStorage.getItem('quellaro.settings'))));
  for (let i = 0; i < 2; i++) await page.keyboard.press('Escape');
  await waitForStatus(page, 's.paused === 0 && s.practised === 1');

  // Opened again: the new game plays at 90 % from its start, and is marked.
  await page.close();
  page = await openGame(shared.browser, shared.url, {width: 800, height: 640}, {context});
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0 && s.practised === 1');
  await page.keyboard.press('p');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowDown');
  await page.waitForFunction(() => document.getElementById('announce').textContent ===
                             'Options. Game speed: 90 %, 4 of 5.', {timeout: 5000});
  assert.deepEqual(page.errors, []);
  await context.close();
});

// On phones the pause menu and the options are worked by touch alone: the on-screen buttons
// (at least 44 CSS pixels) move through the entries and take one, and a tap on an entry takes
// it, in both orientations.
for (const [width, height] of [[844, 390], [390, 844]]) {
  test(`${width} x ${height}: the pause menu and options are worked by touch`, async () => {
    const page = await openGame(shared.browser, shared.url,
                                {width, height, hasTouch: true, isMobile: true, deviceScaleFactor: 2});
    const tapAt = async (point) => page.touchscreen.tap(point.x, point.y);
    const tapOn = async (selector) => {
      const box = await (await page.$(selector)).boundingBox();
      assert.ok(box.width >= 44 && box.height >= 44, `${selector}: ${box.width} x ${box.height}`);
      await tapAt({x: box.x + box.width / 2, y: box.y + box.height / 2});
    };
    await tapAt(await pointOver(page, 300, 281));  // the title's first entry
    await waitForStatus(page, 's.game_mode === 0');
    await tapOn('#back');  // Menu pauses, with the pause menu
    await waitForStatus(page, `s.menu === ${PAGE_PAUSE}`);
    for (let i = 0; i < 2; i++) await tapOn('[data-menu="40"]');  // down to Options
    await page.waitForFunction(() => document.getElementById('announce').textContent ===
                               'Paused. Options, 3 of 7.', {timeout: 5000});
    await tapOn('[data-menu="13"]');  // OK
    await waitForStatus(page, `s.menu === ${PAGE_OPTIONS}`);
    await shot(page, `phone-options-${width}x${height}`);
    await tapAt(await pointOver(page, 200, 212));  // the second row: Sound
    await waitForStatus(page, `s.menu === ${PAGE_SOUND}`);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
}
