// The browser backend's calls into the page (linked with --js-library): the cursor, the
// pointer, the page's notices, and the page's storage (the settings, the quick save). The
// page (page.js) sets Module.canvas and the Module.on... hooks.
mergeInto(LibraryManager.library, {
  page_set_cursor: function(visible) {
    Module.canvas.style.cursor = visible ? '' : 'none';
    if (Module.onCursor) Module.onCursor(!!visible);
  },

  // Left-button presses on the canvas go to web_mouse_down with the press's position and
  // the canvas's shown size in CSS pixels, and the browser's click count (2 on a double
  // click, 3 on a triple...).
  page_listen_pointer: function() {
    if (Module.pointerListener) return;
    Module.pointerListener = (event) => {
      if (event.button !== 0) return;
      const box = Module.canvas.getBoundingClientRect();
      Module._web_mouse_down(event.clientX - box.left, event.clientY - box.top, box.width, box.height,
                             event.detail);
    };
    Module.canvas.addEventListener('mousedown', Module.pointerListener);
  },

  page_forget_pointer: function() {
    if (!Module.pointerListener) return;
    Module.canvas.removeEventListener('mousedown', Module.pointerListener);
    Module.pointerListener = null;
  },

  // What a screen reader should say now: the menus' highlighted entry, into the live region.
  page_announce: function(text) {
    const region = document.getElementById('announce');
    if (region) region.textContent = UTF8ToString(text);
  },

  // 0: playing; 1: paused; 2: paused, frame advance stepping a pass at a time.
  page_show_paused: function(paused) {
    if (Module.onPause) Module.onPause(paused);
  },

  // The game's mode (-1 the title, 0 play, 1 and 2 the information screens), when it changes.
  page_game_mode: function(mode) {
    if (Module.onGameMode) Module.onGameMode(mode);
  },

  // A short notice beside the game.
  page_notice: function(text) {
    if (Module.onNotice) Module.onNotice(UTF8ToString(text));
  },

  // Bytes in the page's storage, as base64 text under their name.
  web_store_put: function(name, data, size) {
    try {
      const bytes = HEAPU8.subarray(data, data + size);
      let text = '';
      for (let at = 0; at < bytes.length; at += 8192) {
        text += String.fromCharCode.apply(null, bytes.subarray(at, at + 8192));
      }
      localStorage.setItem(UTF8ToString(name), btoa(text));
      return 1;
    } catch (error) {
      console.warn('Quellaro 2005: the browser keeps nothing:', error);
      return 0;
    }
  },

  web_store_get: function(name, out, room) {
    try {
      const stored = localStorage.getItem(UTF8ToString(name));
      if (stored === null) return 0;
      const text = atob(stored);
      if (text.length > room) return -1;
      for (let i = 0; i < text.length; i++) HEAPU8[out + i] = text.charCodeAt(i);
      return text.length;
    } catch (error) {
      console.warn('Quellaro 2005: the page\'s storage cannot be read:', error);
      return -1;
    }
  },

  // The replay link the page was opened with (Module.replayLink, replays.js), into out when it
  // fits with its NUL; its length in any case, 0 when there is none.
  page_replay_link: function(out, room) {
    const link = Module.replayLink ? String(Module.replayLink() || '') : '';
    if (!/^[\x20-\x7e]*$/.test(link)) return -1;
    if (out && link.length < room) {
      for (let i = 0; i < link.length; i++) HEAPU8[out + i] = link.charCodeAt(i);
      HEAPU8[out + link.length] = 0;
    }
    return link.length;
  },

  // The program has ended with this exit code without ever starting (started 0: no window,
  // pictures it could not read), or after it ran (started 1).
  page_ended: function(exitCode, started) {
    if (Module.onEnded) Module.onEnded(exitCode, !!started);
  },
});
