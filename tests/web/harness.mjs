// What the browser tests share: a static server for the built page, headless Chromium from
// the system (puppeteer-core downloads no browser), and the native runner's output.
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {readFile} from 'node:fs/promises';
import os from 'node:os';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const SOURCE_DIR = path.resolve(here, '..', '..');
export const WEB_DIR = path.resolve(process.env.QUELLARO_WEB_DIR ?? path.join(SOURCE_DIR, 'build-web'));
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
};

// Serves the build folder on 127.0.0.1 at a free port; resolves to {url, close}.
export async function serve(root = WEB_DIR) {
  const server = http.createServer(async (request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(wanted === '/' ? '/index.html' : wanted));
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream'});
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {url, close: () => new Promise((resolve) => server.close(resolve))};
}

export function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
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
