// The browser backend's drawing (linked with --js-library): the frame onto the page's canvas.
// With WebGL the 8-bit frame goes up as a one-channel texture and the palette as a 256 x 1
// one; a first pass looks every pixel up into a 640 x 480 picture, a second scales that onto
// the canvas: nearest neighbour, or sharp (each pixel enlarged by a whole step, then smoothly
// down to the size, which only blends the edges between pixels). Frames that come as RGBA
// pixels (something drawn over them) go straight into the picture. Without WebGL a 2D canvas
// does the same from RGBA pixels. The canvas holds exactly the device pixels it covers, so
// the browser scales nothing afterwards.
//
// Where the browser can, all of that happens in a worker that owns the canvas (kind
// 'worker'): the page's thread only copies each frame into one of two buffers that travel to
// the worker and back, and never pays for the WebGL frame's commit, the largest cost of a
// pass on a slow GPU. ?draw=webgl keeps the drawing on the page, ?draw=2d uses the 2D canvas.
mergeInto(LibraryManager.library, {
  $pageDisplay: {
    FRAME_WIDTH: 640,
    FRAME_HEIGHT: 480,
    kind: '',             // 'webgl' or '2d'
    gl: null,
    context: null,        // the 2D context, without WebGL
    place: {x: 0, y: 0, width: 0, height: 0, sharp: 0, prescale: 1},
    shown: false,         // a frame is in the picture
    lost: false,          // the WebGL context is gone until the browser restores it
    views: null,          // the module memory's views, made again when the memory grows

    VERTEX: `attribute vec2 corner;
      uniform float flip;
      varying vec2 at;
      void main() {
        at = vec2(corner.x * 0.5 + 0.5, 0.5 - flip * corner.y * 0.5);
        gl_Position = vec4(corner, 0.0, 1.0);
      }`,
    // Full precision where the GPU has it: the coordinates of 640 pixels need more than 10 bits.
    // (One line: the library's preprocessor reads lines that start with '#'.)
    PRECISION: '#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n',
    // The palette's entry for each pixel: the index is a byte, read as index / 255.
    LOOKUP: `uniform sampler2D pixels;
      uniform sampler2D palette;
      varying vec2 at;
      void main() {
        float index = texture2D(pixels, at).r * 255.0;
        gl_FragColor = vec4(texture2D(palette, vec2((index + 0.5) / 256.0, 0.5)).rgb, 1.0);
      }`,
    // Nearest neighbour, or sharp: within each pixel, the part farther than half a step of
    // the prescale from its edges samples the pixel alone; the rest blends linearly with the
    // neighbour, as a linear scale of the prescaled picture would.
    SCALE: `uniform sampler2D picture;
      uniform vec2 size;
      uniform float prescale;
      varying vec2 at;
      void main() {
        if (prescale < 1.0) {
          gl_FragColor = texture2D(picture, at);
          return;
        }
        vec2 texel = at * size;
        vec2 offset = fract(texel) - 0.5;
        float inner = 0.5 - 0.5 / prescale;
        vec2 blend = (offset - clamp(offset, -inner, inner)) * prescale + 0.5;
        gl_FragColor = texture2D(picture, (floor(texel) + blend) / size);
      }`,

    // The module's memory as bytes; views of it are kept until it grows.
    heap: function() {
      const d = pageDisplay;
      if (!d.views || d.views.buffer !== HEAPU8.buffer) {
        d.views = {buffer: HEAPU8.buffer, indexed: null, palette: null, rgba: null, rgbaAt: -1, indexedAt: -1};
      }
      return d.views;
    },

    compile: function(gl, vertex, fragment) {
      const program = gl.createProgram();
      // (No destructuring in loops here: this Emscripten's optimizer breaks it.)
      const stages = [gl.VERTEX_SHADER, vertex, gl.FRAGMENT_SHADER, pageDisplay.PRECISION + fragment];
      for (let i = 0; i < stages.length; i += 2) {
        const shader = gl.createShader(stages[i]);
        gl.shaderSource(shader, stages[i + 1]);
        gl.compileShader(shader);
        if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(shader));
        gl.attachShader(program, shader);
      }
      gl.bindAttribLocation(program, 0, 'corner');
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) throw new Error(gl.getProgramInfoLog(program));
      return program;
    },

    texture: function(gl, format, width, height, filter) {
      const texture = gl.createTexture();
      gl.bindTexture(gl.TEXTURE_2D, texture);
      gl.texImage2D(gl.TEXTURE_2D, 0, format, width, height, 0, format, gl.UNSIGNED_BYTE, null);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      return texture;
    },

    // The last pass, the page's and the worker's: the picture (texture 2) scaled onto the whole
    // canvas, sharp (linear from the whole-number prescale) or by nearest pixels.
    scaleOnto: function(d, width, height) {
      const gl = d.gl, p = d.place;
      gl.bindFramebuffer(gl.FRAMEBUFFER, null);
      gl.viewport(0, 0, width, height);
      gl.useProgram(d.scale);
      gl.uniform1f(d.prescaleAt, p.sharp ? p.prescale : 0);
      gl.activeTexture(gl.TEXTURE2);
      const filter = p.sharp ? gl.LINEAR : gl.NEAREST;
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    },

    // Everything WebGL needs, made at the start and again after a lost context came back.
    makeGl: function() {
      const d = pageDisplay;
      const gl = d.gl;
      d.lookup = d.compile(gl, d.VERTEX, d.LOOKUP);
      d.scale = d.compile(gl, d.VERTEX, d.SCALE);
      d.pixels = d.texture(gl, gl.LUMINANCE, d.FRAME_WIDTH, d.FRAME_HEIGHT, gl.NEAREST);
      d.palette = d.texture(gl, gl.RGBA, 256, 1, gl.NEAREST);
      d.picture = d.texture(gl, gl.RGBA, d.FRAME_WIDTH, d.FRAME_HEIGHT, gl.NEAREST);
      d.framebuffer = gl.createFramebuffer();
      gl.bindFramebuffer(gl.FRAMEBUFFER, d.framebuffer);
      gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, d.picture, 0);
      gl.bindFramebuffer(gl.FRAMEBUFFER, null);
      const corners = gl.createBuffer();
      gl.bindBuffer(gl.ARRAY_BUFFER, corners);
      gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
      gl.enableVertexAttribArray(0);
      gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
      gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
      gl.disable(gl.DITHER);
      gl.useProgram(d.lookup);
      gl.uniform1i(gl.getUniformLocation(d.lookup, 'pixels'), 0);
      gl.uniform1i(gl.getUniformLocation(d.lookup, 'palette'), 1);
      gl.uniform1f(gl.getUniformLocation(d.lookup, 'flip'), -1);
      gl.useProgram(d.scale);
      gl.uniform1i(gl.getUniformLocation(d.scale, 'picture'), 2);
      gl.uniform1f(gl.getUniformLocation(d.scale, 'flip'), 1);
      gl.uniform2f(gl.getUniformLocation(d.scale, 'size'), d.FRAME_WIDTH, d.FRAME_HEIGHT);
      d.prescaleAt = gl.getUniformLocation(d.scale, 'prescale');
      gl.activeTexture(gl.TEXTURE0);
      gl.bindTexture(gl.TEXTURE_2D, d.pixels);
      gl.activeTexture(gl.TEXTURE1);
      gl.bindTexture(gl.TEXTURE_2D, d.palette);
      gl.activeTexture(gl.TEXTURE2);
      gl.bindTexture(gl.TEXTURE_2D, d.picture);
      d.shown = false;
    },

    // The worker's side: the same two passes as on the page, on the canvas handed to it. It
    // answers each frame by sending its buffers back, once the frame's wait has passed since it
    // came (the page's next pass is due then, and this wakes it), and a read with the canvas's
    // pixels.
    WORKER: `'use strict';
      let d = null;
      function draw() {
        if (!d || !d.shown || d.lost) return;
        const p = d.place;
        if (d.canvas.width !== p.width || d.canvas.height !== p.height) {
          d.canvas.width = p.width;
          d.canvas.height = p.height;
        }
        d.scaleOnto(d, p.width, p.height);
      }
      function frame(m) {
        const gl = d.gl, W = d.width, H = d.height;
        if (m.palette) {
          gl.activeTexture(gl.TEXTURE0);
          gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, W, H, gl.LUMINANCE, gl.UNSIGNED_BYTE, new Uint8Array(m.pixels));
          gl.activeTexture(gl.TEXTURE1);
          gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 256, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(m.palette));
          gl.activeTexture(gl.TEXTURE2);
          gl.bindFramebuffer(gl.FRAMEBUFFER, d.framebuffer);
          gl.viewport(0, 0, W, H);
          gl.useProgram(d.lookup);
          gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        } else {
          gl.activeTexture(gl.TEXTURE2);
          gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, W, H, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(m.pixels));
        }
        d.shown = true;
        draw();
      }
      function read() {
        draw();
        const gl = d.gl, width = d.canvas.width, height = d.canvas.height;
        const rows = new Uint8Array(width * height * 4);
        gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rows);
        const data = new Uint8Array(rows.length);
        for (let y = 0; y < height; y++) {
          data.set(rows.subarray((height - 1 - y) * width * 4, (height - y) * width * 4), y * width * 4);
        }
        postMessage({type: 'read', width, height, data}, [data.buffer]);
      }
      onmessage = (event) => {
        const m = event.data;
        try {
          if (m.type === 'open') {
            d = m.display;
            d.canvas = m.canvas;
            d.gl = d.canvas.getContext('webgl', m.settings);
            if (!d.gl) throw new Error('no WebGL in the worker');
            const make = new Function('d', m.makeGl);
            make(d);
            d.canvas.addEventListener('webglcontextlost', (e) => { e.preventDefault(); d.lost = true; });
            d.canvas.addEventListener('webglcontextrestored', () => {
              d.lost = false;
              make(d);
              postMessage({type: 'restored'});
            });
          } else if (m.type === 'place') {
            d.place = m.place;
            draw();
          } else if (m.type === 'frame') {
            const came = performance.now();
            if (!d.lost) frame(m);
            const back = () => postMessage(m, m.palette ? [m.pixels, m.palette] : [m.pixels]);
            // A timer drops the fraction of a millisecond: rounded up, so as not to wake the
            // page just before its pass is due.
            const left = Math.ceil(m.wait - (performance.now() - came));
            if (left > 0) setTimeout(back, left);
            else back();
          } else if (m.type === 'read') {
            read();
          } else if (m.type === 'lose') {
            // For the tests: the context lost and given back, as a reset of the GPU does.
            const lose = d.gl.getExtension('WEBGL_lose_context');
            lose.loseContext();
            setTimeout(() => lose.restoreContext(), m.ms);
          }
        } catch (error) {
          postMessage({type: 'failed', why: String(error && error.message || error)});
        }
      };`,

    // Whether this browser can give the canvas to a worker that draws with WebGL. Asked of a
    // small canvas here: a worker that found no WebGL could no longer give the canvas back.
    canUseWorker: function(canvas) {
      if (typeof Worker !== 'function' || typeof OffscreenCanvas !== 'function' ||
          !canvas.transferControlToOffscreen) return false;
      try {
        const gl = new OffscreenCanvas(1, 1).getContext('webgl');
        if (!gl) return false;
        const lose = gl.getExtension('WEBGL_lose_context');
        if (lose) lose.loseContext();  // the probe's context is not kept
        return true;
      } catch (error) {
        return false;
      }
    },

    openWorker: function(canvas) {
      const d = pageDisplay;
      let url = URL.createObjectURL(new Blob([d.WORKER], {type: 'text/javascript'}));
      d.worker = new Worker(url);
      // Two buffers for each kind of frame, in turn: one may be with the worker while the next
      // pass fills the other, and none is made per pass.
      const size = d.FRAME_WIDTH * d.FRAME_HEIGHT;
      d.free = {indexed: [0, 1].map(() => ({pixels: new ArrayBuffer(size), palette: new ArrayBuffer(1024)})),
                rgba: [0, 1].map(() => ({pixels: new ArrayBuffer(size * 4), palette: null}))};
      d.pending = null;   // the newest frame not yet sent: {pixels, palette} addresses
      d.sendDue = false;  // a send is asked for at the end of this task
      d.waking = false;   // a frame is out whose buffers coming back wake the page
      d.readers = [];     // reads asked for, in order: their promises' resolve
      d.reading = [];     // reads sent to the worker, in order
      d.worker.onmessage = (event) => {
        const m = event.data;
        if (url) {
          URL.revokeObjectURL(url);  // the worker has started; once, as it is not cheap
          url = null;
        }
        if (m.type === 'frame') {
          d.free[m.palette ? 'indexed' : 'rgba'].push({pixels: m.pixels, palette: m.palette});
          if (Module.onFramePresented) Module.onFramePresented();
          d.send();
          if (m.wait >= 0) {
            d.waking = false;
            Module._web_display_woke();
          }
        } else if (m.type === 'read') {
          d.reading.shift()(m);
        } else if (m.type === 'restored') {
          Module._web_show_again();
        } else if (m.type === 'failed') {
          d.drawOnPage(m.why);
        }
      };
      d.worker.onerror = (event) => {
        event.preventDefault();
        d.drawOnPage(event.message || 'the worker did not start');
      };
      const offscreen = canvas.transferControlToOffscreen();
      // makeGl's text runs in the worker on its own record, with the shaders it uses.
      const display = {FRAME_WIDTH: d.FRAME_WIDTH, FRAME_HEIGHT: d.FRAME_HEIGHT, width: d.FRAME_WIDTH,
                       height: d.FRAME_HEIGHT, VERTEX: d.VERTEX, LOOKUP: d.LOOKUP, SCALE: d.SCALE,
                       PRECISION: d.PRECISION, place: d.place, shown: false, lost: false};
      const makeGl = `d.compile = ${d.compile.toString()}; d.texture = ${d.texture.toString()};\n` +
                     `d.scaleOnto = ${d.scaleOnto.toString()};\n` +
                     `const pageDisplay = d;\n(${d.makeGl.toString()})();`;
      d.worker.postMessage({type: 'open', canvas: offscreen, display, settings: d.settings, makeGl},
                           [offscreen]);
    },

    // A worker that cannot draw keeps the canvas it was given: a new canvas takes its place
    // (its look, its pointer listener) and the page draws on it, the kept frame at once.
    drawOnPage: function(why) {
      const d = pageDisplay;
      if (!d.worker) return;
      console.warn('Quellaro 2005: drawing on the page, the drawing worker failed:', why);
      d.worker.terminate();
      d.worker = null;
      // The frame that was to wake the page will not come back: the page wakes itself.
      if (d.waking) {
        d.waking = false;
        setTimeout(() => Module._web_display_woke(), 0);
      }
      d.failed = why;
      const fresh = d.canvas.cloneNode(false);
      d.canvas.replaceWith(fresh);
      if (Module.pointerListener) fresh.addEventListener('mousedown', Module.pointerListener);
      Module.canvas = fresh;
      d.canvas = null;
      d.open(fresh, 'webgl');
      Module._web_display_reopened(d.gl ? 1 : 0);
      for (const resolve of d.readers.concat(d.reading)) resolve(d.read());
      d.readers = d.reading = [];
    },

    // A frame presented waits for the end of its task: a pass's frame goes first, with the
    // wait until the next pass (page_display_send_waking); any other goes then.
    sendSoon: function() {
      const d = pageDisplay;
      if (d.sendDue) return;
      d.sendDue = true;
      queueMicrotask(d.sendNow);
    },
    sendNow: function() {
      pageDisplay.sendDue = false;
      if (pageDisplay.worker) pageDisplay.send(-1);
    },

    // The newest frame to the worker once a buffer is back, to be handed back wait ms after it
    // comes (-1: at once); then the reads asked for since. True when the frame was sent.
    send: function(wait) {
      const d = pageDisplay;
      let sent = false;
      if (d.pending && d.free[d.pending.palette ? 'indexed' : 'rgba'].length) {
        const slot = d.free[d.pending.palette ? 'indexed' : 'rgba'].pop();
        const pixels = new Uint8Array(slot.pixels);
        pixels.set(HEAPU8.subarray(d.pending.pixels, d.pending.pixels + pixels.length));
        if (slot.palette) {
          new Uint8Array(slot.palette).set(HEAPU8.subarray(d.pending.palette, d.pending.palette + 1024));
        }
        d.pending = null;
        const message = {type: 'frame', pixels: slot.pixels, palette: slot.palette,
                         wait: wait === undefined ? -1 : wait};
        d.worker.postMessage(message, slot.palette ? [slot.pixels, slot.palette] : [slot.pixels]);
        sent = true;
      }
      while (d.readers.length) {
        d.reading.push(d.readers.shift());
        d.worker.postMessage({type: 'read'});
      }
      return sent;
    },

    settings: {alpha: false, antialias: false, depth: false, stencil: false, premultipliedAlpha: false,
               preserveDrawingBuffer: false, powerPreference: 'low-power'},

    open: function(canvas, where) {
      const d = pageDisplay;
      d.canvas = canvas;
      if (!where) where = Module.forceCanvas2d ? '2d' : Module.drawWhere;
      if (where !== '2d' && where !== 'webgl' && d.canUseWorker(canvas)) {
        d.kind = 'worker';
        d.openWorker(canvas);
        d.applyPlace();
        return;
      }
      const settings = d.settings;
      try {
        d.gl = where === '2d' ? null : canvas.getContext('webgl', settings);
        if (d.gl) d.makeGl();
      } catch (error) {
        console.warn('Quellaro 2005: drawing without WebGL:', error);
        d.gl = null;
      }
      if (d.gl) {
        d.kind = 'webgl';
        canvas.addEventListener('webglcontextlost', (event) => {
          event.preventDefault();  // asks the browser to give it back
          d.lost = true;
        });
        canvas.addEventListener('webglcontextrestored', () => {
          d.lost = false;
          d.makeGl();
          Module._web_show_again();
        });
      } else {
        d.kind = '2d';
        d.context = canvas.getContext('2d', {alpha: false});
        d.source = document.createElement('canvas');
        d.source.width = d.FRAME_WIDTH;
        d.source.height = d.FRAME_HEIGHT;
        d.sourceContext = d.source.getContext('2d');
        d.enlarged = document.createElement('canvas');
      }
      d.applyPlace();
    },

    // The canvas over the frame's box: as many pixels as the device shows there, placed on
    // whole device pixels.
    applyPlace: function() {
      const d = pageDisplay;
      const p = d.place;
      if (!d.canvas || p.width <= 0 || p.height <= 0) return;
      const ratio = window.devicePixelRatio || 1;
      if (d.worker) {
        d.worker.postMessage({type: 'place', place: p});  // the worker sizes the canvas it owns
      } else if (d.canvas.width !== p.width || d.canvas.height !== p.height) {
        d.canvas.width = p.width;
        d.canvas.height = p.height;
      }
      Object.assign(d.canvas.style, {left: `${p.x / ratio}px`, top: `${p.y / ratio}px`,
                                     width: `${p.width / ratio}px`, height: `${p.height / ratio}px`});
      if (d.enlarged && p.sharp) {
        d.enlarged.width = d.FRAME_WIDTH * p.prescale;
        d.enlarged.height = d.FRAME_HEIGHT * p.prescale;
        const context = d.enlarged.getContext('2d');
        context.imageSmoothingEnabled = false;
      }
      if (Module.onCanvasPlaced) Module.onCanvasPlaced(p);
      if (!d.worker) d.draw();
    },

    // The picture onto the canvas, scaled as placed.
    draw: function() {
      const d = pageDisplay;
      if (!d.shown || d.lost) return;
      const p = d.place;
      if (d.gl) {
        d.scaleOnto(d, d.canvas.width, d.canvas.height);
      } else if (p.sharp) {
        const enlarged = d.enlarged.getContext('2d');
        enlarged.drawImage(d.source, 0, 0, d.enlarged.width, d.enlarged.height);
        d.context.imageSmoothingEnabled = true;
        d.context.imageSmoothingQuality = 'low';
        d.context.drawImage(d.enlarged, 0, 0, d.canvas.width, d.canvas.height);
      } else {
        d.context.imageSmoothingEnabled = false;
        d.context.drawImage(d.source, 0, 0, d.canvas.width, d.canvas.height);
      }
      if (Module.onFramePresented) Module.onFramePresented();
    },

    // The canvas's pixels as shown, top row first: {width, height, data} (RGBA bytes). For
    // the tests, which compare them with the native game's frames. From the worker, a promise
    // of them once it has drawn every frame shown before the call.
    read: function() {
      const d = pageDisplay;
      if (d.worker) {
        return new Promise((resolve) => {
          d.readers.push(resolve);
          d.send();
        });
      }
      const width = d.canvas.width, height = d.canvas.height;
      if (!d.gl) return {width, height, data: d.context.getImageData(0, 0, width, height).data};
      d.draw();  // what WebGL drew is gone once the page has shown it
      const gl = d.gl;
      const rows = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rows);
      const data = new Uint8Array(rows.length);
      for (let y = 0; y < height; y++) {
        data.set(rows.subarray((height - 1 - y) * width * 4, (height - y) * width * 4), y * width * 4);
      }
      return {width, height, data};
    },
  },

  // 1 when the page draws 8-bit frames itself (WebGL), 0 when it wants RGBA pixels.
  page_display_open__deps: ['$pageDisplay'],
  page_display_open: function(caption, width, height) {
    document.title = UTF8ToString(caption);
    Module.canvas.setAttribute('aria-label', document.title);
    Module.display = pageDisplay;  // for the page and its tests
    if (!pageDisplay.canvas) pageDisplay.open(Module.canvas);
    return pageDisplay.gl || pageDisplay.worker ? 1 : 0;
  },

  // After a wake's passes: their frame sent to the worker, which hands its buffers back (and so
  // wakes the page) after wait_ms; 0 when there is no such frame, and a timer must wake it.
  page_display_send_waking__deps: ['$pageDisplay'],
  page_display_send_waking: function(wait_ms) {
    const d = pageDisplay;
    if (!d.worker) return 0;
    if (d.waking) return 1;  // a frame out wakes the page already: never two wakes
    if (!d.send(Math.max(0, wait_ms))) return 0;
    d.waking = true;
    return 1;
  },

  // 1 when passes should wait for the display's refresh (the page draws), 0 when the worker
  // draws (its frames coming back, or a timer, pace them; the page's thread then pays for no
  // animation frames).
  page_display_wants_animation_frames__deps: ['$pageDisplay'],
  page_display_wants_animation_frames: function() {
    return pageDisplay.worker ? 0 : 1;
  },

  page_display_place__deps: ['$pageDisplay'],
  page_display_place: function(x, y, width, height, sharp, prescale) {
    pageDisplay.place = {x, y, width, height, sharp, prescale};
    pageDisplay.applyPlace();
  },

  page_display_indexed__deps: ['$pageDisplay'],
  page_display_indexed: function(pixels, palette) {
    const d = pageDisplay;
    if (d.worker) {
      d.pending = {pixels, palette};
      d.sendSoon();
      return;
    }
    if (d.lost) return;
    const gl = d.gl;
    const views = d.heap();
    if (views.indexedAt !== pixels) {
      views.indexed = HEAPU8.subarray(pixels, pixels + d.FRAME_WIDTH * d.FRAME_HEIGHT);
      views.indexedAt = pixels;
    }
    if (views.paletteAt !== palette) {
      views.palette = HEAPU8.subarray(palette, palette + 1024);
      views.paletteAt = palette;
    }
    gl.activeTexture(gl.TEXTURE0);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, d.FRAME_WIDTH, d.FRAME_HEIGHT, gl.LUMINANCE, gl.UNSIGNED_BYTE,
                     views.indexed);
    gl.activeTexture(gl.TEXTURE1);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 256, 1, gl.RGBA, gl.UNSIGNED_BYTE, views.palette);
    gl.activeTexture(gl.TEXTURE2);
    gl.bindFramebuffer(gl.FRAMEBUFFER, d.framebuffer);
    gl.viewport(0, 0, d.FRAME_WIDTH, d.FRAME_HEIGHT);
    gl.useProgram(d.lookup);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    d.shown = true;
    d.draw();
  },

  page_display_rgba__deps: ['$pageDisplay'],
  page_display_rgba: function(pixels) {
    const d = pageDisplay;
    if (d.worker) {
      d.pending = {pixels, palette: 0};
      d.sendSoon();
      return;
    }
    if (d.lost) return;
    const views = d.heap();
    if (views.rgbaAt !== pixels) {
      const length = d.FRAME_WIDTH * d.FRAME_HEIGHT * 4;
      views.rgba = new Uint8Array(HEAPU8.buffer, pixels, length);
      views.image = d.gl ? null : new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, length),
                                                d.FRAME_WIDTH, d.FRAME_HEIGHT);
      views.rgbaAt = pixels;
    }
    if (d.gl) {
      const gl = d.gl;
      gl.activeTexture(gl.TEXTURE2);
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, d.FRAME_WIDTH, d.FRAME_HEIGHT, gl.RGBA, gl.UNSIGNED_BYTE,
                       views.rgba);
    } else {
      d.sourceContext.putImageData(views.image, 0, 0);
    }
    d.shown = true;
    d.draw();
  },
});
