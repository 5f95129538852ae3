// Replays in the page: a link in the address plays to the native runner's final digest, keys
// pressed meanwhile change nothing, and the game is the player's afterwards; a damaged link
// is said plainly and leaves a game to play.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {NATIVE_RUNNER, SOURCE_DIR, gameStatus, openGame, useBrowser, waitForStatus} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});
async function shot(page, name) {
  if (SHOTS) await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();
const WIN = path.join(SOURCE_DIR, 'tests', 'scripts', 'expected', 'win_level.qrp');

function native(args) {
  const result = spawnSync(NATIVE_RUNNER, args, {encoding: 'utf8'});
  assert.equal(result.status, 0, `${NATIVE_RUNNER} ${args.join(' ')}: ${result.stderr}`);
  return result.stdout.trim();
}

const link = native(['--link', WIN]);
const verified = native(['--verify', WIN]).match(/OK: (\d+) passes.*final digest ([0-9a-f]{16})/);

test('a link in the address plays to the native final digest, then the game is the player\'s', async () => {
  assert.ok(verified, 'the native runner verifies the replay');
  assert.ok(link.startsWith('#replay=') && link.length < 1000, `the link (${link.length} characters)`);
  const page = await openGame(shared.browser, shared.url + link, {width: 1000, height: 760});
  await waitForStatus(page, 's.replay === "playing"');
  // The player's keys do not reach a game that a replay plays.
  for (const key of ['ArrowLeft', 'Escape', 'c', 'Escape']) await page.keyboard.press(key);
  await shot(page, 'replay-playing');
  await waitForStatus(page, 's.replay !== "playing"', 60_000);
  const status = await gameStatus(page);
  assert.equal(status.replay, 'matches');
  assert.equal(status.replay_passes, Number(verified[1]));
  assert.equal(status.replay_digest, verified[2]);
  assert.match(await page.$eval('#toast', (toast) => toast.textContent), /played as it was recorded/);
  await shot(page, 'replay-ended');
  // The game goes on from where the replay left it, now with the player's keys.
  const passes = status.passes;
  await waitForStatus(page, `s.passes > ${passes + 5}`);
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  assert.deepEqual(page.errors, []);
});

test('a damaged link says so and leaves the game to play', async () => {
  const damaged = [
    link.slice(0, link.length >> 1),                          // cut short
    link.slice(0, 40) + (link[40] === 'A' ? 'B' : 'A') + link.slice(41),  // a byte changed
    '#replay=not*a*link',
    '#replay=',
  ];
  for (const text of damaged) {
    const page = await openGame(shared.browser, shared.url + text, {width: 1000, height: 760});
    const status = await gameStatus(page);
    assert.equal(status.replay, 'unplayable', text);
    assert.match(await page.$eval('#toast', (toast) => toast.textContent), /cannot be played: \w/);
    if (text === damaged[0]) await shot(page, 'replay-damaged');
    await page.keyboard.press('s');
    await waitForStatus(page, 's.game_mode === 0');
    assert.deepEqual(page.errors, []);
    await page.browserContext().close();
  }
});
