// The browser edition's fast run (F8) for BENCHMARKS.md, in Debian's
// headless Chromium against the built page (scripts/web.sh --build):
// - steps per second on the nested counting loop that bench/window/
//   fast_run_speed.cpp runs in the desktop window, and the ratio to the
//   desktop's figure when given;
// - how long Stoppen takes to end a fast run of an endless loop, from the
//   button's pointerdown in the page to the first frame that shows "Starten"
//   again.
//
//   node bench/web/fast_run.mjs [--site build-web] [--desktop STEPS_PER_SECOND]

import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { serveFolder } from '../../scripts/serve.mjs';
import { click, kButton, launch, openPage, typeProgram } from '../../tests/web/driver.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const site = option('--site', 'build-web');
const desktop = Number(option('--desktop', '0'));
// As in fast_run_speed.cpp: 3 + 2000 * (5 + 3 * 65536) steps to the HOLD.
const kNested = ['LOADI 2000', 'STORE k', 'outer:', 'LOADI 0', 'inner:', 'ADDI 1', 'CMPI 0',
                 'JMPNZ inner', 'LOAD k', 'SUBI 1', 'STORE k', 'JMPNZ outer', 'HOLD', 'k: WORD 0'];
const kNestedSteps = 3 + 2000 * (5 + 3 * 65536);
const kStopRepeats = 5;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Resolves with the milliseconds from now to the first frame handed over in
// which `shown(host)` holds.
function untilFrame(page, test) {
  return page.evaluate((source) => new Promise((resolve) => {
    const shown = new Function('host', `return ${source};`);
    const host = Module.akkusimHost;
    const start = performance.now();
    const present = host.present;
    host.present = (...presentArgs) => {
      present(...presentArgs);
      if (shown(host)) {
        host.present = present;
        resolve(performance.now() - start);
      }
    };
  }), test);
}

// The frame of "Programmende" on the frame handed over.
const kProgramEnd = 'host.shownPixel(471, 355) === 0 && host.shownPixel(470, 355) !== 0';

const server = await serveFolder(site);
const origin = `http://127.0.0.1:${server.address().port}`;
const work = await mkdtemp(join(tmpdir(), 'akkusim-fast-run-'));
const foreign = [];
try {
  const browser = await launch(join(work, 'profile'));
  try {
    const page = await openPage(browser, origin, foreign);
    await click(page, [200, 500]);
    await typeProgram(page, kNested);
    await click(page, kButton.assemble);
    await sleep(500);
    const finished = untilFrame(page, kProgramEnd);
    await page.keyboard.press('F8');
    const milliseconds = await finished;
    const rate = kNestedSteps / (milliseconds / 1000);
    console.log(`== fast run on the nested loop: ${kNestedSteps} steps in ` +
                `${(milliseconds / 1000).toFixed(2)} s = ` +
                `${(rate / 1e6).toFixed(1)} million steps/s`);
    if (desktop > 0) {
      console.log(`ratio to the desktop's fast run (${(desktop / 1e6).toFixed(1)} million ` +
                  `steps/s): ${(rate / desktop).toFixed(3)}`);
    }
    await page.keyboard.press('Enter');

    // Stoppen: the label's row of pixels before the run reads "Starten".
    await click(page, kButton.new);
    await click(page, [200, 500]);
    await typeProgram(page, ['loop:', 'ADDI 1', 'JMP loop']);
    await click(page, kButton.assemble);
    await sleep(300);
    const label = await page.evaluate(() => Array.from({ length: 60 }, (_, i) =>
        Module.akkusimHost.shownPixel(140 + i, 162)).join());
    const isLabel = `Array.from({ length: 60 }, (_, i) => host.shownPixel(140 + i, 162)).join()` +
        ` === ${JSON.stringify(label)}`;
    // Timed inside the page, from the button's pointerdown to the frame handed
    // over, so that the driver's own round trips under load do not count.
    await page.evaluate(() => {
      document.querySelector('#screen').addEventListener('pointerdown', () => {
        window.akkusimPressedAt = performance.now();
      }, { capture: true });
    });
    const stops = [];
    for (let i = 0; i < kStopRepeats; ++i) {
      const running = untilFrame(page, `!(${isLabel})`);
      await page.keyboard.press('F8');
      await running;
      await sleep(1000);
      const stopped = page.evaluate((source) => new Promise((resolve) => {
        const shown = new Function('host', `return ${source};`);
        const host = Module.akkusimHost;
        const present = host.present;
        host.present = (...presentArgs) => {
          present(...presentArgs);
          if (shown(host)) {
            host.present = present;
            resolve(performance.now() - window.akkusimPressedAt);
          }
        };
      }), isLabel);
      await click(page, kButton.run);
      stops.push(await stopped);
    }
    console.log(`== Stoppen during a fast run, pointerdown to the frame with "Starten": ` +
                `${stops.map((ms) => ms.toFixed(0)).join(' ')} ms (limit 100)`);
  } finally {
    await browser.close();
  }
  if (foreign.length > 0) console.log(`requests to other hosts: ${foreign.join(' ')}`);
} finally {
  server.close();
  await rm(work, { recursive: true, force: true });
}
