// Makes the single page file that opens from disk: the built page
// (index.html in the built folder) with every local script and stylesheet
// it names written into it, and the program's script (built with the
// WebAssembly and the example programs inside) in place of akkusim.js.
// The grading page (pruefen.html) becomes a single file the same way; the
// two link to each other under their single-file names.
//   node scripts/single_file.mjs PAGE.html PROGRAM.js OUT.html
// Links that only help a served folder (preloads, the app manifest) are
// dropped: from disk they would fail. Other local links become data: URLs.

import { readFile, writeFile } from 'node:fs/promises';
import { dirname, extname, join } from 'node:path';

const kProgramScript = 'akkusim.js';
const kDropped = new Set(['preload', 'manifest', 'modulepreload', 'prefetch']);
const kTypes = { '.png': 'image/png', '.svg': 'image/svg+xml', '.ico': 'image/x-icon' };

const kSingleFileNames = { 'index.html': 'akkusim.html', 'pruefen.html': 'akkusim-pruefen.html' };

const isLocal = (address) => !/^[a-z][a-z0-9+.-]*:|^\/\//i.test(address);

function attribute(tag, name) {
  const found = new RegExp(`\\s${name}\\s*=\\s*("([^"]*)"|'([^']*)'|([^\\s>]+))`, 'i').exec(tag);
  return found ? (found[2] ?? found[3] ?? found[4]) : null;
}

// Inline text must not end its element early.
const scriptText = (text) => text.replace(/<\/(script)/gi, '<\\/$1');
const styleText = (text) => text.replace(/<\/(style)/gi, '<\\/$1');

// The page's own links to the other page, to its single file.
const linked = (html) => html.replace(/<a\b[^>]*>/gi, (tag) => {
  const address = attribute(tag, 'href');
  return Object.hasOwn(kSingleFileNames, address ?? '') ?
      tag.replace(address, kSingleFileNames[address]) : tag;
});

export async function singleFile(pagePath, programPath) {
  const folder = dirname(pagePath);
  const page = await readFile(pagePath, 'utf8');
  const local = (name) => readFile(name === kProgramScript ? programPath : join(folder, name));
  const parts = [];
  let rest = 0;
  const tags = /<script\b[^>]*\bsrc\s*=[^>]*>\s*<\/script>|<link\b[^>]*>/gi;
  for (const found of page.matchAll(tags)) {
    const tag = found[0];
    const isScript = /^<script/i.test(tag);
    const address = attribute(tag, isScript ? 'src' : 'href');
    if (address === null || !isLocal(address)) continue;
    parts.push(linked(page.slice(rest, found.index)));
    rest = found.index + tag.length;
    const rel = (attribute(tag, 'rel') || '').toLowerCase();
    if (isScript) {
      parts.push(`<script>${scriptText(String(await local(address)))}</script>`);
    } else if (rel === 'stylesheet') {
      parts.push(`<style>${styleText(String(await local(address)))}</style>`);
    } else if (!kDropped.has(rel)) {
      const type = kTypes[extname(address).toLowerCase()] || 'application/octet-stream';
      const data = `data:${type};base64,${(await local(address)).toString('base64')}`;
      parts.push(tag.replace(address, data));
    }
  }
  parts.push(linked(page.slice(rest)));
  // The page's script learns that it is the single file, before it runs.
  return parts.join('').replace(/<html\b/i, '<html data-single-file');
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split('/').pop())) {
  const [pagePath, programPath, outPath] = process.argv.slice(2);
  if (!outPath) {
    console.error('single_file.mjs: erwartet PAGE.html PROGRAM.js OUT.html');
    process.exit(1);
  }
  await writeFile(outPath, await singleFile(pagePath, programPath));
}
