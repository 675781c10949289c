// The browser's side of the layer, as a library the linker puts into plusrail.js: what the
// C++ files ask of the browser. web_glue.h declares each function and says what it does.
mergeInto(LibraryManager.library, {
  WebAudioCreateDevice: function(slots, makeup) {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 1;
    let context;
    try {
      context = new Context();
    } catch (e) {
      return 1;
    }
    const level = context.createGain();
    level.gain.value = makeup;
    const limiter = context.createDynamicsCompressor();
    limiter.threshold.value = -1;
    limiter.knee.value = 0;
    limiter.ratio.value = 20;
    limiter.attack.value = 0.0015;
    limiter.release.value = 0.05;
    level.connect(limiter);
    limiter.connect(context.destination);
    const device = {context: context, input: level, slots: []};
    for (let i = 0; i < slots; ++i) device.slots.push({buffer: null, source: null, gain: null, pan: null});
    Module.plusrailAudio = device;
    return 0;
  },

  WebAudioCloseDevice: function() {
    const device = Module.plusrailAudio;
    if (!device) return;
    device.context.close();
    Module.plusrailAudio = null;
  },

  WebAudioStopSlot: function(slot) {
    const s = Module.plusrailAudio.slots[slot];
    if (s.source) {
      try { s.source.stop(); } catch (e) {}
      s.source.disconnect();
      s.source = null;
    }
  },

  WebAudioNewSlot: function(slot) {
    const device = Module.plusrailAudio;
    const s = device.slots[slot];
    if (!s.gain) {
      s.gain = device.context.createGain();
      s.pan = device.context.createStereoPanner();
      s.gain.connect(s.pan);
      s.pan.connect(device.input);
    }
    s.buffer = null;
    s.gain.gain.value = 1;
    s.pan.pan.value = 0;
  },

  WebAudioFillSlot: function(slot, data, frames, channels, rate, bits, blockAlign) {
    const device = Module.plusrailAudio;
    let buffer;
    try {
      buffer = device.context.createBuffer(channels, frames, rate);
    } catch (e) {
      return 0;
    }
    const bytes = new DataView(HEAPU8.buffer, data, frames * blockAlign);
    const step = bits / 8;
    for (let c = 0; c < channels; ++c) {
      const out = buffer.getChannelData(c);
      for (let i = 0; i < frames; ++i) {
        const at = i * blockAlign + c * step;
        out[i] = bits === 8 ? (bytes.getUint8(at) - 128) / 128 : bytes.getInt16(at, true) / 32768;
      }
    }
    device.slots[slot].buffer = buffer;
    return 1;
  },

  WebAudioPlaySlot: function(slot, loop) {
    const device = Module.plusrailAudio;
    const s = device.slots[slot];
    if (!s.buffer) return 0;
    const source = device.context.createBufferSource();
    source.buffer = s.buffer;
    source.loop = loop !== 0;
    source.connect(s.gain);
    source.start();
    s.source = source;
    return 1;
  },

  WebAudioSetGain: function(slot, gain) {
    Module.plusrailAudio.slots[slot].gain.gain.value = gain;
  },

  WebAudioSetPan: function(slot, pan) {
    Module.plusrailAudio.slots[slot].pan.pan.value = pan;
  },

  WebCopyStoredFiles__deps: ['$FS'],
  WebCopyStoredFiles: function() {
    for (const name of FS.readdir('/save')) {
      const from = '/save/' + name;
      if (name === '.' || name === '..' || !FS.isFile(FS.stat(from).mode)) continue;
      FS.writeFile('/game/' + name, FS.readFile(from));
    }
  },

  WebStoreFolder__deps: ['$FS', '$IDBFS'],
  WebStoreFolder: function(closed) {
    // The page hears of every store: a game that has just ended has written its replay.
    if (Module.plusrailFilesStoring) Module.plusrailFilesStoring();
    const store = Module.plusrailStore || (Module.plusrailStore = {busy: false, again: false, closed: false});
    if (closed) store.closed = true;
    if (store.busy) {
      store.again = true;
      return;
    }
    store.busy = true;
    const entries = [];
    for (const name of FS.readdir('/game')) {
      const from = '/game/' + name;
      if (name === '.' || name === '..' || !FS.isFile(FS.stat(from).mode)) continue;
      const contents = FS.readFile(from);
      FS.writeFile('/save/' + name, contents);
      const stat = FS.stat('/save/' + name);
      entries.push({path: '/save/' + name, entry: {timestamp: stat.mtime, mode: stat.mode, contents: contents}});
    }
    const finished = (error) => {
      if (error) console.warn('The data files could not be stored in the browser: ' + error);
      store.busy = false;
      if (store.again) {
        store.again = false;
        _WebStoreAgain();
      } else if (store.closed) {
        Module.plusrailShowClosed();
      }
    };
    const db = IDBFS.dbs['/save'];
    if (!db) {
      FS.syncfs(false, finished);
      return;
    }
    try {
      const transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
      const files = transaction.objectStore(IDBFS.DB_STORE_NAME);
      for (const e of entries) files.put(e.entry, e.path);
      transaction.oncomplete = () => finished(null);
      transaction.onerror = () => finished(transaction.error);
      transaction.onabort = () => finished(transaction.error);
    } catch (e) {
      finished(e);
    }
  },

  WebShowOtherTab: function(text) {
    Module.plusrailShowOtherTab(UTF8ToString(text));
  },

  WebPrepare__deps: ['$FS', '$IDBFS'],
  WebPrepare: function() {
    FS.mkdir('/save');
    FS.mount(IDBFS, {}, '/save');
    // A reload's new page may ask before the old one has let go: a few tries, a second in all,
    // before the lock counts as another tab's.
    const claim = (triesLeft, resolve) => {
      navigator.locks.request('plusrail', {ifAvailable: true}, (lock) => {
        if (lock === null && triesLeft > 0) {
          setTimeout(() => claim(triesLeft - 1, resolve), 200);
          return undefined;
        }
        resolve(lock !== null);
        // Held for as long as the tab lives.
        return lock ? new Promise(() => {}) : undefined;
      });
    };
    const claimed = navigator.locks ? new Promise((resolve) => claim(5, resolve)) : Promise.resolve(true);
    const loaded = new Promise((resolve) => {
      FS.syncfs(true, (error) => {
        if (error) console.warn('The stored data files could not be read: ' + error);
        resolve();
      });
    });
    // index.html?replay=ADDRESS watches a replay from the page's own server, as `plusrail
    // --replay FILE` does: the file is fetched into the program's file system and named on its
    // command line. One that cannot be fetched is not written, and the program says so as it
    // says of a missing file.
    // The file keeps its path on the server, in a folder of its own that the program starts
    // in, so that the program names it as the address did.
    const wanted = new URLSearchParams(location.search).get('replay');
    let fetched = Promise.resolve('');
    if (wanted !== null) {
      const address = new URL(wanted, location.href);
      const path = decodeURIComponent(address.pathname).replace(/^\/+/, '') || 'replay';
      FS.mkdirTree('/watch');
      FS.chdir('/watch');
      fetched = (address.origin !== location.origin
          ? Promise.reject(new Error('a replay is watched only from the page\'s own server'))
          : fetch(address).then((response) => {
              if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
              return response.arrayBuffer();
            }).then((bytes) => {
              const file = '/watch/' + path;
              FS.mkdirTree(file.substring(0, file.lastIndexOf('/')));
              FS.writeFile(file, new Uint8Array(bytes));
            })).catch((error) => console.warn(address.href + ': ' + error.message))
          .then(() => path);
    }
    // index.html?sound=off plays without opening the audio output, as `plusrail --no-sound`.
    const silent = new URLSearchParams(location.search).get('sound') === 'off';
    Promise.all([claimed, loaded, fetched]).then((answers) =>
        Module.ccall('WebStart', null, ['number', 'string', 'number'],
                     [answers[0] ? 1 : 0, answers[2], silent ? 1 : 0]));
  },

  WebReport: function(text, problem) {
    const line = UTF8ToString(text);
    if (problem) {
      console.error(line);
      Module.plusrailShowReport(line);
    } else {
      console.log(line);
    }
  },

  WebConsoleLine: function(line) {
    console.log(UTF8ToString(line));
  },

  WebShowErrorBox: function(title, text, englishTitle, englishText) {
    Module.plusrailShowError(UTF8ToString(title), UTF8ToString(text),
                englishTitle ? UTF8ToString(englishTitle) : "",
                englishText ? UTF8ToString(englishText) : "");
  },

  WebOfferSilentPlay: function() {
    Module.plusrailOfferSilentPlay();
  },

  WebErrorBoxShowing: function() {
    return Module.plusrailErrorOpen ? 1 : 0;
  },

  WebShowCursor: function(show) {
    document.getElementById('screen').style.cursor = show ? "" : "none";
  },

  WebDrawPicture: function(rgba, width, height) {
    const canvas = document.getElementById('screen');
    const context = canvas.getContext('2d', {alpha: false});
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
  },

  WebFullScreen: function(on) {
    return Module.plusrailSetFullScreen(on !== 0) ? 1 : 0;
  },

  WebCanvasScale: function() {
    return Module.plusrailScale || 1;
  },

  WebScreenSize: function(width, height) {
    HEAP32[width >> 2] = screen.width;
    HEAP32[height >> 2] = screen.height;
  },

});
