// The browser edition in Debian's Chromium, as a learner uses it: typing,
// running, saving into the browser's storage, reloading, loading, moving
// files between the computer and the page. The built page (scripts/web.sh
// --build) is served on 127.0.0.1 only; any request to another host fails
// the test.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { mkdtemp, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';

import {
  canvasMismatches, chooserClosed, chooserOpened, click, copySite, download, holdProgram, isFirefox,
  kButton, kChooserFrame, kFirstChooserEntry, kSecondChooserEntry, kWait, launch, launchIn,
  messageClosed, messageShown, newPage, openPage, pixel, releaseProgram, servedSite, serveMore,
  started, type, typeName, typeProgram, withTimeout,
} from './driver.mjs';

const site = servedSite('web');

// A program line as saved: every line was the current line once, so it is
// padded to 40 characters; the typed "ä" is code page 437 byte 132.
function savedLines(lines) {
  return Buffer.concat(lines.map((line) => Buffer.concat([
    Buffer.from(line.padEnd(40, ' ').replace('ä', '\x84'), 'latin1'), Buffer.from('\r\n'),
  ])));
}

describe('the browser edition', () => {
  const program = ['# Zähler: 3 Runden', 'LOADI 3', 'loop:', 'SUBI 1', 'JMPNZ loop', 'HOLD'];

  test('typed, run, saved, found again after a reload, loaded and downloaded', async () => {
    const browser = await launchIn(site, 'profile-session');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);
      await typeProgram(page, program);

      // Both clicks reach a busy program together; each is taken where it
      // happened, the second only once the first has run.
      await holdProgram(page);
      await click(page, kButton.assemble);
      await click(page, kButton.run);
      await releaseProgram(page);
      // "Programmende": frame at (471, 355) with its white margin, the
      // text in x 493..588, y 371..378, and the " OK " button's frame.
      await messageShown(page);
      assert.equal(await pixel(page, [470, 400]), 0xffffff);
      assert.equal(await pixel(page, [469, 353]), 0xffffff);
      assert.equal(await pixel(page, [471, 355]), 0x000000);
      assert.equal(await pixel(page, [616, 454]), 0x000000);
      assert.equal(await pixel(page, [523, 413]), 0x000000);
      assert.equal(await pixel(page, [565, 436]), 0x000000);
      const textInk = await page.evaluate(() => {
        const data = document.getElementById('screen').getContext('2d')
            .getImageData(493, 371, 96, 8).data;
        let ink = 0;
        for (let i = 0; i < data.length; i += 4) ink += data[i] === 0 ? 1 : 0;
        return ink;
      });
      assert.ok(textInk > 100, `"Programmende" has ${textInk} black pixels`);
      assert.equal(await canvasMismatches(page), 0);
      await page.keyboard.press('Enter');
      await messageClosed(page);

      // The name sorts first among the examples, so it is the first entry.
      await click(page, kButton.save);
      await chooserOpened(page);
      await typeName(page, 'a_zaehler');
      await page.keyboard.press('Enter');
      await chooserClosed(page);

      await page.reload();
      await started(page);
      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      const file = await download(page, await mkdtemp(join(site.work, 'download-')));
      assert.equal(file.name, 'a_zaehler.txt');
      assert.deepEqual(file.bytes, savedLines(program));
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('a save is kept when the browser is killed right after it', async () => {
    const profile = join(site.work, 'profile-kill');
    let browser = await launch(profile);
    let page = await openPage(browser, site.origin, site.foreign);
    await click(page, [200, 500]);
    await typeProgram(page, ['HOLD']);
    await click(page, kButton.save);
    await chooserOpened(page);
    await typeName(page, 'a_schnell');
    // The moment the dialog leaves the canvas, the learner may close the
    // browser: the kill follows the first frame presented after Enter.
    const presented = page.evaluate(([x, y]) => new Promise((resolve) => {
      const host = Module.akkusimHost;
      const present = host.present;
      host.present = (...args) => {
        present(...args);
        if (host.shownPixel(x, y) === 0xffffff) resolve();
      };
    }), kChooserFrame);
    await page.keyboard.press('Enter');
    await presented;
    browser.process().kill('SIGKILL');
    await new Promise((resolve) => browser.process().once('exit', resolve));

    browser = await launch(profile);
    try {
      page = await openPage(browser, site.origin, site.foreign);
      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      const file = await download(page, await mkdtemp(join(site.work, 'download-')));
      assert.equal(file.name, 'a_schnell.txt');
      assert.deepEqual(file.bytes, savedLines(['HOLD']));
    } finally {
      await browser.close();
    }
  });

  test('two tabs of the page keep each other\'s saves', async () => {
    const browser = await launchIn(site, 'profile-tabs');
    try {
      const first = await openPage(browser, site.origin, site.foreign);
      const second = await openPage(browser, site.origin, site.foreign);
      for (const [page, name] of [[first, 'a_eins'], [second, 'a_zwei']]) {
        await page.bringToFront();
        await click(page, [200, 500]);
        await typeProgram(page, ['HOLD']);
        await click(page, kButton.save);
        await chooserOpened(page);
        await typeName(page, name);
        await page.keyboard.press('Enter');
        await chooserClosed(page);
      }
      await first.bringToFront();
      await first.reload();
      await started(first);
      const names = [];
      for (const entry of [kFirstChooserEntry, kSecondChooserEntry]) {
        await click(first, kButton.load);
        await chooserOpened(first);
        await click(first, entry);
        await chooserClosed(first);
        names.push((await download(first, await mkdtemp(join(site.work, 'download-')))).name);
      }
      assert.deepEqual(names, ['a_eins.txt', 'a_zwei.txt']);
    } finally {
      await browser.close();
    }
  });

  test('uploads: stored as sent, asked before overwriting, refused with a reason', async () => {
    const browser = await launchIn(site, 'profile-upload');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      const input = await page.$('#upload');
      const upload = async (name, bytes) => {
        const path = join(await mkdtemp(join(site.work, 'upload-')), name);
        await writeFile(path, bytes);
        await page.evaluate(() => {
          document.getElementById('message').textContent = '';
        });
        await input.uploadFile(path);
        await page.waitForFunction(
          () => document.getElementById('message').textContent !== '', kWait);
        return page.evaluate(() => ({
          text: document.getElementById('message').textContent,
          failed: document.getElementById('message').classList.contains('failed'),
          asks: !document.getElementById('question').hidden,
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
      await page.click('#no');
      await page.waitForFunction(() => document.getElementById('question').hidden, kWait);

      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      let file = await download(page, await mkdtemp(join(site.work, 'download-')));
      assert.equal(file.name, 'A_hoch.txt');
      assert.equal(file.bytes.toString('latin1'), sent);

      shown = await upload('A_hoch.txt', 'HOLD\r\n');
      assert.ok(shown.asks, shown.text);
      await page.click('#yes');
      await page.waitForFunction(
        () => document.getElementById('message').textContent.includes('Laden'), kWait);
      file = await download(page, await mkdtemp(join(site.work, 'download-')));
      assert.equal(file.bytes.toString('latin1'), 'HOLD\r\n');
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('the keys and the wheel stay with the program while the canvas has the focus',
       async () => {
    const browser = await launchIn(site, 'profile-keys');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);
      await page.evaluate(() => {
        window.browserKept = [];
        window.addEventListener('keydown', (event) => {
          if (!event.defaultPrevented) window.browserKept.push(event.key);
        });
      });
      // F1 opens the help box, which Escape closes again.
      for (const key of ['Tab', 'Backspace', 'ArrowDown', 'PageDown', 'End', ' ', 'F1', 'Escape',
                         'F3']) {
        await page.keyboard.press(key);
      }
      assert.deepEqual(await page.evaluate(() => window.browserKept), ['F3']);
      assert.equal(await page.evaluate(() => document.activeElement.id), 'screen');

      // The memory view scrolls one step per pass in which the wheel moved,
      // so each notch waits for its picture. With Shift held one notch
      // towards the user moves 500 rows on; ten plain notches away (50 rows
      // each) bring the view back to the top, and each of them moves it.
      const memoryView = () => page.evaluate(() => Array.from(
          document.getElementById('screen').getContext('2d')
              .getImageData(430, 60, 670, 40).data).join());
      const notch = async (deltaY) => {
        const before = await memoryView();
        await page.mouse.wheel({ deltaY });
        await page.waitForFunction((shown) => Array.from(
            document.getElementById('screen').getContext('2d')
                .getImageData(430, 60, 670, 40).data).join() !== shown, kWait, before);
      };
      const atTop = await memoryView();
      const box = await (await page.$('#screen')).boundingBox();
      await page.mouse.move(box.x + 800, box.y + 400);
      await page.keyboard.down('Shift');
      await notch(100);
      await page.keyboard.up('Shift');
      for (let i = 0; i < 10; ++i) await notch(-100);
      assert.equal(await memoryView(), atTop);
      assert.equal(await canvasMismatches(page), 0);
    } finally {
      await browser.close();
    }
  });
  // Firefox's downloads panel, for one, takes the window's focus and leaves
  // the canvas the page's focused element: the canvas hears only its blur,
  // and no focus event follows a press on it.
  test('a press on the canvas is taken after the window lost the focus the canvas kept',
       async () => {
    const browser = await launchIn(site, 'profile-refocus');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await page.evaluate(() => {
        document.getElementById('screen').dispatchEvent(new FocusEvent('blur'));
      });
      assert.equal(await page.evaluate(() => document.activeElement.id), 'screen');
      await click(page, kButton.load);
      await chooserOpened(page);
      await page.keyboard.press('Escape');
      await chooserClosed(page);
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('a page that cannot start says in German what to do, in place of the canvas',
       async () => {
    // The built folder less one of its files, on a server of its own.
    const originWithout = async (missing) =>
      serveMore(site, await copySite(site, { without: [missing] }));
    const browser = await launchIn(site, 'profile-failures');
    try {
      const cases = [
        { at: await originWithout('akkusim.data'), prepare: async () => {},
          says: 'Die Datei „akkusim.data“ fehlt' },
        { at: await originWithout('akkusim.wasm'), prepare: async () => {},
          says: 'Die Datei „akkusim.wasm“ fehlt' },
        { at: await originWithout('akkusim.js'), prepare: async () => {},
          says: 'Die Datei „akkusim.js“ fehlt' },
        {
          at: site.origin,
          prepare: (page) => page.evaluateOnNewDocument(() => {
            delete window.WebAssembly;
          }),
          says: 'Er führt kein WebAssembly aus',
        },
        // Firefox has no switch per page, and with scripts off it runs none
        // of its driver's either.
        ...(isFirefox ? [] : [{
          at: site.origin, prepare: (page) => page.setJavaScriptEnabled(false),
          says: 'akkusim braucht JavaScript',
        }]),
      ];
      for (const { at, prepare, says } of cases) {
        const page = await newPage(browser, at, site.foreign);
        await prepare(page);
        await page.goto(`${at}/`);
        await page.waitForFunction(
            (text) => document.body.innerText.includes(text), kWait, says);
        const shown = await page.evaluate(() => ({
          canvasWidth: document.getElementById('screen').getBoundingClientRect().width,
          started: Boolean(window.Module && Module.akkusimHost && Module.akkusimHost.firstFrameMs),
        }));
        assert.deepEqual(shown, { canvasWidth: 0, started: false }, says);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });
  test('closing or reloading with unsaved changes asks first', async () => {
    const browser = await launchIn(site, 'profile-leave');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      const asked = [];
      let stay = true;
      page.on('dialog', (dialog) => {
        asked.push(dialog.type());
        return stay ? dialog.dismiss() : dialog.accept();
      });
      // Resolves to whether the browser asked.
      const reload = async () => {
        const before = asked.length;
        await page.reload();
        await started(page);
        return asked.length > before;
      };

      await click(page, [200, 500]);
      await typeProgram(page, ['HOLD']);
      const question = new Promise((resolve) => page.once('dialog', resolve));
      await page.close({ runBeforeUnload: true });
      await withTimeout(question, 'no question before closing');
      assert.deepEqual(asked, ['beforeunload'], 'typed, never saved');
      assert.equal(await page.evaluate(() => document.title), 'akkusim', 'the tab stays');

      await click(page, kButton.save);
      await chooserOpened(page);
      await typeName(page, 'a_bleibt');
      await page.keyboard.press('Enter');
      await chooserClosed(page);
      stay = false;
      assert.equal(await reload(), false, 'just saved');

      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      assert.equal(await reload(), false, 'just loaded');

      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      await click(page, [200, 500]);
      await type(page, 'X');
      await page.waitForFunction(() => Module.akkusimHost.hasUnsavedChanges(), kWait);
      assert.equal(await reload(), true, 'loaded and changed');
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });
});
