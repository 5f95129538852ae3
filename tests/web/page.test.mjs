// The game page in headless Chromium, played as a player would: the title as the native
// runner draws it, a game started with S and the hero walked right, menu clicks at another
// size, the pause, the sound, the touch buttons at a phone's size, the practice tools, and
// quitting, which in a page leads back to the title.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

import {canvasDigest, chooseScale, gameStatus, openGame, runNative, sleep, useBrowser, waitForChange,
        waitForStatus} from './harness.mjs';

// QUELLARO_SHOTS=DIR keeps screenshots of what the tests saw, for a person to look at.
const SHOTS = process.env.QUELLARO_SHOTS;
if (SHOTS) mkdirSync(SHOTS, {recursive: true});
async function shot(page, name) {
  if (SHOTS) await page.screenshot({path: path.join(SHOTS, `${name}.png`)});
}

const shared = useBrowser();

// Parts of the frame the tests watch: the HUD; where the hero stands at the start; and a
// strip of sky that moves only when the world scrolls, which it does once the hero has
// walked a third of the screen.
const HUD = [0, 0, 640, 45];
const HERO_START = [16, 396, 36, 34];
const SKY = [0, 60, 640, 60];
const digestOf = async (page, rect) => (await canvasDigest(page, rect)).digest;

// Once the world scrolls, the hero walks on; once it stands still, the sky does too.
async function assertStandsStill(page) {
  await sleep(300);  // friction stops a walk within a few passes
  const sky = await digestOf(page, SKY);
  await sleep(300);
  assert.equal(await digestOf(page, SKY), sky, 'the hero stands still');
}

// The page point over frame pixel (x, y), however the canvas is scaled.
async function pointOver(page, x, y) {
  const box = await page.$eval('#frame', (canvas) => {
    const r = canvas.getBoundingClientRect();
    return {left: r.left, top: r.top, width: r.width, height: r.height};
  });
  return {x: box.left + (x + 0.5) * box.width / 640, y: box.top + (y + 0.5) * box.height / 480};
}

test('the title shows exactly the native runner\'s frame, then S and Right play', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  await chooseScale(page, 'integer');  // 1x: every frame pixel is one canvas pixel
  await waitForStatus(page, 's.passes >= 3');
  const title = await canvasDigest(page);
  const native = runNative(['--passes', String(title.passes)]);
  assert.equal(title.digest, native.digests.at(-1).split(' ')[1], `the title at pass ${title.passes - 1}`);
  await shot(page, 'title');

  // The arrows and space are the game's: the page does not scroll or act on them.
  await page.evaluate(() => {
    window.unhandled = [];
    window.addEventListener('keydown', (e) => e.defaultPrevented || window.unhandled.push(e.key));
  });
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  const start = {status: await gameStatus(page), hud: await digestOf(page, HUD),
                 hero: await digestOf(page, HERO_START), sky: await digestOf(page, SKY)};
  await page.keyboard.down('ArrowRight');
  await waitForChange(page, SKY, start.sky);
  await page.keyboard.press('Space');
  await page.keyboard.up('ArrowRight');
  await shot(page, 'play');
  assert.notEqual(await digestOf(page, HERO_START), start.hero, 'the hero left its place');
  assert.notEqual(await digestOf(page, HUD), start.hud, 'the HUD changed');
  assert.ok((await gameStatus(page)).time_left < start.status.time_left - 0.5, 'the countdown ran');
  await assertStandsStill(page);
  assert.deepEqual(await page.evaluate(() => window.unhandled), []);
  // Escape returns to the menu once the player says so; there it does nothing (it is the key
  // that leaves full screen).
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.menu === 7');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await waitForStatus(page, 's.game_mode === -1');
  await page.keyboard.press('Escape');
  await sleep(200);
  assert.equal((await gameStatus(page)).game_mode, -1);
  assert.equal((await gameStatus(page)).games, 1);
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The whole canvas as shown, hashed, with the game's frame it shows: {frame, hash}.
const wholeCanvas = (page) => page.evaluate(async () => {
  const reading = Module.display.read();
  const frame = JSON.parse(Module.UTF8ToString(Module._web_status())).frame;
  const shown = await reading;
  let hash = 0x811c9dc5;
  for (let i = 0; i < shown.data.length; i++) hash = Math.imul(hash ^ shown.data[i], 0x01000193) >>> 0;
  return {frame, hash: `${shown.width}x${shown.height}:${hash}`};
});

test('a worker draws by default, the very picture the page\'s own WebGL draws, in every scaling', async () => {
  const viewport = {width: 1000, height: 760};
  const worker = await openGame(shared.browser, shared.url, viewport);
  const onPage = await openGame(shared.browser, `${shared.url}?draw=webgl`, viewport);
  assert.equal(await worker.evaluate('Module.display.kind'), 'worker');
  assert.equal(await onPage.evaluate('Module.display.kind'), 'webgl');
  for (const mode of ['integer', 'fit', 'sharp']) {
    await chooseScale(worker, mode);
    await chooseScale(onPage, mode);
    // The title animates: compare the two pages where they show the same frame.
    const seen = new Map();
    for (let i = 0; i < 20; i++) {
      const {frame, hash} = await wholeCanvas(worker);
      seen.set(frame, hash);
    }
    let compared = 0;
    for (let i = 0; i < 60 && compared < 3; i++) {
      const {frame, hash} = await wholeCanvas(onPage);
      if (!seen.has(frame)) continue;
      assert.equal(seen.get(frame), hash, `${mode}: frame ${frame}`);
      compared++;
    }
    assert.ok(compared > 0, `${mode}: the two pages never showed the same frame`);
  }
  // With a worker drawing, the frame's buffers coming back wake the page for the next pass,
  // and a timer only when no frame went: in play passes keep their rate (one each 30 ms) with
  // hardly a timer.
  await worker.keyboard.press('s');
  await waitForStatus(worker, 's.game_mode === 0');
  await worker.keyboard.down('ArrowRight');  // a new frame each pass
  const pace = await worker.evaluate(async () => {
    const passes = () => JSON.parse(Module.UTF8ToString(Module._web_status())).passes;
    const setTimer = window.setTimeout;
    let wakes = 0;
    window.setTimeout = (...rest) => (wakes++, setTimer(...rest));
    const from = passes();
    await new Promise((resolve) => setTimer(resolve, 2000));
    window.setTimeout = setTimer;
    return {wakes, passes: passes() - from};
  });
  assert.ok(pace.passes >= 45 && pace.passes <= 72, `${pace.passes} passes in 2 s`);
  assert.ok(pace.wakes <= pace.passes * 0.2, `${pace.wakes} timers for ${pace.passes} passes`);
  await worker.keyboard.up('ArrowRight');
  assert.deepEqual([...worker.errors, ...onPage.errors], []);
  await worker.close();
  await onPage.close();
});

test('a lost WebGL context comes back with the frame drawn again, by the worker and on the page', async () => {
  for (const query of ['', '?draw=webgl']) {
    const page = await openGame(shared.browser, `${shared.url}${query}`, {width: 800, height: 640});
    await page.keyboard.press('s');
    await waitForStatus(page, 's.game_mode === 0');
    // Paused, once the menu's shade has come in, the frame stays: only the lost context could
    // change it.
    await page.keyboard.press('p');
    await waitForStatus(page, 's.paused === 1');
    let before = '';
    for (let seen = null; seen !== before; await sleep(300)) {
      seen = before;
      before = (await canvasDigest(page)).digest;
    }
    await page.evaluate(() => {
      const d = Module.display;
      if (d.worker) {
        d.worker.postMessage({type: 'lose', ms: 300});
        return;
      }
      const lose = d.gl.getExtension('WEBGL_lose_context');
      lose.loseContext();
      setTimeout(() => lose.restoreContext(), 300);
    });
    // Given back after 300 ms, however long a busy machine takes to say so.
    let after = '';
    for (let i = 0; i < 20 && after !== before; i++) {
      await sleep(250);
      after = (await canvasDigest(page)).digest;
    }
    assert.equal(after, before, `${query || 'worker'}: the frame drawn again`);
    await page.keyboard.press('p');
    await waitForStatus(page, 's.paused === 0');
    assert.deepEqual(page.errors, []);
    await page.close();
  }
});

test('when the drawing worker fails, the page draws on its own thread and loses nothing', async () => {
  const page = await shared.browser.newPage();
  // A worker whose canvas gives no WebGL, as a browser without it in workers would.
  await page.evaluateOnNewDocument(() => {
    const Real = window.Worker;
    window.Worker = function(url) {
      const broken = `OffscreenCanvas.prototype.getContext = () => null; importScripts('${url}');`;
      return new Real(URL.createObjectURL(new Blob([broken])));
    };
  });
  await page.setViewport({width: 1000, height: 760});
  await page.goto(shared.url);
  await page.waitForFunction('window.Module && Module.firstFrameAt && Module.display.kind === "webgl"',
                             {timeout: 30_000});
  await chooseScale(page, 'integer');
  const title = await canvasDigest(page);
  const native = runNative(['--passes', String(title.passes)]);
  assert.equal(title.digest, native.digests.at(-1).split(' ')[1], `the title at pass ${title.passes - 1}`);
  // The new canvas takes the clicks: the second entry, information screen 1.
  const point = await pointOver(page, 250, 300);
  await page.mouse.click(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 1');
  await page.close();
});

test('without WebGL the page draws the same frames on a 2D canvas, in every scaling', async () => {
  const page = await openGame(shared.browser, `${shared.url}?draw=2d`, {width: 1000, height: 760});
  assert.equal(await page.evaluate('Module.display.kind'), '2d');
  await chooseScale(page, 'integer');
  await waitForStatus(page, 's.passes >= 3');
  const title = await canvasDigest(page);
  const native = runNative(['--passes', String(title.passes)]);
  assert.equal(title.digest, native.digests.at(-1).split(' ')[1], `the title at pass ${title.passes - 1}`);
  // Sharp draws through its enlarged copy: the whole picture, smoothed between its pixels.
  await chooseScale(page, 'sharp');
  const drawn = await page.evaluate(async () => {
    const shown = await Module.display.read();
    const colours = new Set();
    for (let at = 0; at < shown.data.length; at += 4) {
      colours.add((shown.data[at] << 16) | (shown.data[at + 1] << 8) | shown.data[at + 2]);
    }
    const bottom = (shown.height - 2) * shown.width * 4;
    return {width: shown.width, height: shown.height, colours: colours.size,
            corners: [shown.data.slice(0, 3), shown.data.slice(bottom, bottom + 3)].map((c) => [...c].join())};
  });
  assert.ok(drawn.width > 640 && Math.abs(drawn.width / drawn.height - 4 / 3) < 0.01, `${drawn.width} x ${drawn.height}`);
  // More colours than the palette's 256: the blends between pixels.
  assert.ok(drawn.colours > 256, `${drawn.colours} colours`);
  assert.notEqual(drawn.corners[0], drawn.corners[1], 'the sky above, the ground below');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('clicks hit the menu entries at any size; the frame scales by whole steps when it fits', async () => {
  // Twice the frame fits: the canvas is shown at exactly 1280 x 960.
  const page = await openGame(shared.browser, shared.url, {width: 1300, height: 1040});
  const size = await page.$eval('#frame', (c) => [c.clientWidth, c.clientHeight]);
  assert.deepEqual(size, [1280, 960]);
  // The game's own cursor over the canvas, made from its cursor picture.
  assert.match(await page.$eval('#frame', (c) => getComputedStyle(c).cursor),
               /^url\(".*\/cursor\.[0-9a-f]{10}\.png"\) 0 0, default$/);
  // Information screen 1 is the second entry, x 247..319, y 298..313 of the frame.
  let point = await pointOver(page, 250, 300);
  await page.mouse.click(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 1');
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');

  // Smaller than the frame: the largest box of its proportions, and clicks still land.
  await page.setViewport({width: 700, height: 420});
  await page.waitForFunction(() => document.getElementById('frame').clientWidth < 640);
  const [width, height] = await page.$eval('#frame', (c) => [c.clientWidth, c.clientHeight]);
  assert.ok(Math.abs(width / height - 4 / 3) < 0.01, `${width} x ${height}`);
  await shot(page, 'small-window');
  point = await pointOver(page, 260, 329);  // the third entry, information screen 2
  await page.mouse.click(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 2');
  // A click beside the entries does nothing.
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.game_mode === -1');
  point = await pointOver(page, 240, 280);
  await page.mouse.click(point.x, point.y);
  await sleep(200);
  assert.equal((await gameStatus(page)).game_mode, -1);
  await page.close();
});

test('the game pauses when the page loses the focus, and goes on when asked', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  const sky = await digestOf(page, SKY);
  await page.keyboard.down('ArrowRight');
  await waitForChange(page, SKY, sky);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitForStatus(page, 's.paused === 1 && s.menu === 1');
  const paused = await gameStatus(page);
  await sleep(400);
  assert.equal((await gameStatus(page)).passes, paused.passes, 'no passes while paused');
  assert.equal(await page.$eval('#notice', (n) => n.hidden), true, 'the pause menu shows instead');
  await shot(page, 'paused');
  // The held key was let go with the pause: going on (Resume), the hero does not walk by itself.
  await page.keyboard.press('Enter');
  await waitForStatus(page, 's.paused === 0');
  await sleep(300);
  assert.ok((await gameStatus(page)).passes > paused.passes);
  await assertStandsStill(page);
  // P pauses and goes on too.
  await page.keyboard.up('ArrowRight');
  await page.keyboard.press('p');
  await waitForStatus(page, 's.paused === 1');
  await page.keyboard.press('p');
  await waitForStatus(page, 's.paused === 0');
  await page.close();
});

test('on a phone the touch buttons show, play the game and hold its keys', async () => {
  const page = await openGame(shared.browser, shared.url,
                              {width: 390, height: 844, hasTouch: true, isMobile: true, deviceScaleFactor: 3});
  assert.equal(await page.$eval('.pad', (t) => getComputedStyle(t).display), 'flex');
  await shot(page, 'phone-title');
  // The words speak of the buttons, not of keys: the line under the picture, and the card
  // over the game's own help page.
  const visibleText = (selector) => page.$eval(selector, (e) => e.innerText);
  assert.doesNotMatch(await visibleText('#help'), /Press|Esc|F5/);
  const tapOn = async (selector) => {
    const box = await (await page.$(selector)).boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  };
  await tapOn('#help-button');
  await waitForStatus(page, 's.game_mode === 1');
  await page.waitForSelector('#touch-help', {visible: true});
  assert.match(await visibleText('#touch-help'), /Jump/);
  assert.doesNotMatch(await visibleText('#touch-help'), /Press|ESCAPE/i);
  await shot(page, 'phone-help');
  await tapOn('#help-close');
  await waitForStatus(page, 's.game_mode === -1');
  assert.equal(await page.$eval('#touch-help', (e) => e.hidden), true);

  // A tap on the first entry starts the game.
  let point = await pointOver(page, 300, 281);
  await page.touchscreen.tap(point.x, point.y);
  await waitForStatus(page, 's.game_mode === 0');
  const hero = await digestOf(page, HERO_START);
  const sky = await digestOf(page, SKY);

  // Hold the right button with one finger until the world scrolls.
  const right = await page.$('[data-hold="39"]');
  const box = await right.boundingBox();
  await page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
  await waitForChange(page, SKY, sky);
  await shot(page, 'phone-play');
  await page.touchscreen.touchEnd();
  assert.notEqual(await digestOf(page, HERO_START), hero, 'the hero left its place');
  await assertStandsStill(page);

  // Menu pauses with the pause menu; its Quit to title (sixth of seven) asks, and once Leave
  // is tapped the title is back; there Menu does nothing (Escape would end the game).
  point = await page.$('#back').then((b) => b.boundingBox());
  await page.touchscreen.tap(point.x + point.width / 2, point.y + point.height / 2);
  await waitForStatus(page, 's.menu === 1');
  for (let i = 0; i < 5; i++) await tapOn('[data-menu="40"]');
  await tapOn('[data-menu="13"]');
  await waitForStatus(page, 's.menu === 7');
  await shot(page, 'phone-confirm');
  const leave = await pointOver(page, 448, 277);
  await page.touchscreen.tap(leave.x, leave.y);
  await waitForStatus(page, 's.game_mode === -1');
  await page.touchscreen.tap(point.x + point.width / 2, point.y + point.height / 2);
  await sleep(300);
  assert.equal((await gameStatus(page)).game_mode, -1);
  await page.close();
});

test('a gamepad starts the game, walks the hero with its stick and goes back with Back', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  // A pad in the standard layout, as the browser would report it.
  await page.evaluate(() => {
    const pad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                 axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
    window.pad = pad;
    // Not told of by an event, as by a browser that does not: the page still finds it.
    navigator.getGamepads = () => [pad, null, null, null];
  });
  const press = (button, pressed) => page.evaluate((b, p) => {
    window.pad.buttons[b] = {pressed: p, value: p ? 1 : 0};
  }, button, pressed);
  await press(9, true);  // Start
  await waitForStatus(page, 's.game_mode === 0');
  await press(9, false);
  const hero = await digestOf(page, HERO_START);
  await page.evaluate(() => { window.pad.axes[0] = 0.2; });  // inside the dead zone
  await sleep(300);
  assert.equal(await digestOf(page, HERO_START), hero, 'a resting stick walks nowhere');
  await page.evaluate(() => { window.pad.axes[0] = 0.9; });
  await waitForChange(page, HERO_START, hero);
  await page.evaluate(() => { window.pad.axes[0] = 0; });
  await press(8, true);  // Back: asked first; Right and South say Leave
  await waitForStatus(page, 's.menu === 7');
  for (const [button, pressed] of [[8, false], [15, true], [15, false], [0, true]]) {
    await press(button, pressed);
    await sleep(150);  // a poll sees each
  }
  await waitForStatus(page, 's.game_mode === -1');
  await page.close();
});

test('sound starts with the first key press, follows the game, pauses with it; M mutes it', async (t) => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  const audio = (expression) => page.evaluate(`(() => { const a = Module.audio; return ${expression}; })()`);
  // Browsers play nothing before a gesture: no context yet, though the title's tune is asked for.
  assert.equal(await audio('a.context'), null);
  assert.equal(await audio('a.musicId'), 2, 'the title\'s tune');
  await page.keyboard.press('ArrowDown');
  // The game's own mixer feeds the context, at the game's rate and in stereo, and the title's
  // tune is heard.
  await page.waitForFunction('Module.audio.context?.state === "running" && Module.audio.framesMixed > 0');
  assert.equal(await audio('a.context.sampleRate'), 44100);
  // Played by a worklet on the audio thread, the page's thread only mixing after its passes.
  await page.waitForFunction('Module.audio.node instanceof AudioWorkletNode');
  await page.waitForFunction('Module.audio.peak > 0.01 && Module._web_audio_music_playing() === 1');
  t.diagnostic(`context at ${await audio('a.context.sampleRate')} Hz, base latency ` +
               `${await audio('a.context.baseLatency')} s, output latency ${await audio('a.context.outputLatency')} s`);
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  await page.waitForFunction('Module.audio.musicId === 1 && Module._web_audio_music_playing() === 1');
  // M (or the page's button) turns the sound off and on, and never reaches the game.
  const before = await gameStatus(page);
  await page.keyboard.press('m');
  await page.waitForFunction('Module.audio.muted && Module.audio.peak === 0');
  assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound on');
  await page.click('#sound');
  await page.waitForFunction('!Module.audio.muted && Module.audio.peak > 0.01');
  assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound off');
  assert.equal((await gameStatus(page)).game_mode, before.game_mode);
  // The pause holds every sound where it is.
  await page.keyboard.press('p');
  await page.waitForFunction('Module.audio.context.state === "suspended"');
  const held = await audio('a.framesMixed');
  await new Promise((resolve) => setTimeout(resolve, 1000));
  assert.equal(await audio('a.framesMixed'), held, 'nothing is mixed while paused');
  await page.keyboard.press('p');
  await page.waitForFunction('Module.audio.context.state === "running"');
  // Nor is the pause a late feed of the worklet, which would delay the sound after it.
  await page.waitForFunction((n) => Module.audio.framesMixed > n, {}, held);
  assert.ok(await audio('a.longestGap') < 900, `${await audio('a.longestGap')} ms between feeds`);
  // A jump is heard: one more effect started.
  const started = await page.evaluate('Module._web_audio_effects_started()');
  await page.keyboard.down('c');
  await page.waitForFunction((n) => Module._web_audio_effects_started() > n, {}, started);
  await page.keyboard.up('c');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('without an AudioWorklet the sound plays from a processing node', async () => {
  const context = await shared.browser.createBrowserContext();
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.evaluateOnNewDocument(() => { delete window.AudioWorkletNode; });
  await page.goto(shared.url);
  await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 30_000});
  await page.keyboard.press('ArrowDown');
  await page.waitForFunction('Module.audio.context?.state === "running" && Module.audio.peak > 0.01');
  assert.equal(await page.evaluate('Module.audio.node.bufferSize'), 1024);
  assert.deepEqual(errors, []);
  await context.close();
});

test('practice: F5 and F9 save and load across a reload, Backspace rewinds, F7 slows, F6 steps', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  await page.evaluate(() => localStorage.clear());
  await waitForStatus(page, 's.passes >= 3');
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  await page.keyboard.down('ArrowRight');
  await waitForStatus(page, 's.time_left < 399');
  await page.keyboard.up('ArrowRight');
  // F5 neither reloads the page nor reaches the game: the program saves.
  await page.keyboard.press('F5');
  await waitForStatus(page, 's.note === "Saved"');
  const saved = await gameStatus(page);
  assert.equal(saved.practised, 1);
  assert.ok(await page.evaluate(() => localStorage.getItem('quellaro.quicksave').length > 1000));
  await shot(page, 'practice-saved');
  await waitForStatus(page, `s.time_left < ${saved.time_left - 1}`);
  await page.keyboard.press('F9');
  await waitForStatus(page, 's.note === "Loaded"');
  const loaded = await gameStatus(page);
  assert.ok(Math.abs(loaded.time_left - saved.time_left) < 0.3, `${loaded.time_left} near ${saved.time_left}`);
  assert.ok(loaded.next_pass < saved.next_pass + 10, 'the passes went back with the game');

  // The slot outlives the page.
  await page.reload();
  await waitForStatus(page, 's.passes >= 3');
  assert.equal((await gameStatus(page)).practised, 0);
  await page.keyboard.press('F9');
  await waitForStatus(page, 's.note === "Loaded"');
  assert.ok(Math.abs((await gameStatus(page)).time_left - saved.time_left) < 0.3);
  await waitForStatus(page, `s.time_left < ${saved.time_left - 1}`);

  // Held, Backspace steps back pass by pass; let go, the game plays on.
  const beforeRewind = await gameStatus(page);
  await page.keyboard.down('Backspace');
  await waitForStatus(page, `s.note === "Rewind" && s.next_pass < ${beforeRewind.next_pass - 10}`);
  await shot(page, 'practice-rewind');
  await page.keyboard.up('Backspace');
  const rewound = await gameStatus(page);
  assert.ok(rewound.time_left > beforeRewind.time_left, 'the countdown went back');
  await waitForStatus(page, `s.next_pass > ${rewound.next_pass + 5}`);

  // F7: half speed, then a quarter, then full; the game still counts its passes.
  await page.keyboard.press('F7');
  await waitForStatus(page, 's.pass_ms === 60 && s.note === "0.5x"');
  await shot(page, 'practice-slow');
  await page.keyboard.press('F7');
  await waitForStatus(page, 's.pass_ms === 120');
  await page.keyboard.press('F7');
  await waitForStatus(page, 's.pass_ms === 30');

  // F6 pauses; each F6 then runs exactly one pass.
  await page.keyboard.press('F6');
  await waitForStatus(page, 's.paused === 1');
  const held = (await gameStatus(page)).next_pass;
  await sleep(200);
  assert.equal((await gameStatus(page)).next_pass, held, 'paused: no pass runs');
  await page.keyboard.press('F6');
  await waitForStatus(page, `s.next_pass === ${held + 1}`);
  await sleep(200);
  assert.equal((await gameStatus(page)).next_pass, held + 1, 'one pass a press');
  assert.ok(await page.$eval('#notice', (n) => !n.hidden && n.classList.contains('stepping')));
  await shot(page, 'practice-step');
  await page.keyboard.press('p');
  await waitForStatus(page, `s.paused === 0 && s.next_pass > ${held + 3}`);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('without touch the buttons stay hidden; quitting brings the title back with a notice', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 800, height: 640});
  assert.equal(await page.$eval('.pad', (t) => getComputedStyle(t).display), 'none');
  await page.click('#fullscreen');
  // The button's words follow the change event, which comes after the element is set.
  await page.waitForFunction(() => document.fullscreenElement?.id === 'game' &&
      document.getElementById('fullscreen').textContent === 'Leave full screen');
  await page.click('#fullscreen');
  await page.waitForFunction(() => !document.fullscreenElement &&
      document.getElementById('fullscreen').textContent === 'Full screen');
  assert.equal((await gameStatus(page)).paused, 0, 'the page\'s own button does not pause the game');
  // A game played a little, then quit: a fresh game at the title, and the page says why.
  await page.keyboard.press('s');
  await page.keyboard.down('ArrowRight');
  await waitForStatus(page, 's.game_mode === 0 && s.time_left < 399');
  await page.keyboard.up('ArrowRight');
  // Each way out of the game in progress asks first; Right and Enter say yes.
  await page.keyboard.press('Escape');
  await waitForStatus(page, 's.menu === 7');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await waitForStatus(page, 's.game_mode === -1');
  await page.keyboard.press('q');
  await waitForStatus(page, 's.menu === 7');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await waitForStatus(page, 's.games === 2 && s.game_mode === -1');
  assert.match(await page.$eval('#toast', (n) => n.hidden ? '' : n.textContent), /left the game/);
  await shot(page, 'quit-title-again');
  const passes = (await gameStatus(page)).passes;
  await waitForStatus(page, `s.passes > ${passes + 5}`);
  await page.keyboard.press('s');
  await waitForStatus(page, 's.game_mode === 0');
  assert.ok((await gameStatus(page)).time_left > 399, 'the new game starts from the beginning');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('mute, volumes, scaling and key bindings are kept across a reload', async () => {
  const page = await openGame(shared.browser, shared.url, {width: 1000, height: 760});
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await page.waitForFunction('window.Module && Module.firstFrameAt');
  const stored = () => page.evaluate(() => atob(localStorage.getItem('quellaro.settings') ?? ''));
  await page.keyboard.press('m');
  await page.waitForFunction('Module.audio.muted');
  await chooseScale(page, 'sharp');
  assert.match(await stored(), /^mute = yes$/m);
  // A player's own bindings and volume, as the options would write them: the game starts
  // with J now (a key bound to nothing else), and no longer with S.
  const edited = (await stored()).replace(/^start =.*$/m, 'start = J').replace(/^effects =.*$/m, 'effects = 40');
  assert.match(edited, /^start = J$/m);
  await page.evaluate((text) => localStorage.setItem('quellaro.settings', btoa(text)), edited);

  await page.reload();
  await page.waitForFunction('window.Module && Module.firstFrameAt');
  assert.equal((await gameStatus(page)).scale, 'sharp');
  assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound on', 'the page shows it muted');
  await page.keyboard.press('s');
  await sleep(300);
  assert.equal((await gameStatus(page)).game_mode, -1, 'S no longer starts the game');
  await page.keyboard.press('j');
  await waitForStatus(page, 's.game_mode === 0');
  assert.ok(await page.evaluate('Module.audio.muted'), 'still muted once the sound starts');
  // Unmuting writes the settings again, the player's lines with it.
  await page.keyboard.press('m');
  await page.waitForFunction('!Module.audio.muted');
  const after = await stored();
  assert.match(after, /^mute = no$/m);
  assert.match(after, /^start = J$/m);
  assert.match(after, /^effects = 40$/m);
  assert.deepEqual(page.errors, []);
  await page.close();
});
