// Serves a folder (the built page, build/web/site) on localhost, which
// browsers count as a secure context, so Web Serial is there. Node only, no
// packages. Run: node scripts/serve-web.mjs [FOLDER] [PORT]
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.txt': 'text/plain; charset=utf-8',
};

// Resolves to the listening server and the address to open.
export function serveSite(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(root, path.endsWith('/') ? `${path}index.html` : path);
    try {
      if (!file.startsWith(root)) throw new Error('outside');
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done) => {
    server.listen(port, '127.0.0.1', () => done({ server, url: `http://localhost:${server.address().port}/` }));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const { url } = await serveSite(process.argv[2] ?? 'build/web/site', Number(process.argv[3] ?? 8080));
  console.log(`KESTREL page: open ${url} in Chrome, Edge or another Chromium browser (Ctrl-C stops)`);
}
