// The installed app's figures for BENCHMARKS.md, in Debian's headless
// Chromium against the built folder (scripts/web.sh --build):
// - sizes of the files the app adds, raw and gzipped, and of all the files
//   its service worker keeps;
// - first frame of a first visit (fresh browser, from the server) against
//   a reload with the server stopped (from the worker's cache), turn about
//   in the same run.
//
//   node bench/web/offline.mjs [--site build-web] [--rounds N]

import { mkdtemp, readFile, rm, stat } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { serveFolder } from '../../scripts/serve.mjs';
import { kWait, launch, openPage, started } from '../../tests/web/driver.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const site = option('--site', 'build-web');
const rounds = Number(option('--rounds', '5'));

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const work = await mkdtemp(join(tmpdir(), 'akkusim-offline-'));
const foreign = [];

try {
  console.log('== sizes of the added files (bytes, raw / gzip -9)');
  for (const name of ['manifest.webmanifest', 'icon-192.png', 'icon-512.png', 'sw.js',
                      'offline.js']) {
    const bytes = await readFile(join(site, name));
    console.log(`${name}: ${bytes.length} / ${gzipSync(bytes, { level: 9 }).length}`);
  }
  const build = JSON.parse((await readFile(join(site, 'sw.js'), 'utf8')).split('\n')[0]
      .replace(/^self\.akkusimBuild = /, '').replace(/;$/, ''));
  let kept = 0;
  for (const name of build.files.slice(1)) kept += (await stat(join(site, name))).size;
  console.log(`kept by the worker: ${build.files.length - 1} files, ${kept} bytes ` +
              '(and index.html again as the folder\'s address)');

  console.log(`== first frame, ${rounds} fresh browsers: first visit, then offline reload (ms)`);
  const firstVisits = [];
  const offline = [];
  for (let i = 0; i < rounds; ++i) {
    const server = await serveFolder(site);
    const origin = `http://127.0.0.1:${server.address().port}`;
    const browser = await launch(join(work, `fresh-${i}`));
    try {
      const page = await openPage(browser, origin, foreign);
      firstVisits.push(await page.evaluate(() => Module.akkusimHost.firstFrameMs));
      await page.waitForFunction(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        return Boolean(registration && registration.active &&
                       navigator.serviceWorker.controller === registration.active);
      }, kWait);
      server.close();
      server.closeAllConnections();
      await page.reload();
      await started(page);
      offline.push(await page.evaluate(() => Module.akkusimHost.firstFrameMs));
    } finally {
      await browser.close();
      server.close();
    }
  }
  const fmt = (values) => values.map((ms) => ms.toFixed(0)).join(', ');
  console.log(`first visit: ${fmt(firstVisits)}; median ${median(firstVisits).toFixed(0)}`);
  console.log(`offline reload: ${fmt(offline)}; median ${median(offline).toFixed(0)}`);
  console.log(`ratio offline / first visit: ${(median(offline) / median(firstVisits)).toFixed(2)}`);
} finally {
  await rm(work, { recursive: true, force: true });
}
