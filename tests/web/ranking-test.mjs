// The browser build with the ranking server: Debian's chromium, headless, driven by
// puppeteer-core, against plusrail-server on 127.0.0.1 with an empty SQLite folder, serving
// the ranking page and the built game. A game played to its end in the page, through the name
// entry, is offered under the name just entered, sent under a name typed into the offer and
// ranked; the ranking page shows it with that name, filters by start level,
// and its "Watch" link plays the game to its recorded result. The page puts every name and
// number in as text (a crafted answer with markup in it shows the markup as text), and pages
// through a long ranking.
//
//     node tests/web/ranking-test.mjs SERVER DIST PAGE_DIR [--shots OUT_DIR]
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import {check, consoleErrors, failures, launchChromium, must, press, sceneIs, sleep, waitFor,
  watch} from './page-driver.mjs';

const args = process.argv.slice(2);
const option = (name) => (args.includes(name) ? args[args.indexOf(name) + 1] : null);
const shotsAt = option('--shots');
const positional = args.filter((a, i) => !a.startsWith('--') && !String(args[i - 1]).startsWith('--'));
const [serverBin, distArg, pageArg] = positional;
if (!serverBin || !distArg || !pageArg) {
  console.error('usage: ranking-test.mjs SERVER DIST PAGE_DIR [--shots DIR]');
  process.exit(2);
}

// A port the system gives, free a moment ago.
function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.on('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const port = probe.address().port;
      probe.close(() => resolve(port));
    });
  });
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'plusrail-ranking-'));
const port = await freePort();
const origin = `http://127.0.0.1:${port}`;
let serverLog = '';
const server = spawn(path.resolve(serverBin), ['--listen', `127.0.0.1:${port}`, '--data',
  path.join(work, 'data'), '--page', path.resolve(pageArg), '--web', path.resolve(distArg)]);
server.stdout.on('data', (d) => { serverLog += d; });
server.stderr.on('data', (d) => { serverLog += d; });
let healthy = false;
for (let i = 0; i < 100 && !healthy && server.exitCode === null; ++i) {
  healthy = await fetch(origin + '/healthz').then((r) => r.ok).catch(() => false);
  if (!healthy) await sleep(100);
}
if (!healthy) {
  console.error('ranking-test: the server did not start\n' + serverLog);
  server.kill();
  process.exit(1);
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plusrail-chromium-'));
const browser = await launchChromium(profile);

// The title's item `downs` steps below GAME START, chosen until `scene` opens: the title takes
// keys only once it has faded in, and the menu stops at its ends, so every try starts over from
// the top. A try that opened another screen goes back to the title first.
async function titleItem(page, downs, scene) {
  for (let attempt = 0; attempt < 6; ++attempt) {
    const now = await page.evaluate(() => Module._WebQuery(0));
    if (now !== 0) {
      await press(page, 'Escape');
      await sceneIs(page, 0, 5000);
    }
    await sleep(1000);
    for (let k = 0; k < 4; ++k) await press(page, 'ArrowUp', 120);
    for (let k = 0; k < downs; ++k) await press(page, 'ArrowDown', 150);
    await press(page, 'KeyZ');
    if (await sceneIs(page, scene, 3000)) return true;
  }
  return false;
}
const rows = (page) => page.evaluate(() => Array.from(document.querySelectorAll('#entries tr'),
  (tr) => Array.from(tr.cells, (td) => td.textContent)));

try {
  await run();
} catch (error) {
  check(false, String(error.message || error));
} finally {
  await browser.close();
  server.kill('SIGTERM');
  fs.rmSync(profile, {recursive: true, force: true});
  fs.rmSync(work, {recursive: true, force: true});
}

async function run() {
  // A game at level 100 (Q and R held on NORMAL MODE): the pieces drop at once, so left alone
  // the stack tops out within seconds.
  const game = await browser.newPage();
  watch(game, 'game');
  await game.setViewport({width: 1400, height: 1100});
  await game.goto(origin + '/play/index.html', {waitUntil: 'load'});
  check(await sceneIs(game, 0, 20000), 'the game served by the ranking server reaches its title');
  check(await game.evaluate(() => document.getElementById('send').hidden),
        'nothing is offered before a game');
  // This browser's own top ten, stored as the game keeps it, with scores below any game's: the
  // game that follows reaches the name entry. Stored from the option menu, where leaving the
  // page saves nothing over it.
  must(await titleItem(game, 2, 2), 'OPTION opens the option menu');
  await game.evaluate(() => new Promise((resolve, reject) => {
    const table = new DataView(new ArrayBuffer(440));
    for (let i = 0; i < 10; ++i) {
      for (let k = 0; k < 3; ++k) table.setInt32(44 * i + 4 * k, 1, true);
      table.setInt32(44 * i + 12, -1, true);
    }
    FS.writeFile('/save/rank_n.dat', new Uint8Array(table.buffer));
    FS.syncfs(false, (error) => (error ? reject(error) : resolve()));
  }));
  await game.reload({waitUntil: 'load'});
  // Until the new page holds the tab's lock and has read the stored files, the program has not
  // started and its scene reads as the title's: the copied file comes first.
  must(await waitFor(game, () => FS.analyzePath('/game/rank_n.dat').exists, 20000),
       'the reloaded page copies the stored top ten into the game\'s folder');
  must(await sceneIs(game, 0, 20000), 'the reloaded game reaches its title');
  check(await game.evaluate(() => Array.from(FS.readFile('/game/rank_n.dat').subarray(12, 16)).join()) ===
            '255,255,255,255',
        'the game starts with the stored top ten');
  must(await titleItem(game, 0, 1), 'GAME START opens the mode select');
  let playing = false;
  for (let attempt = 0; attempt < 5 && !playing; ++attempt) {
    await sleep(800);
    await game.keyboard.down('KeyQ');
    await game.keyboard.down('KeyR');
    await press(game, 'KeyZ', 100);
    await game.keyboard.up('KeyQ');
    await game.keyboard.up('KeyR');
    playing = await sceneIs(game, 101, 3000);
  }
  must(playing, 'NORMAL MODE with Q and R starts a game');
  const ended = await waitFor(game, () => Module._WebQuery(0) !== 101, 120000);
  must(ended, `the game ends by itself (scene ${await game.evaluate(() => Module._WebQuery(0))})`);
  // The score ranks: three letters in the name entry, the blank letter, B and A.
  must(await game.evaluate(() => Module._WebQuery(0) === 151), 'the game ends in the name entry');
  await sleep(500);
  await press(game, 'ArrowUp');  // A back to the blank letter
  await press(game, 'KeyZ');
  await press(game, 'ArrowDown');  // A forward to B
  await press(game, 'KeyZ');
  await press(game, 'KeyZ');
  const offered = await waitFor(game, () => !document.getElementById('send').hidden, 20000);
  const offer = await game.evaluate(() => ({
    what: document.getElementById('send-what').textContent,
    name: document.getElementById('send-name').value,
  }));
  must(offered && /^Your game: [\d,]+ points from level 100\./.test(offer.what),
        `after the game the page offers to send it (${offer.what})`);
  check(offer.name === ' BA', `the offer holds the name just entered ("${offer.name}")`);
  if (shotsAt) await game.screenshot({path: path.join(shotsAt, 'send-offered.png')});

  // Typing goes to the form, not to the game: Z typed on the title would start a game.
  must(await sceneIs(game, 0, 30000), 'the game returns to its title, the offer still shown');
  await sleep(500);
  await game.click('#send-name', {clickCount: 3});
  await game.keyboard.type('zz');
  await sleep(800);
  check(await game.evaluate(() => Module._WebQuery(0) === 0),
        'Z typed into the name field does not reach the game');
  await game.click('#send-name', {clickCount: 3});
  await game.keyboard.press('Backspace');
  await game.keyboard.type('q:?');
  const typed = await game.evaluate(() => document.getElementById('send-name').value);
  check(typed === 'Q:?', `the name field takes the letters typed, in capitals ("${typed}")`);
  await game.click('#send-go');
  const answered = await waitFor(game, () =>
    /^Ranked number 1 with [\d,]+ points\./.test(document.getElementById('send-answer').textContent), 15000);
  const answer = await game.evaluate(() => document.getElementById('send-answer').textContent);
  must(answered, `the server's answer is shown: ${answer}`);
  if (shotsAt) await game.screenshot({path: path.join(shotsAt, 'send-answered.png')});
  const ranking = await (await fetch(origin + '/api/v1/ranking')).json();
  check(ranking.total === 1 && ranking.entries[0].name === 'Q:?' && ranking.entries[0].start_level === 100,
        `the server ranks the game under the name sent (${JSON.stringify(ranking.entries[0])})`);
  const score = ranking.entries[0].score;
  const id = ranking.entries[0].id;
  await game.close();

  // The ranking page: the game with its name and figures, and a Watch link.
  const list = await browser.newPage();
  watch(list, 'ranking page');
  await list.setViewport({width: 1100, height: 700});
  const pageAnswer = await list.goto(origin + '/', {waitUntil: 'load'});
  check(/default-src 'self'/.test(pageAnswer.headers()['content-security-policy'] || ''),
        'the ranking page comes with a strict Content-Security-Policy');
  must(await waitFor(list, () => document.querySelectorAll('#entries tr').length === 1, 10000),
        'the ranking page lists the game');
  const [first] = await rows(list);
  check(first && first[0] === '1' && first[1] === 'Q:?' &&
            first[2] === score.toLocaleString('en-US') && first[7] === '100' && first[9] === 'Watch',
        `its row shows rank, name, score and start level (${JSON.stringify(first)})`);
  const watchHref = await list.evaluate(() => document.querySelector('#entries a').getAttribute('href'));
  check(watchHref === `/play/index.html?replay=/api/v1/games/${id}/replay`,
        `the Watch link opens the game on the replay (${watchHref})`);
  if (shotsAt) await list.screenshot({path: path.join(shotsAt, 'ranking-page.png')});
  // Another start level: none there yet; back to all.
  await list.select('#start-level', '15');
  check(await waitFor(list, () => document.querySelectorAll('#entries tr').length === 0 &&
                      /No game started at level 15/.test(document.getElementById('status').textContent), 5000) &&
            (await list.evaluate(() => location.search)) === '?start_level=15',
        'the start level 15 filter shows no game, and the address says so');
  await list.select('#start-level', '100');
  check(await waitFor(list, () => document.querySelectorAll('#entries tr').length === 1, 5000),
        'the start level 100 filter shows the game');

  // Watch: the game plays from the server's replay to its recorded result.
  const said = [];
  const viewing = await browser.createBrowserContext();
  const viewer = await viewing.newPage();
  watch(viewer, 'watch');
  viewer.on('console', (m) => said.push(m.text()));
  await viewer.goto(origin + watchHref, {waitUntil: 'load'});
  check(await sceneIs(viewer, 101, 15000), 'Watch starts the recorded game');
  const reached = await waitFor(viewer, () =>
    document.getElementById('closed').classList.contains('shown'), 120000);
  check(reached && said.some((t) => /reached its recorded result/.test(t)),
        `Watch plays it to its recorded result (${said.filter((t) => /replay/.test(t)).join(' | ')})`);
  check(await viewer.evaluate(() => document.getElementById('send').hidden),
        'watching a game offers nothing to send');
  await viewing.close();

  // A crafted answer: markup in every field shows as text, and nothing of it runs.
  const crafted = await browser.newPage();
  watch(crafted, 'crafted ranking');
  const asked = [];
  await crafted.setRequestInterception(true);
  crafted.on('request', (request) => {
    const url = new URL(request.url());
    if (url.pathname !== '/api/v1/ranking') return request.continue();
    asked.push(url.search);
    const offset = Number(url.searchParams.get('offset') || 0);
    const entry = (k) => ({id: 900 + k, rank: offset + k + 1, name: '<b>', score: '<img src=x onerror="window.ran=1">',
      lines: 3, level: '<i>7</i>', time_ms: 61234, medals: [0, 1, 2, 3, '<u>', 0], start_level: 0,
      submitted: '2026-12-08T12:34:56Z<script>window.ran=2</script>', replay_url: '/x'});
    request.respond({status: 200, contentType: 'application/json',
                     body: JSON.stringify({total: 120, offset, entries: [0, 1, 2].map(entry)})});
  });
  await crafted.goto(origin + '/', {waitUntil: 'load'});
  check(await waitFor(crafted, () => document.querySelectorAll('#entries tr').length === 3, 5000),
        'the crafted ranking is shown');
  const shown = await crafted.evaluate(() => ({
    name: document.querySelector('#entries td.name').textContent,
    score: document.querySelector('#entries td.score').textContent,
    elements: document.querySelectorAll('#entries b, #entries img, #entries i, #entries u, #entries script').length,
    ran: window.ran,
    time: document.querySelector('#entries tr').cells[5].textContent,
  }));
  check(shown.name === '<b>' && shown.score === '<img src=x onerror="window.ran=1">' &&
            shown.elements === 0 && shown.ran === undefined,
        `names and numbers are shown as text (${JSON.stringify(shown)})`);
  check(shown.time === '01\'01"23', `the time reads as the game shows it (${shown.time})`);
  // Paging: 120 entries, fifty a page.
  await crafted.click('#next');
  check(await waitFor(crafted, () => document.getElementById('shown').textContent === '51\u201353 of 120', 5000) &&
            asked.at(-1) === '?limit=50&offset=50',
        `the next page asks for the next fifty (${asked.join(' ')})`);
  await crafted.close();

  check(consoleErrors.length === 0, `no console errors${consoleErrors.length ? ': ' + consoleErrors.join(' | ') : ''}`);
}

console.log(failures.length === 0 ? 'ranking test: every check passed' :
                                    `ranking test: ${failures.length} checks failed`);
process.exit(failures.length === 0 ? 0 : 1);
