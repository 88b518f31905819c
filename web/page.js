// The page around the simulator's canvas: its size in the browser window,
// the two controls that move program files between the browser and the
// computer, and the messages about them.

(function () {
  'use strict';

  const kWidth = 1100;
  const kHeight = 800;
  const kMaxUploadBytes = 16 * 1024 * 1024;
  // The program's upload results (see akkusim_store_upload).
  const kUpload = { stored: 0, exists: 1, badName: 2, notText: 3, tooLarge: 4, notStored: 5 };

  const canvas = document.getElementById('screen');
  const message = document.getElementById('message');
  const question = document.getElementById('question');
  const uploadInput = document.getElementById('upload');
  // This script runs: the line for a host that blocks it goes.
  document.getElementById('blocked').hidden = true;

  window.Module = {
    canvas,
    onStorage(kept) {
      if (!kept) {
        say('Dieser Browser behält keine Dateien: Programme gehen beim Schließen der Seite ' +
            'verloren. „Datei herunterladen“ sichert sie auf dem Computer.', true);
      } else if (location.protocol === 'file:') {
        // Chromium keeps one store for all files opened from disk, Firefox
        // one per file and place: a moved copy starts empty there.
        const only =
            navigator.userAgent.includes('Firefox') ? ', nur für diese Datei an diesem Ort' : '';
        say(`Programme bleiben in diesem Browser auf diesem Computer${only}; ` +
            '„Datei herunterladen“ sichert eine Kopie.');
      }
    },
    onAbort(what) {
      say('akkusim konnte nicht starten. Bitte die Seite neu laden.', true);
      failStart(String(what));
    },
  };

  // A long message is cut after two lines (style.css); the whole text stays
  // in the tooltip.
  function say(text, failure = false) {
    message.textContent = text;
    message.title = text;
    message.classList.toggle('failed', failure);
  }
  window.Module.say = say;

  // The files the page loads besides itself.
  const kPageFiles = ['akkusim.data', 'akkusim.wasm', 'akkusim.js', 'akkusim_grader.js'];

  // Until the first frame, a failure leaves nothing but an empty canvas: it
  // is replaced by what went wrong and what to do about it.
  let startFailed = false;
  async function failStart(what) {
    const akkusim = window.Module.akkusimHost;
    if (startFailed || (akkusim && akkusim.firstFrameMs !== 0)) return;
    startFailed = true;
    let text;
    if (document.documentElement.hasAttribute('data-single-file') &&
        typeof WebAssembly === 'object') {
      text = 'akkusim konnte nicht starten: Der Browser hat die Seite nicht vollständig ' +
          'ausgeführt. Bitte die Datei akkusim.html auf den Computer laden, von dort in einem ' +
          'aktuellen Browser öffnen (etwa Firefox oder Chromium) und die Seite neu laden.';
    } else if (typeof WebAssembly !== 'object') {
      text = 'akkusim kann in diesem Browser nicht laufen: Er führt kein WebAssembly aus ' +
          '(oder es ist abgeschaltet). Bitte einen aktuellen Browser verwenden, etwa Firefox, ' +
          'Chromium, Chrome, Edge oder Safari.';
    } else {
      const file = kPageFiles.find((name) => what.includes(name)) || (await unreachableFile());
      text = file ?
          `akkusim konnte nicht starten: Die Datei „${file}“ fehlt oder der Browser hat sie ` +
              'abgelehnt. Die Seite braucht alle Dateien ihres Ordners (akkusim.js, ' +
              'akkusim.wasm, akkusim.data, akkusim_grader.js) und muss über einen Webserver ' +
              'geöffnet werden. ' +
              'Bitte den Ordner vollständig bereitstellen und die Seite neu laden.' :
          'akkusim konnte nicht starten. Bitte die Seite neu laden; hilft das nicht, einen ' +
              'aktuellen Browser verwenden.';
    }
    const failure = document.getElementById('failure');
    failure.textContent = text;
    failure.hidden = false;
    document.body.classList.add('failed');
  }

  // The first of the page's files that cannot be fetched (missing, or
  // refused as from a folder on disk), if any.
  async function unreachableFile() {
    for (const name of kPageFiles) {
      try {
        if (!(await fetch(name, { method: 'HEAD', cache: 'no-store' })).ok) return name;
      } catch (error) {
        return name;
      }
    }
    return null;
  }

  // A file that could not be fetched shows up as an error of its element
  // (akkusim.js), as an uncaught error (akkusim.data) or as an abort.
  window.addEventListener('error', (event) => failStart(String(event.message || '')), true);
  window.addEventListener('unhandledrejection', (event) => failStart(String(event.reason)));
  if (typeof WebAssembly !== 'object') failStart('');

  // As large as the browser window allows: below twice the size in any
  // fraction (a pixel of the font then covers one or two screen pixels),
  // from twice on in whole steps, which keep every pixel the same size.
  // Smaller than the canvas, it is shrunk smoothed, so that no line of a
  // letter is dropped.
  // Room is left around the canvas for its focus ring (2 px outline, 2 px
  // apart, see style.css).
  const kRingPixels = 4;
  function fitCanvas() {
    const area = document.getElementById('area');
    const ratio = window.devicePixelRatio || 1;
    const fit = Math.min((area.clientWidth - 2 * kRingPixels) / kWidth,
                         (area.clientHeight - 2 * kRingPixels) / kHeight) * ratio;
    const devicePixels = fit >= 2 ? Math.floor(fit) : fit;
    canvas.style.width = `${(kWidth * devicePixels) / ratio}px`;
    canvas.style.height = `${(kHeight * devicePixels) / ratio}px`;
    canvas.classList.toggle('shrunk', devicePixels < 1);
  }

  // The area shrinks with the window and whenever the controls above it grow
  // (a message that wraps): the canvas is fitted again before it is painted.
  window.addEventListener('resize', fitCanvas);
  if (typeof ResizeObserver === 'function') {
    new ResizeObserver(fitCanvas).observe(document.getElementById('area'));
  }
  fitCanvas();
  canvas.focus();

  function host() {
    const akkusim = window.Module.akkusimHost;
    return akkusim && akkusim.shownFrame.pointer ? akkusim : null;
  }

  // Asks before an existing program is replaced; resolves to the answer.
  function askOverwrite(name) {
    say(`„${name}“ gibt es schon in Programme. Überschreiben?`);
    question.hidden = false;
    document.getElementById('no').focus();
    return new Promise((resolve) => {
      const answer = (yes) => () => {
        question.hidden = true;
        document.getElementById('yes').onclick = null;
        document.getElementById('no').onclick = null;
        resolve(yes);
      };
      document.getElementById('yes').onclick = answer(true);
      document.getElementById('no').onclick = answer(false);
    });
  }

  async function upload(file) {
    const akkusim = host();
    if (!akkusim) {
      say('akkusim startet noch, bitte gleich noch einmal versuchen.', true);
      return;
    }
    if (file.size > kMaxUploadBytes) {
      say(`„${file.name}“ ist zu groß (mehr als 16 MiB) und wurde nicht übernommen.`, true);
      return;
    }
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      say(`„${file.name}“ konnte nicht gelesen werden und wurde nicht übernommen.`, true);
      return;
    }
    let result = await akkusim.upload(file.name, bytes, false);
    if (result === kUpload.exists) {
      if (!(await askOverwrite(file.name))) {
        say(`„${file.name}“ wurde nicht übernommen; die Datei in Programme bleibt, wie sie war.`);
        return;
      }
      result = await akkusim.upload(file.name, bytes, true);
    }
    switch (result) {
      case kUpload.stored:
        say(`„${file.name}“ liegt jetzt in Programme und kann mit „Laden“ geöffnet werden.`);
        break;
      case kUpload.badName:
        say(`„${file.name}“ wurde nicht übernommen: Der Name darf nur Buchstaben (ohne Umlaute), ` +
            'Ziffern, _ und - enthalten, höchstens 40 Zeichen lang sein und muss auf .txt enden.',
            true);
        break;
      case kUpload.notText:
        say(`„${file.name}“ ist keine Textdatei und wurde nicht übernommen.`, true);
        break;
      case kUpload.tooLarge:
        say(`„${file.name}“ ist zu groß (mehr als 16 MiB) und wurde nicht übernommen.`, true);
        break;
      default:
        say(`„${file.name}“ konnte nicht gespeichert werden.`, true);
    }
  }

  uploadInput.addEventListener('change', async () => {
    const file = uploadInput.files[0];
    uploadInput.value = '';
    if (file) await upload(file);
    canvas.focus();
  });

  // Closing or reloading with unsaved changes: the browser's own question.
  window.addEventListener('beforeunload', (event) => {
    const akkusim = host();
    if (akkusim && akkusim.hasUnsavedChanges()) {
      event.preventDefault();
      event.returnValue = '';
    }
  });

  let downloaded = null;
  document.getElementById('download').addEventListener('click', () => {
    const akkusim = host();
    const file = akkusim && akkusim.download();
    if (!file) {
      say('Erst ein Programm mit „Laden“ öffnen oder mit „Speichern“ sichern, ' +
          'dann kann es heruntergeladen werden.', true);
    } else {
      // The browser may read the file's address only after a while on a busy
      // computer: it is given up when the next download replaces it.
      if (downloaded) URL.revokeObjectURL(downloaded);
      downloaded = URL.createObjectURL(new Blob([file.bytes], { type: 'text/plain' }));
      const link = document.createElement('a');
      link.href = downloaded;
      link.download = file.name;
      document.body.appendChild(link);
      link.click();
      link.remove();
      say(`„${file.name}“ heruntergeladen (so, wie es zuletzt gespeichert oder geladen wurde).`);
    }
    canvas.focus();
  });
})();
