// "Link kopieren": a link that carries the current program in its address
// (compressed into the part after "#", which the browser never sends to a
// server), and the page opened with such a link, which shows the program in
// the listing as never saved.

(function () {
  'use strict';

  const kPrefix = '#p=';
  // Longer links are cut or refused by many mail programs and learning
  // platforms; a longer program goes as a file ("Datei herunterladen").
  const kMaxLinkCharacters = 32768;
  // What a full listing can hold (kMaxSharedBytes in shared_program.h): a
  // link that unpacks to more is refused before it is unpacked further.
  const kMaxTextBytes = 65535 * 81;

  const kDamaged = 'Der Link ist beschädigt oder unvollständig und wurde nicht geöffnet. ' +
      'Bitte den ganzen Link noch einmal kopieren.';
  const kTooLong = `Der Link ist zu lang (mehr als ${kMaxLinkCharacters} Zeichen) und wurde ` +
      'nicht geöffnet.';

  const say = (text, failure = false) => window.Module.say(text, failure);

  function base64url(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  // Null for anything but base64url.
  function fromBase64url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
    const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    return Uint8Array.from(binary, (character) => character.charCodeAt(0));
  }

  async function deflate(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  // The unpacked bytes, null for a damaged stream, undefined for one that
  // unpacks to more than a listing holds.
  async function inflate(bytes) {
    const reader = new Blob([bytes]).stream()
        .pipeThrough(new DecompressionStream('deflate-raw')).getReader();
    const parts = [];
    let size = 0;
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        size += value.length;
        if (size > kMaxTextBytes) {
          reader.cancel().catch(() => {});
          return undefined;
        }
        parts.push(value);
      }
    } catch (error) {
      return null;
    }
    return new Uint8Array(await new Blob(parts).arrayBuffer());
  }

  // { text }, { failure } (a German message), or null for an address
  // without a program.
  async function readLink(fragment) {
    if (!fragment.startsWith(kPrefix)) return null;
    const packed = fragment.slice(kPrefix.length);
    if (packed.length > kMaxLinkCharacters) return { failure: kTooLong };
    const bytes = fromBase64url(packed);
    if (!bytes || bytes.length === 0) return { failure: kDamaged };
    const unpacked = await inflate(bytes);
    if (unpacked === undefined) {
      return { failure: 'Der Link enthält mehr, als die Programmliste fassen kann, und wurde ' +
                        'nicht geöffnet.' };
    }
    if (unpacked === null) return { failure: kDamaged };
    try {
      return { text: new TextDecoder('utf-8', { fatal: true }).decode(unpacked) };
    } catch (error) {
      return { failure: kDamaged };
    }
  }

  // The program starts once the link is read (web_share.cpp); the address
  // then loses the program again, so that it shows no stale copy of it.
  window.Module.sharedLink = readLink(location.hash).then((link) => {
    if (link) history.replaceState(null, '', location.pathname + location.search);
    if (link && link.failure) say(link.failure, true);
    return link;
  }, () => ({ failure: kDamaged }));

  window.Module.onSharedLink = (failure) => {
    if (failure) {
      say(failure, true);
    } else {
      say('Dieses Programm kommt aus einem geteilten Link und ist noch nicht gespeichert: ' +
          '„Speichern“ legt es in Programme ab.');
    }
  };

  const field = document.getElementById('sharelink');

  async function share() {
    field.hidden = true;
    const akkusim = window.Module.akkusimHost;
    if (!akkusim || !akkusim.shownFrame.pointer) {
      say('akkusim startet noch, bitte gleich noch einmal versuchen.', true);
      return;
    }
    const text = akkusim.sharedText();
    if (text === '') {
      say('Das Programm ist leer: Es gibt nichts zu teilen.', true);
      return;
    }
    const packed = base64url(await deflate(new TextEncoder().encode(text)));
    if (packed.length > kMaxLinkCharacters) {
      say('Das Programm ist zu lang für einen Link. Bitte mit „Datei herunterladen“ als ' +
          'Datei weitergeben.', true);
      return;
    }
    const link = location.href.split('#')[0] + kPrefix + packed;
    try {
      await navigator.clipboard.writeText(link);
      say('Link kopiert. Er enthält das Programm selbst; nichts davon wird an einen Server ' +
          'geschickt.');
      document.getElementById('screen').focus();
    } catch (error) {
      field.value = link;
      field.hidden = false;
      field.focus();
      field.select();
      say('Der Browser lässt die Seite nicht kopieren: Den Link im Feld mit Strg+C kopieren.');
    }
  }

  document.getElementById('share').addEventListener('click', share);
})();
