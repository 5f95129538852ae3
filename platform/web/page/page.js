// The page around the game: gives the program the screen area for the picture, shows what
// the game is doing (paused, a notice), works the on-screen touch buttons, the help card for
// touch screens, the sound and full-screen buttons, and keeps the game's files for offline
// play (sw.js). loader.js, before it, starts the game and owns Module and pageNotice.
'use strict';

(() => {
  const screenArea = document.getElementById('screen');
  const controls = document.getElementById('controls');
  const toast = document.getElementById('toast');
  const touchHelp = document.getElementById('touch-help');
  const fullscreenButton = document.getElementById('fullscreen');
  const soundButton = document.getElementById('sound');

  const KEY_ESCAPE = 27;
  const MODE_PLAY = 0;
  const MODE_HELP = 1;
  const TOAST_MS = 4000;

  let gameMode = -1;
  let touch = false;
  let area = null;  // the screen area in device pixels, as last given to the program

  const ready = () => Module.calledRun && !pageLoad.hasFailed();

  // The screen area in device pixels, to the program, which places the picture in it.
  function giveArea(width, height) {
    area = [width, height];
    if (Module._web_resize && Module.calledRun) Module._web_resize(width, height);
  }
  function measureArea() {
    const box = screenArea.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    giveArea(Math.round(box.width * ratio), Math.round(box.height * ratio));
  }
  // Where the browser tells the exact device pixels, they are used (the CSS size times the
  // ratio can be a pixel off); else, or when they do not agree with the ratio (emulated
  // devices), the CSS size times the device's ratio.
  const observer = new ResizeObserver((entries) => {
    const exact = entries[0].devicePixelContentBoxSize?.[0];
    const box = entries[0].contentRect;
    const ratio = window.devicePixelRatio || 1;
    if (exact && Math.abs(exact.inlineSize - box.width * ratio) <= 1 &&
        Math.abs(exact.blockSize - box.height * ratio) <= 1) {
      giveArea(exact.inlineSize, exact.blockSize);
    } else {
      measureArea();
    }
  });
  try {
    observer.observe(screenArea, {box: 'device-pixel-content-box'});
  } catch {
    observer.observe(screenArea);
  }
  // Zooming changes the ratio without resizing the area.
  window.addEventListener('resize', measureArea);

  function showToast(text) {
    toast.textContent = text;
    toast.hidden = false;
    clearTimeout(showToast.timer);
    showToast.timer = setTimeout(() => { toast.hidden = true; }, TOAST_MS);
  }

  // Touch screens: the buttons, and words about them rather than keys.
  function useTouch() {
    if (touch) return;
    touch = true;
    document.body.classList.add('touch');
    measureArea();
  }

  function setGameMode(mode) {
    gameMode = mode;
    document.body.classList.toggle('in-play', mode === MODE_PLAY);
    touchHelp.hidden = !(touch && mode === MODE_HELP);
  }

  // The on-screen buttons. In play a finger down holds the button's key until it lifts,
  // wherever it slides meanwhile; in the menus (the title's, or the pause menu over play) the
  // buttons with a menu key press it once.
  function setUpTouch() {
    if (navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches) useTouch();
    window.addEventListener('touchstart', useTouch, {once: true, passive: true});

    for (const button of controls.querySelectorAll('[data-hold]')) {
      const holdKey = Number(button.dataset.hold);
      const menuKey = Number(button.dataset.menu || 0);
      const fingers = new Set();
      let held = 0;  // the key the fingers hold, taken when the first came down
      const release = (event) => {
        if (!fingers.delete(event.pointerId)) return;
        if (fingers.size > 0) return;
        button.classList.remove('held');
        if (held && ready()) Module._web_touch_key(held, 0);
        held = 0;
      };
      button.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        button.setPointerCapture(event.pointerId);
        fingers.add(event.pointerId);
        button.classList.add('held');
        if (!ready()) return;
        if (gameMode !== MODE_PLAY || Module._web_menu_shown()) {
          if (menuKey) Module._web_touch_press(menuKey);
        } else if (fingers.size === 1) {
          held = holdKey;
          Module._web_touch_key(held, 1);
        }
      });
      button.addEventListener('pointerup', release);
      button.addEventListener('pointercancel', release);
      button.addEventListener('lostpointercapture', release);
    }
    // Menu opens the pause menu in play (a phone has no P); elsewhere it is Escape, which goes
    // back a page, and in the title does nothing.
    const press = (key) => (event) => {
      event.preventDefault();
      if (ready()) Module._web_touch_press(key);
    };
    document.getElementById('back').addEventListener('pointerdown', (event) => {
      event.preventDefault();
      if (!ready()) return;
      if (gameMode === MODE_PLAY && !Module._web_menu_shown()) Module._web_set_paused(1);
      else Module._web_touch_press(KEY_ESCAPE);
    });
    document.getElementById('help-close').addEventListener('click', press(KEY_ESCAPE));
    document.getElementById('help-button').addEventListener('pointerdown', (event) => {
      event.preventDefault();
      if (!ready()) return;
      if (gameMode !== -1) Module._web_touch_press(KEY_ESCAPE);
      Module._web_touch_press(Number(event.currentTarget.dataset.menu));
    });
    controls.addEventListener('contextmenu', (event) => event.preventDefault());
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

  // The game's files kept for playing offline, once the game is up (the worker's own
  // downloads then never slow the first start). Pages outside a secure origin have none.
  function keepForOffline() {
    if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
    navigator.serviceWorker.register('sw.js').catch((error) => {
      console.warn('Quellaro 2005: the game is not kept for offline play:', error);
    });
  }

  Object.assign(Module, {
    onRuntimeInitialized: () => {
      if (area) Module._web_resize(area[0], area[1]);
    },
    onFramePresented: () => {
      if (Module.firstFrameAt) return;
      Module.firstFrameAt = performance.now();  // since the page began to load
      pageLoad.started();
      keepForOffline();
    },
    onGameMode: setGameMode,
    onNotice: showToast,
    onPause: (paused) => {
      // Stepping a pass at a time, the frame must show: a line at the bottom, not a veil.
      pageNotice.element.classList.toggle('stepping', paused === 2);
      const text = document.createElement('p');
      if (paused === 2) {
        text.textContent = 'Paused: F6 steps a pass, P plays on.';
      } else if (paused) {
        text.textContent = touch ? 'Paused. Tap here to play on.' : 'Paused. Press P, or click here, to play on.';
      }
      if (paused) {
        pageNotice.show(text);
      } else {
        pageNotice.hide();
      }
    },
    onMute: (muted) => {
      soundButton.textContent = muted ? 'Sound on' : 'Sound off';
    },
  });

  // The sound's switch, for players without M on a keyboard; the game says when it changed.
  soundButton.addEventListener('click', () => {
    soundButton.blur();  // keys must reach the game, not press this again
    if (ready()) Module._web_toggle_mute();
  });
  pageNotice.element.addEventListener('click', () => {
    if (ready() && pageLoad.isStarted() && JSON.parse(Module.UTF8ToString(Module._web_status())).paused) {
      Module._web_set_paused(0);
    }
  });
  setUpTouch();
  setUpFullscreen();
  setGameMode(-1);
})();
