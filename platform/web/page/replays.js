// The page's replays: a replay given in the address (#replay=..., as the runner's --link
// prints it) is handed to the program, which plays it and then gives the game back; the last
// finished run's link copied or saved as a file; a replay file opened (the file picker, or
// dropped on the page) or a link pasted into the address, which the program plays from a
// fresh game once the player agrees to leave a game in progress.
'use strict';

(() => {
  const LINK_MARK = '#replay=';
  // A replay file's size limit, as the program's reader has it; its link is a third longer.
  const FILE_MAX = 16 << 20;
  const ready = () => Module.calledRun && !pageLoad.hasFailed();
  const say = (text) => Module.onNotice && Module.onNotice(text);

  let offered = null;  // the link of a file opened, once one is
  // The link's text as the program reads it: an opened file's, else the address's, else ''.
  Module.replayLink = () => offered ?? (location.hash.startsWith(LINK_MARK) ? location.hash : '');

  const base64url = (bytes) => {
    let text = '';
    for (let at = 0; at < bytes.length; at += 8192) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 8192));
    }
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  };
  const fromBase64url = (text) => {
    const plain = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    return Uint8Array.from(plain, (c) => c.charCodeAt(0));
  };

  // The last finished run's link ('#replay=...'), or '' before any.
  const runLink = () => (ready() ? Module.UTF8ToString(Module._web_run_link()) : '');

  // A file's bytes as the link the program reads: a replay's bytes, or a link saved as text.
  function linkOf(bytes) {
    const head = String.fromCharCode.apply(null, bytes.subarray(0, 4));
    if (head === 'QRPL') return LINK_MARK + base64url(bytes);
    const text = new TextDecoder('latin1').decode(bytes);
    const at = text.indexOf(LINK_MARK);
    return at >= 0 ? text.slice(at).trim() : LINK_MARK + text.trim();
  }

  async function openFile(file) {
    if (!file) return;
    if (!ready()) {
      say('The game is not ready yet: open the replay once it is.');
      return;
    }
    if (file.size > FILE_MAX) {
      say(`${file.name} is larger than any replay (${(FILE_MAX >> 20)} MB at most).`);
      return;
    }
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      say(`${file.name} cannot be read: ${error.message}`);
      return;
    }
    offered = linkOf(bytes);
    Module._web_replay_open();
  }

  // --- the menu: a button beside the sound's, and its three entries over the picture ------
  const button = document.createElement('button');
  button.type = 'button';
  button.id = 'replays';
  button.textContent = 'Replays';
  button.setAttribute('aria-haspopup', 'true');
  button.setAttribute('aria-expanded', 'false');
  const menu = document.createElement('div');
  menu.id = 'replay-menu';
  menu.hidden = true;
  const entry = (text, action) => {
    const item = document.createElement('button');
    item.type = 'button';
    item.textContent = text;
    item.addEventListener('click', () => {
      close();
      action();
    });
    menu.append(item);
    return item;
  };
  const picker = document.createElement('input');
  picker.type = 'file';
  picker.accept = '.qrp,.txt';
  picker.hidden = true;
  picker.addEventListener('change', () => {
    openFile(picker.files[0]);
    picker.value = '';
  });

  const copyItem = entry('Copy link to this run', async () => {
    const link = runLink();
    const whole = location.origin + location.pathname + link;
    try {
      await navigator.clipboard.writeText(whole);
      say(`The link to your run is copied (${link.length} characters).`);
    } catch {
      // No clipboard for this page: the address bar holds the link instead.
      history.replaceState(null, '', link);
      say('The browser did not let the page copy: the link to your run is now in the address bar.');
    }
  });
  const saveItem = entry('Save replay file', () => {
    const bytes = fromBase64url(runLink().slice(LINK_MARK.length));
    const anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    const when = new Date().toISOString().slice(0, 16).replace(/[-:T]/g, '');
    anchor.download = `quellaro-${when}.qrp`;
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 10_000);
  });
  entry('Open replay file…', () => picker.click());
  const hint = document.createElement('p');
  hint.textContent = 'Or drop a replay file on the page.';
  menu.append(hint, picker);

  function close() {
    menu.hidden = true;
    button.setAttribute('aria-expanded', 'false');
    button.blur();  // keys must reach the game
  }
  button.addEventListener('click', () => {
    if (!menu.hidden) {
      close();
      return;
    }
    const some = runLink() !== '';
    copyItem.disabled = saveItem.disabled = !some;
    copyItem.title = saveItem.title = some ? '' : 'Finish a run first: win, or lose a life.';
    menu.hidden = false;
    button.setAttribute('aria-expanded', 'true');
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && !menu.hidden) close();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!menu.hidden && !menu.contains(event.target) && event.target !== button) close();
  });

  document.getElementById('sound').before(button);
  document.getElementById('screen').append(menu);

  // A link pasted into the address of the page already open plays as an opened file does.
  window.addEventListener('hashchange', () => {
    if (!location.hash.startsWith(LINK_MARK) || !ready()) return;
    offered = location.hash;
    Module._web_replay_open();
  });

  // Files dropped anywhere on the page.
  const carriesFiles = (event) => event.dataTransfer && [...event.dataTransfer.types].includes('Files');
  window.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('drop', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    openFile(event.dataTransfer.files[0]);
  });
})();
