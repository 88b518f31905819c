// How long the grading page keeps its main thread busy in one piece while
// it grades a class: a test file and KLASSE programs (default 30, the
// multiplication assignment solved) dropped together, each program graded
// by itself. A heartbeat on the page's main thread records its longest gap
// while the grading runs; a figure for BENCHMARKS.md, no test. The page
// grades in a worker; --without-worker serves it under a rule against
// workers, so that it grades in the page itself.
//
//   node bench/web/grading_block.mjs [--site build-web] [--class 30] [--rounds 3]
//     [--without-worker]   (AKKUSIM_BROWSER=firefox for Firefox ESR)

import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { serveFolder } from '../../scripts/serve.mjs';
import { kBrowser, kRoot, kWait, launch, newPage } from '../../tests/web/driver.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const site = option('--site', 'build-web');
const classSize = Number(option('--class', '30'));
const rounds = Number(option('--rounds', '3'));
const headers = args.includes('--without-worker') ?
    { 'Content-Security-Policy': "worker-src 'none'" } : {};

const kProgram = [
  'LOADI 0', 'STORE 102', 'LOAD 101', 'STORE b', 'schleife:', 'LOAD b', 'JMPZ fertig', 'SUBI 1',
  'STORE b', 'LOAD 102', 'ADD 100', 'STORE 102', 'JMP schleife', 'fertig:', 'HOLD', 'b: WORD 0',
].map((line) => `${line}\r\n`).join('');

const server = await serveFolder(site, 0, { headers });
const origin = `http://127.0.0.1:${server.address().port}`;
const work = await mkdtemp(join(tmpdir(), 'akkusim-grading-block-'));
const browser = await launch(join(work, 'profile'));
try {
  const testFile = await readFile(join(kRoot, 'Aufgaben', 'multiplizieren', 'test.toml'));
  const dropped = [
    { name: 'test.toml', bytes: [...testFile] },
    ...Array.from({ length: classSize }, (_, i) => ({
      name: `schueler_${String(i + 1).padStart(2, '0')}.txt`, bytes: [...Buffer.from(kProgram)],
    })),
  ];
  const page = await newPage(browser, origin, []);
  await page.goto(`${origin}/pruefen.html`);
  await page.waitForFunction(
    () => document.getElementById('message').textContent === 'Bereit.', kWait);
  const where = await page.evaluate(() => document.getElementById('grading').dataset.grader);
  const results = [];
  for (let round = 0; round < rounds; ++round) {
    results.push(await page.$eval('#drop', async (target, files) => {
      document.getElementById('table').replaceChildren();
      // The heartbeat: a message to itself, as soon as the thread is free.
      let longest = 0;
      let last = performance.now();
      let beating = true;
      const channel = new MessageChannel();
      channel.port1.onmessage = () => {
        const now = performance.now();
        longest = Math.max(longest, now - last);
        last = now;
        if (beating) channel.port2.postMessage(0);
      };
      channel.port2.postMessage(0);
      const started = performance.now();
      const transfer = new DataTransfer();
      for (const { name, bytes } of files) {
        transfer.items.add(new File([new Uint8Array(bytes)], name));
      }
      target.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true }));
      while (document.querySelectorAll('#table tr').length === 0) {
        await new Promise((resolve) => setTimeout(resolve, 5));
      }
      const total = performance.now() - started;
      await new Promise((resolve) => setTimeout(resolve, 50));
      beating = false;
      return { longest, total, rows: document.querySelectorAll('#table tr').length - 1 };
    }, dropped));
  }
  console.log(`== grading page, ${classSize} programs dropped, ${kBrowser}, graded in the ` +
              `${where ?? 'page'}`);
  for (const { longest, total, rows } of results) {
    console.log(`longest main-thread block ${longest.toFixed(0)} ms, table after ` +
                `${total.toFixed(0)} ms, ${rows} rows`);
  }
} finally {
  await browser.close();
  server.close();
  await rm(work, { recursive: true, force: true });
}
