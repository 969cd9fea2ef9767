// What the browser test and the page's benchmark share: the npm packages of
// web/package-lock.json, the inputs, the site served on 127.0.0.1, and
// Chromium and Firefox as this machine runs them headless.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

// A require() that finds the packages that npm ci put in nodeModules.
export function requireFrom(nodeModules) {
  return createRequire(path.join(path.resolve(nodeModules), 'index.js'));
}

// Bytes in which every value turns up, so that any translation shows.
export function pattern(size, seed) {
  const bytes = Buffer.alloc(size);
  for (let i = 0; i < size; i++) bytes[i] = (i * 131 + seed * 29 + (i >> 8)) & 0xff;
  return bytes;
}

// The four V1 files at their expected sizes.
export function usualInputs() {
  return {
    'SUBSYS_C.ROM': pattern(10240, 1),
    'INITIATE.BIN': pattern(4000, 2),
    'BOOT_BAS.ROM': pattern(512, 3),
    'BOOT_DOS.ROM': pattern(512, 4),
  };
}

// Writes files into a new folder under parent, so that a browser can be given their paths.
export function writeFolder(parent, files) {
  const dir = fs.mkdtempSync(path.join(parent, 'files-'));
  for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
  return dir;
}

const CONTENT_TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8', '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// Serves the files of the site folder, and nothing else, on 127.0.0.1. site
// may be a function that names the folder at each request, so that a test
// can put a new release in place of the old one. With scriptDelay, every
// script is sent that many milliseconds late, as over a slow network; log
// holds each request's path and when it arrived and was answered.
export async function serveSite(site, { scriptDelay = 0, gzip = false } = {}) {
  const log = [];
  const server = http.createServer(async (request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const entry = { path: url.pathname, start: performance.now(), end: null };
    log.push(entry);
    response.on('finish', () => { entry.end = performance.now(); });
    if (scriptDelay > 0 && /\.m?js$/.test(entry.path)) await new Promise((resolve) => setTimeout(resolve, scriptDelay));
    const root = path.resolve(typeof site === 'function' ? site() : site);
    const file = path.join(root, decodeURIComponent(url.pathname === '/' ? '/index.html' : url.pathname));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    const headers = { 'Content-Type': CONTENT_TYPES[path.extname(file)] || 'application/octet-stream' };
    let body = fs.readFileSync(file);
    if (gzip && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body);
      headers['Content-Encoding'] = 'gzip';
    }
    response.writeHead(200, headers);
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  // Closing drops the connections that the browser keeps open too, so that
  // nothing more reaches the site: the network is gone.
  const close = () => new Promise((resolve) => {
    server.close(resolve);
    server.closeAllConnections();
  });
  return { url: 'http://127.0.0.1:' + server.address().port + '/', close, log };
}

// Headless Chromium ('chrome') or Firefox ('firefox') through puppeteer-core,
// with the browser's language set to locale. Chromium runs as root without
// its sandbox, without /dev/shm and without the background connections that
// this machine's closed network refuses; Firefox is driven over WebDriver BiDi.
// Chromium's window for each new context would also make the address bar's
// pop-up pages in renderers of their own, about 1.5 CPU-seconds a context that
// no page uses: those are turned off.
export function launchBrowser(puppeteer, kind, executablePath, locale = 'en-US') {
  if (kind === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath, headless: true,
      extraPrefsFirefox: { 'intl.accept_languages': locale, 'network.dns.disableIPv6': true },
    });
  }
  return puppeteer.launch({
    browser: 'chrome', executablePath, headless: true,
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--accept-lang=' + locale,
      '--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup'],
  });
}
