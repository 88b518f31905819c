// Reading a zip file in the page, with the browser's own inflater: stored
// (method 0) and deflated (method 8) entries, as every common zip tool
// writes them. Anything else is refused as a whole with a German reason,
// so that no handed-in file goes missing without a word.

window.akkusimZip = (function () {
  'use strict';

  const kEndSignature = 0x06054b50;
  const kCentralSignature = 0x02014b50;
  const kLocalSignature = 0x04034b50;
  const kEndSize = 22;
  const kMostCommentBytes = 0xffff;
  const kEncrypted = 0x0001;
  const kUtf8Names = 0x0800;

  class ZipError extends Error {}

  let crcTable = null;
  function crc32(bytes) {
    if (!crcTable) {
      crcTable = new Uint32Array(256);
      for (let n = 0; n < 256; ++n) {
        let c = n;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
      }
    }
    let crc = 0xffffffff;
    for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
  }

  // The end record, searched from the back past a comment of any length.
  function findEnd(view) {
    const lowest = Math.max(0, view.byteLength - kEndSize - kMostCommentBytes);
    for (let at = view.byteLength - kEndSize; at >= lowest; --at) {
      if (view.getUint32(at, true) === kEndSignature) return at;
    }
    throw new ZipError('kein Inhaltsverzeichnis gefunden');
  }

  // The upper half of code page 437, the names' code of old zip tools.
  const kCodePage437 =
      'ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒ' +
      'áíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐' +
      '└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀' +
      'αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0';

  // UTF-8 when the entry says so or its bytes are; code page 437 otherwise.
  function decodeName(bytes, flags) {
    if (flags & kUtf8Names) return new TextDecoder().decode(bytes);
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (error) {
      return Array.from(bytes, (byte) =>
        byte < 128 ? String.fromCharCode(byte) : kCodePage437[byte - 128]).join('');
    }
  }

  // The central directory's entries: name, method, sizes and where the data is.
  function readDirectory(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const end = findEnd(view);
    const count = view.getUint16(end + 10, true);
    const size = view.getUint32(end + 12, true);
    let at = view.getUint32(end + 16, true);
    if (count === 0xffff || at === 0xffffffff) throw new ZipError('Zip64 wird nicht unterstützt');
    if (at + size > end) throw new ZipError('das Inhaltsverzeichnis liegt außerhalb der Datei');
    const entries = [];
    for (let i = 0; i < count; ++i) {
      if (at + 46 > end || view.getUint32(at, true) !== kCentralSignature) {
        throw new ZipError('das Inhaltsverzeichnis ist unvollständig');
      }
      const nameLength = view.getUint16(at + 28, true);
      const flags = view.getUint16(at + 8, true);
      entries.push({
        flags,
        method: view.getUint16(at + 10, true),
        crc: view.getUint32(at + 16, true),
        packedSize: view.getUint32(at + 20, true),
        size: view.getUint32(at + 24, true),
        local: view.getUint32(at + 42, true),
        name: decodeName(bytes.subarray(at + 46, at + 46 + nameLength), flags),
      });
      at += 46 + nameLength + view.getUint16(at + 30, true) + view.getUint16(at + 32, true);
    }
    return { view, entries };
  }

  async function inflate(packed) {
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  async function readEntry(bytes, view, entry) {
    const at = entry.local;
    if (at + 30 > view.byteLength || view.getUint32(at, true) !== kLocalSignature) {
      throw new ZipError(`„${entry.name}“ fehlt`);
    }
    const start = at + 30 + view.getUint16(at + 26, true) + view.getUint16(at + 28, true);
    if (start + entry.packedSize > view.byteLength) {
      throw new ZipError(`„${entry.name}“ ist abgeschnitten`);
    }
    const packed = bytes.subarray(start, start + entry.packedSize);
    let data;
    try {
      data = entry.method === 0 ? packed.slice() : await inflate(packed);
    } catch (error) {
      throw new ZipError(`„${entry.name}“ lässt sich nicht entpacken`);
    }
    if (data.length !== entry.size || crc32(data) !== entry.crc) {
      throw new ZipError(`„${entry.name}“ ist fehlerhaft (Prüfsumme stimmt nicht)`);
    }
    return data;
  }

  // The files of the zip `bytes` as { path, bytes }, folders left out; or a
  // German reason why it cannot be read (`error`).
  async function readZip(bytes) {
    try {
      const { view, entries } = readDirectory(bytes);
      const files = [];
      for (const entry of entries) {
        if (entry.name.endsWith('/')) continue;
        if (entry.flags & kEncrypted) {
          return { error: `„${entry.name}“ ist verschlüsselt; bitte ohne Kennwort packen` };
        }
        if (entry.method !== 0 && entry.method !== 8) {
          return {
            error: `„${entry.name}“ ist mit einem Verfahren gepackt, das diese Seite nicht ` +
                `entpacken kann (Nr. ${entry.method}); bitte als gewöhnliche Zip-Datei packen`,
          };
        }
        files.push({ path: entry.name, bytes: await readEntry(bytes, view, entry) });
      }
      return { files };
    } catch (error) {
      if (error instanceof ZipError || error instanceof RangeError) {
        const what = error instanceof ZipError ? error.message : 'zu kurz';
        return { error: `sie ist beschädigt: ${what}` };
      }
      throw error;
    }
  }

  return { readZip };
})();
