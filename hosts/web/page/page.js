// The page around the game: the canvas's scale, full screen, the overlays the program asks
// for, the audio context's start, and loading the packed pictures and sounds.
'use strict';

const screenCanvas = document.getElementById('screen');
const stage = document.getElementById('stage');

function byId(id) {
  return document.getElementById(id);
}

function show(id, shown) {
  byId(id).classList.toggle('shown', shown);
}

var Module = {
  canvas: screenCanvas,
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  plusrailScale: 1,
  plusrailErrorOpen: false,

  // True when the page is, or is becoming, as asked; false when the browser does not allow
  // full screen now (only just after a key press or a click).
  plusrailSetFullScreen(on) {
    if (!on) {
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      return true;
    }
    if (document.fullscreenElement) return true;
    const activated = navigator.userActivation ? navigator.userActivation.isActive : false;
    if (!document.fullscreenEnabled || !activated) return false;
    stage.requestFullscreen().catch(() => Module._WebFullScreenChanged(0));
    return true;
  },

  plusrailShowError(title, text, englishTitle, englishText) {
    byId('error-title').textContent = englishTitle ? englishTitle + ' / ' + title : title;
    byId('error-english').textContent = englishText;
    byId('error-own').textContent = text;
    console.error((englishTitle || title) + ': ' + (englishText || text));
    Module.plusrailErrorOpen = true;
    show('error', true);
    byId('error-ok').focus();
  },

  plusrailShowClosed() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    show('closed', true);
    byId('again').focus();
  },

  plusrailShowReport(text) {
    byId('report-text').textContent = text;
    show('report', true);
  },

  plusrailShowOtherTab(text) {
    byId('other-own').textContent = text;
    show('other-tab', true);
  },
};

// The largest whole factor of 640 x 480 that fits the window (or the screen, full screen),
// so that every pixel of the game is the same square block.
function fitScreen() {
  const full = document.fullscreenElement !== null;
  const roomX = full ? window.innerWidth : window.innerWidth - 16;
  const roomY = full ? window.innerHeight : window.innerHeight - 64;
  const scale = Math.max(1, Math.floor(Math.min(roomX / 640, roomY / 480)));
  screenCanvas.style.width = 640 * scale + 'px';
  screenCanvas.style.height = 480 * scale + 'px';
  Module.plusrailScale = scale;
}

window.addEventListener('resize', fitScreen);
document.addEventListener('fullscreenchange', () => {
  fitScreen();
  if (Module.calledRun) Module._WebFullScreenChanged(document.fullscreenElement ? 1 : 0);
});
fitScreen();

// The button asks the game, which switches as it does for Alt+Enter.
byId('full').addEventListener('click', (event) => {
  event.currentTarget.blur();
  if (Module.calledRun) Module._WebFullScreenChanged(document.fullscreenElement ? 0 : 1);
});

// Leaving the page closes the game's window, as the desktop's close button does. Before the
// unload, so that the store into IndexedDB begins while the page is still whole.
function pageClosing() {
  if (Module.calledRun) Module._WebPageClosing();
}
window.addEventListener('beforeunload', pageClosing);
window.addEventListener('pagehide', pageClosing);

byId('error-ok').addEventListener('click', () => {
  show('error', false);
  Module.plusrailErrorOpen = false;
});
byId('again').addEventListener('click', () => location.reload());
byId('retry').addEventListener('click', () => location.reload());

// No sound: the error box offers to play silently. The page starts again with ?sound=off
// (the program's --no-sound), still watching the replay its address names, if any.
Module.plusrailOfferSilentPlay = () => {
  byId('error-silent').hidden = false;
};
byId('error-silent').addEventListener('click', () => {
  const address = new URL(location.href);
  address.searchParams.set('sound', 'off');
  location.assign(address.href);
});

// Browsers start audio suspended until the player does something on the page.
function resumeAudio() {
  const audio = Module.plusrailAudio;
  if (audio && audio.context.state === 'suspended') audio.context.resume();
}
for (const kind of ['keydown', 'pointerdown', 'touchend']) {
  document.addEventListener(kind, resumeAudio, true);
}

// The pictures and sounds come gzip-compressed; the browser unpacks them before the program
// starts, and the program's package loader takes them from here instead of fetching.
async function loadGame() {
  const response = await fetch('plusrail.data.gz');
  if (!response.ok) throw new Error('plusrail.data.gz: ' + response.status);
  const unpacked = response.body.pipeThrough(new DecompressionStream('gzip'));
  const data = await new Response(unpacked).arrayBuffer();
  Module.getPreloadedPackage = () => data;
  const script = document.createElement('script');
  script.src = 'plusrail.js';
  document.body.appendChild(script);
}

loadGame().catch((error) => {
  Module.plusrailShowError('読み込みエラー', String(error), 'Loading failed',
                           'The game could not be loaded: ' + error);
});
