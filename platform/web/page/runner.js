// Plays a committed script with the headless runner built for the browser and shows its
// state lines: runner.html?script=win_level&passes=640 (a script that never quits runs 300
// passes unless told otherwise); &audio=1 also records the sound as the game mixes it. The
// outcome is also left in window.runnerResult for the browser test: {code, state, digests,
// errors, audio}, audio being the recording's SHA-256 in hexadecimal.
'use strict';

(async () => {
  const out = document.getElementById('out');
  const params = new URLSearchParams(location.search);
  const args = ['--state', '-', '--frame-digests', '/digests.txt'];
  const script = params.get('script');
  if (script !== null) {
    // Only the names of the packed scripts: the name becomes part of a path.
    if (!/^[a-z0-9_]+$/.test(script)) {
      out.textContent = 'No such script: ' + script;
      window.runnerResult = {code: 2, state: [], digests: [], errors: ['bad script name']};
      return;
    }
    args.push('--script', `/scripts/${script}.txt`);
  }
  args.push('--passes', params.get('passes') ?? '300');
  if (params.get('audio') === '1') args.push('--audio', '/audio.wav');

  const state = [];
  const errors = [];
  const runner = await createRunner({
    print: (line) => state.push(line),
    printErr: (line) => errors.push(line),
  });
  const code = runner.callMain(args);
  let digests = [];
  try {
    digests = runner.FS.readFile('/digests.txt', {encoding: 'utf8'}).split('\n').filter(Boolean);
  } catch (error) {
    errors.push('no frame digests: ' + error);
  }
  let audio = null;
  if (params.get('audio') === '1') {
    try {
      const hash = await crypto.subtle.digest('SHA-256', runner.FS.readFile('/audio.wav'));
      audio = Array.from(new Uint8Array(hash), (b) => b.toString(16).padStart(2, '0')).join('');
    } catch (error) {
      errors.push('no recording: ' + error);
    }
  }
  window.runnerResult = {code, state, digests, errors, audio};
  out.textContent = errors.concat(state).join('\n');
})();
