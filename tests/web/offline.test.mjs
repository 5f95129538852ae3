// The page installable and kept for offline play: after a first visit its worker holds the
// version's files and a second visit plays with the network off; a new version on the server
// replaces the old one whole, and a page only ever loads the files of its own version.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {appendFileSync, cpSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';

import {DIST_DIR, gameStatus, launch, serve, SOURCE_DIR, waitForStatus, WEB_DIR} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});

let server;
let browser;
let work;
let nextDist;  // the same game with a changed page: another version
let workerDist;  // the same game with a changed worker alone
// The page's folder made from the sources with one page file changed.
function makeDist(name, changed) {
  const pageDir = path.join(work, `page-${name}`);
  cpSync(path.join(SOURCE_DIR, 'platform', 'web', 'page'), pageDir, {recursive: true});
  appendFileSync(path.join(pageDir, changed), '// the next version\n');
  const out = path.join(work, `dist-${name}`);
  const made = spawnSync(process.execPath, [path.join(SOURCE_DIR, 'platform', 'web', 'make_dist.mjs'),
                                            '--game', WEB_DIR, '--page', pageDir,
                                            '--assets', path.join(SOURCE_DIR, 'assets'), '--out', out],
                         {encoding: 'utf8'});
  assert.equal(made.status, 0, made.stderr);
  return out;
}
before(async () => {
  work = mkdtempSync(path.join(os.tmpdir(), 'quellaro-web-'));
  nextDist = makeDist('next', 'page.js');
  workerDist = makeDist('worker', 'sw.js');
  server = await serve(DIST_DIR);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
  rmSync(work, {recursive: true, force: true});
});

const versionOf = (page) => page.$eval('meta[name="quellaro-version"]', (m) => m.content);

// The page's version, the files it loaded, and the versions its worker keeps.
async function loadedFiles(page) {
  return page.evaluate(async () => ({
    files: performance.getEntriesByType('resource').map((e) => new URL(e.name).pathname.slice(1))
               .filter((name) => /\.[0-9a-f]{10}\./.test(name)),
    caches: (await caches.keys()).sort(),
  }));
}

// The network off or on: the page's own emulation, and the server unreachable for the
// worker, whose requests that emulation does not cover.
async function setOffline(page, offline) {
  await page.setOfflineMode(offline);
  server.alter = offline ? () => 'drop' : null;
}

async function startAndKeep(page) {
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
  await page.waitForFunction(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    return registration?.active?.state === 'activated' && navigator.serviceWorker.controller !== null;
  }, {timeout: 30_000, polling: 100});
}

test('installable, played offline on a second visit, and a new version taken whole', async () => {
  // The browser's own profile (fresh for this file): an incognito one installs nothing.
  const page = await browser.newPage();
  try {
    await page.setViewport({width: 1000, height: 760});
    await page.goto(server.url);
    await startAndKeep(page);
    const first = await versionOf(page);

    // What a browser needs to offer the installation.
    const client = await page.createCDPSession();
    const {installabilityErrors} = await client.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    const manifest = await client.send('Page.getAppManifest');
    assert.deepEqual(manifest.errors, []);
    assert.match(manifest.url, /manifest\.[0-9a-f]{10}\.webmanifest$/);

    // The network off: the page, its program and its pictures come from the kept version.
    await setOffline(page, true);
    await page.reload();
    await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
    await waitForStatus(page, 's.passes > 5');
    assert.equal(await versionOf(page), first);
    await page.keyboard.press('s');
    await waitForStatus(page, 's.game_mode === 0');
    assert.deepEqual(page.errors ?? [], []);
    if (SHOTS) await page.screenshot({path: path.join(SHOTS, 'offline-play.png')});

    // Online, a server that answers the page with an error: the kept version plays.
    for (const status of [404, 503]) {
      server.alter = (name, bytes) => (name === 'index.html' ? status : bytes);
      await page.reload();
      await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
      assert.equal(await versionOf(page), first, `the page answered ${status}`);
      await waitForStatus(page, 's.passes > 5');
    }
    server.alter = null;

    // A new version on the server: the next visit loads it, and only its files; its worker
    // then keeps it alone.
    await setOffline(page, false);
    server.root = nextDist;
    await page.reload();
    await startAndKeep(page);
    const second = await versionOf(page);
    assert.notEqual(second, first);
    await page.waitForFunction((v) => caches.keys().then((k) => k.length === 1 && k[0] === `quellaro-${v}`),
                               {timeout: 30_000, polling: 100}, second);
    const nextFiles = new Set(readdirSync(nextDist));
    const loaded = await loadedFiles(page);
    assert.ok(loaded.files.length >= 5, loaded.files.join(' '));
    for (const name of loaded.files) assert.ok(nextFiles.has(name), `${name} is not of the version ${second}`);

    // Offline again: the new version plays, whole.
    await setOffline(page, true);
    await page.reload();
    await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
    assert.equal(await versionOf(page), second);
    for (const name of (await loadedFiles(page)).files) assert.ok(nextFiles.has(name), name);
    assert.equal((await gameStatus(page)).game_mode, -1);
  } finally {
    server.root = DIST_DIR;
    server.alter = null;
    await page.close();
  }
});

test('a change to the worker alone is a new version, kept under a name of its own', () => {
  const read = (dist, name) => readFileSync(path.join(dist, name), 'utf8');
  const version = (dist) => read(dist, 'index.html').match(/name="quellaro-version" content="(\w+)"/)[1];
  const cacheOf = (dist) => read(dist, 'sw.js').match(/const VERSION = '(\w+)'/)[1];
  const versioned = (dist) => readdirSync(dist).filter((name) => /\.[0-9a-f]{10}\./.test(name)).sort();
  // The same versioned files (the worker is not one of them), yet another version.
  assert.deepEqual(versioned(workerDist), versioned(DIST_DIR));
  assert.notEqual(version(workerDist), version(DIST_DIR));
  assert.equal(cacheOf(workerDist), version(workerDist));
  assert.equal(cacheOf(DIST_DIR), version(DIST_DIR));
});
