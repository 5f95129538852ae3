// What the browser tests share: a static server for the built page, headless Chromium from
// the system (puppeteer-core downloads no browser), and the native runner's output.
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {readFile} from 'node:fs/promises';
import os from 'node:os';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {after, before} from 'node:test';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const SOURCE_DIR = path.resolve(here, '..', '..');
export const WEB_DIR = path.resolve(process.env.QUELLARO_WEB_DIR ?? path.join(SOURCE_DIR, 'build-web'));
// The folder a server serves: the page and its versioned files, nothing else.
export const DIST_DIR = path.join(WEB_DIR, 'dist');
export const NATIVE_RUNNER = path.resolve(
    process.env.QUELLARO_RUNNER ?? path.join(SOURCE_DIR, 'build', 'quellaro-headless'));
const CHROMIUM = process.env.QUELLARO_CHROMIUM ?? '/usr/bin/chromium';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.tgz': 'application/gzip',
  '.tar': 'application/x-tar',
  '.webmanifest': 'application/manifest+json',
};

// Serves a folder on 127.0.0.1 at a free port; resolves to {url, close, root, alter,
// sent}. The tests may point root at another folder, and set alter(name, bytes) to answer a file
// otherwise: null leaves it out (404), a number answers that status with no file, 'hang'
// never answers, 'drop' closes the connection unanswered (as a network that is off), other
// bytes replace it.
export async function serve(root = WEB_DIR) {
  const hanging = new Set();
  const server = http.createServer(async (request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(served.root, path.normalize(wanted === '/' ? '/index.html' : wanted));
    if (!file.startsWith(served.root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      let body = await readFile(file);
      if (served.alter) body = served.alter(path.basename(file), body);
      if (body === 'drop') {
        response.destroy();
        return;
      }
      if (body === 'hang') {
        hanging.add(response);
        return;
      }
      if (body === null) throw new Error('left out');
      if (typeof body === 'number') {
        response.writeHead(body, {'Content-Type': 'text/plain'}).end(`status ${body}`);
        return;
      }
      response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream',
                               'Cache-Control': 'no-cache'});
      response.end(body);
      served.sent += body.length;
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const served = {
    root,
    alter: null,
    sent: 0,  // the bytes of the files answered
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => {
      for (const response of hanging) response.destroy();
      server.closeAllConnections?.();
      return new Promise((resolve) => server.close(resolve));
    },
  };
  return served;
}

// One browser and two servers for a test file: the page's folder (url) and the build folder
// with the runner's page (runnerUrl); started before its tests, closed after. Returns an
// object whose url, runnerUrl and browser are set once they run.
export function useBrowser() {
  const shared = {};
  let page;
  let runner;
  before(async () => {
    page = await serve(DIST_DIR);
    runner = await serve(WEB_DIR);
    shared.url = page.url;
    shared.runnerUrl = runner.url;
    shared.server = page;
    shared.browser = await launch();
  });
  after(async () => {
    await shared.browser?.close();
    await page?.close();
    await runner?.close();
  });
  return shared;
}

const FIREFOX = process.env.QUELLARO_FIREFOX ?? '/usr/bin/firefox-esr';

// Firefox, driven over WebDriver BiDi.
export function launchFirefox() {
  return puppeteer.launch({browser: 'firefox', executablePath: FIREFOX, headless: true});
}

export function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    // No GPU here: WebGL and the page's compositing run on the processor (SwiftShader) in
    // the GPU's process, as on a device with a GPU; without it the compositor would read
    // every WebGL frame back on the page's own thread.
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           '--ignore-gpu-blocklist'],
  });
}

// Runs the native headless runner; resolves to its state lines and frame digests.
export function runNative(args) {
  const dir = mkdtempSync(path.join(os.tmpdir(), 'quellaro-web-'));
  try {
    const digestFile = path.join(dir, 'digests.txt');
    const result = spawnSync(NATIVE_RUNNER, [...args, '--state', '-', '--frame-digests', digestFile],
                             {encoding: 'utf8', maxBuffer: 1 << 28});
    if (result.status !== 0) throw new Error(`${NATIVE_RUNNER} failed: ${result.error ?? result.stderr}`);
    return {
      state: result.stdout.split('\n').filter(Boolean),
      digests: readFileSync(digestFile, 'utf8').split('\n').filter(Boolean),
    };
  } finally {
    rmSync(dir, {recursive: true, force: true});
  }
}

// FNV-1a 64 over the frame's pixels as red, green, blue bytes, the runner's frame digest, as
// the canvas shows them (each frame pixel read at its centre: exact wherever the picture is
// scaled by nearest neighbour to at least its size), with the page's own pass count read at
// the same moment, and the game's own frame before any colour filter: {passes, digest,
// frame}. A rectangle [left, top, width, height] of the frame digests only that part.
export function canvasDigest(page, rect = [0, 0, 640, 480]) {
  return page.evaluate(async ([left, top, width, height]) => {
    // The status as the read is asked for: the worker's read shows the frames sent until then.
    const reading = Module.display.read();
    const status = JSON.parse(Module.UTF8ToString(Module._web_status()));
    const shown = await reading;
    // The 64-bit hash in two 32-bit halves; the prime is 2^40 + 0x1b3.
    let hi = 0xcbf29ce4, lo = 0x84222325;
    for (let y = top; y < top + height; y++) {
      const row = Math.floor((y + 0.5) * shown.height / 480);
      for (let x = left; x < left + width; x++) {
        const at = (row * shown.width + Math.floor((x + 0.5) * shown.width / 640)) * 4;
        for (let c = 0; c < 3; c++) {
          lo = (lo ^ shown.data[at + c]) >>> 0;
          const low = lo * 0x1b3;
          hi = (Math.imul(hi, 0x1b3) + Math.floor(low / 0x100000000) + (lo << 8)) >>> 0;
          lo = low >>> 0;
        }
      }
    }
    const hex = (n) => n.toString(16).padStart(8, '0');
    return {passes: status.passes, digest: hex(hi) + hex(lo), frame: status.frame};
  }, rect);
}

// Waits until the frame's pixels in rect differ from the digest given.
export async function waitForChange(page, rect, digest, timeout = 10_000) {
  const end = Date.now() + timeout;
  while ((await canvasDigest(page, rect)).digest === digest) {
    if (Date.now() > end) throw new Error(`the frame at ${rect} did not change in ${timeout} ms`);
    await sleep(30);
  }
}

export async function gameStatus(page) {
  return JSON.parse(await page.evaluate('Module.UTF8ToString(Module._web_status())'));
}

// Waits until the game's status satisfies the test (given as a function body over s).
export function waitForStatus(page, condition, timeout = 10_000) {
  return page.waitForFunction(
      `(() => { const s = JSON.parse(Module.UTF8ToString(Module._web_status())); return ${condition}; })()`,
      {timeout, polling: 20});
}

// Opens the game page in a browser context of its own (its own storage and cache, unless
// one is given) and waits for its first frame.
export async function openGame(browser, url, viewport, {context} = {}) {
  const page = await (context ?? await browser.createBrowserContext()).newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  if (viewport) await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
  page.errors = errors;
  return page;
}

// The scaling modes' numbers (platform/web/layout.h).
export const SCALE = {auto: 0, integer: 1, fit: 2, sharp: 3};
export async function chooseScale(page, mode) {
  await page.evaluate((m) => Module._web_choose_scale(m), SCALE[mode]);
  await waitForStatus(page, `s.scale === '${mode}'`);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
