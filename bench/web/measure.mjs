// The browser edition's figures for BENCHMARKS.md, in Debian's headless
// Chromium against the built page (scripts/web.sh --build):
// - sizes of akkusim.wasm, akkusim.js, akkusim.data and the single file
//   akkusim.html, raw and gzipped;
// - first frame after the page starts loading, in fresh browsers, and of
//   the single file from disk against the served folder;
// - the main thread's busy share while the idle editor waits;
// - Starten on a counting loop (32,770 run-loop passes), in passes per
//   second, and against the desktop's bare 1 ms loop when given.
//
//   node bench/web/measure.mjs [--site build-web] [--desktop-bare PASSES_PER_SECOND]

import { readFile, mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

import { serveFolder } from '../../scripts/serve.mjs';
import {
  click, kButton, launch, openAddress, openPage, typeProgram,
} from '../../tests/web/driver.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const site = option('--site', 'build-web');
const desktopBare = Number(option('--desktop-bare', '0'));
const kFreshStarts = 5;
const kIdleSeconds = 10;
// The desktop measurement's counting loop: 1 + 2 * 16384 + 1 passes.
const kCountingLoop = ['LOADI 16384', 'loop:', 'SUBI 1', 'JMPNZ loop', 'HOLD'];
const kCountingPasses = 32770;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const server = await serveFolder(site);
const origin = `http://127.0.0.1:${server.address().port}`;
const work = await mkdtemp(join(tmpdir(), 'akkusim-measure-'));
const foreign = [];

try {
  console.log('== sizes (bytes, raw / gzip -9)');
  for (const name of ['akkusim.wasm', 'akkusim.js', 'akkusim.data', 'akkusim.html']) {
    const bytes = await readFile(join(site, name));
    console.log(`${name}: ${bytes.length} / ${gzipSync(bytes, { level: 9 }).length}`);
  }

  console.log(`== first frame in ${kFreshStarts} fresh browsers (ms after the page starts loading)`);
  const firstFrames = [];
  for (let i = 0; i < kFreshStarts; ++i) {
    const browser = await launch(join(work, `fresh-${i}`));
    try {
      const page = await openPage(browser, origin, foreign);
      firstFrames.push(await page.evaluate(() => Module.akkusimHost.firstFrameMs));
    } finally {
      await browser.close();
    }
  }
  console.log(`median ${median(firstFrames).toFixed(0)}, all ${firstFrames.map((v) => v.toFixed(0)).join(' ')}`);

  // The single file opened from disk against the served folder, turn about
  // in fresh browsers of the same run.
  console.log(`== first frame, single file from disk / served folder, ${kFreshStarts} pairs`);
  const pairs = { single: [], folder: [] };
  const single = pathToFileURL(resolve(site, 'akkusim.html')).href;
  for (let i = 0; i < kFreshStarts; ++i) {
    for (const [what, address] of [['single', single], ['folder', `${origin}/`]]) {
      const fresh = await launch(join(work, `pair-${what}-${i}`));
      try {
        const page = await openAddress(fresh, address, foreign);
        pairs[what].push(await page.evaluate(() => Module.akkusimHost.firstFrameMs));
      } finally {
        await fresh.close();
      }
    }
  }
  console.log(`single median ${median(pairs.single).toFixed(0)}, folder median ` +
              `${median(pairs.folder).toFixed(0)}, ratio ` +
              `${(median(pairs.single) / median(pairs.folder)).toFixed(2)}`);

  const browser = await launch(join(work, 'measure'));
  try {
    const page = await openPage(browser, origin, foreign);
    await sleep(2000);
    const busy = async (seconds) => {
      const before = await page.metrics();
      await sleep(seconds * 1000);
      const after = await page.metrics();
      return (after.TaskDuration - before.TaskDuration) / (after.Timestamp - before.Timestamp);
    };
    console.log(`== idle editor: main thread busy ${(100 * await busy(kIdleSeconds)).toFixed(1)} % ` +
                `over ${kIdleSeconds} s`);

    await click(page, [200, 500]);
    await typeProgram(page, kCountingLoop);
    await click(page, kButton.assemble);
    await sleep(500);
    // From the press on Starten to the first frame handed over with the
    // "Programmende" box on it.
    const finished = page.evaluate(() => new Promise((resolve) => {
      const host = Module.akkusimHost;
      let pressed = 0;
      document.getElementById('screen').addEventListener('pointerdown', () => {
        pressed = performance.now();
      }, { once: true });
      const present = host.present;
      host.present = (...presentArgs) => {
        present(...presentArgs);
        if (pressed > 0 && host.shownPixel(471, 355) === 0 && host.shownPixel(470, 355) !== 0) {
          host.present = present;
          resolve(performance.now() - pressed);
        }
      };
    }));
    const runBusy = busy(10);
    await click(page, kButton.run);
    const duringRun = await runBusy;
    const milliseconds = await finished;
    const pace = kCountingPasses / (milliseconds / 1000);
    console.log(`== Starten on the counting loop: ${kCountingPasses} passes in ` +
                `${(milliseconds / 1000).toFixed(2)} s = ${pace.toFixed(1)} passes/s; ` +
                `main thread busy ${(100 * duringRun).toFixed(1)} % during the run`);
    if (desktopBare > 0) {
      console.log(`ratio to the desktop's bare 1 ms loop (${desktopBare} passes/s): ` +
                  `${(pace / desktopBare).toFixed(3)}`);
    }
  } finally {
    await browser.close();
  }
  if (foreign.length > 0) console.log(`requests to other hosts: ${foreign.join(' ')}`);
} finally {
  server.close();
  await rm(work, { recursive: true, force: true });
}
