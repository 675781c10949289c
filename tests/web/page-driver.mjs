// What the browser tests share: their checks, and the driving of the game's page in Debian's
// chromium through puppeteer-core.
import puppeteer from 'puppeteer-core';

export const failures = [];
export function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures.push(what);
}
// A check the rest of the run depends on: when it fails, the run stops there.
export function must(ok, what) {
  check(ok, what);
  if (!ok) throw new Error('cannot go on: ' + what);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export async function waitFor(page, condition, timeoutMs, ...values) {
  const end = Date.now() + timeoutMs;
  while (Date.now() < end) {
    if (await page.evaluate(condition, ...values).catch(() => false)) return true;
    await sleep(50);
  }
  return false;
}

// The page's probe, Module._WebQuery(n) (program/query.h): 0 the scene, 1 the piece's
// column, 3 the key layout, 4 the game's time.
export const sceneIs = (page, id, timeoutMs = 8000) =>
  waitFor(page, (want) => Module.calledRun === true && Module._WebQuery(0) === want, timeoutMs, id);

// A key held for a few frames, then a pause, so that every press is one press to the game.
export async function press(page, code, pauseMs = 250) {
  await page.keyboard.down(code);
  await sleep(70);
  await page.keyboard.up(code);
  await sleep(pauseMs);
}

// Headless, with a profile of its own and nothing fetched but the pages under test.
export function launchChromium(profile) {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${profile}`],
  });
}

// Every console error and uncaught error of the pages watched, labelled by page.
export const consoleErrors = [];
export function watch(page, label) {
  page.on('console', (m) => {
    if (m.type() === 'error') consoleErrors.push(`${label}: ${m.text()}`);
  });
  page.on('pageerror', (e) => consoleErrors.push(`${label}: ${e}`));
}
