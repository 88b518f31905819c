// The served folder can be installed as an app and opened without the
// server, where the browser allows a service worker (https, or http on this
// computer): the page registers sw.js, which keeps every file of the
// folder. On plain http, and in the single file, the page simply works
// online.

(function () {
  'use strict';

  if (document.documentElement.hasAttribute('data-single-file') ||
      !/^https?:$/.test(location.protocol) || !window.isSecureContext ||
      !('serviceWorker' in navigator)) {
    return;
  }

  // The page has all of its files once its scripts are loaded and the
  // program has its WebAssembly and examples (before its main runs).
  const loaded = new Promise((resolve) => {
    if (document.readyState === 'complete') resolve();
    else window.addEventListener('load', () => resolve(), { once: true });
  });
  const initialized = new Promise((resolve) => {
    const before = window.Module.onRuntimeInitialized;
    window.Module.onRuntimeInitialized = function () {
      resolve();
      if (typeof before === 'function') before.apply(this, arguments);
    };
  });
  const hasItsFiles = Promise.all([loaded, initialized]);

  // A new version installed beside the running one takes over only then:
  // until that, this page's files still come from its own version's cache,
  // which the new one deletes. The next visit opens the new version.
  function handOver(registration) {
    hasItsFiles.then(() => {
      if (registration.waiting) registration.waiting.postMessage('take over');
    });
  }

  navigator.serviceWorker.register('sw.js').then((registration) => {
    handOver(registration);
    registration.addEventListener('updatefound', () => {
      const installing = registration.installing;
      if (!installing) return;
      installing.addEventListener('statechange', () => {
        if (installing.state === 'installed') handOver(registration);
      });
    });
  }, () => {
    // No worker (a folder without sw.js, storage refused): online only.
  });
})();
