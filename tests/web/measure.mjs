// Measures the browser version for the record (not a test: nothing here can fail): the bytes
// a first visit transfers from a plain static server (up to the title, and once the worker
// has kept the game for offline play); the time from the start of the page's load to the
// title frame on Chrome's "Fast 4G" and "Slow 4G" profiles, median of 5 cold visits; and the
// main thread's processor time per pass in the menu and in play against references of the
// same run (below), at two page sizes.
// Run: node tests/web/measure.mjs [--pass-cost] (after make web; --pass-cost: that part alone).
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';

import {PredefinedNetworkConditions} from 'puppeteer-core';

import {DIST_DIR, launch, serve, sleep, waitForStatus} from './harness.mjs';

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];
const KB = 1024;

const server = await serve(DIST_DIR);
const referenceServer = await serve(mkdtempSync(path.join(tmpdir(), 'quellaro-reference-')));
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


// --- The main thread's time per pass, against references of the same run ------------------
// Each figure is the processor time of the page's main thread (DevTools' ThreadTime: all it
// did) over windows of a second, divided by the passes run in the window; p10 and p50
// over the windows. The references, written apart from the game's code and served as the game
// is, a pass every 30 ms: an empty requestAnimationFrame loop (what any animated page pays,
// counted per 30 ms); a page whose worker draws each frame it is sent (what the game's default
// drawing pays), and the same with sound fed to a worklet after each pass as the game feeds
// it; and a bare WebGL page that does what the game's drawing does each pass (a new 640 x 480
// frame of bytes and its palette up as textures, the palette lookup into a picture, the
// picture scaled onto a canvas of the game's size). What is left above a reference is the
// game's own: its pass, its input, the mixing of its sound.
const WINDOW_MS = 1000;
const WINDOWS = 12;

const REFERENCE_RAF = `<!doctype html><body style="margin:0;background:#101018"><script>
  window.passes = () => performance.now() / 30;
  requestAnimationFrame(function loop() { requestAnimationFrame(loop); });
</script>`;

// What both drawing references do, written apart from the game's code: setUp(canvas) makes
// the two programs, the textures and the picture's framebuffer; draw(bytes, colours) uploads a
// 640 x 480 frame of bytes and its palette, looks the palette up into the picture and scales
// the picture onto the canvas.
const GL_DRAWING = `
  const W = 640, H = 480;
  let gl, fb, lookup, scale;
  function program(fragment) {
    const p = gl.createProgram();
    const vs = gl.createShader(gl.VERTEX_SHADER);
    gl.shaderSource(vs, 'attribute vec2 v; uniform float f; varying vec2 t;' +
                        'void main() { t = vec2(v.x, f * v.y) * 0.5 + 0.5; gl_Position = vec4(v, 0.0, 1.0); }');
    gl.compileShader(vs);
    const fs = gl.createShader(gl.FRAGMENT_SHADER);
    gl.shaderSource(fs, 'precision highp float; varying vec2 t; ' + fragment);
    gl.compileShader(fs);
    gl.attachShader(p, vs);
    gl.attachShader(p, fs);
    gl.bindAttribLocation(p, 0, 'v');
    gl.linkProgram(p);
    return p;
  }
  function texture(unit, format, w, h) {
    const t = gl.createTexture();
    gl.activeTexture(gl.TEXTURE0 + unit);
    gl.bindTexture(gl.TEXTURE_2D, t);
    gl.texImage2D(gl.TEXTURE_2D, 0, format, w, h, 0, format, gl.UNSIGNED_BYTE, null);
    for (const k of [gl.TEXTURE_MIN_FILTER, gl.TEXTURE_MAG_FILTER]) gl.texParameteri(gl.TEXTURE_2D, k, gl.NEAREST);
    for (const k of [gl.TEXTURE_WRAP_S, gl.TEXTURE_WRAP_T]) gl.texParameteri(gl.TEXTURE_2D, k, gl.CLAMP_TO_EDGE);
    return t;
  }
  function setUp(canvas) {
    gl = canvas.getContext('webgl', {alpha: false, antialias: false, depth: false, stencil: false,
                                     preserveDrawingBuffer: false});
    lookup = program('uniform sampler2D i; uniform sampler2D c;' +
        'void main() { gl_FragColor = texture2D(c, vec2(texture2D(i, t).r * 255.0 / 256.0 + 0.5 / 256.0, 0.5)); }');
    scale = program('uniform sampler2D p; void main() { gl_FragColor = texture2D(p, t); }');
    texture(0, gl.LUMINANCE, W, H);
    texture(1, gl.RGBA, 256, 1);
    const picture = texture(2, gl.RGBA, W, H);
    fb = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, fb);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, picture, 0);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    gl.useProgram(lookup);
    gl.uniform1i(gl.getUniformLocation(lookup, 'i'), 0);
    gl.uniform1i(gl.getUniformLocation(lookup, 'c'), 1);
    gl.uniform1f(gl.getUniformLocation(lookup, 'f'), 1);
    gl.useProgram(scale);
    gl.uniform1i(gl.getUniformLocation(scale, 'p'), 2);
    gl.uniform1f(gl.getUniformLocation(scale, 'f'), 1);
  }
  function draw(bytes, colours) {
    gl.activeTexture(gl.TEXTURE0);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, W, H, gl.LUMINANCE, gl.UNSIGNED_BYTE, bytes);
    gl.activeTexture(gl.TEXTURE1);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 256, 1, gl.RGBA, gl.UNSIGNED_BYTE, colours);
    gl.bindFramebuffer(gl.FRAMEBUFFER, fb);
    gl.viewport(0, 0, W, H);
    gl.useProgram(lookup);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.viewport(0, 0, gl.canvas.width, gl.canvas.height);
    gl.useProgram(scale);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
  }`;

// The page's canvas where the game puts it, and two frames and palettes taken in turn: every
// pass uploads new bytes, and makes none.
const REFERENCE_PAGE = (place, script) => `<!doctype html><body style="margin:0;background:#101018">
<canvas id="c" width="${place.width}" height="${place.height}"
  style="position:absolute;left:${place.left};top:${place.top};width:${place.cssWidth};height:${place.cssHeight}"></canvas>
<script>(() => {
  const pictures = [0, 1].map((k) => Uint8Array.from({length: 640 * 480}, (_, i) => (i * 7 + k * 13) & 255));
  const palettes = [0, 1].map((k) => Uint8Array.from({length: 1024}, (_, i) => (i * 3 + k) & 255));
  ${script}
})();
</script>`;

const REFERENCE_WEBGL = (place) => REFERENCE_PAGE(place, `${GL_DRAWING}
  setUp(document.getElementById('c'));
  let count = 0, due = 0;
  window.passes = () => count;
  // A pass every 30 ms, shown at the next display refresh: a timer until shortly before it is
  // due, then an animation frame.
  function frame() {
    const now = performance.now();
    if (!due) due = now;
    if (now >= due) {
      draw(pictures[count & 1], palettes[count & 1]);
      count++;
      due += 30;
      if (now - due > 150) due = now + 30;
    }
    const wait = due - performance.now();
    if (wait < 4) requestAnimationFrame(frame);
    else setTimeout(() => requestAnimationFrame(frame), wait);
  }
  requestAnimationFrame(frame);`);

// Sound as the game plays it: from the first key, a context at 44.1 kHz whose worklet plays
// the chunks it is sent, kept ahead after each pass in whole chunks of 1,024 frames (here a
// tone, made on the page's thread as the game's mix is).
const SOUND = `
  const player = \`registerProcessor('player', class extends AudioWorkletProcessor {
    constructor() {
      super();
      this.chunks = [];
      this.at = 0;
      this.port.onmessage = ({data}) => this.chunks.push(data);
    }
    process(inputs, outputs) {
      const [left, right] = outputs[0];
      for (let i = 0; i < left.length; i++) {
        const chunk = this.chunks[0];
        if (!chunk) break;
        left[i] = chunk[2 * this.at];
        right[i] = chunk[2 * this.at + 1];
        if (++this.at * 2 === chunk.length) {
          this.chunks.shift();
          this.at = 0;
        }
      }
      return true;
    }
  });\`;
  let audio = null, node = null, queuedTo = 0, phase = 0;
  window.addEventListener('keydown', () => {
    if (audio) return;
    audio = new AudioContext({sampleRate: 44100});
    audio.audioWorklet.addModule(URL.createObjectURL(new Blob([player], {type: 'text/javascript'}))).then(() => {
      node = new AudioWorkletNode(audio, 'player', {numberOfInputs: 0, outputChannelCount: [2]});
      node.connect(audio.destination);
    });
  });
  window.soundRunning = () => node !== null && audio.state === 'running';
  function sound() {
    if (!node) return;
    const played = Math.round(audio.currentTime * 44100);
    if (queuedTo < played) queuedTo = played;
    const frames = Math.ceil(Math.max(0, 2400 - (queuedTo - played)) / 1024) * 1024;
    for (let n = 0; n < frames; n += 1024) {
      const chunk = new Float32Array(2048);
      for (let i = 0; i < 1024; i++) chunk[2 * i] = chunk[2 * i + 1] = 0.1 * Math.sin(phase += 0.0627);
      node.port.postMessage(chunk, [chunk.buffer]);
    }
    queuedTo += frames;
  }`;

// The same frame drawn by a worker that owns the canvas: the page's thread copies each pass's
// bytes and palette into one of two buffers and sends them with the wait until the next pass;
// the worker draws them and hands them back when that pass is due, which wakes the page for
// it. A pass every 30 ms and no animation frames, as the game does when a worker draws for it;
// with sound, the sound too.
const REFERENCE_WORKER = (place, withSound = false) => REFERENCE_PAGE(place, `${withSound ? SOUND : ''}
  const source = ${JSON.stringify(`${GL_DRAWING}
  onmessage = ({data}) => {
    if (data.canvas) {
      setUp(data.canvas);
      return;
    }
    const came = performance.now();
    draw(new Uint8Array(data.bytes), new Uint8Array(data.colours));
    const back = () => postMessage(data, [data.bytes, data.colours]);
    const left = Math.ceil(data.wait - (performance.now() - came));
    if (left > 0) setTimeout(back, left);
    else back();
  };`)};
  const worker = new Worker(URL.createObjectURL(new Blob([source])));
  const canvas = document.getElementById('c').transferControlToOffscreen();
  worker.postMessage({canvas}, [canvas]);
  const spare = [0, 1].map(() => ({bytes: new ArrayBuffer(640 * 480), colours: new ArrayBuffer(1024)}));
  let count = 0, due = performance.now();
  window.passes = () => count;
  function pass() {
    count++;
    due += 30;
    const now = performance.now();
    if (now - due > 150) due = now;
    const wait = Math.max(0, Math.ceil(due - now));
    const buffers = spare.pop();
    if (buffers) {
      new Uint8Array(buffers.bytes).set(pictures[count & 1]);
      new Uint8Array(buffers.colours).set(palettes[count & 1]);
      buffers.wait = wait;
      worker.postMessage(buffers, [buffers.bytes, buffers.colours]);
    } else {
      setTimeout(pass, wait);
    }
    ${withSound ? 'sound();' : ''}
  }
  worker.onmessage = ({data}) => {
    spare.push(data);
    pass();
  };
  setTimeout(pass, 30);`);

// The main thread's time per pass over windows of the page: [p10, p50] in ms, and the median
// animation frames a pass. ThreadTime is the processor time of the page's main thread, which
// other programs on a busy machine do not inflate as they do wall-clock task time. passes is
// an expression giving the page's passes so far. Each look at the page costs its thread a
// little: the windows share their edges, and each edge is one look at the time and one at the
// counts, the same for the game and the references.
async function taskPerPass(page, passes) {
  const client = await page.createCDPSession();
  await client.send('Performance.enable', {timeDomain: 'threadTicks'});
  const look = async () => {
    const time = (await client.send('Performance.getMetrics')).metrics.find((m) => m.name === 'ThreadTime').value;
    const counts = await page.evaluate(`({passes: ${passes}, frames: window.animationFrames ?? 0})`);
    return {time, ...counts};
  };
  const figures = [];
  const shown = [];
  let before = await look();
  for (let i = 0; i < WINDOWS; i++) {
    await sleep(WINDOW_MS);
    const after = await look();
    const ran = after.passes - before.passes;
    if (ran > 0) {
      figures.push((after.time - before.time) * 1000 / ran);
      shown.push((after.frames - before.frames) / ran);
    }
    before = after;
  }
  await client.detach();
  figures.sort((a, b) => a - b);
  shown.sort((a, b) => a - b);
  return [figures[Math.floor(figures.length * 0.1)], figures[figures.length >> 1], shown[shown.length >> 1]];
}

// Counts the page's animation frames (one per display refresh it drew in).
const COUNT_FRAMES = `(() => {
  const request = window.requestAnimationFrame.bind(window);
  let last = -1;
  window.animationFrames = 0;
  window.requestAnimationFrame = (callback) => request((now) => {
    if (now !== last) { last = now; window.animationFrames++; }
    callback(now);
  });
})()`;

// A large page, where this machine's software GPU draws fewer frames than there are passes
// (the sharp scaling of a picture of 1265 x 949), and a small one (a 640 x 480 picture), where
// it draws one a pass as a real GPU would.
const VIEWPORTS = [{width: 1280, height: 1024}, {width: 800, height: 600}];

async function passCost(VIEWPORT) {
  const results = [];
  const report = (what, [p10, p50, frames]) => {
    results.push({what, p10, p50});
    console.log(`  ${what.padEnd(56)} p10 ${p10.toFixed(3)} ms  p50 ${p50.toFixed(3)} ms  ` +
                `(${frames.toFixed(2)} animation frames a pass)`);
  };
  console.log(`main thread's processor time a pass (${WINDOWS} windows of ${WINDOW_MS} ms each, ` +
              `${VIEWPORT.width} x ${VIEWPORT.height} page):`);
  const game = async (sound, query = '') => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(VIEWPORT);
    await page.evaluateOnNewDocument(COUNT_FRAMES);
    await page.goto(`${server.url}${query}`);
    await page.waitForFunction('window.Module && Module.firstFrameAt', {timeout: 120_000, polling: 10});
    // Sound starts with the first key: without it, what the page pays for the game alone.
    if (!sound) await page.evaluate(() => { Module.audio.start = () => {}; });
    const passes = 'JSON.parse(Module.UTF8ToString(Module._web_status())).passes';
    await sleep(500);
    const kind = await page.evaluate('Module.display.kind');
    report(`${kind}: title menu${sound ? '' : ', no sound'}`, await taskPerPass(page, passes));
    await page.keyboard.press('s');
    await waitForStatus(page, 's.game_mode === 0');
    await page.keyboard.down('ArrowRight');
    await page.keyboard.down('z');
    await sleep(500);
    const dryBefore = await page.evaluate('Module.audio.ranDry');
    report(`${kind}: play (running right)${sound ? ', sound on' : ', no sound'}`, await taskPerPass(page, passes));
    if (sound) {
      console.log(`    (the sound's queue ran dry ${await page.evaluate('Module.audio.ranDry') - dryBefore} times meanwhile)`);
    }
    const place = await page.evaluate(() => {
      const c = Module.canvas;
      return {width: c.width, height: c.height, left: c.style.left, top: c.style.top,
              cssWidth: c.style.width, cssHeight: c.style.height};
    });
    await context.close();
    return place;
  };
  const reference = async (what, html, withSound = false) => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(VIEWPORT);
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    await page.evaluateOnNewDocument(COUNT_FRAMES);
    // Served, as the game is: a page set in place of another is no secure context, which
    // the sound's worklet needs.
    writeFileSync(path.join(referenceServer.root, 'reference.html'), html);
    await page.goto(`${referenceServer.url}reference.html`);
    if (withSound) {
      await page.keyboard.press('s');
      await page.waitForFunction('window.soundRunning()');
    }
    await sleep(500);
    if (errors.length) throw new Error(`the reference failed: ${errors.join('; ')}`);
    report(what, await taskPerPass(page, 'window.passes()'));
    await context.close();
  };
  // The game as it draws by default (a worker), then drawing on the page's thread.
  const place = await game(true);
  await game(false);
  await game(false, '?draw=webgl');
  await reference('reference: the same upload and draw by a worker', REFERENCE_WORKER(place));
  await reference('reference: the same by a worker, sound fed to a worklet', REFERENCE_WORKER(place, true), true);
  await reference('reference: the same upload and draw in a bare WebGL page', REFERENCE_WEBGL(place));
  await reference('reference: an empty animation-frame loop, per 30 ms', REFERENCE_RAF);
  const figure = (what) => results.find((r) => r.what.startsWith(what)).p50;
  // Each case of the game against the reference doing the same work: its share above it, and
  // the ratio of the two.
  const against = (what, reference) => {
    const game = figure(what), base = figure(reference);
    return `${(game - base).toFixed(3)} ms above, ${(game / base).toFixed(2)}x`;
  };
  console.log(`  the game drawn by a worker, in play (p50): with sound ` +
              `${against('worker: play (running right), sound on', 'reference: the same by a worker, sound')}; ` +
              `without ${against('worker: play (running right), no sound', 'reference: the same upload and draw by a worker')}`);
  const onPage = figure('webgl: play (running right), no sound') - figure('reference: the same upload and draw in a bare');
  console.log(`  drawn on the page: ${onPage.toFixed(3)} ms without sound`);
}

// --pass-cost: the main thread's time alone.
const onlyPassCost = process.argv.includes('--pass-cost');

const total = (bytes) => [...bytes.values()].reduce((a, b) => a + b, 0);

try {
  for (const viewport of VIEWPORTS) await passCost(viewport);
  if (!onlyPassCost) await transferAndStart();
} finally {
  await browser.close();
  await server.close();
  await referenceServer.close();
  rmSync(referenceServer.root, {recursive: true, force: true});
}

async function transferAndStart() {
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

}
