// The browser edition in Debian's Chromium, as a learner uses it: typing,
// running, saving into the browser's storage, reloading, loading, moving
// files between the computer and the page. The built page (scripts/web.sh
// --build) is served on 127.0.0.1 only; any request to another host fails
// the test.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { mkdtemp, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import puppeteer from 'puppeteer-core';

import { serveFolder } from '../../scripts/serve.mjs';

const kRoot = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const kSite = process.env.AKKUSIM_WEB_SITE || join(kRoot, 'build-web');
const kChromium = process.env.AKKUSIM_CHROMIUM || '/usr/bin/chromium';
const kWait = { timeout: 20000, polling: 20 };

// Window points, as on the desktop.
const kButton = {
  laden: [70, 137],
  assemble: [170, 137],
  neu: [370, 137],
  speichern: [70, 162],
  starten: [170, 162],
};
const kFirstChooserEntry = [300, 251];
const kChooserFrame = [251, 201];  // the dialog's thin outer line

let server;
let origin;
let work;
const foreignRequests = [];

async function launch(profile) {
  return puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    userDataDir: profile,
    args: [
      '--no-sandbox', '--disable-dev-shm-usage', '--no-first-run', '--disable-sync',
      '--disable-background-networking', '--disable-component-update',
    ],
  });
}

async function openPage(browser) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 900 });
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const url = new URL(request.url());
    if (url.protocol === 'data:' || url.protocol === 'blob:' || url.origin === origin) {
      request.continue();
    } else {
      foreignRequests.push(request.url());
      request.abort();
    }
  });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.errors = errors;
  await page.goto(`${origin}/`);
  await started(page);
  return page;
}

async function started(page) {
  await page.waitForFunction(
    () => window.Module && Module.akkusimHost && Module.akkusimHost.firstFrameMs > 0, kWait);
}

// RGB of a canvas pixel as 0xRRGGBB.
function pixel(page, [x, y]) {
  return page.evaluate(([px, py]) => {
    const [r, g, b] = document.getElementById('bildschirm').getContext('2d')
        .getImageData(px, py, 1, 1).data;
    return (r << 16) | (g << 8) | b;
  }, [x, y]);
}

function waitForPixel(page, [x, y], colour) {
  return page.waitForFunction(([px, py, want]) => {
    const [r, g, b] = document.getElementById('bildschirm').getContext('2d')
        .getImageData(px, py, 1, 1).data;
    return ((r << 16) | (g << 8) | b) === want;
  }, kWait, [x, y, colour]);
}

// Pixels where the canvas differs from the program's framebuffer, once the
// last change has been presented.
async function canvasMismatches(page) {
  return page.evaluate(async () => {
    const host = Module.akkusimHost;
    await new Promise((resolve) => setTimeout(resolve, 100));
    const { width, height } = host.frameBuffer;
    const data = document.getElementById('bildschirm').getContext('2d')
        .getImageData(0, 0, width, height).data;
    let count = 0;
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const at = (y * width + x) * 4;
        const shown = (data[at] << 16) | (data[at + 1] << 8) | data[at + 2];
        if (shown !== (host.frameBufferPixel(x, y) & 0xffffff) || data[at + 3] !== 255) ++count;
      }
    }
    return count;
  });
}

async function click(page, [x, y]) {
  const box = await (await page.$('#bildschirm')).boundingBox();
  await page.mouse.click(box.x + (x + 0.5) * (box.width / 1100),
                         box.y + (y + 0.5) * (box.height / 800));
}

// Real key events, one per character: an umlaut as the browser reports a
// German keyboard's key, with `key` and `text`.
async function type(page, text) {
  const session = await page.createCDPSession();
  for (const character of text) {
    await session.send('Input.dispatchKeyEvent',
                       { type: 'keyDown', key: character, text: character });
    await session.send('Input.dispatchKeyEvent', { type: 'keyUp', key: character });
  }
  await session.detach();
}

async function typeLines(page, lines) {
  for (const line of lines) {
    await type(page, line);
    await page.keyboard.press('Enter');
  }
}

async function chooserOpened(page) {
  await waitForPixel(page, kChooserFrame, 0x000000);
}

async function chooserClosed(page) {
  await waitForPixel(page, kChooserFrame, 0xffffff);
}

async function download(page, folder) {
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await page.click('#herunterladen');
  for (let waited = 0; waited < kWait.timeout; waited += 50) {
    const names = (await readdir(folder)).filter((name) => !name.endsWith('.crdownload'));
    if (names.length > 0) return { name: names[0], bytes: await readFile(join(folder, names[0])) };
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error('no download');
}

// A program line as saved: every line was the current line once, so it is
// padded to 40 characters; the typed "ä" is code page 437 byte 132.
function savedLines(lines) {
  return Buffer.concat(lines.map((line) => Buffer.concat([
    Buffer.from(line.padEnd(40, ' ').replace('ä', '\x84'), 'latin1'), Buffer.from('\r\n'),
  ])));
}

before(async () => {
  server = await serveFolder(kSite);
  origin = `http://127.0.0.1:${server.address().port}`;
  work = await mkdtemp(join(tmpdir(), 'akkusim-web-'));
});

after(async () => {
  server.close();
  await rm(work, { recursive: true, force: true });
  assert.deepEqual(foreignRequests, [], 'requests to other hosts');
});

describe('the browser edition', () => {
  const program = ['# Zähler: 3 Runden', 'LOADI 3', 'loop:', 'SUBI 1', 'JMPNZ loop', 'HOLD'];

  test('typed, run, saved, found again after a reload, loaded and downloaded', async () => {
    const browser = await launch(join(work, 'profile-session'));
    try {
      const page = await openPage(browser);
      await click(page, [200, 500]);
      await typeLines(page, program.slice(0, -1));
      await type(page, program[program.length - 1]);

      await click(page, kButton.assemble);
      await click(page, kButton.starten);
      // "Programmende": frame at (471, 355) with its white margin, the
      // text in x 493..588, y 371..378, and the " OK " button's frame.
      await waitForPixel(page, [471, 400], 0x000000);
      assert.equal(await pixel(page, [470, 400]), 0xffffff);
      assert.equal(await pixel(page, [469, 353]), 0xffffff);
      assert.equal(await pixel(page, [471, 355]), 0x000000);
      assert.equal(await pixel(page, [616, 454]), 0x000000);
      assert.equal(await pixel(page, [523, 413]), 0x000000);
      assert.equal(await pixel(page, [565, 436]), 0x000000);
      const textInk = await page.evaluate(() => {
        const data = document.getElementById('bildschirm').getContext('2d')
            .getImageData(493, 371, 96, 8).data;
        let ink = 0;
        for (let i = 0; i < data.length; i += 4) ink += data[i] === 0 ? 1 : 0;
        return ink;
      });
      assert.ok(textInk > 100, `"Programmende" has ${textInk} black pixels`);
      assert.equal(await canvasMismatches(page), 0);
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => document.getElementById('bildschirm').getContext('2d')
          .getImageData(471, 355, 146, 1).data.some((value, i) => i % 4 !== 3 && value !== 0),
                                 kWait);

      // The name sorts first among the examples, so it is the first entry.
      await click(page, kButton.speichern);
      await chooserOpened(page);
      await type(page, 'a_zaehler');
      await page.keyboard.press('Enter');
      await chooserClosed(page);

      await page.reload();
      await started(page);
      await click(page, kButton.laden);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      const file = await download(page, await mkdtemp(join(work, 'download-')));
      assert.equal(file.name, 'a_zaehler.txt');
      assert.deepEqual(file.bytes, savedLines(program));
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('a save is kept when the browser is killed right after it', async () => {
    const profile = join(work, 'profile-kill');
    let browser = await launch(profile);
    let page = await openPage(browser);
    await click(page, [200, 500]);
    await type(page, 'HOLD');
    await click(page, kButton.speichern);
    await chooserOpened(page);
    await type(page, 'a_schnell');
    // The moment the dialog leaves the canvas, the learner may close the
    // browser: the kill follows the first frame presented after Enter.
    const presented = page.evaluate(([x, y]) => new Promise((resolve) => {
      const host = Module.akkusimHost;
      const present = host.present;
      host.present = (...args) => {
        present(...args);
        if ((host.frameBufferPixel(x, y) & 0xffffff) === 0xffffff) resolve();
      };
    }), kChooserFrame);
    await page.keyboard.press('Enter');
    await presented;
    browser.process().kill('SIGKILL');
    await new Promise((resolve) => browser.process().once('exit', resolve));

    browser = await launch(profile);
    try {
      page = await openPage(browser);
      await click(page, kButton.laden);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      const file = await download(page, await mkdtemp(join(work, 'download-')));
      assert.equal(file.name, 'a_schnell.txt');
      assert.deepEqual(file.bytes, savedLines(['HOLD']));
    } finally {
      await browser.close();
    }
  });

  test('uploads: stored as sent, asked before overwriting, refused with a reason', async () => {
    const browser = await launch(join(work, 'profile-upload'));
    try {
      const page = await openPage(browser);
      const input = await page.$('#hochladen');
      const upload = async (name, bytes) => {
        const path = join(await mkdtemp(join(work, 'upload-')), name);
        await writeFile(path, bytes);
        await page.evaluate(() => {
          document.getElementById('meldung').textContent = '';
        });
        await input.uploadFile(path);
        await page.waitForFunction(
          () => document.getElementById('meldung').textContent !== '', kWait);
        return page.evaluate(() => ({
          text: document.getElementById('meldung').textContent,
          failed: document.getElementById('meldung').classList.contains('fehler'),
          asks: !document.getElementById('frage').hidden,
        }));
      };

      const refused = [
        { name: 'Mein Programm.txt', bytes: 'HOLD\n', reason: 'Der Name darf nur' },
        { name: 'Übung.txt', bytes: 'HOLD\n', reason: 'Der Name darf nur' },
        { name: 'programm.asm', bytes: 'HOLD\n', reason: 'muss auf .txt enden' },
        { name: 'bild.txt', bytes: Buffer.from([0x89, 0x50, 0x00, 0x01]), reason: 'keine Textdatei' },
      ];
      for (const { name, bytes, reason } of refused) {
        const shown = await upload(name, bytes);
        assert.ok(shown.failed && shown.text.includes(reason), `${name}: ${shown.text}`);
      }

      // LF line ends and a tab stay as sent; Laden reads them as any file.
      const sent = 'LOADI 7\nHOLD\t# Ende\n';
      let shown = await upload('A_hoch.TXT', sent);
      assert.ok(!shown.failed && shown.text.includes('Laden'), shown.text);

      shown = await upload('A_hoch.txt', 'HOLD\n');
      assert.ok(shown.asks, shown.text);
      await page.click('#nein');
      await page.waitForFunction(() => document.getElementById('frage').hidden, kWait);

      await click(page, kButton.laden);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      let file = await download(page, await mkdtemp(join(work, 'download-')));
      assert.equal(file.name, 'A_hoch.txt');
      assert.equal(file.bytes.toString('latin1'), sent);

      shown = await upload('A_hoch.txt', 'HOLD\r\n');
      assert.ok(shown.asks, shown.text);
      await page.click('#ja');
      await page.waitForFunction(
        () => document.getElementById('meldung').textContent.includes('Laden'), kWait);
      file = await download(page, await mkdtemp(join(work, 'download-')));
      assert.equal(file.bytes.toString('latin1'), 'HOLD\r\n');
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('the keys and the wheel stay with the program while the canvas has the focus',
       async () => {
    const browser = await launch(join(work, 'profile-keys'));
    try {
      const page = await openPage(browser);
      await click(page, [200, 500]);
      await page.evaluate(() => {
        window.browserKept = [];
        window.addEventListener('keydown', (event) => {
          if (!event.defaultPrevented) window.browserKept.push(event.key);
        });
      });
      for (const key of ['Tab', 'Backspace', 'ArrowDown', 'PageDown', 'End', 'Space', 'Escape',
                         'F1']) {
        await page.keyboard.press(key);
      }
      assert.deepEqual(await page.evaluate(() => window.browserKept), ['F1']);
      assert.equal(await page.evaluate(() => document.activeElement.id), 'bildschirm');

      // One notch towards the user moves the memory view on; one away
      // brings it back to the same picture.
      const memoryView = () => page.evaluate(() => Array.from(
          document.getElementById('bildschirm').getContext('2d')
              .getImageData(430, 60, 670, 40).data).join());
      const atTop = await memoryView();
      const box = await (await page.$('#bildschirm')).boundingBox();
      await page.mouse.move(box.x + 800, box.y + 400);
      await page.mouse.wheel({ deltaY: 100 });
      await page.waitForFunction((before) => Array.from(
          document.getElementById('bildschirm').getContext('2d')
              .getImageData(430, 60, 670, 40).data).join() !== before, kWait, atTop);
      await page.mouse.wheel({ deltaY: -100 });
      await page.waitForFunction((before) => Array.from(
          document.getElementById('bildschirm').getContext('2d')
              .getImageData(430, 60, 670, 40).data).join() === before, kWait, atTop);
      assert.equal(await canvasMismatches(page), 0);
    } finally {
      await browser.close();
    }
  });
});
