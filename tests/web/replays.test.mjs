// Replays in the page: a link in the address plays to the native runner's final digest, keys
// pressed meanwhile change nothing, and the game is the player's afterwards; a damaged link
// or file is said plainly and leaves a game to play; the run just played is copied as a link
// that plays back, and saved as a file that verifies natively; a replay file opened with the
// picker or dropped on the page plays, asked about first over a game in progress.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';

import {NATIVE_RUNNER, SOURCE_DIR, gameStatus, openGame, sleep, useBrowser, waitForStatus} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});
async function shot(page, name) {
  if (SHOTS) await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();
const WIN = path.join(SOURCE_DIR, 'tests', 'scripts', 'expected', 'win_level.qrp');
// The pause menu's page of the game's questions (programs/common/pause_menu.h).
const PAGE_CONFIRM = 7;

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

// The native runner's verdict on a link's text: [passes, final digest].
function verifyLink(text) {
  const dir = mkdtempSync(path.join(os.tmpdir(), 'quellaro-link-'));
  try {
    const file = path.join(dir, 'run.txt');
    writeFileSync(file, text);
    const [, passes, digest] = native(['--verify', file]).match(/OK: (\d+) passes.*final digest ([0-9a-f]{16})/);
    return [Number(passes), digest];
  } finally {
    rmSync(dir, {recursive: true, force: true});
  }
}

async function openReplays(page) {
  await page.click('#replays');
  await page.waitForSelector('#replay-menu:not([hidden])');
}
const menuEntry = (page, text) => page.$(`xpath/.//div[@id="replay-menu"]/button[text()="${text}"]`);

test('the run just played is copied as a link that plays back, here and natively', async () => {
  const context = await shared.browser.createBrowserContext();
  await context.overridePermissions(shared.url, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760}, {context});
  await openReplays(page);
  assert.equal(await (await menuEntry(page, 'Copy link to this run')).evaluate((b) => b.disabled), true,
               'nothing to copy before a run');
  await page.keyboard.press('Escape');
  // The run: the winning replay played in this page, which records it as any run.
  await page.evaluate((text) => { location.hash = text; }, link);
  await page.reload();
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
  await waitForStatus(page, 's.replay === "matches" && s.run_link === 1', 60_000);
  await openReplays(page);
  await shot(page, 'replay-menu');
  await (await menuEntry(page, 'Copy link to this run')).click();
  await page.waitForFunction(() => document.getElementById('toast').textContent.includes('copied'));
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  assert.ok(copied.startsWith(shared.url + '#replay='), copied.slice(0, 80));
  const [passes, digest] = verifyLink(copied);
  assert.ok(passes > 0 && passes <= Number(verified[1]), `the run's ${passes} passes`);

  const again = await openGame(shared.browser, copied, {width: 1000, height: 760}, {context});
  await waitForStatus(again, 's.replay !== "playing"', 60_000);
  const status = await gameStatus(again);
  assert.deepEqual([status.replay, status.replay_passes, status.replay_digest], ['matches', passes, digest]);
  await context.close();
});

test('a replay file opened over a game in progress asks first: no leaves the game, yes plays it', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  const dir = mkdtempSync(path.join(os.tmpdir(), 'quellaro-open-'));
  try {
    // A file of junk, opened in the title, is refused at once and leaves a game to play.
    const junk = path.join(dir, 'junk.qrp');
    writeFileSync(junk, Buffer.from('QRPL and then nothing a replay holds'));
    const input = await page.$('#replay-menu input[type=file]');
    await input.uploadFile(junk);
    await page.waitForFunction(() => /cannot be played: \w/.test(document.getElementById('toast').textContent));
    assert.equal((await gameStatus(page)).replay, 'unplayable');
    await waitForStatus(page, 's.game_mode === -1');
    await page.keyboard.press('s');
    await waitForStatus(page, 's.game_mode === 0 && s.time_left < 399');

    // In play, the question comes first; the game waits under it.
    await input.uploadFile(WIN);
    await waitForStatus(page, `s.menu === ${PAGE_CONFIRM}`);
    await shot(page, 'replay-asked');
    const asked = await gameStatus(page);
    await sleep(300);
    const waited = await gameStatus(page);
    assert.deepEqual([waited.next_pass, waited.time_left, waited.replay], [asked.next_pass, asked.time_left, asked.replay]);
    // No (the first answer, taken with Enter): the same game goes on, no replay.
    await page.keyboard.press('Enter');
    await waitForStatus(page, `s.menu === 0 && s.next_pass > ${asked.next_pass + 5}`);
    let status = await gameStatus(page);
    assert.deepEqual([status.games, status.game_mode, status.replay], [asked.games, 0, asked.replay]);
    assert.ok(status.time_left < asked.time_left, 'the same game, on from where it was');

    // Yes: a fresh game plays the replay to the native final digest.
    await input.uploadFile(WIN);
    await waitForStatus(page, `s.menu === ${PAGE_CONFIRM}`);
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('Enter');
    await waitForStatus(page, 's.replay === "playing"');
    await waitForStatus(page, 's.replay !== "playing"', 60_000);
    status = await gameStatus(page);
    assert.deepEqual([status.replay, status.replay_passes, status.replay_digest],
                     ['matches', Number(verified[1]), verified[2]]);
    assert.deepEqual(page.errors, []);
  } finally {
    rmSync(dir, {recursive: true, force: true});
  }
});

test('a replay file dropped on the page plays; a link pasted over a game asks first', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  // A drop as the browser makes it: a DataTransfer carrying the file.
  await page.evaluate((bytes) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0))], 'win.qrp'));
    const over = new DragEvent('dragover', {dataTransfer: transfer, bubbles: true, cancelable: true});
    document.body.dispatchEvent(over);
    if (!over.defaultPrevented) throw new Error('the page does not take the drop');
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
  }, readFileSync(WIN).toString('base64'));
  await waitForStatus(page, 's.replay === "playing"');
  await waitForStatus(page, 's.replay !== "playing"', 60_000);
  let status = await gameStatus(page);
  assert.deepEqual([status.replay, status.replay_passes, status.replay_digest],
                   ['matches', Number(verified[1]), verified[2]]);
  assert.deepEqual(page.errors, []);
  await page.browserContext().close();

  // A link pasted into the address over a game in progress is asked about; left unanswered,
  // nothing happens.
  const playing = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  await playing.keyboard.press('s');
  await waitForStatus(playing, 's.game_mode === 0 && s.time_left < 399');
  await playing.evaluate((text) => { location.hash = text; }, link);
  await waitForStatus(playing, `s.menu === ${PAGE_CONFIRM}`);
  await playing.keyboard.press('Escape');
  await waitForStatus(playing, 's.menu === 0');
  await sleep(200);
  status = await gameStatus(playing);
  assert.deepEqual([status.games, status.game_mode, status.replay], [1, 0, 'none']);
  assert.deepEqual(playing.errors, []);
  await playing.browserContext().close();
});

test('the replay file the page saves holds the run just played, and verifies natively', async () => {
  const page = await openGame(shared.browser, shared.url + link, {width: 1000, height: 760});
  await waitForStatus(page, 's.replay === "matches" && s.run_link === 1', 60_000);
  const dir = mkdtempSync(path.join(os.tmpdir(), 'quellaro-save-'));
  try {
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior',
                       {behavior: 'allow', downloadPath: dir, browserContextId: page.browserContext().id});
    await openReplays(page);
    await (await menuEntry(page, 'Save replay file')).click();
    let saved = [];
    for (let tries = 0; tries < 100 && saved.length === 0; tries++) {
      await sleep(100);
      saved = readdirSync(dir).filter((name) => name.endsWith('.qrp'));
    }
    assert.equal(saved.length, 1, 'one replay file downloaded');
    const file = path.join(dir, saved[0]);
    const bytes = readFileSync(file);
    assert.equal(bytes.subarray(0, 4).toString('latin1'), 'QRPL');
    // The same bytes as the page's link to the run, and the run plays natively.
    const runLink = await page.evaluate(() => Module.UTF8ToString(Module._web_run_link()));
    assert.equal(bytes.toString('base64url'), runLink.slice('#replay='.length));
    const [passes, digest] = verifyLink(runLink);
    assert.match(native(['--verify', file]), new RegExp(`OK: ${passes} passes.*final digest ${digest}`));
  } finally {
    rmSync(dir, {recursive: true, force: true});
  }
  await page.browserContext().close();
});
