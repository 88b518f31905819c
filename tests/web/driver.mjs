// Driving the browser edition in Debian's Chromium or Firefox ESR as a
// learner would: real clicks at window points, real key events, the canvas
// read back. Shared by the browser tests and the browser measurements.

import assert from 'node:assert/strict';
import { cp, mkdtemp, readFile, readdir, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join, relative } from 'node:path';
import { after, before } from 'node:test';
import { fileURLToPath } from 'node:url';

import puppeteer from 'puppeteer-core';

import { serveFolder } from '../../scripts/serve.mjs';

export const kRoot = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
// The built page (scripts/web.sh --build), or another build.
export const kSite = process.env.AKKUSIM_WEB_SITE || join(kRoot, 'build-web');

export const kWait = { timeout: 20000, polling: 20 };

// Window points, as on the desktop.
export const kButton = {
  load: [70, 137],
  assemble: [170, 137],
  new: [370, 137],
  save: [70, 162],
  run: [170, 162],
};
export const kFirstChooserEntry = [300, 251];
export const kSecondChooserEntry = [300, 266];
export const kChooserFrame = [251, 201];  // the dialog's thin outer line
export const kProgramEndFrame = [471, 355];

const kChromium = process.env.AKKUSIM_CHROMIUM || '/usr/bin/chromium';
const kFirefox = process.env.AKKUSIM_FIREFOX || '/usr/bin/firefox-esr';

// The browser the tests drive: AKKUSIM_BROWSER=firefox for Firefox ESR
// (through WebDriver BiDi), else Chromium.
export const kBrowser = process.env.AKKUSIM_BROWSER === 'firefox' ? 'firefox' : 'chrome';
export const isFirefox = kBrowser === 'firefox';

// A fresh browser on its own profile folder (the same folder again is the
// same browser after a restart). No background traffic of its own.
// Firefox's rule that a file opened from disk is an origin of its own stays
// on, as in a teacher's Firefox.
// With `javaScript` false the browser runs no page's script (as Firefox
// cannot switch it off per page). `args` go to Chromium's command line.
export function launch(profile, { javaScript = true, args = [] } = {}) {
  if (isFirefox) {
    return puppeteer.launch({
      browser: 'firefox',
      executablePath: kFirefox,
      headless: true,
      userDataDir: profile,
      extraPrefsFirefox: {
        'security.fileuri.strict_origin_policy': true,
        'app.update.enabled': false,
        'browser.safebrowsing.malware.enabled': false,
        'browser.safebrowsing.phishing.enabled': false,
        'network.captive-portal-service.enabled': false,
        'network.connectivity-service.enabled': false,
        'javascript.enabled': javaScript,
        // The downloads panel opens after a download, and again when its
        // tab is brought to the front, and takes the window's focus at a
        // moment of its own: a click the page took just before is then
        // dropped with the focus, as a desktop window drops it.
        'browser.download.alwaysOpenPanel': false,
      },
    });
  }
  return puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    userDataDir: profile,
    args: [
      '--no-sandbox', '--disable-dev-shm-usage', '--no-first-run', '--disable-sync',
      '--disable-background-networking', '--disable-component-update',
      ...(javaScript ? [] : ['--blink-settings=scriptEnabled=false']),
      ...args,
    ],
  });
}

// The built folder served on 127.0.0.1 for the tests of one file, with a
// work folder (profiles, downloads) named after `prefix`. Requests to any
// other place are recorded in `foreign`; one of them fails the file at its
// end. Set up before the file's first test, removed after its last;
// `prepare(site)` then adds the file's own fixtures (a hook of the file's
// own may run before this one).
export function servedSite(prefix, prepare = async () => {}) {
  const site = { origin: '', work: '', foreign: [], servers: [], browsers: [] };
  before(async () => {
    site.work = await mkdtemp(join(tmpdir(), `akkusim-${prefix}-`));
    site.origin = await serveMore(site, kSite);
    await prepare(site);
  });
  after(async () => {
    for (const browser of site.browsers) await browser.close();
    for (const server of site.servers) server.close();
    await rm(site.work, { recursive: true, force: true });
    assert.deepEqual(site.foreign, [], 'requests to other places');
  });
  return site;
}

// A browser on the profile folder `name` in the site's work folder.
export function launchIn(site, name, options) {
  return launch(join(site.work, name), options);
}

// A browser shared by the file's tests, closed after the last of them.
export async function sharedBrowser(site, name) {
  const browser = await launchIn(site, name);
  site.browsers.push(browser);
  return browser;
}

// `folder` served as well (with extra response `headers`), until the site
// is removed: its origin.
export async function serveMore(site, folder, { headers } = {}) {
  const server = await serveFolder(folder, 0, { headers });
  site.servers.push(server);
  return `http://127.0.0.1:${server.address().port}`;
}

// Stops serving the site's server at `origin` at once, open connections
// included, as a server gone.
export function stopServing(site, origin) {
  const port = Number(new URL(origin).port);
  const server = site.servers.find((candidate) => candidate.address()?.port === port);
  server.close();
  server.closeAllConnections();
}

// A copy of the built folder in the work folder (at `under`, a path in it),
// less the files named in `without`: the copy's folder.
export async function copySite(site, { under, without = [] } = {}) {
  const folder = under ? join(site.work, under) : await mkdtemp(join(site.work, 'site-'));
  const left = (path) => !without.includes(relative(kSite, path));
  await cp(kSite, folder, { recursive: true, filter: left });
  return folder;
}

// Opens the page at `origin` (and `path` there); requests to any other
// origin are aborted and recorded in `foreign`. Resolves once the first
// frame is on the canvas.
export async function openPage(browser, origin, foreign, path = '/') {
  const page = await newPage(browser, origin, foreign);
  await page.goto(`${origin}${path}`);
  await started(page);
  return page;
}

// Opens the page at `address` (a file: URL too), kept to its origin.
export async function openAddress(browser, address, foreign) {
  const page = await newPage(browser, new URL(address).origin, foreign);
  await page.goto(address);
  await started(page);
  return page;
}

// A tab that keeps to `origin` (see openPage), before anything is opened.
export async function newPage(browser, origin, foreign) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 900 });
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  // Chromium refuses to intercept files opened from disk: their page must
  // show that it fetched nothing.
  if (origin === 'null') return page;
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const url = new URL(request.url());
    if (url.protocol === 'data:' || url.protocol === 'blob:' || url.origin === origin) {
      request.continue();
    } else {
      foreign.push(request.url());
      request.abort();
    }
  });
  return page;
}

export function started(page) {
  return page.waitForFunction(
    () => window.Module && Module.akkusimHost && Module.akkusimHost.firstFrameMs > 0, kWait);
}

// Holds the program in its next pause, as a busy computer does: what the
// learner does meanwhile waits in the page's queue. Resolves once it is held.
export async function holdProgram(page) {
  await page.evaluate(() => {
    const host = Module.akkusimHost;
    const pause = host.pause;
    let release;
    const released = new Promise((resolve) => {
      release = resolve;
    });
    window.programHeld = false;
    host.pause = async (milliseconds) => {
      window.programHeld = true;
      await released;
      return pause(milliseconds);
    };
    window.releaseProgram = () => {
      host.pause = pause;
      release();
    };
  });
  await page.waitForFunction(() => window.programHeld, kWait);
}

export function releaseProgram(page) {
  return page.evaluate(() => window.releaseProgram());
}

// RGB of a canvas pixel as 0xRRGGBB.
export function pixel(page, [x, y]) {
  return page.evaluate(([px, py]) => {
    const [r, g, b] = document.getElementById('screen').getContext('2d')
        .getImageData(px, py, 1, 1).data;
    return (r << 16) | (g << 8) | b;
  }, [x, y]);
}

export function waitForPixel(page, [x, y], colour) {
  return page.waitForFunction(([px, py, want]) => {
    const [r, g, b] = document.getElementById('screen').getContext('2d')
        .getImageData(px, py, 1, 1).data;
    return ((r << 16) | (g << 8) | b) === want;
  }, kWait, [x, y, colour]);
}

// Pixels where the canvas differs from the frame the program handed over
// last (or is not opaque).
export function canvasMismatches(page) {
  return page.evaluate(() => {
    const host = Module.akkusimHost;
    const { width, height } = host.shownFrame;
    const data = document.getElementById('screen').getContext('2d')
        .getImageData(0, 0, width, height).data;
    let count = 0;
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const at = (y * width + x) * 4;
        const shown = (data[at] << 16) | (data[at + 1] << 8) | data[at + 2];
        if (shown !== host.shownPixel(x, y) || data[at + 3] !== 255) ++count;
      }
    }
    return count;
  });
}

// A left click at a window point, wherever and however large the canvas is.
export async function click(page, [x, y]) {
  const box = await (await page.$('#screen')).boundingBox();
  await page.mouse.click(box.x + (x + 0.5) * (box.width / 1100),
                         box.y + (y + 0.5) * (box.height / 800));
}

// Real key events, one per character: an umlaut arrives as a German
// keyboard's key does, with `key` and `text` (no text insertion).
export async function type(page, text) {
  if (isFirefox) {
    // WebDriver's key actions carry any character as the key itself.
    for (const character of text) await page.keyboard.press(character);
    return;
  }
  const session = await page.createCDPSession();
  for (const character of text) {
    await session.send('Input.dispatchKeyEvent',
                       { type: 'keyDown', key: character, text: character });
    await session.send('Input.dispatchKeyEvent', { type: 'keyUp', key: character });
  }
  await session.detach();
}

// The program reads one queued key per pass, and a click must not overtake
// the keys typed before it: these wait until the text cursor stands behind
// the last character typed.
function cursorAt(page, [x, y]) {
  return waitForPixel(page, [x, y], 0x000000);
}

// Types lines into the listing from its first row on.
export async function typeProgram(page, lines) {
  for (const [row, line] of lines.entries()) {
    await type(page, line);
    if (row < lines.length - 1) await page.keyboard.press('Enter');
  }
  const last = lines[lines.length - 1];
  await cursorAt(page, [61 + 8 * [...last].length, 204 + 10 * (lines.length - 1)]);
}

// Types a name into the file chooser's empty name field.
export async function typeName(page, name) {
  await type(page, name);
  await cursorAt(page, [411 + 8 * name.length, 223]);
}

export const chooserOpened = (page) => waitForPixel(page, kChooserFrame, 0x000000);
export const chooserClosed = (page) => waitForPixel(page, kChooserFrame, 0xffffff);

// The top line of the message box (x 471..616) is black only while a box
// of the size of "Programmende" is shown.
export const messageShown = (page) => waitForPixel(page, kProgramEndFrame, 0x000000);
export function messageClosed(page) {
  return page.waitForFunction(() => document.getElementById('screen').getContext('2d')
      .getImageData(471, 355, 146, 1).data.some((value, i) => i % 4 !== 3 && value !== 0), kWait);
}

// "Datei herunterladen" (or the control `selector`) into `folder`: the
// file's name and bytes, once the browser reports the download complete.
// Chromium reserves the name with an empty file first, so a file that
// merely appeared may still be empty.
export async function download(page, folder, selector = '#download') {
  if (isFirefox) return downloadBidi(page, folder, selector);
  const session = await page.createCDPSession();
  try {
    const finished = new Promise((resolve, reject) => {
      session.on('Browser.downloadProgress', (event) => {
        if (event.state === 'completed') resolve();
        if (event.state === 'canceled') reject(new Error('download canceled'));
      });
    });
    await session.send('Browser.setDownloadBehavior',
                       { behavior: 'allow', downloadPath: folder, eventsEnabled: true });
    await page.click(selector);
    await withTimeout(finished, 'no download');
    return downloaded(folder);
  } finally {
    await session.detach();
  }
}

// The same through WebDriver BiDi, which Firefox speaks.
async function downloadBidi(page, folder, selector) {
  const connection = page.browser().connection;
  const finished = new Promise((resolve, reject) => {
    const ended = (event) => {
      connection.off('browsingContext.downloadEnd', ended);
      if (event.status === 'complete') resolve();
      else reject(new Error(`download ${event.status}`));
    };
    connection.on('browsingContext.downloadEnd', ended);
  });
  await connection.send('browser.setDownloadBehavior',
                        { downloadBehavior: { type: 'allowed', destinationFolder: folder } });
  await connection.send('session.subscribe', { events: ['browsingContext.downloadEnd'] });
  await page.click(selector);
  await withTimeout(finished, 'no download');
  return downloaded(folder);
}

async function downloaded(folder) {
  const names = (await readdir(folder))
      .filter((name) => !name.endsWith('.crdownload') && !name.endsWith('.part'));
  assert.equal(names.length, 1, `downloaded: ${names}`);
  return { name: names[0], bytes: await readFile(join(folder, names[0])) };
}

// `promise`, or a failure with `reason` once kWait's time is up.
export function withTimeout(promise, reason) {
  let timer;
  const expired = new Promise((resolve, reject) => {
    timer = setTimeout(() => reject(new Error(reason)), kWait.timeout);
  });
  return Promise.race([promise, expired]).finally(() => clearTimeout(timer));
}

// The id of the element that has the keyboard focus ('' for none).
export function focusedId(page) {
  return page.evaluate(() => (document.activeElement && document.activeElement.id) || '');
}

// Resolves once the page has laid out and painted what changed before the
// call: the second frame from now runs after the first one's resize
// observers.
export function afterLayout(page) {
  return page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => requestAnimationFrame(resolve));
  }));
}

// The overwrite question's box: its outer line at this point is black only
// while it is shown.
export const kQuestionFrame = [399, 345];
export const questionShown = (page) => waitForPixel(page, kQuestionFrame, 0x000000);
export const questionClosed = (page) => waitForPixel(page, kQuestionFrame, 0xffffff);

// Resolves once the program differs from its file (`unsaved`) or matches it.
export function unsavedIs(page, unsaved) {
  return page.waitForFunction(
    (want) => Module.akkusimHost.hasUnsavedChanges() === want, kWait, unsaved);
}
