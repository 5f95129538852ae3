// The page around the game: sizes the canvas, shows what the game is doing (loading, paused,
// ended), works the on-screen touch buttons and the full-screen button, and dresses the
// canvas with the game's own cursor. The game itself is quellaro.js, which reads the
// hooks on Module below.
'use strict';

const canvas = document.getElementById('frame');
const screenArea = document.getElementById('screen');
const notice = document.getElementById('notice');
const touchPanel = document.getElementById('touch');
const fullscreenButton = document.getElementById('fullscreen');
const soundButton = document.getElementById('sound');

const FRAME_WIDTH = 640;
const FRAME_HEIGHT = 480;
const KEY_ESCAPE = 27;
// The art's "no pixel here" colour index, and the cursor's hot spot file.
const TRANSPARENT_INDEX = 253;
const errors = [];

function showNotice(content) {
  notice.replaceChildren(...[].concat(content));
  notice.hidden = false;
}

// The largest box of the frame's proportions that fits, in whole device pixels per frame
// pixel when that gives at least twice the size, so the pixels stay even.
function fitCanvas() {
  const area = screenArea.getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  let scale = Math.min(area.width * ratio / FRAME_WIDTH, area.height * ratio / FRAME_HEIGHT);
  if (scale >= 2) scale = Math.floor(scale);
  const width = Math.floor(FRAME_WIDTH * scale) / ratio;
  const height = Math.floor(FRAME_HEIGHT * scale) / ratio;
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  canvas.style.left = `${Math.round((area.width - width) / 2 * ratio) / ratio}px`;
  canvas.style.top = `${Math.round((area.height - height) / 2 * ratio) / ratio}px`;
}
new ResizeObserver(fitCanvas).observe(screenArea);
window.addEventListener('resize', fitCanvas);

// An 8-bit picture of the game's art as a PNG address, its transparent colour see-through;
// null when the browser cannot read it.
async function artAsImage(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (bytes.length < 54 + 256 * 4 || view.getUint16(28, true) !== 8) return null;
  const entry = 14 + view.getUint32(14, true) + TRANSPARENT_INDEX * 4;
  const key = [bytes[entry + 2], bytes[entry + 1], bytes[entry]];
  const bitmap = await createImageBitmap(new Blob([bytes], {type: 'image/bmp'}));
  const art = document.createElement('canvas');
  art.width = bitmap.width;
  art.height = bitmap.height;
  const context = art.getContext('2d');
  context.drawImage(bitmap, 0, 0);
  const pixels = context.getImageData(0, 0, art.width, art.height);
  for (let i = 0; i < pixels.data.length; i += 4) {
    const d = pixels.data;
    if (d[i] === key[0] && d[i + 1] === key[1] && d[i + 2] === key[2]) d[i + 3] = 0;
  }
  context.putImageData(pixels, 0, 0);
  return art.toDataURL('image/png');
}

// The game's cursor over the canvas and its icon on the tab, from the packed pictures.
async function dressPage() {
  try {
    const cursor = await artAsImage(Module.FS.readFile('/cursor.bmp'));
    const [x, y] = Module.FS.readFile('/cursor_hotspot.txt', {encoding: 'utf8'}).trim().split(/\s+/).map(Number);
    if (cursor) {
      document.styleSheets[0].insertRule(
          `#frame { cursor: url(${cursor}) ${x || 0} ${y || 0}, default; }`);
    }
    const icon = await artAsImage(Module.FS.readFile('/icon32.bmp'));
    if (icon) document.querySelector('link[rel=icon]').href = icon;
  } catch (error) {
    console.warn('Quellaro 2005: keeping the default cursor and icon:', error);
  }
}

// The game's own state, as its entry reports it.
function gameStatus() {
  return JSON.parse(Module.UTF8ToString(Module._web_status()));
}

// The on-screen buttons: a finger down holds the button's key until it lifts, wherever it
// slides meanwhile; Menu is one press of Escape, but never in the title menu (where Escape
// would end the game).
function setUpTouch() {
  const show = () => {
    document.body.classList.add('touch');
    touchPanel.hidden = false;
    fitCanvas();
  };
  if (navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches) show();
  window.addEventListener('touchstart', show, {once: true, passive: true});

  for (const button of touchPanel.querySelectorAll('[data-hold]')) {
    const key = Number(button.dataset.hold);
    const fingers = new Set();
    const release = (event) => {
      if (!fingers.delete(event.pointerId)) return;
      if (fingers.size === 0) button.classList.remove('held');
      if (Module.calledRun) Module._web_touch_key(key, 0);
    };
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      button.setPointerCapture(event.pointerId);
      fingers.add(event.pointerId);
      button.classList.add('held');
      if (Module.calledRun) Module._web_touch_key(key, 1);
    });
    button.addEventListener('pointerup', release);
    button.addEventListener('pointercancel', release);
    button.addEventListener('lostpointercapture', release);
  }
  const back = document.getElementById('back');
  back.addEventListener('pointerdown', (event) => {
    event.preventDefault();
    if (Module.calledRun && gameStatus().game_mode !== -1) Module._web_touch_press(KEY_ESCAPE);
  });
  touchPanel.addEventListener('contextmenu', (event) => event.preventDefault());
}

function setUpFullscreen() {
  if (!document.fullscreenEnabled) {
    fullscreenButton.hidden = true;
    return;
  }
  fullscreenButton.addEventListener('click', () => {
    fullscreenButton.blur();  // Space or Enter must reach the game, not press this again
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else {
      document.getElementById('game').requestFullscreen().catch(() => {});
    }
  });
  document.addEventListener('fullscreenchange', () => {
    fullscreenButton.textContent = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
  });
}

var Module = {
  canvas,
  print: (line) => console.log(line),
  printErr: (line) => {
    errors.push(line);
    console.warn(line);
  },
  setStatus: (text) => {
    if (text && !Module.firstFrameAt) showNotice(text.replace(/\.\.\./, '…'));
  },
  onRuntimeInitialized: dressPage,
  onFramePresented: () => {
    if (Module.firstFrameAt) return;
    Module.firstFrameAt = performance.now();  // since the page began to load
    notice.hidden = true;
  },
  onPause: (paused) => {
    // Stepping a pass at a time, the frame must show: a line at the bottom, not a veil.
    notice.classList.toggle('stepping', paused === 2);
    if (paused === 2) {
      showNotice('Paused: F6 steps a pass, P plays on.');
    } else if (paused) {
      showNotice('Paused. Press P, or click here, to play on.');
    } else {
      notice.hidden = true;
    }
  },
  onEnded: (code, started) => {
    const again = document.createElement('button');
    again.textContent = started ? 'Play again' : 'Try again';
    again.addEventListener('click', () => location.reload());
    const text = started ? 'Thanks for playing Quellaro 2005.' :
                           `The game could not start. ${errors.at(-1) ?? ''}`;
    const box = document.createElement('div');
    box.append(text, document.createElement('br'), again);
    showNotice(box);
    Module.ended = true;
  },
  onAbort: (what) => showNotice(`The game stopped: ${what}`),
  onMute: (muted) => {
    soundButton.textContent = muted ? 'Sound on' : 'Sound off';
  },
};

// The sound's switch, for players without M on a keyboard; the game says when it changed.
soundButton.addEventListener('click', () => {
  soundButton.blur();  // keys must reach the game, not press this again
  if (Module.calledRun && !Module.ended) Module._web_toggle_mute();
});

notice.addEventListener('click', () => {
  if (Module.calledRun && !Module.ended && gameStatus().paused) Module._web_set_paused(0);
});
setUpTouch();
setUpFullscreen();
fitCanvas();
