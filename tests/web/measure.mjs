// Measures the browser version for the record (not a test: nothing here can fail):
// the download size, raw and compressed; the time from the start of the page's load to the
// title frame; and the processor time per pass in the menu and in play, from the DevTools
// performance metrics. Run: node tests/web/measure.mjs (after make web).
import {readFileSync} from 'node:fs';
import path from 'node:path';
import {gzipSync} from 'node:zlib';

import {gameStatus, launch, openGame, serve, sleep, WEB_DIR} from './harness.mjs';

const FILES = ['index.html', 'style.css', 'page.js', 'quellaro.js', 'quellaro.wasm', 'quellaro.data'];
let raw = 0;
let compressed = 0;
for (const file of FILES) {
  const bytes = readFileSync(path.join(WEB_DIR, file));
  const packed = gzipSync(bytes, {level: 9}).length;
  raw += bytes.length;
  compressed += packed;
  console.log(`${file.padEnd(14)} ${String(bytes.length).padStart(9)} bytes, ${String(packed).padStart(8)} gzip -9`);
}
console.log(`${'all'.padEnd(14)} ${String(raw).padStart(9)} bytes, ${String(compressed).padStart(8)} gzip -9`);

const server = await serve();
const browser = await launch();
try {
  const loads = [];
  for (let i = 0; i < 5; i++) {
    const context = await browser.createBrowserContext();  // a cold cache each time
    const page = await openGame(context, server.url, {width: 1280, height: 1024});
    loads.push(await page.evaluate('Module.firstFrameAt'));
    await context.close();
  }
  loads.sort((a, b) => a - b);
  console.log(`load to title frame: median ${loads[2].toFixed(0)} ms (of ${loads.map((t) => t.toFixed(0)).join(', ')})`);

  // Processor time per pass: the page's task time over a stretch of passes.
  const page = await openGame(browser, server.url, {width: 1280, height: 1024});
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
  await page.keyboard.down('ArrowRight');
  await page.keyboard.down('z');
  await perPass('play (running right)', 5);
} finally {
  await browser.close();
  await server.close();
}
