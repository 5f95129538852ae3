// The game built for the browser plays every committed script exactly as the native build
// does: the runner in headless Chromium and in Firefox gives the native runner's state lines
// and frame digests, pass for pass.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {createHash} from 'node:crypto';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';

import {launchFirefox, NATIVE_RUNNER, runNative, SOURCE_DIR, useBrowser} from './harness.mjs';

const SCRIPTS_DIR = path.join(SOURCE_DIR, 'tests', 'scripts');
// The committed scripts with the passes each runs, from the digests list.
const scripts = readFileSync(path.join(SCRIPTS_DIR, 'digests.txt'), 'utf8')
                    .split('\n')
                    .filter((line) => line.trim() && !line.startsWith('#'))
                    .map((line) => line.trim().split(/\s+/).slice(0, 2));

const shared = useBrowser();
let firefox;
before(async () => { firefox = await launchFirefox(); });
after(async () => { await firefox?.close(); });

// The native runner's output for a script, run once for both browsers.
const nativeRuns = new Map();
function nativeRun(name, passes) {
  if (!nativeRuns.has(name)) {
    nativeRuns.set(name, runNative(['--script', path.join(SCRIPTS_DIR, `${name}.txt`), '--passes', passes]));
  }
  return nativeRuns.get(name);
}

// Where the first differing line first differs, so a failure says which pass went astray
// and in which value; null when the lines are the same.
function firstDifference(browserLines, nativeLines) {
  const count = Math.max(browserLines.length, nativeLines.length);
  for (let i = 0; i < count; i++) {
    const web = browserLines[i] ?? '(none)';
    const native = nativeLines[i] ?? '(none)';
    if (web !== native) {
      let at = 0;
      while (web[at] === native[at]) at++;
      const from = Math.max(0, at - 60);
      return `line ${i} differs at character ${at}:\n  browser: …${web.slice(from, at + 40)}\n` +
          `  native:  …${native.slice(from, at + 40)}`;
    }
  }
  return null;
}

function assertSame(browserLines, nativeLines, what) {
  const difference = firstDifference(browserLines, nativeLines);
  assert.ok(difference === null, `${what}: ${difference}`);
}

test('the committed scripts include the level won and a death', () => {
  const names = scripts.map(([name]) => name);
  assert.ok(names.includes('win_level'), names.join(' '));
  assert.ok(names.some((name) => name.includes('death')), names.join(' '));
});

for (const [name, passes] of scripts) {
  for (const kind of ['Chromium', 'Firefox']) {
    test(`${name}: ${kind} plays ${passes} passes as the native runner does`, async () => {
      const page = await (kind === 'Firefox' ? firefox : shared.browser).newPage();
      try {
        await page.goto(`${shared.runnerUrl}runner.html?script=${name}&passes=${passes}`);
        await page.waitForFunction('window.runnerResult', {timeout: 120_000});
        const web = await page.evaluate(() => window.runnerResult);
        const native = nativeRun(name, passes);
        assert.equal(web.code, 0, web.errors.join('\n'));
        assert.ok(native.state.length > 0, 'the native runner printed no state');
        assertSame(web.state, native.state, 'state lines');
        assertSame(web.digests, native.digests, 'frame digests');
      } finally {
        await page.close();
      }
    });
  }
}

// The sound too: the same mixer, limiter and tunes built for the browser record the very
// samples the native runner records.
test('win_level: the browser mixes the native runner\'s sound, sample for sample', async () => {
  const page = await shared.browser.newPage();
  const dir = mkdtempSync(path.join(os.tmpdir(), 'quellaro-web-'));
  try {
    await page.goto(`${shared.runnerUrl}runner.html?script=win_level&passes=640&audio=1`);
    await page.waitForFunction('window.runnerResult', {timeout: 120_000});
    const web = await page.evaluate(() => window.runnerResult);
    assert.equal(web.code, 0, web.errors.join('\n'));
    const wav = path.join(dir, 'audio.wav');
    const native = spawnSync(NATIVE_RUNNER, ['--script', path.join(SCRIPTS_DIR, 'win_level.txt'),
                                             '--passes', '640', '--audio', wav], {encoding: 'utf8'});
    assert.equal(native.status, 0, native.stderr);
    const bytes = readFileSync(wav);
    assert.ok(bytes.length > 44 + 4 * 44100 * 15, 'the recording is shorter than the run');
    assert.equal(web.audio, createHash('sha256').update(bytes).digest('hex'));
  } finally {
    rmSync(dir, {recursive: true, force: true});
    await page.close();
  }
});
