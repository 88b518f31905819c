// Draws the installed app's icons from the simulator's own font and colours:
// a window with a black frame and a grey title bar, and the letter A of the
// 8x8 font at twice its size, on a 32 x 32 grid of cells scaled up without
// smoothing to each size.
//   node scripts/make_icons.mjs gfx/font8x8.cpp OUT_FOLDER
// writes OUT_FOLDER/icon-192.png and OUT_FOLDER/icon-512.png.

import { readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { deflateSync } from 'node:zlib';

export const kIconSizes = [192, 512];
const kGrid = 32;

// The window's colours (gfx/screen.h).
const kBlack = 0x000000;
const kWhite = 0xffffff;
const kGrey = 0x9f9f9f;
const kLightGreen = 0x7fff7f;

// The eight rows of glyph `code` in the font source, one byte each, the
// leftmost pixel in the top bit.
export function glyphRows(fontSource, code) {
  const line = fontSource.split('\n').find((text) => new RegExp(`//\\s*${code}\\s*$`).test(text));
  const rows = line ? line.match(/0x[0-9A-Fa-f]{2}/g) : null;
  if (!rows || rows.length !== 8) throw new Error(`make_icons: glyph ${code} not found`);
  return rows.map(Number);
}

// The icon's cells, row by row, as 0xRRGGBB.
export function iconCells(fontSource) {
  const cells = Array.from({ length: kGrid }, () => new Array(kGrid).fill(kBlack));
  const fill = (left, top, right, bottom, colour) => {
    for (let y = top; y <= bottom; ++y) cells[y].fill(colour, left, right + 1);
  };
  fill(3, 3, 28, 28, kWhite);
  fill(4, 4, 27, 7, kGrey);
  fill(4, 8, 27, 8, kBlack);
  // The accumulator's level under the letter.
  fill(8, 26, 23, 26, kLightGreen);
  const letter = glyphRows(fontSource, 'A'.charCodeAt(0));
  for (const [row, bits] of letter.entries()) {
    for (let column = 0; column < 8; ++column) {
      if (bits & (0x80 >> column)) fill(8 + 2 * column, 10 + 2 * row, 9 + 2 * column, 11 + 2 * row,
                                        kBlack);
    }
  }
  return cells;
}

const kCrcTable = Array.from({ length: 256 }, (unused, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = kCrcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const typed = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const check = Buffer.alloc(4);
  check.writeUInt32BE(crc32(typed));
  return Buffer.concat([length, typed, check]);
}

// A PNG (8-bit RGB, no interlace) of `cells` scaled to `size` pixels.
export function png(cells, size) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const rowBytes = 1 + 3 * size;
  const image = Buffer.alloc(rowBytes * size);
  for (let y = 0; y < size; ++y) {
    const cellRow = cells[Math.floor((y * cells.length) / size)];
    for (let x = 0; x < size; ++x) {
      const colour = cellRow[Math.floor((x * cellRow.length) / size)];
      const at = y * rowBytes + 1 + 3 * x;
      image[at] = colour >> 16;
      image[at + 1] = (colour >> 8) & 0xff;
      image[at + 2] = colour & 0xff;
    }
  }
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('IDAT', deflateSync(image, { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split('/').pop())) {
  const [fontPath, outFolder] = process.argv.slice(2);
  if (!outFolder) {
    console.error('make_icons.mjs: erwartet FONT.cpp ORDNER');
    process.exit(1);
  }
  const cells = iconCells(await readFile(fontPath, 'utf8'));
  for (const size of kIconSizes) {
    await writeFile(join(outFolder, `icon-${size}.png`), png(cells, size));
  }
}
