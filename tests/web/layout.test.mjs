// The page on phones, lying down and upright: no control over the picture or over another
// control, every one inside the screen and large enough for a thumb; upright, the picture
// takes the width and the walking buttons sit at the bottom.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {openGame, useBrowser} from './harness.mjs';

const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});

const shared = useBrowser();

const LANDSCAPE = [[568, 320], [640, 360], [667, 375], [740, 360], [844, 390], [932, 430]];
const PORTRAIT = [[360, 640], [390, 844], [430, 932]];
// The smallest tap target, in CSS pixels.
const TAP = 44;

// The picture's box and every control shown, in CSS pixels.
function boxes(page) {
  return page.evaluate(() => {
    const box = (element) => {
      const r = element.getBoundingClientRect();
      return {left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, height: r.height};
    };
    const shown = (element) => {
      const r = element.getBoundingClientRect();
      return r.width > 0 && r.height > 0 && getComputedStyle(element).visibility !== 'hidden';
    };
    const controls = [...document.querySelectorAll('#controls button, #help, #turn')]
                         .filter(shown)
                         .map((element) => ({name: element.id || element.getAttribute('aria-label'),
                                             button: element.tagName === 'BUTTON', ...box(element)}));
    return {frame: box(document.getElementById('frame')), controls};
  });
}

const overlap = (a, b) => Math.min(a.right, b.right) - Math.max(a.left, b.left) > 0.5 &&
                          Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top) > 0.5;

for (const [width, height] of [...LANDSCAPE, ...PORTRAIT]) {
  test(`${width} x ${height}: controls beside or under the picture, none under ${TAP} px`, async () => {
    const page = await openGame(shared.browser, shared.url,
                                {width, height, hasTouch: true, isMobile: true, deviceScaleFactor: 2});
    try {
      // The game's own pages too: the controls change with the mode.
      for (const mode of ['title', 'play']) {
        if (mode === 'play') {
          await page.keyboard.press('s');
          await page.waitForFunction(() => document.body.classList.contains('in-play'));
        }
        const {frame, controls} = await boxes(page);
        const where = `${width} x ${height}, ${mode}`;
        assert.ok(frame.width > 0 && Math.abs(frame.width / frame.height - 4 / 3) < 0.02, `${where}: the picture`);
        assert.ok(controls.some((c) => c.name === 'Jump'), `${where}: the buttons show`);
        for (const control of controls) {
          assert.ok(!overlap(control, frame), `${where}: ${control.name} covers the picture`);
          assert.ok(control.left >= -0.5 && control.top >= -0.5 && control.right <= width + 0.5 &&
                    control.bottom <= height + 0.5, `${where}: ${control.name} leaves the screen`);
          if (control.button) {
            assert.ok(control.width >= TAP && control.height >= TAP,
                      `${where}: ${control.name} is ${control.width} x ${control.height}`);
          }
          for (const other of controls) {
            if (other !== control) assert.ok(!overlap(control, other), `${where}: ${control.name} covers ${other.name}`);
          }
        }
        if (height > width) {
          assert.ok(frame.width >= width - 1, `${where}: the picture is ${frame.width} wide`);
          const walk = controls.find((c) => c.name === 'Walk left');
          assert.ok(walk.bottom > height * 0.8, `${where}: the walking buttons are not at the bottom`);
          assert.ok(controls.some((c) => c.name === 'turn'), `${where}: no hint to turn the phone`);
        } else {
          assert.ok(frame.height >= height * 0.85, `${where}: the picture is ${frame.height} tall`);
        }
        if (SHOTS) await page.screenshot({path: path.join(SHOTS, `phone-${width}x${height}-${mode}.png`)});
      }
      assert.deepEqual(page.errors, []);
    } finally {
      await page.close();
    }
  });
}
