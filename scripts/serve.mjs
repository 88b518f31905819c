// Serves a folder of static files on 127.0.0.1 only:
//   node scripts/serve.mjs FOLDER [--port N]   (N = 0 picks a free port)
// Also imported by the browser test, which starts it on a free port.

import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.txt': 'text/plain; charset=utf-8',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// Resolves to the listening server; its port is server.address().port.
// `headers` go out with every file, as a host's own rules would.
export function serveFolder(folder, port = 0, { headers = {} } = {}) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    let file = normalize(join(root, path));
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      if ((await stat(file)).isDirectory()) file = join(file, 'index.html');
      const size = (await stat(file)).size;
      response.writeHead(200, {
        'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
        'Content-Length': size,
        'Cache-Control': 'no-cache',
        ...headers,
      });
      if (request.method === 'HEAD') {
        response.end();
      } else {
        createReadStream(file).pipe(response);
      }
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const args = process.argv.slice(2);
  const portAt = args.indexOf('--port');
  const port = portAt >= 0 ? Number(args[portAt + 1]) : 8080;
  const folder = args.find((arg, i) => !arg.startsWith('--') && i !== portAt + 1) || 'build-web';
  serveFolder(folder, port).then(
    (server) => console.log(`akkusim: http://127.0.0.1:${server.address().port}/ (Strg+C beendet)`),
    (error) => {
      console.error(`akkusim: ${folder} kann nicht bereitgestellt werden: ${error.message}`);
      process.exit(1);
    });
}
