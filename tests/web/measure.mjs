// Measures the browser version for the record (not a test: nothing here can fail): the bytes
// a first visit transfers from a plain static server (up to the title, and once the worker
// has kept the game for offline play); the time from the start of the page's load to the
// title frame on Chrome's "Fast 4G" and "Slow 4G" profiles, median of 5 cold visits; and the
// main thread's time per pass in the menu and in play, from the DevTools performance metrics.
// Run: node tests/web/measure.mjs (after make web).
import {PredefinedNetworkConditions} from 'puppeteer-core';

import {DIST_DIR, gameStatus, launch, serve, sleep, waitForStatus} from './harness.mjs';

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];
const KB = 1024;

const server = await serve(DIST_DIR);
const browser = await launch();

// A cold visit (its own profile: no cache, no worker) on the given network; resolves to
// {page, context, bytes: a function giving the bytes transferred so far, by file}.
async function coldVisit(network, viewport = {width: 1280, height: 1024}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  const client = await page.createCDPSession();
  await client.send('Network.enable');
  const names = new Map();
  const bytes = new Map();
  client.on('Network.requestWillBeSent', (e) => names.set(e.requestId, new URL(e.request.url).pathname));
  client.on('Network.loadingFinished', (e) => {
    const name = names.get(e.requestId) ?? '?';
    bytes.set(name, (bytes.get(name) ?? 0) + e.encodedDataLength);
  });
  if (network) await page.emulateNetworkConditions(network);
  await page.goto(server.url);
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 120_000, polling: 10});
  return {page, context, bytes: () => new Map(bytes)};
}

const total = (bytes) => [...bytes.values()].reduce((a, b) => a + b, 0);

try {
  // The transfer, file by file as the page saw it; then with the worker's own downloads,
  // which the page does not see, from the server's count.
  {
    server.sent = 0;
    const {page, context, bytes} = await coldVisit(null);
    const title = bytes();
    for (const [name, size] of [...title].sort()) console.log(`  ${name.padEnd(40)} ${String(size).padStart(8)} bytes`);
    console.log(`first visit to the title: ${total(title)} bytes (${(total(title) / KB).toFixed(0)} KB) ` +
                `in ${title.size} requests`);
    await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistration())?.active,
                               {timeout: 30_000, polling: 100});
    const kept = await page.evaluate(async () => {
      const cache = await caches.open((await caches.keys())[0]);
      return (await cache.keys()).length;
    });
    await sleep(1000);
    console.log(`the worker keeps ${kept} files; the server sent ${server.sent} bytes of files in all`);
    await context.close();
  }

  for (const profile of ['Fast 4G', 'Slow 4G']) {
    const times = [];
    for (let i = 0; i < 5; i++) {
      const {page, context} = await coldVisit(PredefinedNetworkConditions[profile]);
      times.push(await page.evaluate('Module.firstFrameAt'));
      await context.close();
    }
    console.log(`${profile}: title frame ${median(times).toFixed(0)} ms after the load began, median of ` +
                `${times.map((t) => t.toFixed(0)).join(', ')}`);
  }

  // The main thread's time per pass: the page's task time over a stretch of passes.
  const {page, context} = await coldVisit(null);
  async function perPass(what, seconds) {
    const before = await page.metrics();
    const passesBefore = (await gameStatus(page)).passes;
    await sleep(seconds * 1000);
    const after = await page.metrics();
    const passes = (await gameStatus(page)).passes - passesBefore;
    const task = (after.TaskDuration - before.TaskDuration) * 1000 / passes;
    const script = (after.ScriptDuration - before.ScriptDuration) * 1000 / passes;
    console.log(`${what}: ${passes} passes in ${seconds} s, ${task.toFixed(3)} ms task time and ` +
                `${script.toFixed(3)} ms script time a pass`);
  }
  await perPass('title menu', 5);
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  await page.keyboard.down('ArrowRight');
  await page.keyboard.down('z');
  await perPass('play (running right)', 5);
  await context.close();
} finally {
  await browser.close();
  await server.close();
}
