// Serves the test site in tests/data/browser-site on 127.0.0.1 the way a
// web server of today does: the answers listed in its routes.tsv, bodies
// compressed with gzip or br, an ETag on every answer and 304 Not Modified
// to a request that names it, a redirect, distinct pages behind one path
// with different query strings.
//
//   node serve_browser_site.mjs PORT      (runs until stopped)
//
// or, from another script: import { serveBrowserSite } from this file.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import crypto from 'node:crypto';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const siteFolder = path.resolve(here, '../data/browser-site');

export function readRoutes(folder = siteFolder) {
  const routes = new Map();
  for (const line of fs.readFileSync(path.join(folder, 'routes.tsv'), 'utf8').split('\n')) {
    if (line === '' || line.startsWith('#')) continue;
    const [address, status, target, type, encoding] = line.split('\t');
    routes.set(address, { status: Number(status), target, type, encoding });
  }
  return routes;
}

function encode(body, encoding) {
  if (encoding === 'gzip') return zlib.gzipSync(body);
  if (encoding === 'br') return zlib.brotliCompressSync(body);
  return body;
}

function answer(route, request, response, folder) {
  if (route.status !== 200) {
    response.writeHead(route.status, { Location: route.target, 'Content-Type': route.type,
                                       'Cache-Control': 'max-age=3600' });
    response.end(`<a href="${route.target}">moved</a>`);
    return route.status;
  }
  const body = fs.readFileSync(path.join(folder, route.target));
  const etag = '"' + crypto.createHash('sha1').update(body).digest('hex').slice(0, 16) + '"';
  const headers = { 'Content-Type': route.type, ETag: etag, 'Cache-Control': 'max-age=3600',
                    'Last-Modified': 'Mon, 02 Nov 2026 10:00:00 GMT' };
  if (request.headers['if-none-match'] === etag) {
    response.writeHead(304, headers);
    response.end();
    return 304;
  }
  if (route.encoding !== 'identity') headers['Content-Encoding'] = route.encoding;
  headers.Vary = 'Accept-Encoding';
  response.writeHead(200, headers);
  response.end(encode(body, route.encoding));
  return 200;
}

// Starts the server; resolves to the http.Server once it listens.
export function serveBrowserSite(port, { folder = siteFolder, log = () => {} } = {}) {
  const routes = readRoutes(folder);
  const server = http.createServer((request, response) => {
    const route = routes.get(request.url);
    let status = 404;
    if (route) {
      status = answer(route, request, response, folder);
    } else {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not here');
    }
    log(`${status} ${request.method} ${request.url}`);
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const port = Number(process.argv[2] || 18766);
  await serveBrowserSite(port, { log: (line) => console.error(line) });
  console.error(`serving ${siteFolder} on http://127.0.0.1:${port}/`);
}
