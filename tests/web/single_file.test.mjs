// The single page file (akkusim.html) as a teacher hands it out: opened
// from a folder on disk, files kept across a browser restart; and where
// the browser keeps the learner's files: one store per page path on a
// host, files of the shared store kept, a refused store said in one line.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { copyFile, mkdir, mkdtemp, readdir } from 'node:fs/promises';
import { join } from 'node:path';
import { before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import {
  chooserClosed, chooserOpened, click, copySite, download, isFirefox, kButton, kFirstChooserEntry,
  kRoot, kSite, kWait, launch, launchIn, newPage, openAddress, servedSite, serveMore, typeName,
  typeProgram,
} from './driver.mjs';

const site = servedSite('single');

const messageText = (page) => page.evaluate(() => document.getElementById('message').textContent);

// "Datei hochladen" of a small program, without overwriting.
function store(page, name) {
  return page.evaluate(async (fileName) => {
    const result = await Module.akkusimHost.upload(fileName, new TextEncoder().encode('HOLD\n'),
                                                   false);
    return { 0: 'stored', 1: 'exists' }[result] ?? `result ${result}`;
  }, name);
}

// The names in this page's Programme folder, once its store is read back.
function stored(page) {
  return page.evaluate(async () => {
    await Module.akkusimHost.storageReady();
    return FS.readdir('/akkusim/Programme').filter((name) => name.startsWith('a_')).sort();
  });
}

async function saveTyped(page, name) {
  await click(page, [200, 500]);
  await typeProgram(page, ['HOLD']);
  await click(page, kButton.save);
  await chooserOpened(page);
  await typeName(page, name);
  await page.keyboard.press('Enter');
  await chooserClosed(page);
}

describe('the single file', () => {
  test('opened from a folder on disk, keeps a save across a browser restart', async () => {
    // Setup: the file alone in a folder, as on a USB stick.
    const stick = join(site.work, 'stick');
    await mkdir(stick);
    await copyFile(join(kSite, 'akkusim.html'), join(stick, 'akkusim.html'));
    const address = pathToFileURL(join(stick, 'akkusim.html')).href;
    const profile = join(site.work, 'profile-disk');

    // Run: save, close the browser, open it again with the same profile.
    let browser = await launch(profile);
    try {
      const page = await openAddress(browser, address, site.foreign);
      await page.waitForFunction(
          () => document.getElementById('message').textContent.includes('Programme bleiben'),
          kWait);
      assert.match(await messageText(page),
                   /^Programme bleiben in diesem Browser auf diesem Computer.*Datei herunterladen/);
      await saveTyped(page, 'a_stick');
      assert.deepEqual(page.errors, []);
      assert.deepEqual(await page.evaluate(() => performance.getEntriesByType('resource')), []);
    } finally {
      await browser.close();
    }
    browser = await launch(profile);
    try {
      const page = await openAddress(browser, address, site.foreign);
      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      const file = await download(page, await mkdtemp(join(site.work, 'download-')));

      // Verify
      assert.equal(file.name, 'a_stick.txt');
      assert.equal(file.bytes.toString('latin1'), `${'HOLD'.padEnd(40)}\r\n`);
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('served, starts with the examples and the assignments inside, fetching nothing', async () => {
    const browser = await launchIn(site, 'profile-served-single');
    try {
      const page = await openAddress(browser, `${site.origin}/akkusim.html`, site.foreign);
      const requested = await page.evaluate(
          () => performance.getEntriesByType('resource').map((entry) => entry.name));
      assert.deepEqual(requested, []);
      const examples = await page.evaluate(
          () => FS.readdir('/Beispiele').filter((name) => !name.startsWith('.')));
      assert.deepEqual(examples.sort(), (await readdir(join(kRoot, 'Programme'))).sort());
      await page.click('#selfcheck-toggle');
      const assignments = (await readdir(join(kRoot, 'Aufgaben'))).length;
      await page.waitForFunction(
          (count) => document.getElementById('assignment').options.length === count, kWait,
          assignments);
      assert.equal(await messageText(page), '');
    } finally {
      await browser.close();
    }
  });

  test('that cannot start says in German what to do, in place of the canvas', async () => {
    const address = pathToFileURL(join(kSite, 'akkusim.html')).href;
    const browser = await launchIn(site, 'profile-single-failures');
    const withoutScripts =
        await launchIn(site, 'profile-single-no-script', { javaScript: false });
    try {
      const cases = [
        { prepare: (page) => page.evaluateOnNewDocument(() => {
          delete window.WebAssembly;
        }), says: 'Er führt kein WebAssembly aus' },
        { prepare: (page) => page.evaluateOnNewDocument(() => {
          WebAssembly.instantiate = () => Promise.reject(new Error('refused'));
        }), says: 'Bitte die Datei akkusim.html auf den Computer laden' },
        // Firefox with scripts off runs none of its driver's either: the
        // page cannot be read there.
        ...(isFirefox ? [] : [{ javaScript: false, says: 'akkusim braucht JavaScript' }]),
      ];
      for (const { prepare, javaScript, says } of cases) {
        const page = await newPage(javaScript === false ? withoutScripts : browser, 'null',
                                   site.foreign);
        if (prepare) await prepare(page);
        await page.goto(address);
        await page.waitForFunction(
            (text) => document.body.innerText.includes(text), kWait, says);
        const canvasWidth = await page.evaluate(
            () => document.getElementById('screen').getBoundingClientRect().width);
        assert.equal(canvasWidth, 0, says);
        await page.close();
      }
    } finally {
      await browser.close();
      await withoutScripts.close();
    }
  });
});

describe('the store of the learner\'s files', () => {
  let origin;

  // The folder at the host's root and under two paths, as copies of it.
  before(async () => {
    for (const under of ['host', 'host/klasse-a', 'host/klasse-b']) await copySite(site, { under });
    origin = await serveMore(site, join(site.work, 'host'));
  });

  test('copies under two paths keep their files apart; earlier files stay with both',
       async () => {
    const browser = await launchIn(site, 'profile-paths');
    try {
      // Setup: a file saved before the store was kept per path, in the store
      // every page shared (the one the page at the root still uses).
      const root = await openAddress(browser, `${origin}/`, site.foreign);
      assert.equal(await store(root, 'a_frueher.txt'), 'stored');
      await root.close();

      // Run: each copy saves a file of its own.
      for (const [at, name] of [['/klasse-a/', 'a_a.txt'], ['/klasse-b/index.html', 'a_b.txt'],
                                ['/', 'a_wurzel.txt']]) {
        const page = await openAddress(browser, `${origin}${at}`, site.foreign);
        assert.equal(await store(page, name), 'stored', at);
        await page.close();
      }

      // Verify: a folder's page answers to both of its addresses.
      const cases = [
        { at: '/klasse-a/index.html', has: ['a_a.txt', 'a_frueher.txt'] },
        { at: '/klasse-b/', has: ['a_b.txt', 'a_frueher.txt'] },
        { at: '/index.html', has: ['a_frueher.txt', 'a_wurzel.txt'] },
      ];
      for (const { at, has } of cases) {
        const page = await openAddress(browser, `${origin}${at}`, site.foreign);
        assert.deepEqual(await stored(page), has, at);
        assert.deepEqual(page.errors, [], at);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });

  test('a browser that refuses the store: one line says so, saving works for the visit',
       async () => {
    const browser = await launchIn(site, 'profile-refused');
    try {
      const refusals = [
        () => Object.defineProperty(window, 'indexedDB', {
          get() {
            throw new DOMException('refused', 'SecurityError');
          },
        }),
        () => {
          IDBFactory.prototype.open = () => {
            throw new DOMException('refused', 'InvalidStateError');
          };
        },
      ];
      for (const refuse of refusals) {
        const page = await newPage(browser, origin, site.foreign);
        await page.evaluateOnNewDocument(refuse);
        await page.goto(`${origin}/`);
        await page.waitForFunction(
            () => document.getElementById('message').textContent.includes('keine Dateien'),
            kWait);
        await saveTyped(page, 'a_fluechtig');
        assert.equal(await store(page, 'a_fluechtig.txt'), 'exists');
        assert.deepEqual(page.errors, []);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });
});
