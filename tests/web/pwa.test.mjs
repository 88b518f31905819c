// The served folder as an installed app: the manifest and its icons, the
// service worker that keeps the folder so that the page starts and runs
// without the server, a rebuilt folder taking over on the next visit, and
// no worker where none belongs (plain http, the single file).
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { appendFile, readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { writeWorker } from '../../scripts/service_worker.mjs';
import {
  click, copySite, isFirefox, kButton, kRoot, kSite, kWait, launchIn, messageShown, newPage,
  openAddress, servedSite, serveMore, started, stopServing, typeProgram,
} from './driver.mjs';

const site = servedSite('pwa');

// The single files are downloads, which the installed app never opens.
const kSingleFiles = ['akkusim.html', 'akkusim-pruefen.html'];

// A host folder with a copy of the built folder under each of `paths`.
async function hostWith(host, paths) {
  for (const path of paths) await copySite(site, { under: join(host, path) });
  return join(site.work, host);
}

// The build the worker of `folder` keeps: { version, files }.
async function workerBuild(folder) {
  const firstLine = (await readFile(join(folder, 'sw.js'), 'utf8')).split('\n')[0];
  return JSON.parse(firstLine.replace(/^self\.akkusimBuild = /, '').replace(/;$/, ''));
}

// This host's caches, as { name: [addresses kept] }.
function caches(page) {
  return page.evaluate(async () => {
    const found = {};
    for (const name of await window.caches.keys()) {
      const cache = await window.caches.open(name);
      found[name] = (await cache.keys()).map((request) => request.url).sort();
    }
    return found;
  });
}

// Resolves once the worker of the folder at `scope` that keeps `version`
// controls the page, with nothing newer coming and no other version of that
// folder kept.
function installed(page, scope, version) {
  return page.waitForFunction(async (folder, want) => {
    const registration = await navigator.serviceWorker.getRegistration(folder);
    const prefix = `akkusim ${folder} `;
    const kept = (await window.caches.keys()).filter((name) => name.startsWith(prefix));
    return Boolean(registration && registration.active && !registration.installing &&
                   !registration.waiting &&
                   navigator.serviceWorker.controller === registration.active &&
                   kept.length === 1 && kept[0] === prefix + want);
  }, kWait, scope, version);
}

async function runsAProgram(page) {
  await click(page, [200, 500]);
  await typeProgram(page, ['LOADI 3', 'loop:', 'SUBI 1', 'JMPNZ loop', 'HOLD']);
  await click(page, kButton.assemble);
  await click(page, kButton.run);
  await messageShown(page);
}

describe('the installed app', () => {
  test('the manifest names the app in German, and its icons have the stated sizes', async () => {
    // Setup
    const manifest = JSON.parse(await readFile(join(kSite, 'manifest.webmanifest'), 'utf8'));

    // Verify: a PNG's width and height stand at bytes 16 and 20.
    assert.equal(manifest.short_name, 'akkusim');
    assert.match(manifest.name, /Simulator für die Akkumulator-Maschine/);
    assert.deepEqual([manifest.lang, manifest.start_url, manifest.scope, manifest.display],
                     ['de', './', './', 'standalone']);
    const sizes = [];
    for (const icon of manifest.icons) {
      const bytes = await readFile(join(kSite, icon.src));
      assert.equal(bytes.subarray(1, 4).toString('latin1'), 'PNG', icon.src);
      sizes.push(`${bytes.readUInt32BE(16)}x${bytes.readUInt32BE(20)}`);
      assert.equal(sizes.at(-1), icon.sizes, icon.src);
    }
    assert.ok(sizes.includes('192x192') && sizes.includes('512x512'), sizes.join());
  });

  test('each copy keeps its folder; without the server it starts again and runs a program',
       async () => {
    // Setup: two copies of the folder on one host; each visited once.
    const host = await hostWith('host-offline', ['7a', '7b']);
    const build = await workerBuild(join(host, '7a'));
    const origin = await serveMore(site, host);
    let browser = await launchIn(site, 'profile-offline');
    try {
      const pages = [];
      for (const path of ['/7a/', '/7b/']) {
        const page = await openAddress(browser, `${origin}${path}`, site.foreign);
        await installed(page, `${origin}${path}`, build.version);
        pages.push(page);
      }
      const kept = (path) => build.files.map((name) => new URL(name, `${origin}${path}`).href);
      assert.deepEqual(await caches(pages[0]), {
        [`akkusim ${origin}/7a/ ${build.version}`]: kept('/7a/').sort(),
        [`akkusim ${origin}/7b/ ${build.version}`]: kept('/7b/').sort(),
      });
      assert.deepEqual(build.files.filter((name) => kSingleFiles.includes(name)), []);
      if (!isFirefox) {
        // Chromium's own verdict (Firefox installs no such app).
        const session = await pages[1].createCDPSession();
        const { errors } = await session.send('Page.getAppManifest');
        const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
        await session.detach();
        assert.deepEqual({ errors, installabilityErrors }, { errors: [], installabilityErrors: [] });
      }

      // Run: the server goes away; one copy is reloaded, the other opened
      // in the browser started again.
      stopServing(site, origin);
      await pages[0].bringToFront();  // a tab out of sight draws no frames
      await pages[0].reload();
      await started(pages[0]);
      assert.deepEqual([...pages[0].errors, ...pages[1].errors], []);
      await browser.close();
      browser = await launchIn(site, 'profile-offline');
      const page = await openAddress(browser, `${origin}/7b/`, site.foreign);
      await runsAProgram(page);

      // Verify
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('a rebuilt folder takes over on the next visit, and the old cache is gone', async () => {
    // Setup: the app installed from a folder that is then rebuilt with a
    // changed file.
    // Both workers are written alike, as the build writes them.
    const writeBuild = () => writeWorker(join(kRoot, 'web', 'sw.js'), host);
    const host = await hostWith('host-update', ['']);
    await writeBuild();
    const before = await workerBuild(host);
    const origin = await serveMore(site, host);
    const browser = await launchIn(site, 'profile-update');
    try {
      const page = await openAddress(browser, `${origin}/`, site.foreign);
      await installed(page, `${origin}/`, before.version);
      await appendFile(join(host, 'style.css'), '\n/* neu gebaut */\n');
      await writeBuild();
      const rebuilt = await workerBuild(host);
      assert.notEqual(rebuilt.version, before.version);

      // Run: the next visit finds the new version, which takes over once
      // the page has started; the one after opens it, without the server.
      await page.reload();
      await started(page);
      await installed(page, `${origin}/`, rebuilt.version);
      const cachesAfter = await caches(page);
      stopServing(site, origin);
      await page.reload();
      await started(page);

      // Verify
      assert.deepEqual(Object.keys(cachesAfter), [`akkusim ${origin}/ ${rebuilt.version}`]);
      const style = await page.evaluate(async () => (await fetch('style.css')).text());
      assert.ok(style.endsWith('/* neu gebaut */\n'), 'the rebuilt style sheet');
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('no worker on plain http nor in the single file, which start as before', async () => {
    // Setup: the folder at an address of its own, which the browser takes
    // for plain http elsewhere (Chromium maps the name to this computer).
    const local = site.origin;
    const port = new URL(local).port;
    const browser = await launchIn(site, 'profile-none',
                                   { args: [`--host-resolver-rules=MAP akkusim.test 127.0.0.1`] });
    try {
      const cases = [
        { at: `${local}/`, secure: true, registers: ['sw.js'] },
        { at: `${local}/akkusim.html`, secure: true, registers: [] },
        { at: pathToFileURL(join(kSite, 'akkusim.html')).href, secure: true, registers: [] },
        ...(isFirefox ? [] :
                        [{ at: `http://akkusim.test:${port}/`, secure: false, registers: [] }]),
      ];
      for (const { at, secure, registers } of cases) {
        const origin = new URL(at).origin;
        const page = await newPage(browser, origin, site.foreign);
        await page.evaluateOnNewDocument(() => {
          window.registered = [];
          const worker = navigator.serviceWorker;
          if (!worker) return;
          const register = worker.register.bind(worker);
          worker.register = (script, options) => {
            window.registered.push(String(script));
            return register(script, options);
          };
        });

        // Run
        await page.goto(at);
        await started(page);
        await page.evaluate(() => new Promise((resolve) => {
          if (document.readyState === 'complete') resolve();
          else window.addEventListener('load', resolve);
        }));

        // Verify
        const seen = await page.evaluate(() => ({
          registered: window.registered,
          secure: window.isSecureContext,
        }));
        assert.deepEqual(seen, { registered: registers, secure }, at);
        assert.deepEqual(page.errors, [], at);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });
});
