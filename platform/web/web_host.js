// The page side of the browser platform, run before the program starts:
// forwards the canvas's DOM events to the program's input state, draws the
// frames it presents, takes its pauses, and keeps the program files in the
// browser's storage. The page's own controls reach the files through
// Module.akkusimHost as well.

Module.akkusimHost = (function () {
  'use strict';

  const kWidth = 1100;
  const kHeight = 800;
  // A program that stopped polling must not let the queue grow without end.
  const kMaxEvents = 512;
  const kEvent = {
    keyDown: 1,
    keyUp: 2,
    pointerMove: 3,
    buttonDown: 4,
    buttonUp: 5,
    wheel: 6,
    focus: 7,
    blur: 8,
  };
  const kModifier = { ctrl: 1, alt: 2, meta: 4 };
  // Keys whose browser meaning (going back, scrolling, moving the focus) is
  // suppressed on the canvas.
  const kOwnKeys = new Set([
    'Enter', 'Backspace', 'Tab', 'Escape', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown',
    'Home', 'End', 'PageUp', 'PageDown', 'Delete', 'F1', 'F2', 'F8', 'F9',
  ]);
  // One wheel notch in pixels, as browsers report a mouse wheel; touchpads
  // send many small steps that add up to it.
  const kNotchPixels = 50;

  const events = [];
  let canvas = null;
  let context = null;
  let imageData = null;
  let wheelPixels = 0;

  const host = {
    firstFrameMs: 0,
    storageKept: false,
    currentFile: '',
    shownFrame: { pointer: 0, width: 0, height: 0 },
  };

  function push(event) {
    if (events.length >= kMaxEvents) events.shift();
    events.push(event);
  }

  // Pointer position in framebuffer pixels, whatever the canvas's CSS size.
  function framePoint(event) {
    const box = canvas.getBoundingClientRect();
    return [
      Math.floor(((event.clientX - box.left) * kWidth) / box.width),
      Math.floor(((event.clientY - box.top) * kHeight) / box.height),
    ];
  }

  function modifiers(event) {
    return (event.ctrlKey ? kModifier.ctrl : 0) | (event.altKey ? kModifier.alt : 0) |
        (event.metaKey ? kModifier.meta : 0);
  }

  // Typed characters are the program's, except with Ctrl or the command key
  // held (browser shortcuts); Ctrl and Alt together are AltGr.
  function ownsKey(event) {
    if (kOwnKeys.has(event.key)) return true;
    if ([...event.key].length !== 1) return false;
    const altGr = event.ctrlKey && event.altKey;
    return altGr || !(event.ctrlKey || event.metaKey);
  }

  // The editor types Tab, and Escape closes the window's boxes, so neither
  // leaves the canvas alone: Tab (or Shift-Tab) right after Escape does,
  // and the program sees the Escape but not that Tab.
  let escaped = false;
  function leavesCanvas(event) {
    const leaves = escaped && event.key === 'Tab' && modifiers(event) === 0;
    escaped = event.key === 'Escape' || (event.key === 'Shift' && escaped);
    return leaves;
  }

  function attach(element) {
    canvas = element;
    context = canvas.getContext('2d', { alpha: false });
    canvas.addEventListener('keydown', (event) => {
      if (event.isComposing) return;
      if (leavesCanvas(event)) return;
      push({ type: kEvent.keyDown, key: event.key, code: event.code, numbers: [modifiers(event)] });
      if (ownsKey(event)) event.preventDefault();
    });
    canvas.addEventListener('keyup', (event) => {
      push({ type: kEvent.keyUp, key: '', code: event.code, numbers: [] });
    });
    // Losing the focus (to the page's controls or another window) releases
    // every key and button, as a desktop window does.
    // A press on the canvas turns the learner to it even where the window
    // has not got its focus back (after Firefox's download panel took it).
    let focused = false;
    const turnTo = () => {
      escaped = false;
      if (focused) return;
      focused = true;
      push({ type: kEvent.focus, numbers: [] });
    };
    canvas.addEventListener('focus', turnTo);
    canvas.addEventListener('blur', () => {
      focused = false;
      push({ type: kEvent.blur, numbers: [] });
    });
    canvas.addEventListener('pointerdown', (event) => {
      event.preventDefault();  // no text selection, no middle-button scrolling
      if (document.activeElement !== canvas) canvas.focus();
      turnTo();
      push({ type: kEvent.buttonDown, numbers: [...framePoint(event), event.button] });
    });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    // Moves and releases outside the canvas count too: they end a drag
    // there, and a reading off the canvas fails as off the desktop window.
    window.addEventListener('pointermove', (event) => {
      const last = events[events.length - 1];
      const move = { type: kEvent.pointerMove, numbers: framePoint(event) };
      if (last && last.type === kEvent.pointerMove) {
        events[events.length - 1] = move;
      } else {
        push(move);
      }
    });
    window.addEventListener('pointerup', (event) => {
      push({ type: kEvent.buttonUp, numbers: [...framePoint(event), event.button] });
    });
    document.documentElement.addEventListener('pointerleave', () => {
      push({ type: kEvent.pointerMove, numbers: [-1, -1] });
    });
    canvas.addEventListener('wheel', (event) => {
      event.preventDefault();
      // Many systems turn the wheel with Shift held into sideways scrolling.
      const delta = event.deltaY !== 0 ? event.deltaY : event.shiftKey ? event.deltaX : 0;
      let notches = 0;
      if (event.deltaMode !== 0 || Math.abs(delta) >= kNotchPixels) {
        notches = delta < 0 ? 1 : delta > 0 ? -1 : 0;
        wheelPixels = 0;
      } else {
        wheelPixels += delta;
        if (Math.abs(wheelPixels) >= kNotchPixels) {
          notches = wheelPixels < 0 ? 1 : -1;
          wheelPixels = 0;
        }
      }
      if (notches !== 0) push({ type: kEvent.wheel, numbers: [notches] });
    }, { passive: false });
  }

  host.nextEventType = function () {
    return events.length > 0 ? events[0].type : 0;
  };

  // Hands the oldest event to the program: its type (0 when none), up to
  // four numbers, and the key and code texts of a key event.
  host.takeEvent = function (numbers, key, keyCapacity, code, codeCapacity) {
    const event = events.shift();
    if (!event) return 0;
    for (let i = 0; i < 4; ++i) HEAP32[(numbers >> 2) + i] = event.numbers[i] | 0;
    stringToUTF8(event.key || '', key, keyCapacity);
    stringToUTF8(event.code || '', code, codeCapacity);
    return event.type;
  };

  // Draws rows top .. top + rows - 1 of the RGBA frame at `pointer`.
  host.present = function (pointer, width, height, top, rows) {
    if (!context) return;
    if (!imageData || imageData.data.buffer !== HEAPU8.buffer ||
        imageData.data.byteOffset !== pointer) {
      imageData = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pointer, width * height * 4),
                                width, height);
    }
    context.putImageData(imageData, 0, 0, 0, top, width, rows);
    if (host.firstFrameMs === 0) {
      host.firstFrameMs = -1;
      requestAnimationFrame(() => {
        host.firstFrameMs = performance.now();
      });
    }
  };

  // The frame the canvas should show, as the program handed it over
  // (0x00RRGGBB words): tests compare the two.
  host.noteShownFrame = function (pointer, width, height) {
    host.shownFrame = { pointer, width, height };
  };

  host.shownPixel = function (x, y) {
    const frame = host.shownFrame;
    return HEAPU32[(frame.pointer >> 2) + y * frame.width + x] & 0xffffff;
  };

  // One turn of the browser's event loop, far shorter than any timer.
  const channel = new MessageChannel();
  const turns = [];
  channel.port1.onmessage = () => turns.shift()();

  host.pause = function (milliseconds) {
    return new Promise((resolve) => {
      if (milliseconds > 0) {
        setTimeout(resolve, milliseconds);
      } else {
        turns.push(resolve);
        channel.port2.postMessage(0);
      }
    });
  };

  // One exchange with IndexedDB at a time; each resolves to success.
  let syncing = Promise.resolve(true);
  function queue(exchange) {
    syncing = syncing.then(exchange, exchange);
    return syncing;
  }

  const isHidden = (path) => path.slice(path.lastIndexOf('/') + 1).startsWith('.');

  // Writing to the storage: every entry goes where it is missing or older,
  // and nothing the learner could see is removed. The same page open in a
  // second tab writes the same storage, and a plain copy of one tab's files
  // over it would lose what the other saved. Hidden files (a save's
  // temporary file) gone here are removed there too.
  function merge(mount) {
    return new Promise((resolve) => {
      IDBFS.getLocalSet(mount, (localError, local) => {
        if (localError) return resolve(false);
        IDBFS.getRemoteSet(mount, (remoteError, remote) => {
          if (remoteError) return resolve(false);
          const newer = (a, b) => !b || a.timestamp.getTime() > b.timestamp.getTime();
          const toStorage = Object.keys(local.entries)
              .filter((path) => newer(local.entries[path], remote.entries[path])).sort();
          const onlyThere = Object.keys(remote.entries)
              .filter((path) => newer(remote.entries[path], local.entries[path])).sort();
          const gone = onlyThere.filter((path) => isHidden(path) && !local.entries[path]);
          const fromStorage = onlyThere.filter((path) => !gone.includes(path));
          if (toStorage.length + onlyThere.length === 0) return resolve(true);
          let failed = false;
          const fail = (error) => {
            if (error) failed = true;
          };
          const transaction = remote.db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
          const store = transaction.objectStore(IDBFS.DB_STORE_NAME);
          transaction.oncomplete = () => resolve(!failed);
          transaction.onerror = (event) => {
            event.preventDefault();
            resolve(false);
          };
          for (const path of toStorage) {
            IDBFS.loadLocalEntry(path, (error, entry) => {
              if (error) return fail(error);
              IDBFS.storeRemoteEntry(store, path, entry, fail);
            });
          }
          for (const path of fromStorage) {
            IDBFS.loadRemoteEntry(store, path, (error, entry) => {
              if (error) return fail(error);
              IDBFS.storeLocalEntry(path, entry, fail);
            });
          }
          for (const path of gone) IDBFS.removeRemoteEntry(store, path, fail);
        });
      });
    });
  }

  // Every write to the storage merges, also the one an fsync() makes.
  function mergeOnEveryWrite() {
    const copy = IDBFS.syncfs;
    IDBFS.syncfs = (mount, populate, callback) => {
      if (populate) return copy(mount, populate, callback);
      queue(() => merge(mount)).then(
        (ok) => callback(ok ? null : new Error('IndexedDB')));
    };
  }

  // Mounts the storage at `root` and reads it back; resolves to whether the
  // browser keeps files. Started early, waited for when needed.
  let mounted = null;
  let mount = null;
  host.startStorage = function (root) {
    mounted = (async () => {
      try {
        FS.mkdir(root);
        FS.mount(IDBFS, {}, root);
        mount = FS.lookupPath(root).node.mount;
      } catch (error) {
        return false;
      }
      mergeOnEveryWrite();
      host.storageKept = (await Module.akkusimStorage.prepare(root)) &&
          (await queue(() => new Promise((resolve) => {
            FS.syncfs(true, (error) => resolve(!error));
          })));
      if (typeof Module.onStorage === 'function') Module.onStorage(host.storageKept);
      return host.storageKept;
    })();
  };

  host.storageReady = async function () {
    return (await mounted) ? 1 : 0;
  };

  // Resolves once everything written under the mounted root is stored.
  // Without the browser's storage there is nothing more to do: the page has
  // said that files last only while it is open.
  host.persist = async function () {
    if (!host.storageKept) return 1;
    return new Promise((resolve) => FS.syncfs(false, (error) => resolve(error ? 0 : 1)));
  };

  // Another tab of the page may have saved meanwhile: what it stored comes
  // in, and what this tab has not stored yet goes out, before the file
  // chooser lists the folder or a save asks whether to replace a file.
  host.refresh = async function () {
    if (!host.storageKept || !mount) return 1;
    return (await queue(() => merge(mount))) ? 1 : 0;
  };

  host.noteCurrentFile = function (path) {
    host.currentFile = path;
  };

  // "Datei hochladen": an upload result of the program (0 stored, 1 the
  // name exists, 2 a name against the rules, 3 no text, 4 too large, 5 not
  // stored), the file kept in the browser's storage when 0.
  // Waits for the storage first: the program seeds the folder on the first
  // upload as on the first use of Laden or Speichern, and cannot wait itself.
  host.upload = async function (fileName, bytes, overwrite) {
    if (mounted) await mounted;
    const nameSize = lengthBytesUTF8(fileName) + 1;
    const name = _malloc(nameSize);
    const data = _malloc(Math.max(bytes.length, 1));
    let result;
    try {
      stringToUTF8(fileName, name, nameSize);
      HEAPU8.set(bytes, data);
      result = _akkusim_store_upload(name, data, bytes.length, overwrite ? 1 : 0);
    } finally {
      _free(name);
      _free(data);
    }
    if (result === 0 && !(await host.persist())) return 5;
    return result;
  };

  // A key pressed with one of the page's controls (the learner aids'), as
  // if pressed and released on the canvas.
  host.pressKey = function (key) {
    push({ type: kEvent.keyDown, key, code: key, numbers: [0] });
    push({ type: kEvent.keyUp, key: '', code: key, numbers: [] });
  };

  // Whether leaving the page now would lose the learner's program.
  host.hasUnsavedChanges = function () {
    return _akkusim_has_unsaved_changes() !== 0;
  };

  // The current program as a shared link carries it ("Link kopieren").
  host.sharedText = function () {
    return UTF8ToString(_akkusim_shared_text());
  };

  // "Datei herunterladen": the current program's file as stored, or null
  // when no program was loaded or saved yet.
  host.download = function () {
    if (!host.currentFile) return null;
    try {
      return { name: host.currentFile.split('/').pop(), bytes: FS.readFile(host.currentFile) };
    } catch (error) {
      return null;
    }
  };

  if (Module.canvas) attach(Module.canvas);
  return host;
})();
