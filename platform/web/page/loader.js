// The game's start in the page: downloads the program (quellaro.js and .wasm) and the
// pictures (one compressed tar file) at once, showing how many bytes have come, unpacks the
// pictures into the program's files, and starts it. Every way a start can fail ends in a
// message saying what failed and a Try again button, never in a page that waits for good:
// a file missing or damaged, a download that stops coming, an abort, an exception.
'use strict';

// The page's notice over the picture: loading, failures, the pause (page.js).
const pageNotice = {
  element: document.getElementById('notice'),
  locked: false,  // a failure stays until the player tries again
  show(...content) {
    if (this.locked) return;
    this.element.replaceChildren(...content);
    this.element.hidden = false;
  },
  hide() {
    if (!this.locked) this.element.hidden = true;
  },
};

const pageLoad = (() => {
  // The files of this version, named by index.html (make_dist.mjs fills it in).
  const files = JSON.parse(document.getElementById('files').textContent);
  // A download that brings nothing for this long has stopped.
  const STALL_MS = window.quellaroStallMs ?? 20_000;
  const KB = 1024;

  let started = false;    // the first frame is up: the start is over
  let failed = false;
  let lastActivity = performance.now();
  const pending = new Set();  // the files still coming, by name
  const loaded = new Map();   // bytes come of each file, by name
  const aborter = 'AbortController' in window ? new AbortController() : null;
  const errors = [];          // the program's own messages, for a failed start

  // A failure: what failed, why, and a way to try again (where trying again can help).
  function fail(what, why, {retry = true} = {}) {
    if (failed || started) return;
    failed = true;
    aborter?.abort();
    const heading = document.createElement('strong');
    heading.textContent = what;
    const detail = document.createElement('p');
    detail.textContent = why;
    const box = document.createElement('div');
    box.className = 'failure';
    box.append(heading, detail);
    let again = null;
    if (retry) {
      again = document.createElement('button');
      again.type = 'button';
      again.textContent = 'Try again';
      again.addEventListener('click', () => location.reload());
      box.append(again);
    }
    pageNotice.show(box);
    pageNotice.locked = true;
    document.body.classList.add('failed');
    again?.focus();
    window.dispatchEvent(new CustomEvent('quellaro-failed', {detail: {what, why}}));
  }

  // A failure after the start too (an abort): the game is gone, and says so.
  function stop(what, why) {
    started = false;
    fail(what, why);
  }

  function showProgress() {
    if (failed || started) return;
    let done = 0;
    let total = 0;
    for (const file of [files.wasm, pictureFile]) {
      done += loaded.get(file.name) ?? 0;
      total += file.size;
    }
    const text = document.createElement('p');
    const bar = document.createElement('progress');
    bar.max = total;
    bar.value = Math.min(done, total);
    if (pending.size > 0) {
      text.textContent = `Downloading the game: ${Math.round(done / KB)} KB of ${Math.round(total / KB)} KB`;
      pageNotice.show(text, bar);
    } else {
      text.textContent = 'Starting…';
      pageNotice.show(text);
    }
  }

  // Whether the bytes are those the name promises: the name holds the start of their SHA-256
  // (checked where the browser can hash: secure pages only).
  async function checkHash(name, bytes) {
    const hash = name.match(/\.([0-9a-f]{10})\./)?.[1];
    if (!hash || !crypto.subtle) return;
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
    const hex = Array.from(digest.subarray(0, 5), (b) => b.toString(16).padStart(2, '0')).join('');
    if (hex !== hash) throw new Error(`${name} arrived damaged (its content is not what its name says)`);
  }

  // The whole file, counted as it comes.
  async function download(file) {
    pending.add(file.name);
    loaded.set(file.name, 0);
    showProgress();
    let response;
    try {
      response = await fetch(file.name, {signal: aborter?.signal});
    } catch (error) {
      throw new Error(`${file.name} could not be downloaded: the network or the server did not answer`);
    }
    if (!response.ok) {
      throw new Error(`${file.name} could not be downloaded: the server answered ` +
                      `${response.status} ${response.statusText}`.trim());
    }
    const parts = [];
    let length = 0;
    if (response.body?.getReader) {
      const reader = response.body.getReader();
      for (;;) {
        let chunk;
        try {
          chunk = await reader.read();
        } catch (error) {
          throw new Error(`the download of ${file.name} broke off after ${Math.round(length / KB)} KB`);
        }
        if (chunk.done) break;
        parts.push(chunk.value);
        length += chunk.value.length;
        loaded.set(file.name, length);
        lastActivity = performance.now();
        showProgress();
      }
    } else {
      parts.push(new Uint8Array(await response.arrayBuffer()));
      length = parts[0].length;
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    if (length !== file.size) {
      throw new Error(`${file.name} arrived cut short or too long: ${length} bytes of ${file.size}`);
    }
    await checkHash(file.name, bytes);
    pending.delete(file.name);
    showProgress();
    return bytes;
  }

  // The files of a tar archive: {name, bytes} for each plain file.
  function untar(bytes, archive) {
    const entries = [];
    const text = (at, length) => {
      let end = at;
      while (end < at + length && bytes[end] !== 0) end++;
      return String.fromCharCode(...bytes.subarray(at, end));
    };
    for (let at = 0; at + 512 <= bytes.length;) {
      const header = bytes.subarray(at, at + 512);
      if (header.every((byte) => byte === 0)) return entries;
      let sum = 0;
      for (let i = 0; i < 512; i++) sum += i >= 148 && i < 156 ? 32 : header[i];
      const size = parseInt(text(at + 124, 12).trim(), 8);
      if (sum !== parseInt(text(at + 148, 8).trim(), 8) || !(size >= 0)) {
        throw new Error(`${archive} is damaged: a header does not add up`);
      }
      const name = text(at, 100);
      at += 512;
      if (at + size > bytes.length) throw new Error(`${archive} is cut short`);
      // Plain files with plain names only: nothing in it may write anywhere else.
      if ((header[156] === 48 || header[156] === 0) && /^[\w][\w.-]*$/.test(name)) {
        entries.push({name, bytes: bytes.subarray(at, at + size)});
      }
      at += Math.ceil(size / 512) * 512;
    }
    throw new Error(`${archive} is cut short`);
  }

  async function gunzip(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  // The pictures come compressed. A browser that cannot decompress them (one from before
  // 2023) cannot play; it is told so at once rather than downloading what it cannot use.
  if (!('DecompressionStream' in window)) {
    fail('This browser is too old for the game.',
         'It cannot unpack the game\'s pictures. Chrome or Edge 80, Firefox 113, Safari 16.4 or ' +
         'any later version plays it.', {retry: false});
    window.Module = {canvas: document.getElementById('frame'), files};  // for page.js, which waits on it
    return {files, started() {}, isStarted: () => false, hasFailed: () => true};
  }
  const pictureFile = files.pictures;
  const wasm = download(files.wasm);
  const pictures = download(pictureFile).then(async (bytes) => {
    let tar;
    try {
      tar = await gunzip(bytes);
    } catch (error) {
      throw new Error(`${pictureFile.name} is damaged: it does not decompress`);
    }
    return untar(tar, pictureFile.name);
  });
  // A failure is shown at once, even when the other file is still coming.
  for (const [what, promise] of [['The game could not be downloaded.', wasm],
                                 ['The game\'s pictures could not be downloaded.', pictures]]) {
    promise.catch((error) => fail(what, error.message));
  }

  const watchdog = setInterval(() => {
    if (started || failed) {
      clearInterval(watchdog);
    } else if (performance.now() - lastActivity > STALL_MS) {
      const waiting = pending.size > 0 ? [...pending].join(', ') : files.game;
      fail('The download stopped.', `Nothing came for ${Math.round(STALL_MS / 1000)} seconds (waiting for ${waiting}). ` +
           'Check the connection, then try again.');
    }
  }, 500);

  // An exception before the game is up ends the start, with its message.
  window.addEventListener('error', (event) => {
    fail('The game could not start.', `${event.message}${event.filename ? ` (${event.filename.split('/').pop()})` : ''}`);
  });
  window.addEventListener('unhandledrejection', (event) => {
    fail('The game could not start.', String(event.reason?.message ?? event.reason));
  });

  window.Module = {
    canvas: document.getElementById('frame'),
    // ?draw=2d draws without WebGL, for a machine whose WebGL draws wrong; ?draw=webgl draws
    // on the page's thread, for a browser whose drawing worker goes wrong.
    forceCanvas2d: new URLSearchParams(location.search).get('draw') === '2d',
    drawWhere: new URLSearchParams(location.search).get('draw'),
    files,
    print: (line) => console.log(line),
    printErr: (line) => {
      errors.push(line);
      console.warn(line);
    },
    instantiateWasm(imports, receive) {
      wasm.then((bytes) => WebAssembly.instantiate(bytes, imports))
          .then((result) => receive(result.instance, result.module),
                (error) => fail('The game could not start.',
                                `${files.wasm.name} cannot run here: ${error.message}`));
      return {};
    },
    preRun: [() => {
      Module.addRunDependency('pictures');
      pictures.then((entries) => {
        for (const {name, bytes} of entries) Module.FS.writeFile(`/${name}`, bytes);
        Module.removeRunDependency('pictures');
      }, () => {});  // said above
    }],
    onAbort: (what) => stop(started ? 'The game stopped.' : 'The game could not start.',
                            String(what ?? 'it was aborted')),
    // The program did not start: its last words say why (a picture it could not read...).
    onEnded: (code, running) => {
      if (!running) fail('The game could not start.', errors.at(-1) ?? `It ended with status ${code}.`);
    },
  };

  const script = document.createElement('script');
  script.src = files.game;
  script.onload = () => { lastActivity = performance.now(); };
  script.onerror = () => fail('The game could not be downloaded.',
                              `${files.game} could not be downloaded from the server.`);
  document.body.append(script);

  return {
    files,
    // The first frame is up: what could fail at the start is behind.
    started() {
      started = true;
      clearInterval(watchdog);
      pageNotice.hide();
    },
    isStarted: () => started,
    hasFailed: () => failed,
  };
})();
