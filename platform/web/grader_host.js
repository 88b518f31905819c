// The page side of the grader module (akkusim_grader.js): `akkusim test` on
// files written into the module's memory, with the command line's
// arguments, so that the pages report byte for byte what the command line
// does. Nothing of it leaves the browser.

Module.akkusimGrader = (function () {
  'use strict';

  // Emptied before and after every check, so that no learner's file of one
  // check is found by the next.
  const kWork = '/pruefung';
  const kReport = '/pruefung-bericht';
  const kMessages = '/pruefung-meldungen';
  const kAssignments = '/Aufgaben';

  function exists(path) {
    return FS.analyzePath(path).exists;
  }

  function removeTree(path) {
    if (!exists(path)) return;
    if (FS.isDir(FS.stat(path).mode)) {
      for (const name of FS.readdir(path)) {
        if (name !== '.' && name !== '..') removeTree(`${path}/${name}`);
      }
      FS.rmdir(path);
    } else {
      FS.unlink(path);
    }
  }

  // Writes `bytes` at `relative` below the work folder, making its folders.
  function writeFile(relative, bytes) {
    const parts = relative.split('/').filter((part) => part !== '');
    let path = kWork;
    for (const part of parts.slice(0, -1)) {
      path += `/${part}`;
      if (!exists(path)) FS.mkdir(path);
    }
    FS.writeFile(`${path}/${parts[parts.length - 1]}`, bytes);
  }

  function withStrings(texts, use) {
    const pointers = texts.map((text) => {
      const size = lengthBytesUTF8(text) + 1;
      const pointer = _malloc(size);
      stringToUTF8(text, pointer, size);
      return pointer;
    });
    const list = _malloc(4 * Math.max(pointers.length, 1));
    pointers.forEach((pointer, i) => {
      HEAP32[(list >> 2) + i] = pointer;
    });
    try {
      return use(list, pointers);
    } finally {
      pointers.forEach((pointer) => _free(pointer));
      _free(list);
    }
  }

  const grader = {};

  // `akkusim test ARGS...` with the work folder as the current folder, which
  // holds `files` ({ path, bytes }, paths relative to it). Resolves to the
  // exit code, the report's bytes and the messages as text.
  grader.run = function (args, files) {
    removeTree(kWork);
    FS.mkdir(kWork);
    const previous = FS.cwd();
    let exitCode;
    try {
      for (const file of files) writeFile(file.path, file.bytes);
      FS.chdir(kWork);
      exitCode = withStrings(['akkusim', 'test', ...args, kReport, kMessages],
                             (list, pointers) => _akkusim_test(
                                 args.length + 2, list, pointers[pointers.length - 2],
                                 pointers[pointers.length - 1]));
    } finally {
      FS.chdir(previous);
      removeTree(kWork);
    }
    const report = FS.readFile(kReport);
    const messages = new TextDecoder().decode(FS.readFile(kMessages));
    FS.unlink(kReport);
    FS.unlink(kMessages);
    return { exitCode, report, messages };
  };

  // The shipped assignments, by folder name: the task text and the test file.
  grader.assignments = function () {
    if (!exists(kAssignments)) return [];
    return FS.readdir(kAssignments)
        .filter((name) => !name.startsWith('.') && exists(`${kAssignments}/${name}/test.toml`))
        .sort()
        .map((name) => ({
          name,
          task: exists(`${kAssignments}/${name}/aufgabe.md`) ?
              FS.readFile(`${kAssignments}/${name}/aufgabe.md`, { encoding: 'utf8' }) :
              '',
          test: FS.readFile(`${kAssignments}/${name}/test.toml`),
        }));
  };

  return grader;
})();
