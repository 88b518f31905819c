// Self-check beside the canvas and the grading page pruefen.html, against
// the command line: the same files must give the same report, and the
// downloaded grade book the same bytes as `akkusim test --csv`. The command
// line is the native build's (build/akkusim, or AKKUSIM_CLI).
//
//   node --test tests/web/grading.test.mjs

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { copyFile, mkdir, readdir, readFile, stat, writeFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import { describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { deflateRawSync } from 'node:zlib';

import {
  click, download, isFirefox, kRoot, kSite, kWait, newPage, openPage, servedSite, serveMore,
  sharedBrowser, typeProgram,
} from './driver.mjs';

const kCli = process.env.AKKUSIM_CLI || join(kRoot, 'build', 'akkusim');
const kTestFile = join(kRoot, 'Aufgaben', 'multiplizieren', 'test.toml');

// a * b by adding a b times, checking b first: passes every case.
const kRight = [
  'LOADI 0', 'STORE 102', 'LOAD 101', 'STORE b', 'schleife:', 'LOAD b', 'JMPZ fertig', 'SUBI 1',
  'STORE b', 'LOAD 102', 'ADD 100', 'STORE 102', 'JMP schleife', 'fertig:', 'HOLD', 'b: WORD 0',
];
// a + a: right only for b = 2, which no case has; the hidden case fails too.
const kWrong = ['LOAD 100', 'ADD 100', 'STORE 102', 'HOLD'];

// `akkusim test ARGS...` in `folder`: exit code and the report's bytes.
function cli(args, folder) {
  return new Promise((resolve, reject) => {
    execFile(kCli, ['test', ...args], { cwd: folder, encoding: 'buffer' },
             (error, stdout, stderr) => {
               if (error && typeof error.code !== 'number') return reject(error);
               resolve({ exitCode: error ? error.code : 0, out: stdout, err: stderr.toString() });
             });
  });
}

const programFile = (lines) => Buffer.from(lines.map((line) => `${line}\r\n`).join(''), 'latin1');

let crcTable;
function crc32(bytes) {
  crcTable ||= Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
  });
  let crc = 0xffffffff;
  for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// A zip as common tools write it: `entries` of { name, bytes, method } with
// method 0 (stored) or 8 (deflated); a name ending in "/" is a folder.
function makeZip(entries) {
  const locals = [];
  const centrals = [];
  let offset = 0;
  for (const { name, bytes = Buffer.alloc(0), method = 8 } of entries) {
    const packed = method === 8 ? deflateRawSync(bytes) : bytes;
    const nameBytes = Buffer.from(name, 'utf8');
    const head = Buffer.alloc(30);
    head.writeUInt32LE(0x04034b50, 0);
    head.writeUInt16LE(20, 4);
    head.writeUInt16LE(0x0800, 6);
    head.writeUInt16LE(method, 8);
    head.writeUInt32LE(crc32(bytes), 14);
    head.writeUInt32LE(packed.length, 18);
    head.writeUInt32LE(bytes.length, 22);
    head.writeUInt16LE(nameBytes.length, 26);
    const central = Buffer.alloc(46);
    central.writeUInt32LE(0x02014b50, 0);
    central.writeUInt16LE(20, 4);
    central.writeUInt16LE(20, 6);
    central.writeUInt16LE(0x0800, 8);
    central.writeUInt16LE(method, 10);
    central.writeUInt32LE(crc32(bytes), 16);
    central.writeUInt32LE(packed.length, 20);
    central.writeUInt32LE(bytes.length, 24);
    central.writeUInt16LE(nameBytes.length, 28);
    central.writeUInt32LE(offset, 42);
    locals.push(head, nameBytes, packed);
    centrals.push(central, nameBytes);
    offset += 30 + nameBytes.length + packed.length;
  }
  const directory = Buffer.concat(centrals);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0);
  end.writeUInt16LE(entries.length, 8);
  end.writeUInt16LE(entries.length, 10);
  end.writeUInt32LE(directory.length, 12);
  end.writeUInt32LE(offset, 16);
  return Buffer.concat([...locals, directory, end]);
}

// The class's hand-ins: one sub-folder per learner, one of them wrong, and
// a file that is no program.
const kHandIns = [
  { name: 'abgaben/Anna_Muster/abgabe.txt', bytes: programFile(kRight), method: 8 },
  { name: 'abgaben/Ben_Beispiel/abgabe.txt', bytes: programFile(kWrong), method: 0 },
  { name: 'abgaben/Ben_Beispiel/notizen.md', bytes: Buffer.from('keine Abgabe\n'), method: 8 },
];

let browser;
const site = servedSite('grading', async () => {
  await copyFile(kTestFile, join(site.work, 'test.toml'));
  for (const { name, bytes } of kHandIns) {
    await mkdir(dirname(join(site.work, name)), { recursive: true });
    await writeFile(join(site.work, name), bytes);
  }
  browser = await sharedBrowser(site, 'profile');
});

describe('self-check beside the canvas', () => {
  const cases = [
    { title: 'a right program passes', lines: kRight, exitCode: 0,
      verdict: 'programm.txt: 4 von 4 Fällen bestanden, 6 von 6 Punkten\n' },
    { title: 'a wrong one gets the learners\' report', lines: kWrong, exitCode: 5,
      verdict: 'programm.txt: 0 von 4 Fällen bestanden, 0 von 6 Punkten\n' },
  ];
  for (const { title, lines, exitCode, verdict } of cases) {
    test(`${title}, word for word as akkusim test --learner`, async () => {
      // Setup: the program typed into the listing, the assignment chosen.
      const page = await openPage(browser, site.origin, site.foreign);
      try {
        await click(page, [200, 500]);
        await typeProgram(page, lines);
        await page.click('#selfcheck-toggle');
        await page.waitForFunction(() => !document.getElementById('check').disabled, kWait);
        await page.select('#assignment', await page.evaluate(() => [...document
            .querySelectorAll('#assignment option')].find((option) => option.textContent
            .startsWith('multiplizieren')).value));

        // Run
        await page.click('#check');
        await page.waitForFunction(
          () => document.getElementById('verdict').textContent !== '', kWait);

        // Verify: the command line on the very file the listing holds.
        const program = await page.evaluate(() => {
          const at = Module._akkusim_current_program();
          return Array.from(Module.HEAPU8.slice(at, at + Module._akkusim_current_program_size()));
        });
        const listed = Buffer.from(program).toString('latin1').split('\r\n');
        assert.deepEqual(listed.map((line) => line.trimEnd()), [...lines, '']);
        await writeFile(join(site.work, 'programm.txt'), Buffer.from(program));
        const expected = await cli(['test.toml', 'programm.txt', '--learner'], site.work);
        assert.equal(expected.exitCode, exitCode, expected.err);
        const shown = await page.$eval('#verdict', (element) => ({
          text: element.textContent, outcome: element.className,
        }));
        assert.equal(shown.text, expected.out.toString('utf8'));
        assert.equal(shown.outcome, exitCode === 0 ? 'passed' : 'failed');
        assert.ok(shown.text.includes(`\n${verdict}`), shown.text);
        if (exitCode !== 0) assert.match(shown.text, /Fall 'verborgen': nicht bestanden\n/);
      } finally {
        await page.close();
      }
    });
  }
});

describe('the grading page', () => {
  async function openGrading() {
    const page = await newPage(browser, site.origin, site.foreign);
    await page.goto(`${site.origin}/pruefen.html`);
    await page.waitForFunction(
      () => document.getElementById('message').textContent === 'Bereit.', kWait);
    await (await page.$('#test-input')).uploadFile(join(site.work, 'test.toml'));
    return page;
  }

  // "Ordner wählen" of a folder in the work folder. Firefox's WebDriver
  // cannot choose a folder: there the page gets the folder's files with the
  // paths a chosen folder gives them.
  async function chooseFolder(page, folder) {
    const input = await page.$('#folder-input');
    if (!isFirefox) return input.uploadFile(join(site.work, folder));
    const files = [];
    for (const path of await readdir(join(site.work, folder), { recursive: true })) {
      const file = join(site.work, folder, path);
      if ((await stat(file)).isFile()) {
        files.push({ path: `${folder}/${path}`, bytes: [...(await readFile(file))] });
      }
    }
    return input.evaluate((element, chosen) => {
      const list = chosen.map(({ path, bytes }) => {
        const file = new File([new Uint8Array(bytes)], path.slice(path.lastIndexOf('/') + 1));
        Object.defineProperty(file, 'webkitRelativePath', { value: path });
        return file;
      });
      Object.defineProperty(element, 'files', { configurable: true, value: list });
      element.dispatchEvent(new Event('change', { bubbles: true }));
    }, files);
  }

  const tableShown = (page) => page.waitForFunction(
    () => document.querySelectorAll('#table tr').length > 0 ||
        document.getElementById('problem').textContent !== '', kWait);

  // Opens the grading page at `address`, ready to grade.
  async function openReady(address) {
    const page = await newPage(browser, new URL(address).origin, site.foreign);
    await page.goto(address);
    await page.waitForFunction(
      () => document.getElementById('message').textContent === 'Bereit.', kWait);
    return page;
  }

  // Files ({ name, bytes }) dropped together on the page.
  function drop(page, files) {
    return page.$eval('#drop', (target, given) => {
      const transfer = new DataTransfer();
      for (const { name, bytes } of given) {
        transfer.items.add(new File([new Uint8Array(bytes)], name));
      }
      target.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true }));
    }, files);
  }

  async function verifyGradeBook(page, folder) {
    const expected = await cli(['test.toml', 'abgaben', '--csv'], site.work);
    assert.equal(expected.exitCode, 5, expected.err);
    assert.equal(await page.$eval('#problem', (element) => element.textContent), '');
    const rows = await page.$$eval('#table tr', (trs) => trs.map(
      (tr) => [...tr.children].map((cell) => cell.textContent)));
    assert.deepEqual(rows.map((row) => row.slice(0, 3)), [
      ['Name', 'Datei', 'Punkte'],
      ['Anna_Muster', 'abgaben/Anna_Muster/abgabe.txt', '6'],
      ['Ben_Beispiel', 'abgaben/Ben_Beispiel/abgabe.txt', '0'],
    ]);
    assert.equal(await page.$eval('#notes', (element) => element.textContent), expected.err);
    await mkdir(folder);
    const downloaded = await download(page, folder, '#csv');
    assert.ok(downloaded.bytes.equals(expected.out), `${downloaded.bytes}\n${expected.out}`);
    // The text report, graded once opened.
    await page.click('#text-report summary');
    await page.waitForFunction(() => document.getElementById('report').textContent !== '', kWait);
    assert.equal(await page.$eval('#report', (element) => element.textContent),
                 (await cli(['test.toml', 'abgaben'], site.work)).out.toString('utf8'));
  }

  test('a folder of two learners: the table, and the CSV of akkusim test --csv', async () => {
    // Setup
    const page = await openGrading();
    try {
      // Run
      await chooseFolder(page, 'abgaben');
      await tableShown(page);

      // Verify
      await verifyGradeBook(page, join(site.work, 'download-folder'));
    } finally {
      await page.close();
    }
  });

  test('the same folder as a zip (as macOS packs it) gives the same CSV', async () => {
    // Setup: macOS adds a folder of its own beside the one packed.
    const zip = join(site.work, 'abgaben.zip');
    await writeFile(zip, makeZip([
      { name: 'abgaben/' }, ...kHandIns,
      { name: '__MACOSX/abgaben/Anna_Muster/._abgabe.txt', bytes: Buffer.from([0, 5, 22, 7]) },
    ]));
    const page = await openGrading();
    try {
      // Run
      await (await page.$('#zip-input')).uploadFile(zip);
      await tableShown(page);

      // Verify
      await verifyGradeBook(page, join(site.work, 'download-zip'));
    } finally {
      await page.close();
    }
  });

  test('a test file and single programs dropped together: each program by itself', async () => {
    // Setup: the files as the page gets them from a drop.
    const dropped = [
      { name: 'test.toml', bytes: [...(await readFile(join(site.work, 'test.toml')))] },
      { name: 'anna.txt', bytes: [...programFile(kRight)] },
      { name: 'ben.txt', bytes: [...programFile(kWrong)] },
    ];
    for (const { name, bytes } of dropped.slice(1)) {
      await writeFile(join(site.work, name), Buffer.from(bytes));
    }
    const page = await openReady(`${site.origin}/pruefen.html`);
    try {
      // Run
      await drop(page, dropped);
      await tableShown(page);

      // Verify
      const expected = await cli(['test.toml', 'anna.txt', 'ben.txt', '--csv'], site.work);
      const rows = await page.$$eval('#table tr', (trs) => trs.map(
        (tr) => [...tr.children].map((cell) => cell.textContent).join(';')));
      assert.equal(rows.map((row) => `${row}\r\n`).join(''),
                   expected.out.toString('utf8').replace(/^\uFEFF/, ''));
    } finally {
      await page.close();
    }
  });

  test('graded beside the page or, where no worker may start, in it: the same report',
       async () => {
    // Setup: the folder's page; the same under a host's rule against
    // workers; the single file alone on a disk, as a teacher keeps it.
    const noWorkers = await serveMore(
        site, kSite, { headers: { 'Content-Security-Policy': "worker-src 'none'" } });
    const disk = join(site.work, 'disk');
    await mkdir(disk);
    await copyFile(join(kSite, 'akkusim-pruefen.html'), join(disk, 'akkusim-pruefen.html'));
    // Firefox reports the blocked worker as an error of the page.
    const cases = [
      { at: `${site.origin}/pruefen.html`, where: 'worker' },
      { at: `${noWorkers}/pruefen.html`, where: 'page', blocked: /worker-src/ },
      { at: pathToFileURL(join(disk, 'akkusim-pruefen.html')).href, where: 'page' },
    ];
    const dropped = [
      { name: 'test.toml', bytes: [...(await readFile(join(site.work, 'test.toml')))] },
      { name: 'anna.txt', bytes: [...programFile(kRight)] },
      { name: 'ben.txt', bytes: [...programFile(kWrong)] },
    ];
    const seen = [];
    for (const { at, blocked = /^$/ } of cases) {
      const page = await openReady(at);
      try {
        // Run: the table, then the text report.
        await drop(page, dropped);
        await tableShown(page);
        await page.click('#text-report summary');
        await page.waitForFunction(
          () => document.getElementById('report').textContent !== '', kWait);
        seen.push(await page.evaluate(() => ({
          where: document.getElementById('grading').dataset.grader,
          message: document.getElementById('message').textContent,
          problem: document.getElementById('problem').textContent,
          rows: [...document.querySelectorAll('#table tr')].map((row) => row.textContent),
          notes: document.getElementById('notes').textContent,
          report: document.getElementById('report').textContent,
        })));
        assert.deepEqual(page.errors.filter((error) => !blocked.test(error)), [], at);
      } finally {
        await page.close();
      }
    }

    // Verify
    assert.deepEqual(seen.map(({ where }) => where), cases.map(({ where }) => where));
    const [first, ...others] = seen.map(({ where, ...shown }) => shown);
    assert.equal(first.rows.length, 3, first.rows.join('\n'));
    assert.match(first.report, /ben\.txt: 0 von 4 Fällen bestanden/);
    for (const [index, shown] of others.entries()) {
      assert.deepEqual(shown, first, cases[index + 1].at);
    }
  });

  test('a zip that cannot be read is refused with its reason', async () => {
    const good = makeZip(kHandIns);
    const stored = good.indexOf('LOAD 100');  // Ben's program, stored as it is
    const firstCentral = good.indexOf(Buffer.from([0x50, 0x4b, 0x01, 0x02]));
    const changed = (at, bytes) => {
      const copy = Buffer.from(good);
      Buffer.from(bytes).copy(copy, at);
      return copy;
    };
    const prefix = 'Die Zip-Datei „kaputt.zip“ wurde nicht geprüft: ';
    const cases = [
      { zip: good.subarray(0, good.length - 30),
        reason: 'sie ist beschädigt: kein Inhaltsverzeichnis gefunden.' },
      { zip: changed(stored, [0x4d]),
        reason: 'sie ist beschädigt: „abgaben/Ben_Beispiel/abgabe.txt“ ist fehlerhaft ' +
            '(Prüfsumme stimmt nicht).' },
      { zip: changed(firstCentral + 8, [0x01, 0x08]),
        reason: '„abgaben/Anna_Muster/abgabe.txt“ ist verschlüsselt; ' +
            'bitte ohne Kennwort packen.' },
      { zip: changed(firstCentral + 10, [12, 0]),
        reason: '„abgaben/Anna_Muster/abgabe.txt“ ist mit einem Verfahren gepackt, das diese ' +
            'Seite nicht entpacken kann (Nr. 12); bitte als gewöhnliche Zip-Datei packen.' },
    ];
    const page = await openGrading();
    try {
      for (const { zip, reason } of cases) {
        // Setup
        const file = join(site.work, 'kaputt.zip');
        await writeFile(file, zip);

        // Run
        await page.$eval('#problem', (element) => {
          element.textContent = '';
        });
        await (await page.$('#zip-input')).uploadFile(file);
        await page.waitForFunction(
          () => document.getElementById('problem').textContent !== '', kWait);

        // Verify
        assert.equal(await page.$eval('#problem', (element) => element.textContent),
                     prefix + reason);
        assert.equal(await page.$$eval('#table tr', (rows) => rows.length), 0);
      }
    } finally {
      await page.close();
    }
  });
});

// Both pages name every control.
test('every control of the grading page has a name', async () => {
  const page = await newPage(browser, site.origin, site.foreign);
  try {
    await page.goto(`${site.origin}/pruefen.html`);
    const unnamed = await page.$$eval('button, select, input, [tabindex]', (controls) =>
      controls.filter((control) => {
        const label = control.labels && control.labels.length > 0;
        return !label && !control.getAttribute('aria-label') && !control.textContent.trim();
      }).map((control) => control.id));
    assert.deepEqual(unnamed, []);
  } finally {
    await page.close();
  }
});
