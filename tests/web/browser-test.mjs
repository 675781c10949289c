// The browser test of the web build: Debian's chromium, headless and driven by puppeteer-core,
// on the built folder served from 127.0.0.1. It checks what a player sees and keeps: the page
// loads without a console error, the title matches the simulator's picture, keys start a game
// and move the piece, the option menu's key layout survives a reload, a second tab is told
// the game is open elsewhere, EXIT shows the closed screen, a browser without audio is told so
// and offered "Play without sound", which plays silently, and index.html?replay=ADDRESS
// watches a replay to its recorded result or says why it cannot.
//
//     node tests/web/browser-test.mjs DIST TITLE_SHOT.bmp... [--shots OUT_DIR] [--replay FILE]
//
// The title shots are the simulator's title pictures (different frames and backgrounds): the
// page's picture must agree with them wherever they agree with each other.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {check, consoleErrors, failures, launchChromium, press, sceneIs, sleep, waitFor, watch}
  from './page-driver.mjs';

const args = process.argv.slice(2);
const option = (name) => (args.includes(name) ? args[args.indexOf(name) + 1] : null);
const shotsAt = option('--shots');
// A whole game's replay, served beside the page as replays/game.rpl.
const replayFile = option('--replay');
const positional = args.filter((a, i) => !a.startsWith('--') && !String(args[i - 1]).startsWith('--'));
const [distArg, ...titleShots] = positional;
const dist = distArg ? path.resolve(distArg) : null;
if (!dist || titleShots.length < 2) {
  console.error('usage: browser-test.mjs DIST TITLE_SHOT.bmp TITLE_SHOT.bmp... [--shots DIR]');
  process.exit(2);
}

// A static server as any would be: the files as they are, the module with its own type.
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
  let file = path.join(dist, name === '/' ? 'index.html' : path.normalize(name));
  if (replayFile && name === '/replays/game.rpl') file = path.resolve(replayFile);
  else if (!file.startsWith(dist)) file = '';
  if (!file || !fs.existsSync(file)) {
    response.writeHead(404);
    response.end();
    return;
  }
  response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const address = `http://127.0.0.1:${server.address().port}/`;

// The 565 colour of every pixel of a 24-bit bottom-up BMP, as the simulator writes them.
function readBmp565(file) {
  const data = fs.readFileSync(file);
  const offset = data.readUInt32LE(10), width = data.readInt32LE(18), height = data.readInt32LE(22);
  const rowBytes = (width * 3 + 3) & ~3;
  const pixels = new Uint16Array(width * height);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * rowBytes;
    for (let x = 0; x < width; ++x) {
      const b = data[row + 3 * x], g = data[row + 3 * x + 1], r = data[row + 3 * x + 2];
      pixels[y * width + x] = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    }
  }
  return pixels;
}

// The canvas's pixels in 565, as the game drew them.
async function canvas565(page) {
  const rgba = await page.evaluate(() => {
    const c = document.getElementById('screen');
    return Array.from(c.getContext('2d').getImageData(0, 0, 640, 480).data);
  });
  const pixels = new Uint16Array(640 * 480);
  for (let i = 0; i < pixels.length; ++i) {
    const r = rgba[4 * i], g = rgba[4 * i + 1], b = rgba[4 * i + 2];
    pixels[i] = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
  }
  return pixels;
}

// The scene shown, or -99 before the program runs.
const scene = (page) => page.evaluate(() => (Module.calledRun ? Module._WebQuery(0) : -99));

// The no-sound box's way out: its "Play without sound" button, which the advice names, starts
// the page again with ?sound=off (the address's other parameters kept), and the game runs
// without opening any audio: it shows the `expected` scenes one after the other.
async function playWithoutSound(page, from, expected, what) {
  await page.goto(from, {waitUntil: 'load'});
  const offered = await waitFor(page, () => {
    const button = document.getElementById('error-silent');
    return document.getElementById('error').classList.contains('shown') && !button.hidden &&
           button.offsetParent !== null;
  }, 8000);
  const advice = await page.evaluate(() => document.getElementById('error-english').textContent);
  check(offered && /"Play without sound"/.test(advice) && !/SDL|Linux|Windows|--no-sound/.test(advice),
        `${what}: the no-sound box offers "Play without sound" and its advice names it (${advice})`);
  await Promise.all([page.waitForNavigation({waitUntil: 'load'}), page.click('#error-silent')]);
  const wanted = new URL(from);
  const now = new URL(page.url());
  check(now.searchParams.get('sound') === 'off' &&
            now.searchParams.get('replay') === wanted.searchParams.get('replay'),
        `${what}: the button starts the page again as ${now.search}`);
  let runs = true;
  for (const id of expected) runs = runs && await sceneIs(page, id, 15000);
  const quiet = await page.evaluate(() =>
    !document.getElementById('error').classList.contains('shown') && !Module.plusrailAudio);
  check(runs && quiet, `${what}: the game runs without sound and without the box (scene ${await scene(page)})`);
  if (shotsAt && !from.includes('?')) {
    await sleep(1500);  // past the title's fade-in
    await page.screenshot({path: path.join(shotsAt, 'no-sound-played.png')});
  }
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plusrail-chromium-'));
const browser = await launchChromium(profile);

try {
  const page = await browser.newPage();
  watch(page, 'first tab');
  // One standard pad the test holds: the Gamepad API as the page sees it.
  await page.evaluateOnNewDocument(() => {
    window.testPad = {pressed: new Array(17).fill(false), axes: [0, 0, 0, 0]};
    navigator.getGamepads = () => [{
      id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: performance.now(),
      axes: window.testPad.axes.slice(),
      buttons: window.testPad.pressed.map((p) => ({pressed: p, touched: p, value: p ? 1 : 0})),
    }];
  });
  await page.setViewport({width: 1400, height: 1100});
  // What a player downloads: at most 4 MB.
  const download = fs.readdirSync(dist).reduce((sum, f) => sum + fs.statSync(path.join(dist, f)).size, 0);
  check(download <= 4 * 1000 * 1000, `the download is ${download} bytes`);
  const opened = Date.now();
  await page.goto(address, {waitUntil: 'load'});
  // The game's first scene is the loading screen with the credits; the title follows.
  const started = await sceneIs(page, -1, 10000);
  const firstPicture = Date.now() - opened;
  check(started && firstPicture < 2000, `the game's first picture shows after ${firstPicture} ms`);
  check(await sceneIs(page, 0, 15000), `the title appears (${Date.now() - opened} ms after opening)`);

  // The title's picture against the simulator's, where the simulator's agree among themselves
  // (the background is chosen at random and the cursor's colour cycles).
  const shots = titleShots.map(readBmp565);
  const fixed = [];
  for (let i = 0; i < shots[0].length; ++i)
    if (shots.every((s) => s[i] === shots[0][i])) fixed.push(i);
  let mismatched = -1;
  for (let attempt = 0; attempt < 40 && mismatched !== 0; ++attempt) {
    const shown = await canvas565(page);
    mismatched = fixed.filter((i) => shown[i] !== shots[0][i]).length;
    if (mismatched !== 0) await sleep(100);
  }
  check(fixed.length > 5000, `the simulator's title pictures share ${fixed.length} pixels`);
  check(mismatched === 0, `the page's title agrees with them (${mismatched} pixels differ)`);

  // Two window sizes: the picture scaled by the largest whole factor, centred.
  for (const [width, height, factor] of [[1400, 1100, 2], [800, 620, 1], [2000, 1560, 3]]) {
    await page.setViewport({width, height});
    await sleep(300);
    const box = await page.evaluate(() => {
      const r = document.getElementById('screen').getBoundingClientRect();
      return {x: r.x, y: r.y, width: r.width, height: r.height, page: innerWidth};
    });
    check(box.width === 640 * factor && box.height === 480 * factor &&
              Math.abs(box.x + box.width / 2 - box.page / 2) <= 1,
          `at ${width} x ${height} the picture is ${box.width} x ${box.height}, centred`);
    if (shotsAt) await page.screenshot({path: path.join(shotsAt, `title-${width}x${height}.png`)});
  }
  await page.setViewport({width: 1400, height: 1100});
  check(await page.evaluate(() => document.fullscreenElement === null),
        'the page opens as a page, not in full screen');

  // Full screen by the page's button, and back by Alt+Enter.
  await page.click('#full');
  check(await waitFor(page, () => document.fullscreenElement !== null, 3000),
        'the Full screen button switches the game to full screen');
  if (shotsAt) await page.screenshot({path: path.join(shotsAt, 'full-screen.png')});
  await page.keyboard.down('AltLeft');
  await press(page, 'Enter', 50);
  await page.keyboard.up('AltLeft');
  check(await waitFor(page, () => document.fullscreenElement === null, 3000),
        'Alt+Enter switches it back');
  await sleep(300);

  // A second tab while the first one plays.
  const second = await browser.newPage();
  watch(second, 'second tab');
  await second.goto(address, {waitUntil: 'load'});
  const refused = await waitFor(second, () =>
    document.getElementById('other-tab').classList.contains('shown'), 8000);
  check(refused, 'a second tab says the game is already open in another tab');
  check(await second.evaluate(() => Module._WebQuery === undefined || !Module.calledRun ||
                              document.getElementById('other-tab').classList.contains('shown')),
        'the second tab runs no game');
  if (shotsAt) await second.screenshot({path: path.join(shotsAt, 'second-tab.png')});
  await second.close();
  await page.bringToFront();

  // Sound: a browser keeps the audio suspended until the player does something (the browser
  // under test lets a page start it at once, so the test suspends it as a browser would); a
  // key press starts it, and the cursor moves with its sound.
  const audioBefore = await page.evaluate(async () => {
    await Module.plusrailAudio.context.suspend();
    return Module.plusrailAudio.context.state;
  });
  await press(page, 'ArrowDown');
  await press(page, 'ArrowUp');
  const audioAfter = await page.evaluate(() => Module.plusrailAudio.context.state);
  const playing = await page.evaluate(() => Module.plusrailAudio.slots.filter((s) => s.source).length);
  check(audioBefore === 'suspended' && audioAfter === 'running' && playing > 0,
        `the audio starts with the player (${audioBefore}, then ${audioAfter}; ${playing} slots played)`);

  // GAME START, NORMAL MODE: a game, and the piece moves with the arrows.
  await press(page, 'KeyZ');
  check(await sceneIs(page, 1), 'Z on GAME START opens the mode select');
  await sleep(600);
  await press(page, 'KeyZ');
  check(await sceneIs(page, 101), 'Z on NORMAL MODE starts a game');
  await sleep(2500);
  const column = await page.evaluate(() => Module._WebQuery(1));
  await press(page, 'ArrowRight', 150);
  await press(page, 'ArrowRight', 150);
  const right = await page.evaluate(() => Module._WebQuery(1));
  await press(page, 'ArrowLeft', 150);
  const left = await page.evaluate(() => Module._WebQuery(1));
  check(right > column && left < right,
        `the arrows move the piece (column ${column}, right twice ${right}, left once ${left})`);
  // The pad's d-pad and left stick move it too.
  const padPress = async (set) => {
    await page.evaluate(set, true);
    await sleep(70);
    await page.evaluate(set, false);
    await sleep(150);
  };
  const beforePad = await page.evaluate(() => Module._WebQuery(1));
  await padPress((on) => { window.testPad.pressed[15] = on; });
  const dpad = await page.evaluate(() => Module._WebQuery(1));
  await padPress((on) => { window.testPad.axes[0] = on ? -1 : 0; });
  const stick = await page.evaluate(() => Module._WebQuery(1));
  check(dpad === beforePad + 1 && stick === dpad - 1,
        `the pad's d-pad and stick move the piece (column ${beforePad}, right ${dpad}, left ${stick})`);
  if (shotsAt) await page.screenshot({path: path.join(shotsAt, 'game.png')});

  // A hidden page pauses the game as a deactivated window does: its time stands still.
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', {value: h, configurable: true});
    Object.defineProperty(document, 'visibilityState', {value: h ? 'hidden' : 'visible', configurable: true});
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await setHidden(true);
  await sleep(200);
  const hiddenAt = await page.evaluate(() => Module._WebQuery(4));
  await sleep(1500);
  const hiddenLater = await page.evaluate(() => Module._WebQuery(4));
  await setHidden(false);
  await sleep(1000);
  const shownLater = await page.evaluate(() => Module._WebQuery(4));
  check(hiddenLater === hiddenAt && shownLater > hiddenLater && shownLater - hiddenLater < 1500,
        `a hidden page pauses the game (time ${hiddenAt}, ${hiddenLater} while hidden, ${shownLater} after)`);
  await press(page, 'Escape');
  check(await sceneIs(page, 0, 10000), 'Escape leaves the game for the title');
  await sleep(800);

  // OPTION, KEY CONFIG: layout A-1 to B-2, back to the option menu and to the title.
  const layoutBefore = await page.evaluate(() => Module._WebQuery(3));
  await press(page, 'ArrowDown');
  await press(page, 'ArrowDown');
  await press(page, 'KeyZ');
  check(await sceneIs(page, 2), 'OPTION opens the option menu');
  await sleep(600);
  await press(page, 'KeyZ');
  check(await sceneIs(page, 3), 'KEY CONFIG opens the key configuration');
  await sleep(600);
  await press(page, 'ArrowRight');
  await press(page, 'ArrowDown');
  await press(page, 'ArrowRight');
  await press(page, 'ArrowDown');
  await press(page, 'KeyZ');
  check(await sceneIs(page, 2), 'RETURN TO OPTION MENU returns');
  const layout = await page.evaluate(() => Module._WebQuery(3));
  check(layout !== layoutBefore, `the key layout changed (${layoutBefore} to ${layout})`);
  await sleep(600);
  await press(page, 'Escape');
  check(await sceneIs(page, 0), 'Escape returns to the title');
  await sleep(600);

  // A reload: the page's close saves as the window's close does, and the new page reads it.
  await page.reload({waitUntil: 'load'});
  check(await sceneIs(page, -1, 10000), 'the reloaded page starts the game');
  const kept = await page.evaluate(() => Module._WebQuery(3));
  check(kept === layout, `a reload keeps the key layout (${kept})`);
  const stored = await page.evaluate(() => Array.from(FS.readFile('/game/config.dat')));
  check(stored.length === 20 && stored[0] === layout, `config.dat holds it (${stored.slice(0, 4)})`);

  // EXIT from the title: saved, then the closed screen.
  check(await sceneIs(page, 0, 15000), 'the title appears again');
  await sleep(800);
  for (let i = 0; i < 3; ++i) await press(page, 'ArrowDown');
  await press(page, 'KeyZ');
  const closed = await waitFor(page, () =>
    document.getElementById('closed').classList.contains('shown'), 8000);
  check(closed, 'EXIT shows the closed screen');
  if (shotsAt) await page.screenshot({path: path.join(shotsAt, 'closed.png')});
  await page.click('#again');
  check(await sceneIs(page, -1, 10000), 'Start again starts the game again');
  // A browser without audio: the game's no-sound box as a modal overlay in the page, its
  // English first. Another browser context: its own storage and locks.
  const silent = await browser.createBrowserContext();
  const mute = await silent.newPage();
  await mute.evaluateOnNewDocument(() => {
    delete window.AudioContext;
    delete window.webkitAudioContext;
  });
  await mute.goto(address, {waitUntil: 'load'});
  const boxShown = await waitFor(mute, () =>
    document.getElementById('error').classList.contains('shown'), 8000);
  const boxText = await mute.evaluate(() => document.getElementById('error').innerText);
  check(boxShown && /Could not open a sound device/.test(boxText) &&
        boxText.indexOf('DirectSoundの構築') > 0,
        `without audio the page shows the no-sound box (${boxText.replace(/\s+/g, ' ').trim()})`);
  // The advice is the browser's own: never the desktop's driver or command line.
  check(/browser/.test(boxText) && !/SDL|Linux|Windows/.test(boxText),
        'the no-sound box gives the browser\'s advice, no other platform\'s');
  if (shotsAt) await mute.screenshot({path: path.join(shotsAt, 'no-sound.png')});
  await mute.keyboard.press('Enter');
  check(await waitFor(mute, () => !document.getElementById('error').classList.contains('shown'), 3000),
        'Enter acknowledges the box');
  await playWithoutSound(mute, address, [-1, 0], 'the credits, then the title');
  if (replayFile)
    await playWithoutSound(mute, address + '?replay=replays/game.rpl', [101], 'the replay');
  await silent.close();

  // A replay named in the address plays to its recorded result and says so; one that is not
  // there, or is no replay, is refused with the desktop's message, shown on the page.
  if (replayFile) {
    const watching = await browser.createBrowserContext();
    const viewer = await watching.newPage();
    const said = [];
    viewer.on('console', (m) => said.push(m.text()));
    await viewer.goto(address + '?replay=replays/game.rpl', {waitUntil: 'load'});
    check(await sceneIs(viewer, 101, 10000), 'index.html?replay=... starts the recorded game');
    const reached = await waitFor(viewer, () =>
      document.getElementById('closed').classList.contains('shown'), 90000);
    check(reached && said.some((t) => /reached its recorded result/.test(t)),
          `the replay plays to its recorded result (${said.filter((t) => /replay/.test(t)).join(' | ')})`);
    for (const [wanted, message] of [['replays/none.rpl', 'the replay file cannot be opened'],
                                     ['index.html', 'not a replay file (no +RPL mark at its start)']]) {
      await viewer.goto(address + '?replay=' + wanted, {waitUntil: 'load'});
      const shown = await waitFor(viewer, () =>
        document.getElementById('report').classList.contains('shown'), 10000);
      const text = await viewer.evaluate(() => document.getElementById('report-text').textContent);
      check(shown && text === `plusrail: ${wanted}: ${message}`,
            `?replay=${wanted} is refused on the page (${text})`);
      check(await viewer.evaluate(() => !Module.calledRun || Module._WebQuery(0) !== 101),
            `?replay=${wanted} plays nothing`);
    }
    if (shotsAt) await viewer.screenshot({path: path.join(shotsAt, 'replay-refused.png')});
    await watching.close();
  }

  check(consoleErrors.length === 0, `no console errors${consoleErrors.length ? ': ' + consoleErrors.join(' | ') : ''}`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, {recursive: true, force: true});
}

console.log(failures.length === 0 ? 'browser test: every check passed' :
                                    `browser test: ${failures.length} checks failed`);
process.exit(failures.length === 0 ? 0 : 1);
