// The grading page: a teacher's test file and a class's programs (a folder,
// a zip or single files) checked by the grader compiled into akkusim.wasm,
// exactly as `akkusim test` checks them on the command line: the same
// folder rules, the same table as `--csv`, byte for byte. Nothing is sent
// anywhere; the files are read in the browser. The grader runs beside the
// page where it can (grading_runner.js), so the page answers meanwhile.

(function () {
  'use strict';

  const message = document.getElementById('message');
  const problem = document.getElementById('problem');
  const chosen = document.getElementById('chosen');
  const table = document.getElementById('table');
  const notes = document.getElementById('notes');
  const textReport = document.getElementById('text-report');
  const report = document.getElementById('report');
  const csvButton = document.getElementById('csv');
  const separator = document.getElementById('separator');
  const drop = document.getElementById('drop');

  // What the teacher gave: the test file ({ name, bytes }) and the programs,
  // each as one command-line argument ({ name, files: [{ path, bytes }] }).
  let testFile = null;
  let programs = [];
  let csv = null;
  let csvAddress = null;
  let grader = null;
  // The arguments and files of the last grading, for its text report.
  let lastGraded = null;
  // Counts the results cleared: a grading still running when the page's
  // choice changed shows nothing.
  let cleared = 0;

  // The grader module (akkusim_grader.js, loaded before this runs).
  window.addEventListener('load', () => {
    if (typeof window.akkusimGraderModule !== 'function') {
      showProblem('Die Prüfung konnte nicht starten: Die Datei „akkusim_grader.js“ fehlt oder ' +
                  'der Browser hat sie abgelehnt. Bitte den Ordner der Seite vollständig ' +
                  'bereitstellen und die Seite neu laden.');
      return;
    }
    window.akkusimStartGrader().then((started) => {
      grader = started;
      document.getElementById('grading').dataset.grader = started.where;
      say('Bereit.');
      grade();
    }, () => showProblem('Die Prüfung konnte nicht starten. Bitte die Seite neu laden.'));
  });

  // The page's state; a grading under way shows its own line meanwhile.
  let said = '';
  function say(text) {
    said = text;
    message.textContent = text;
  }

  function showProblem(text) {
    problem.textContent = text;
  }

  const baseName = (name) => name.slice(name.lastIndexOf('/') + 1);
  const isZip = (name) => /\.zip$/i.test(name);
  const isTestFile = (name) => /\.toml$/i.test(name);

  async function bytesOf(file) {
    return new Uint8Array(await file.arrayBuffer());
  }

  // A zip stands for the folder it unpacks into: its one top folder, or a
  // folder named after the zip when its files lie side by side.
  async function zipArgument(name, bytes) {
    const unpacked = await window.akkusimZip.readZip(bytes);
    if (unpacked.error) {
      return { error: `Die Zip-Datei „${name}“ wurde nicht geprüft: ${unpacked.error}.` };
    }
    // What macOS adds beside the folder ("__MACOSX/", "._name") is no one's.
    const significant = unpacked.files.filter((file) => !file.path.startsWith('__MACOSX/') &&
        !file.path.split('/').some((part) => part.startsWith('.')));
    const tops = new Set(significant.map((file) => file.path.split('/')[0]));
    const nested = significant.every((file) => file.path.includes('/'));
    if (tops.size === 1 && nested) {
      const top = [...tops][0];
      return { name: top, files: unpacked.files.filter((file) => file.path.startsWith(`${top}/`)) };
    }
    const folder = name.replace(/\.zip$/i, '');
    return {
      name: folder,
      files: unpacked.files.map((file) => ({ path: `${folder}/${file.path}`, bytes: file.bytes })),
    };
  }

  // Every file below a dropped folder, with its path from the folder on.
  async function readDirectory(entry) {
    const files = [];
    const walk = async (directory) => {
      const reader = directory.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0) break;
        for (const child of batch) {
          if (child.isDirectory) {
            await walk(child);
          } else {
            const file = await new Promise((resolve, reject) => child.file(resolve, reject));
            files.push({ path: child.fullPath.replace(/^\//, ''), bytes: await bytesOf(file) });
          }
        }
      }
    };
    await walk(entry);
    return { name: entry.fullPath.replace(/^\//, ''), files };
  }

  // Sorts what was given into the test file and the program arguments; a
  // new set of programs replaces the last one.
  async function take(given) {
    showProblem('');
    const tests = [];
    const found = [];
    for (const item of given) {
      if (item.directory) {
        found.push(await readDirectory(item.directory));
      } else if (item.folderFiles) {
        found.push(item.folderFiles);
      } else if (isTestFile(item.file.name)) {
        tests.push({ name: item.file.name, bytes: await bytesOf(item.file) });
      } else if (isZip(item.file.name)) {
        const argument = await zipArgument(item.file.name, await bytesOf(item.file));
        if (argument.error) {
          clearResult();
          showProblem(argument.error);
          return;
        }
        found.push(argument);
      } else {
        const name = baseName(item.file.name);
        found.push({ name, files: [{ path: name, bytes: await bytesOf(item.file) }] });
      }
    }
    if (tests.length > 1) {
      showProblem('Bitte nur eine Testdatei angeben.');
      return;
    }
    if (tests.length === 1) testFile = tests[0];
    if (found.length > 0) programs = found;
    grade();
  }

  function clearResult() {
    ++cleared;
    lastGraded = null;
    table.replaceChildren();
    notes.textContent = '';
    textReport.hidden = true;
    csv = null;
    csvButton.disabled = true;
  }

  async function grade() {
    clearResult();
    chosen.textContent = [
      testFile ? `Testdatei: ${testFile.name}` : 'Noch keine Testdatei.',
      programs.length > 0 ? `Abgaben: ${programs.map((p) => p.name).join(', ')}` :
                            'Noch keine Abgaben.',
    ].join(' ');
    if (!grader || !testFile || programs.length === 0) return;
    const names = [testFile.name, ...programs.map((argument) => argument.name)];
    if (new Set(names).size !== names.length) {
      showProblem('Testdatei und Abgaben brauchen verschiedene Namen.');
      return;
    }
    const files = [{ path: testFile.name, bytes: testFile.bytes },
                   ...programs.flatMap((argument) => argument.files)];
    const args = [testFile.name, ...programs.map((argument) => argument.name)];
    const sep = separator.value;
    const graded = await gradedOrProblem(() => grader.run([...args, '--csv', '--csv-separator',
                                                           sep], files));
    if (!graded) return;
    if (graded.exitCode !== 0 && graded.exitCode !== 5) {
      showProblem(graded.messages.trim());
      return;
    }
    csv = graded.report;
    csvButton.disabled = false;
    showTable(new TextDecoder().decode(csv), sep);
    notes.textContent = graded.messages;
    // The text report is graded once asked for: grading twice would keep
    // the page busy twice as long.
    lastGraded = { args, files };
    report.textContent = '';
    textReport.open = false;
    textReport.hidden = false;
    say(graded.exitCode === 0 ? 'Geprüft: Alle Programme bestehen alle Fälle.' :
                               'Geprüft: Nicht alle Programme bestehen alle Fälle.');
  }

  // What `gradeNow()` resolves to, while the page still wants it: else
  // null, and a grading that broke off is said.
  async function gradedOrProblem(gradeNow) {
    const asked = cleared;
    message.textContent = 'Die Abgaben werden geprüft …';
    let graded = null;
    try {
      graded = await gradeNow();
    } catch {
      if (asked === cleared) {
        showProblem('Die Prüfung ist abgebrochen. Bitte die Seite neu laden.');
      }
    }
    if (asked !== cleared) return null;
    message.textContent = said;
    return graded;
  }

  // The rows of the CSV as `--csv` writes them: quoted fields where needed.
  function parseCsv(text, sep) {
    const rows = [];
    let row = [];
    let field = '';
    let quoted = false;
    for (let i = 0; i < text.length; ++i) {
      const c = text[i];
      if (quoted) {
        if (c === '"' && text[i + 1] === '"') {
          field += '"';
          ++i;
        } else if (c === '"') {
          quoted = false;
        } else {
          field += c;
        }
      } else if (c === '"') {
        quoted = true;
      } else if (c === sep) {
        row.push(field);
        field = '';
      } else if (c === '\r' && text[i + 1] === '\n') {
        row.push(field);
        rows.push(row);
        row = [];
        field = '';
        ++i;
      } else {
        field += c;
      }
    }
    return rows;
  }

  function showTable(text, sep) {
    const rows = parseCsv(text.replace(/^\uFEFF/, ''), sep);
    table.replaceChildren(...rows.map((cells, index) => {
      const tr = document.createElement('tr');
      tr.append(...cells.map((cell) => {
        const td = document.createElement(index === 0 ? 'th' : 'td');
        if (index === 0) td.scope = 'col';
        td.textContent = cell;
        return td;
      }));
      return tr;
    }));
  }

  csvButton.addEventListener('click', () => {
    if (!csv) return;
    if (csvAddress) URL.revokeObjectURL(csvAddress);
    csvAddress = URL.createObjectURL(new Blob([csv], { type: 'text/csv' }));
    const link = document.createElement('a');
    link.href = csvAddress;
    link.download = `noten_${testFile.name.replace(/\.toml$/i, '')}.csv`;
    document.body.appendChild(link);
    link.click();
    link.remove();
  });

  separator.addEventListener('change', grade);
  textReport.addEventListener('toggle', () => {
    if (!textReport.open || !lastGraded || report.textContent !== '') return;
    const { args, files } = lastGraded;
    gradedOrProblem(() => grader.run(args, files)).then((graded) => {
      if (graded) report.textContent = new TextDecoder().decode(graded.report);
    });
  });

  const input = (id) => document.getElementById(id);
  input('test-input').addEventListener('change', async (event) => {
    const files = [...event.target.files];
    event.target.value = '';
    await take(files.map((file) => ({ file })));
  });
  input('zip-input').addEventListener('change', async (event) => {
    const files = [...event.target.files];
    event.target.value = '';
    await take(files.map((file) => ({ file })));
  });
  // A chosen folder's files carry their path from the folder on.
  input('folder-input').addEventListener('change', async (event) => {
    const files = [...event.target.files];
    event.target.value = '';
    if (files.length === 0) return;
    const name = files[0].webkitRelativePath.split('/')[0];
    const folderFiles = { name, files: [] };
    for (const file of files) {
      folderFiles.files.push({ path: file.webkitRelativePath, bytes: await bytesOf(file) });
    }
    await take([{ folderFiles }]);
  });

  drop.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
  });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    // The items are readable only during the event itself.
    const given = [];
    for (const item of event.dataTransfer.items) {
      if (item.kind !== 'file') continue;
      const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
      if (entry && entry.isDirectory) {
        given.push({ directory: entry });
      } else {
        const file = item.getAsFile();
        if (file) given.push({ file });
      }
    }
    take(given).catch(() => showProblem('Die abgelegten Dateien konnten nicht gelesen werden.'));
  });
})();
