// The browser backend's sound (linked with --js-library): a Web Audio context at the game's
// rate, fed by the game's own mixer (web_audio.cpp), so the page plays the desktop's stereo
// mix, limiter and all. The mixer runs on the page's thread after each animation frame's
// passes and keeps a short queue in an AudioWorklet, which plays it on the audio thread: the
// page's thread does no work of its own for the sound between passes, unless its frames come
// so far apart that the queue runs low (the worklet then asks). Where the browser has
// no AudioWorklet, a processing node asks the mixer for each buffer of 1024 frames (23 ms
// at 44.1 kHz) on the page's thread instead.
// Browsers start audio only after a gesture: the context is made (or resumed) on the first
// key press, click or tap, and the tune asked for starts then. The pause suspends the
// context, holding every sound where it is; mute is the mixer's.
mergeInto(LibraryManager.library, {
  $pageAudio: {
    FRAMES: 1024,              // a buffer of the processing node, and a chunk of the queue
    // The queue the worklet is kept ahead by: at least leadLeast, and more on a page whose
    // frames come far apart. Each time the queue runs dry anyway (a machine too busy to feed
    // it in time) leadLeast grows by a chunk: later sound rather than sound that breaks up.
    LEAD_MOST: 8192,
    leadLeast: 2048,
    rate: 0,
    context: null,
    node: null,
    worklet: false,            // the node is the worklet (else the processing node)
    queuedTo: 0,               // the context's frame up to which the worklet has sound
    longestGap: 0,             // the longest time between two feeds lately (ms)
    lastFeed: 0,
    musicId: 0,                // the tune asked for, as the game said
    paused: false,
    muted: false,
    unlock: null,
    framesMixed: 0,
    ranDry: 0,                 // times the worklet's queue ran out while playing
    peak: 0,                   // the largest sample of the last chunk, of 1

    // The worklet: plays the chunks it is sent, in order; silence when none is left.
    PLAYER: `class QuellaroPlayer extends AudioWorkletProcessor {
      constructor() {
        super();
        this.chunks = [];
        this.at = 0;
        this.playing = false;  // sound came and has not run out
        this.queued = 0;       // frames not played yet
        this.asked = false;    // more was asked for and has not come yet
        this.port.onmessage = (event) => {
          this.chunks.push(event.data);
          this.queued += event.data.length / 2;
          this.asked = false;
        };
      }
      process(inputs, outputs) {
        const left = outputs[0][0], right = outputs[0][1];
        let i = 0;
        while (i < left.length && this.chunks.length > 0) {
          const chunk = this.chunks[0];
          const n = Math.min(left.length - i, chunk.length / 2 - this.at);
          for (let k = 0; k < n; k++) {
            left[i + k] = chunk[2 * (this.at + k)];
            right[i + k] = chunk[2 * (this.at + k) + 1];
          }
          i += n;
          this.at += n;
          if (2 * this.at === chunk.length) {
            this.chunks.shift();
            this.at = 0;
          }
        }
        this.queued -= i;
        left.fill(0, i);
        right.fill(0, i);
        // The queue ran dry while playing (the page's thread was busy too long): said once.
        if (i < left.length && this.playing) this.port.postMessage('dry');
        this.playing = i === left.length;
        // Running low before the page's next frame: more is asked for, once.
        if (this.playing && this.queued < 1024 && !this.asked) {
          this.asked = true;
          this.port.postMessage('low');
        }
        return true;
      }
    }
    registerProcessor('quellaro-player', QuellaroPlayer);`,

    // The next frames of the game's mix into out: left and right interleaved, or into the two
    // channels given.
    mix: function(frames, left, right) {
      const a = pageAudio;
      const at = Module['_web_audio_mix'](frames) >> 1;
      const pcm = HEAP16.subarray(at, at + 2 * frames);
      let peak = 0;
      for (let i = 0; i < frames; i++) {
        const l = pcm[2 * i], r = pcm[2 * i + 1];
        if (right) {
          left[i] = l / 32768;
          right[i] = r / 32768;
        } else {
          left[2 * i] = l / 32768;
          left[2 * i + 1] = r / 32768;
        }
        peak = Math.max(peak, Math.abs(l), Math.abs(r));
      }
      a.framesMixed += frames;
      a.peak = peak / 32768;
    },

    // Without the worklet: one buffer of the processing node.
    process: function(event) {
      const out = event.outputBuffer;
      pageAudio.mix(out.length, out.getChannelData(0), out.getChannelData(1));
    },

    // With the worklet: its queue topped up to the lead. The context's clock says how much it
    // has played; a queue that ran dry starts again from now.
    feed: function() {
      const a = pageAudio;
      if (!a.worklet || a.paused || a.context.state !== 'running') {
        a.lastFeed = 0;  // a pause is no gap between feeds: the sound waits with the game
        return;
      }
      const now = performance.now();
      const gap = a.lastFeed ? now - a.lastFeed : 0;
      a.lastFeed = now;
      a.longestGap = Math.max(gap, a.longestGap * 0.99);
      const lead = Math.min(a.LEAD_MOST, Math.max(a.leadLeast, a.FRAMES + a.longestGap * a.rate / 1000));
      const played = Math.round(a.context.currentTime * a.rate);
      if (a.queuedTo < played) a.queuedTo = played;
      while (a.queuedTo - played < lead) {
        const chunk = new Float32Array(2 * a.FRAMES);
        a.mix(a.FRAMES, chunk, null);
        a.node.port.postMessage(chunk, [chunk.buffer]);
        a.queuedTo += a.FRAMES;
      }
    },

    useProcessingNode: function() {
      const a = pageAudio;
      a.worklet = false;
      a.node = a.context.createScriptProcessor(a.FRAMES, 0, 2);
      a.node.onaudioprocess = a.process;
      a.node.connect(a.context.destination);
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
        const context = a.context;
        if (context.audioWorklet && window.AudioWorkletNode) {
          const url = URL.createObjectURL(new Blob([a.PLAYER], {type: 'text/javascript'}));
          context.audioWorklet.addModule(url).then(() => {
            if (a.context !== context) return;  // closed meanwhile
            a.node = new AudioWorkletNode(context, 'quellaro-player', {numberOfInputs: 0, outputChannelCount: [2]});
            a.node.connect(context.destination);
            a.node.port.onmessage = (event) => {
              if (event.data === 'dry') {
                a.ranDry++;
                a.leadLeast = Math.min(a.LEAD_MOST, a.leadLeast + a.FRAMES);
              }
              a.feed();
            };
            a.queuedTo = 0;
            a.worklet = true;
          }).catch((error) => {
            console.warn('Quellaro 2005: the sound plays on the page\'s thread:', error);
            if (a.context === context) a.useProcessingNode();
          }).finally(() => URL.revokeObjectURL(url));
        } else {
          a.useProcessingNode();
        }
      }
      if (!a.paused && a.context.state === 'suspended') a.context.resume().catch(() => {});
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
    // A resume or suspend still pending is refused by the close: nothing is left to play.
    if (a.context) a.context.close().catch(() => {});
    Object.assign(a, {rate: 0, context: null, node: null, worklet: false, musicId: 0, paused: false});
  },

  // After each animation frame's passes: the worklet's queue topped up.
  page_audio_feed__deps: ['$pageAudio'],
  page_audio_feed: function() {
    pageAudio.feed();
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
    // Refused only when the context is closed meanwhile, when there is nothing to play.
    const change = a.paused ? a.context.suspend() : a.context.resume();
    change.catch(() => {});
  },

  page_audio_mute__deps: ['$pageAudio'],
  page_audio_mute: function(muted) {
    pageAudio.muted = !!muted;
    if (Module.onMute) Module.onMute(!!muted);
  },
});
