// The game built for the browser plays every committed script exactly as the native build
// does: the runner in headless Chromium gives the native runner's state lines and frame
// digests, pass for pass.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {runNative, SOURCE_DIR, useBrowser} from './harness.mjs';

const SCRIPTS_DIR = path.join(SOURCE_DIR, 'tests', 'scripts');
// The committed scripts with the passes each runs, from the digests list.
const scripts = readFileSync(path.join(SCRIPTS_DIR, 'digests.txt'), 'utf8')
                    .split('\n')
                    .filter((line) => line.trim() && !line.startsWith('#'))
                    .map((line) => line.trim().split(/\s+/).slice(0, 2));

const shared = useBrowser();

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
  test(`${name}: the browser plays ${passes} passes as the native runner does`, async () => {
    const page = await shared.browser.newPage();
    try {
      await page.goto(`${shared.url}runner.html?script=${name}&passes=${passes}`);
      await page.waitForFunction('window.runnerResult', {timeout: 120_000});
      const web = await page.evaluate(() => window.runnerResult);
      const native = runNative(['--script', path.join(SCRIPTS_DIR, `${name}.txt`), '--passes', passes]);
      assert.equal(web.code, 0, web.errors.join('\n'));
      assert.ok(native.state.length > 0, 'the native runner printed no state');
      assertSame(web.state, native.state, 'state lines');
      assertSame(web.digests, native.digests, 'frame digests');
    } finally {
      await page.close();
    }
  });
}
