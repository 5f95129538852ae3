// The browser backend's sound (linked with --js-library): every effect and tune as a Web Audio
// buffer, played by the browser's own audio thread, so a busy page never starves the sound
// and a sound starts within the context's output latency. It keeps the desktop mixer's rules:
// eight effects at a time (the oldest gives way, fading out), a sound started twice at one
// moment plays once, the music under its own volume, the pause holds every sound where it
// is, and mute plays on unheard. Browsers start audio only after a gesture: the context is
// made (or resumed) on the first key press, click or tap, and the tune asked for starts then.
mergeInto(LibraryManager.library, {
  $pageAudio: {
    VOICES: 8,
    FADE_SECONDS: 64 / 22050,  // the mixer's fade of a sound cut off
    MASTER_VOLUME: 0.75,       // as the desktop mixes: headroom for two effects and the music
    EFFECTS_VOLUME: 1.0,
    MUSIC_VOLUME: 0.7,         // as the desktop's settings have it by default
    rate: 0,
    context: null,
    master: null, effectsGain: null, musicGain: null,
    effects: [], tunes: [],    // {samples: Float32Array, loops, buffer}
    voices: [],                // {source, gain, id, startedAt}, oldest first
    music: null,               // {source, gain}
    musicId: 0,
    paused: false,
    muted: false,
    unlock: null,

    // A buffer for a sound, made once the context exists.
    bufferOf: function(sound) {
      if (!sound.buffer) {
        sound.buffer = pageAudio.context.createBuffer(1, sound.samples.length, pageAudio.rate);
        sound.buffer.copyToChannel(sound.samples, 0);
      }
      return sound.buffer;
    },

    fadeOut: function(node) {
      const now = pageAudio.context.currentTime;
      node.gain.gain.setValueAtTime(node.gain.gain.value, now);
      node.gain.gain.linearRampToValueAtTime(0, now + pageAudio.FADE_SECONDS);
      node.source.stop(now + pageAudio.FADE_SECONDS);
    },

    startMusic: function() {
      const a = pageAudio;
      if (!a.context) return;
      if (a.music) {
        a.fadeOut(a.music);
        a.music = null;
      }
      const tune = a.tunes[a.musicId];
      if (!a.musicId || !tune) return;
      const source = a.context.createBufferSource();
      source.buffer = a.bufferOf(tune);
      source.loop = tune.loops;
      const gain = a.context.createGain();
      source.connect(gain).connect(a.musicGain);
      source.start();
      a.music = {source, gain};
    },

    // Within a gesture: the context made or resumed, and the tune asked for started.
    start: function() {
      const a = pageAudio;
      if (!a.rate) return;
      if (!a.context) {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        a.context = new Context();
        a.master = a.context.createGain();
        a.master.gain.value = a.muted ? 0 : a.MASTER_VOLUME;
        a.master.connect(a.context.destination);
        a.effectsGain = a.context.createGain();
        a.effectsGain.gain.value = a.EFFECTS_VOLUME;
        a.effectsGain.connect(a.master);
        a.musicGain = a.context.createGain();
        a.musicGain.gain.value = a.MUSIC_VOLUME;
        a.musicGain.connect(a.master);
        a.startMusic();
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
    if (a.context) a.context.close();
    Object.assign(a, {rate: 0, context: null, effects: [], tunes: [], voices: [], music: null,
                      musicId: 0, paused: false});
  },

  // The samples are copied out at once: the module's memory may move when it grows.
  page_audio_load__deps: ['$pageAudio'],
  page_audio_load: function(isTune, id, samples, length, loops) {
    const from = HEAP16.subarray(samples >> 1, (samples >> 1) + length);
    const copy = new Float32Array(length);
    for (let i = 0; i < length; i++) copy[i] = from[i] / 32768;
    (isTune ? pageAudio.tunes : pageAudio.effects)[id] = {samples: copy, loops: !!loops};
    if (isTune && id === pageAudio.musicId) pageAudio.startMusic();
  },

  page_audio_play__deps: ['$pageAudio'],
  page_audio_play: function(id) {
    const a = pageAudio;
    const sound = a.effects[id];
    if (!a.context || !sound) return;
    const now = a.context.currentTime;
    a.voices = a.voices.filter((v) => !v.ended);
    if (a.voices.some((v) => v.id === id && v.startedAt === now)) return;
    if (a.voices.length >= a.VOICES) a.fadeOut(a.voices.shift());
    const source = a.context.createBufferSource();
    source.buffer = a.bufferOf(sound);
    const gain = a.context.createGain();
    source.connect(gain).connect(a.effectsGain);
    const voice = {source, gain, id, startedAt: now, ended: false};
    source.onended = () => { voice.ended = true; };
    source.start();
    a.voices.push(voice);
  },

  page_audio_music__deps: ['$pageAudio'],
  page_audio_music: function(id) {
    pageAudio.musicId = id;
    pageAudio.startMusic();
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
    if (pageAudio.master) pageAudio.master.gain.value = muted ? 0 : pageAudio.MASTER_VOLUME;
    if (Module.onMute) Module.onMute(!!muted);
  },
});
