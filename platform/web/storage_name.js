// Which IndexedDB database keeps the learner's files. A host serves many
// pages from one origin: two copies of the page under different paths must
// not share one Programme folder, so the database is named after the page's
// path. The page at the host's root keeps the name every page used before;
// a page elsewhere starts with a copy of what that database holds, so no
// file kept before is lost.

Module.akkusimStorage = (function () {
  'use strict';

  // The name every page used before: the mount point's.
  const kShared = '/akkusim';

  const storage = {};

  // A folder's page answers to "dir/" and "dir/index.html" alike. Files
  // opened from disk get whatever store the browser gives a file (Chromium
  // one for all, Firefox one per file), so the path adds nothing there.
  storage.name = function (address) {
    const url = new URL(address);
    const path = url.pathname.replace(/\/index\.html$/i, '/');
    return url.protocol === 'file:' || path === '/' ? kShared : `${kShared}@${path}`;
  };

  function request(opening) {
    return new Promise((resolve) => {
      opening.onsuccess = () => resolve(opening.result);
      opening.onerror = (event) => {
        event.preventDefault();
        resolve(null);
      };
    });
  }

  // The database `name` if it exists, else null (and none is made).
  function openExisting(name) {
    const opening = indexedDB.open(name);
    opening.onupgradeneeded = (event) => event.target.transaction.abort();
    return request(opening);
  }

  // Every { key, value } of the files' store of `db`.
  function entries(db) {
    return new Promise((resolve) => {
      if (!db.objectStoreNames.contains(IDBFS.DB_STORE_NAME)) return resolve([]);
      const found = [];
      const cursor = db.transaction([IDBFS.DB_STORE_NAME]).objectStore(IDBFS.DB_STORE_NAME)
          .openCursor();
      cursor.onsuccess = () => {
        const at = cursor.result;
        if (!at) return resolve(found);
        found.push({ key: at.key, value: at.value });
        at.continue();
      };
      cursor.onerror = () => resolve(null);
    });
  }

  // Makes the database `name` with the files of the shared one, in the
  // transaction that makes it: it exists only complete. Resolves to success.
  async function copyShared(name) {
    const shared = await openExisting(kShared);
    const copied = shared ? await entries(shared) : [];
    if (shared) shared.close();
    if (copied === null) return false;
    const opening = indexedDB.open(name, IDBFS.DB_VERSION);
    opening.onupgradeneeded = (event) => {
      const files = event.target.result.createObjectStore(IDBFS.DB_STORE_NAME);
      files.createIndex('timestamp', 'timestamp', { unique: false });
      for (const entry of copied) files.put(entry.value, entry.key);
    };
    const made = await request(opening);
    if (made) made.close();
    return made !== null;
  }

  // Points the storage mounted at `mountPoint` to this page's database,
  // made first if needed. Resolves to false where the browser refuses it.
  storage.prepare = async function (mountPoint) {
    try {
      const name = storage.name(location.href);
      if (name !== kShared) {
        const existing = await openExisting(name);
        if (existing) {
          existing.close();
        } else if (!(await copyShared(name))) {
          return false;
        }
      }
      const open = IDBFS.getDB;
      IDBFS.getDB = (db, callback) => open(db === mountPoint ? name : db, callback);
      return true;
    } catch (error) {
      return false;  // no IndexedDB, or refused (a sandbox, some private modes)
    }
  };

  return storage;
})();
