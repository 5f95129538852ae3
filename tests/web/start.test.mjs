// The page's start when the server fails it: each of the game's files left out, damaged or
// never answered in turn. Every failure says what failed, stays on the screen, and its Try
// again starts the game once the server serves the file again.
import assert from 'node:assert/strict';
import {mkdirSync, readdirSync} from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';

import {DIST_DIR, launch, serve} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});

const shipped = (pattern) => readdirSync(DIST_DIR).find((name) => pattern.test(name));
const GAME_JS = shipped(/^quellaro\.[0-9a-f]{10}\.js$/);
const WASM = shipped(/^quellaro\.[0-9a-f]{10}\.wasm$/);
const PICTURES = shipped(/^pictures\.[0-9a-f]{10}\.tgz$/);

let server;
let browser;
before(async () => {
  server = await serve(DIST_DIR);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// Flips a byte in the middle: the same size, other content.
function damaged(bytes) {
  const copy = Buffer.from(bytes);
  copy[copy.length >> 1] ^= 0x5a;
  return copy;
}

const FAILURES = [
  {what: 'the program left out', file: GAME_JS, answer: () => null,
   heading: /could not be downloaded/, detail: new RegExp(GAME_JS.replaceAll('.', '\\.'))},
  {what: 'the program cut short', file: GAME_JS, answer: (b) => b.subarray(0, b.length >> 1),
   heading: /could not start/, detail: /SyntaxError/},
  {what: 'the machine code left out', file: WASM, answer: () => null,
   heading: /could not be downloaded/, detail: /404/},
  {what: 'the machine code damaged', file: WASM, answer: damaged,
   heading: /could not be downloaded/, detail: /arrived damaged/},
  {what: 'the machine code cut short', file: WASM, answer: (b) => b.subarray(0, 1000),
   heading: /could not be downloaded/, detail: /cut short or too long: 1000 bytes/},
  {what: 'the pictures left out', file: PICTURES, answer: () => null,
   heading: /pictures could not be downloaded/, detail: /404/},
  {what: 'the pictures damaged', file: PICTURES, answer: damaged,
   heading: /pictures could not be downloaded/, detail: /arrived damaged/},
  {what: 'the machine code never answered', file: WASM, answer: () => 'hang',
   heading: /download stopped/, detail: new RegExp(`waiting for ${WASM.replaceAll('.', '\\.')}`)},
];

for (const failure of FAILURES) {
  test(`${failure.what}: a message naming it, and Try again starts the game`, async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    try {
      await page.setViewport({width: 900, height: 700});
      // A stall is called after 1.5 s here rather than 20 s.
      await page.evaluateOnNewDocument(() => { window.quellaroStallMs = 1500; });
      server.alter = (name, bytes) => (name === failure.file ? failure.answer(bytes) : bytes);
      await page.goto(server.url);
      await page.waitForSelector('#notice .failure', {visible: true, timeout: 15_000});
      // The rest of the start (the other file coming, a progress line) does not cover it.
      await new Promise((resolve) => setTimeout(resolve, 600));
      const shown = await page.$eval('#notice', (n) => ({
        hidden: n.hidden,
        heading: n.querySelector('.failure strong')?.textContent,
        detail: n.querySelector('.failure p')?.textContent,
        button: n.querySelector('.failure button')?.textContent,
      }));
      assert.equal(shown.hidden, false);
      assert.match(shown.heading, failure.heading);
      assert.match(shown.detail, failure.detail);
      assert.equal(shown.button, 'Try again');
      assert.equal(await page.evaluate(() => Boolean(window.Module?.firstFrameAt)), false);
      if (SHOTS) await page.screenshot({path: path.join(SHOTS, `failure-${failure.what.replaceAll(' ', '-')}.png`)});

      server.alter = null;
      await page.click('#notice .failure button');
      await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
      assert.equal(await page.$eval('#notice', (n) => n.hidden), true);
    } finally {
      server.alter = null;
      await context.close();
    }
  });
}

test('a slow download shows the bytes come so far', async () => {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  try {
    const client = await page.createCDPSession();
    await client.send('Network.enable');
    // About 200 KB a second: the start takes a couple of seconds.
    await client.send('Network.emulateNetworkConditions',
                      {offline: false, latency: 50, downloadThroughput: 200_000, uploadThroughput: 200_000});
    const seen = [];
    await page.exposeFunction('noteProgress', (text) => seen.push(text));
    await page.evaluateOnNewDocument(() => {
      new MutationObserver(() => {
        const text = document.getElementById('notice')?.textContent;
        if (text) window.noteProgress(text);
      }).observe(document, {subtree: true, childList: true, characterData: true});
    });
    await page.goto(server.url);
    await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
    const counts = seen.map((text) => text.match(/Downloading the game: (\d+) KB of (\d+) KB/))
                       .filter(Boolean)
                       .map(([, done, total]) => [Number(done), Number(total)]);
    assert.ok(counts.length >= 3, `progress lines: ${seen.join(' | ')}`);
    const done = counts.map(([d]) => d);
    assert.deepEqual(done, [...done].sort((a, b) => a - b), 'the count only grows');
    assert.ok(done.at(-1) > done[0], 'the count grows');
    assert.ok(counts.every(([d, total]) => d <= total && total === counts[0][1]));
  } finally {
    await context.close();
  }
});

test('a browser that cannot decompress is told it is too old, and downloads nothing', async () => {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  try {
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    const asked = [];
    page.on('request', (request) => asked.push(new URL(request.url()).pathname));
    await page.evaluateOnNewDocument(() => { delete window.DecompressionStream; });
    await page.goto(server.url);
    await page.waitForSelector('#notice .failure', {visible: true, timeout: 15_000});
    const shown = await page.$eval('#notice .failure',
                                   (n) => ({text: n.textContent, buttons: n.querySelectorAll('button').length}));
    assert.match(shown.text, /too old/);
    assert.match(shown.text, /Firefox 113/);
    assert.equal(shown.buttons, 0, 'trying again cannot help');
    assert.deepEqual(asked.filter((name) => /\.(wasm|tgz|tar)$/.test(name)), []);
    assert.deepEqual(errors, []);
    assert.ok(!readdirSync(DIST_DIR).some((name) => name.endsWith('.tar')), 'no plain archive is shipped');
    if (SHOTS) await page.screenshot({path: path.join(SHOTS, 'failure-too-old.png')});
  } finally {
    await context.close();
  }
});
