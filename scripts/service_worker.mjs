// Writes the served folder's service worker: the worker's script (web/sw.js)
// after a line that names the files it keeps and a version made from their
// names and contents, so that any change to them is a new worker for the
// browser.
//   node scripts/service_worker.mjs WORKER.js FOLDER   (writes FOLDER/sw.js)

import { createHash } from 'node:crypto';
import { readFile, readdir, writeFile } from 'node:fs/promises';
import { join } from 'node:path';

export const kWorkerName = 'sw.js';
// The single files lie in the folder to be downloaded and opened from disk;
// the installed app never opens them, and they would be half of what it
// keeps.
const kNotKept = new Set([kWorkerName, 'akkusim.html', 'akkusim-pruefen.html']);

// `{ version, files }` for the folder: './' (the folder's own address, its
// index.html) and every file in it the app opens, sorted. The worker's own
// text counts toward the version too.
export async function folderBuild(folder, workerText) {
  const entries = await readdir(folder, { withFileTypes: true });
  const names = entries.filter((entry) => entry.isFile() && !kNotKept.has(entry.name))
      .map((entry) => entry.name).sort();
  const hash = createHash('sha256').update(workerText);
  for (const name of names) {
    const bytes = await readFile(join(folder, name));
    hash.update(`${name}\0${bytes.length}\0`).update(bytes);
  }
  return { version: hash.digest('hex').slice(0, 16), files: ['./', ...names] };
}

export async function writeWorker(workerPath, folder) {
  const worker = await readFile(workerPath, 'utf8');
  const build = await folderBuild(folder, worker);
  await writeFile(join(folder, kWorkerName),
                  `self.akkusimBuild = ${JSON.stringify(build)};\n${worker}`);
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split('/').pop())) {
  const [workerPath, folder] = process.argv.slice(2);
  if (!folder) {
    console.error('service_worker.mjs: erwartet WORKER.js ORDNER');
    process.exit(1);
  }
  await writeWorker(workerPath, folder);
}
