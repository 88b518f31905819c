// The single page file (akkusim.html) as a teacher hands it out: opened
// from a folder on disk, files kept across a browser restart, on a host
// that blocks its scripts, beside the grading page's single file; and where
// the browser keeps the learner's files: one store per page path on a
// host, files of the shared store kept, a refused store said in one line.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { copyFile, mkdir, mkdtemp, readdir, readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import {
  chooserClosed, chooserOpened, click, copySite, download, isFirefox, kButton, kFirstChooserEntry,
  kRoot, kSite, kWait, launch, launchIn, newPage, openAddress, servedSite, serveMore, started,
  typeName, typeProgram,
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

describe('the single file on a host or beside the grading page', () => {
  test('a host that blocks scripts inside the page gets a German line, not a blank canvas',
       async () => {
    const policy = (rule) => ({ headers: { 'Content-Security-Policy': rule } });
    const strict = await serveMore(site, kSite, policy("script-src 'self'"));
    // The folder's page fetches its scripts and compiles its WebAssembly.
    const folderStrict =
        await serveMore(site, kSite, policy("script-src 'self' 'wasm-unsafe-eval'"));
    const cases = [
      { at: `${strict}/akkusim.html`, blocked: true },
      { at: `${site.origin}/akkusim.html`, blocked: false },
      { at: `${folderStrict}/`, blocked: false },
    ];
    const browser = await launchIn(site, 'profile-policy');
    try {
      for (const { at, blocked } of cases) {
        const page = await newPage(browser, new URL(at).origin, site.foreign);
        await page.goto(at);
        if (blocked) {
          await page.waitForFunction(
              () => document.body.innerText.includes('keine Skripte innerhalb der Seite'), kWait);
        } else {
          await started(page);
        }
        const shown = await page.evaluate(() => ({
          line: document.body.innerText.includes('Ordner-Ausgabe'),
          canvas: document.getElementById('screen').getBoundingClientRect().width > 0,
        }));
        assert.deepEqual(shown, { line: blocked, canvas: !blocked }, at);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });

  test('"Abgaben bewerten" opens the grading page\'s single file, which grades from disk',
       async () => {
    // Setup: both files in one folder, as a teacher keeps them.
    const stick = join(site.work, 'teacher');
    await mkdir(stick);
    for (const name of ['akkusim.html', 'akkusim-pruefen.html']) {
      await copyFile(join(kSite, name), join(stick, name));
    }
    const grading = pathToFileURL(join(stick, 'akkusim-pruefen.html')).href;
    const browser = await launchIn(site, 'profile-grading-file');
    try {
      const simulator = await openAddress(
          browser, pathToFileURL(join(stick, 'akkusim.html')).href, site.foreign);
      assert.equal(await simulator.$eval('a[target]', (link) => link.href), grading);

      // Run: a test file and one program dropped on the grading page.
      const page = await newPage(browser, 'null', site.foreign);
      await page.goto(grading);
      await page.waitForFunction(
          () => document.getElementById('message').textContent === 'Bereit.', kWait);
      const dropped = [
        { name: 'test.toml',
          bytes: [...await readFile(join(kRoot, 'Aufgaben', 'multiplizieren', 'test.toml'))] },
        { name: 'ben.txt',
          bytes: [...Buffer.from('LOAD 100\r\nADD 100\r\nSTORE 102\r\nHOLD\r\n')] },
      ];
      await page.$eval('#drop', (target, files) => {
        const transfer = new DataTransfer();
        for (const { name, bytes } of files) {
          transfer.items.add(new File([new Uint8Array(bytes)], name));
        }
        target.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true }));
      }, dropped);
      await page.waitForFunction(() => document.querySelectorAll('#table tr').length > 0 ||
          document.getElementById('problem').textContent !== '', kWait);

      // Verify: graded, nothing fetched, and the way back to the simulator.
      const shown = await page.evaluate(() => ({
        problem: document.getElementById('problem').textContent,
        rows: [...document.querySelectorAll('#table tr')].map((row) => row.cells[0].textContent),
        fetched: performance.getEntriesByType('resource').length,
        back: document.querySelector('#toolbar a').href,
      }));
      assert.deepEqual(shown, { problem: '', rows: ['Name', 'ben'], fetched: 0,
                                back: pathToFileURL(join(stick, 'akkusim.html')).href });
      assert.deepEqual([...simulator.errors, ...page.errors], []);
    } finally {
      await browser.close();
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
