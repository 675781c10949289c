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

// Sending a finished game to the ranking server that serves this page. The server keeps the
// game under play/ beside its API; on any other host the page asks nothing of it. The game
// writes replays/last.rpl when a game ends; once the player is past the name entry, the page
// offers to send it under the name just entered.
const sending = {
  base: null,  // the server's folder ('/' or a proxy's path) when the page is served under play/
  served: false,  // the ranking server answered
  stamp: null,  // the time and size of the last replay file seen
  replay: null,  // the bytes of the game on offer
  sawNameEntry: false,
  waiting: 0,  // the timer that waits for the player to leave the game and the name entry
};
const kLastReplay = '/game/replays/last.rpl';
const kSceneGame = 101;
const kSceneNameEntry = 151;
// The letters in the name entry's order: 0 is the blank letter.
const kRankingLetters = ' ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789:-+.!?';

async function findRankingServer() {
  const match = /^(.*\/)play\/(index\.html)?$/.exec(location.pathname);
  if (!match || new URLSearchParams(location.search).has('replay')) return;
  sending.base = match[1];
  try {
    const response = await fetch(sending.base + 'healthz', {cache: 'no-store'});
    sending.served = response.ok && (await response.text()).trim() === 'ok';
  } catch (error) {
    sending.served = false;
  }
}

// The header's end and result: only a game that ended in a game over, recorded whole, can be
// ranked.
function finishedGame(bytes) {
  if (bytes.length < 96 || String.fromCharCode(...bytes.subarray(0, 4)) !== '+RPL') return null;
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const gameOver = bytes[10] === 0 && (bytes[9] & 1) === 0;
  return gameOver ? {score: view.getInt32(52, true), startLevel: view.getInt32(16, true)} : null;
}

function nameFromGame() {
  let name = '';
  for (let k = 0; k < 3; ++k) name += kRankingLetters.charAt(Module._WebQuery(5 + k)) || ' ';
  return name;
}

// Called as the game stores its files: a new replay file means a game has just ended.
Module.plusrailFilesStoring = () => {
  if (!sending.served) return;
  let stat;
  try {
    stat = FS.stat(kLastReplay);
  } catch (error) {
    return;
  }
  const stamp = new Date(stat.mtime).getTime() + ':' + stat.size;
  if (stamp === sending.stamp) return;
  sending.stamp = stamp;
  const bytes = FS.readFile(kLastReplay);
  const game = finishedGame(bytes);
  if (!game) return;
  sending.replay = {bytes: bytes, game: game};
  sending.sawNameEntry = false;
  clearInterval(sending.waiting);
  sending.waiting = setInterval(() => {
    const scene = Module._WebQuery(0);
    if (scene === kSceneNameEntry) sending.sawNameEntry = true;
    if (scene === kSceneGame || scene === kSceneNameEntry) return;
    clearInterval(sending.waiting);
    offerToSend();
  }, 250);
};

function offerToSend() {
  const game = sending.replay.game;
  byId('send-what').textContent = 'Your game: ' + game.score.toLocaleString('en-US') +
      ' points from level ' + game.startLevel + '. Send it to the ranking as';
  byId('send-name').value = sending.sawNameEntry ? nameFromGame()
                                                 : localStorage.getItem('plusrail-name') || '';
  byId('send-answer').textContent = '';
  byId('send-go').disabled = false;
  byId('send').hidden = false;
}

function closeOffer() {
  byId('send').hidden = true;
  screenCanvas.focus();
}

async function sendGame(name) {
  const answerLine = byId('send-answer');
  let response, answer;
  try {
    response = await fetch(sending.base + 'api/v1/games?name=' + encodeURIComponent(name), {
      method: 'POST',
      headers: {'Content-Type': 'application/octet-stream'},
      body: sending.replay.bytes,
    });
    answer = await response.json().catch(() => null);
  } catch (error) {
    answerLine.textContent = 'The ranking server did not answer: ' + error.message;
    byId('send-go').disabled = false;
    return;
  }
  answerLine.replaceChildren();
  if ((response.status === 201 || response.status === 200) && answer && answer.entry) {
    localStorage.setItem('plusrail-name', name);
    const place = response.status === 201 ? 'Ranked ' : 'Already in the ranking: ';
    answerLine.append(place + 'number ' + answer.rank + ' with ' +
                      Number(answer.entry.score).toLocaleString('en-US') + ' points. ');
    const link = document.createElement('a');
    link.href = sending.base;
    link.target = '_blank';
    link.textContent = 'See the ranking';
    answerLine.append(link);
    return;
  }
  const why = answer && typeof answer.error === 'string' ? answer.error : response.statusText;
  answerLine.textContent = 'The server did not rank the game (' + response.status + '): ' + why;
  if (response.status === 429) byId('send-go').disabled = false;
}

byId('send-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const name = byId('send-name').value.toUpperCase().padEnd(3, ' ');
  if (name.length !== 3 || [...name].some((c) => !kRankingLetters.includes(c))) {
    byId('send-answer').textContent = 'A name is three of A-Z, 1-9, : - + . ! ? or a space.';
    return;
  }
  byId('send-go').disabled = true;
  byId('send-answer').textContent = 'Sending…';
  sendGame(name);
});
byId('send-name').addEventListener('input', (event) => {
  event.target.value = event.target.value.toUpperCase();
});
byId('send-skip').addEventListener('click', closeOffer);
// Typing a name is not playing: keys in the form never reach the game (its listeners on the
// window come later, so these run first).
for (const kind of ['keydown', 'keyup']) {
  window.addEventListener(kind, (event) => {
    if (event.target instanceof Element && event.target.closest('#send')) {
      event.stopImmediatePropagation();
    }
  }, true);
}
findRankingServer();
