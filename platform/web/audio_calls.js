// The browser backend's sound (linked with --js-library): a Web Audio context at the game's
// rate whose one processing node asks the game's own mixer (web_audio.cpp) for every buffer,
// so the page plays the desktop's stereo mix, limiter and all. The node runs between the
// game's passes on the page's thread: a buffer of 1024 frames (23 ms at 44.1 kHz) is short
// enough that a sound starts with its frame and long enough that a pass does not starve it.
// Browsers start audio only after a gesture: the context is made (or resumed) on the first
// key press, click or tap, and the tune asked for starts then. The pause suspends the
// context, holding every sound where it is; mute is the mixer's.
mergeInto(LibraryManager.library, {
  $pageAudio: {
    FRAMES: 1024,
    rate: 0,
    context: null,
    node: null,
    musicId: 0,                // the tune asked for, as the game said
    paused: false,
    muted: false,
    unlock: null,
    framesMixed: 0,
    peak: 0,                   // the largest sample of the last buffer, of 1

    // One buffer: the game's mix, 16-bit pairs, spread to the two channels.
    process: function(event) {
      const a = pageAudio;
      const out = event.outputBuffer;
      const frames = out.length;
      const left = out.getChannelData(0), right = out.getChannelData(1);
      const at = Module['_web_audio_mix'](frames) >> 1;
      const pcm = HEAP16.subarray(at, at + 2 * frames);
      let peak = 0;
      for (let i = 0; i < frames; i++) {
        left[i] = pcm[2 * i] / 32768;
        right[i] = pcm[2 * i + 1] / 32768;
        peak = Math.max(peak, Math.abs(pcm[2 * i]), Math.abs(pcm[2 * i + 1]));
      }
      a.framesMixed += frames;
      a.peak = peak / 32768;
    },

    // Within a gesture: the context made or resumed.
    start: function() {
      const a = pageAudio;
      if (!a.rate) return;
      if (!a.context) {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        try {
          a.context = new Context({sampleRate: a.rate});
        } catch (error) {
          return;  // a browser that cannot run at the game's rate stays silent
        }
        a.node = a.context.createScriptProcessor(a.FRAMES, 0, 2);
        a.node.onaudioprocess = a.process;
        a.node.connect(a.context.destination);
      }
      if (!a.paused && a.context.state === 'suspended') a.context.resume();
    },
  },

  page_audio_open__deps: ['$pageAudio'],
  page_audio_open: function(rate) {
    pageAudio.rate = rate;
    if (!pageAudio.unlock) {
      pageAudio.unlock = () => pageAudio.start();
      for (const type of ['keydown', 'pointerdown', 'touchend']) {
        window.addEventListener(type, pageAudio.unlock, {capture: true});
      }
    }
    Module.audio = pageAudio;  // for the page and its tests
  },

  page_audio_close__deps: ['$pageAudio'],
  page_audio_close: function() {
    const a = pageAudio;
    if (a.unlock) {
      for (const type of ['keydown', 'pointerdown', 'touchend']) {
        window.removeEventListener(type, a.unlock, {capture: true});
      }
      a.unlock = null;
    }
    if (a.node) a.node.disconnect();
    if (a.context) a.context.close();
    Object.assign(a, {rate: 0, context: null, node: null, musicId: 0, paused: false});
  },

  page_audio_music__deps: ['$pageAudio'],
  page_audio_music: function(id) {
    pageAudio.musicId = id;
  },

  page_audio_pause__deps: ['$pageAudio'],
  page_audio_pause: function(paused) {
    const a = pageAudio;
    a.paused = !!paused;
    if (!a.context) return;
    if (a.paused) {
      a.context.suspend();
    } else {
      a.context.resume();
    }
  },

  page_audio_mute__deps: ['$pageAudio'],
  page_audio_mute: function(muted) {
    pageAudio.muted = !!muted;
    if (Module.onMute) Module.onMute(!!muted);
  },
});
