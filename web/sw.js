// Keeps the served folder in the browser, so that the installed page starts
// without the server. The build writes `self.akkusimBuild` above this text:
// the folder's files and a version made from their contents, so a new
// build is a new script, which the browser fetches and installs beside the
// running one on the next visit.
//
// Each version has its own cache, named after the folder's address too:
// copies under different paths of one host keep theirs. A running page
// never gets files of another version: the new one takes over only when
// the page tells it that it has everything it needs (see offline.js), or
// once no page of the old one is open.

'use strict';

const kBuild = self.akkusimBuild;
const kPrefix = `akkusim ${self.registration.scope} `;
const kCache = kPrefix + kBuild.version;

self.addEventListener('install', (event) => {
  // Every file or none: the browser drops a worker whose install fails, and
  // the page then works online as before. The server's copy, not one the
  // browser kept from an older build.
  event.waitUntil(caches.open(kCache).then(
      (cache) => cache.addAll(kBuild.files.map((name) => new Request(name, { cache: 'reload' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(kPrefix) && name !== kCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(self.registration.scope)) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    // A page's address may carry a query; the files never do.
    const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
    return kept || fetch(request);
  })());
});
